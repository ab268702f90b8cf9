#!/usr/bin/env bash
# Conversion speed and memory of evc against the ffmpeg command line, single thread.
#   bench/encoder_vs_ffmpeg.sh [build folder]      (RUNS=3 by default)
# Builds evc in Release, makes one 10-minute stereo 44.1 kHz WAV (tone plus noise) and converts
# it to each output type RUNS times with evc and with ffmpeg on the same codec settings. Prints
# per type: the median wall time of both, their ratio, evc's peak resident memory, and how much
# that peak grows above the peak of a 1-second conversion (the libraries alone take ~28 MB, so
# the growth shows whether memory stays flat as the input gets longer). ffmpeg has no AMR-NB
# encoder here, so AMR is measured for evc alone.
set -euo pipefail

TOP=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
readonly TOP
readonly BUILD=${1:-/work/build-bench-enc}
readonly RUNS=${RUNS:-3}
readonly INPUT_SECONDS=${INPUT_SECONDS:-600}
readonly EVC=$BUILD/bin/evc

WORK=$(mktemp -d)
readonly WORK
trap 'rm -rf "$WORK"' EXIT

# Output type -> "evc codec|evc options|ffmpeg encoder|ffmpeg options"
declare -A SETTINGS=(
    [amr]="amr_nb|-ab 12.2 -ac 1 -ar 8000||"
    [aac]="aac|-ab 128 -ac 2 -ar 44100|aac|-b:a 128k -ac 2 -ar 44100"
    [mp3]="mp3|-ab 128 -ac 2 -ar 44100|libmp3lame|-b:a 128k -ac 2 -ar 44100"
    [ac3]="ac3|-ab 192 -ac 2 -ar 44100|ac3|-b:a 192k -ac 2 -ar 44100"
    [m4a]="aac|-ab 128 -ac 2 -ar 44100|aac|-b:a 128k -ac 2 -ar 44100"
    [ogg]="vorbis|-ab 128 -ac 2 -ar 44100|libvorbis|-b:a 128k -ac 2 -ar 44100"
    [wav]="pcm_s16le|-ac 2 -ar 44100|pcm_s16le|-ac 2 -ar 44100"
)
readonly TYPES=(amr aac mp3 ac3 m4a ogg wav)

build_evc() {
    cmake -S "$TOP" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTQ_BUILD_TESTS=OFF >/dev/null
    cmake --build "$BUILD" -j2 --target evc >/dev/null
}

make_input() {
    ffmpeg -nostdin -v error -y -filter_complex \
        "sine=frequency=440:sample_rate=44100:duration=${INPUT_SECONDS}[t];\
anoisesrc=color=pink:amplitude=0.2:sample_rate=44100:duration=${INPUT_SECONDS}[n];\
[t][n]amix=inputs=2,aformat=sample_fmts=s16:channel_layouts=stereo" \
        -c:a pcm_s16le "$WORK/input.wav"
}

# Runs a command under /usr/bin/time; prints "<wall seconds> <peak RSS kB>".
measure() {
    local report=$WORK/time.txt start end
    start=$(date +%s.%N)
    /usr/bin/time -v -o "$report" "$@" >/dev/null 2>"$WORK/stderr.txt" || {
        echo "failed: $*" >&2
        cat "$WORK/stderr.txt" >&2
        exit 1
    }
    end=$(date +%s.%N)
    local rss
    rss=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$report")
    echo "$(echo "$end - $start" | bc -l) $rss"
}

median() {
    sort -g | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'
}

field() { cut -d'|' -f"$2" <<<"${SETTINGS[$1]}"; }

# evc on the whole input (or its first second with "-t 1" as extra options).
run_evc() {
    local type=$1
    shift
    # shellcheck disable=SC2046 # the option string is meant to split into words
    measure "$EVC" -y -i "$WORK/input.wav" -acodec "$(field "$type" 1)" -vn \
        $(field "$type" 2) -vol 100 "$@" "$WORK/evc.$type"
}

run_ffmpeg() {
    local type=$1
    # shellcheck disable=SC2046
    measure ffmpeg -nostdin -v error -y -threads 1 -i "$WORK/input.wav" -vn \
        -c:a "$(field "$type" 3)" $(field "$type" 4) "$WORK/ffmpeg.$type"
}

bench_type() {
    local type=$1 evc_times=() evc_rss=() ff_times=() i line
    for ((i = 0; i < RUNS; i++)); do
        line=$(run_evc "$type")
        evc_times+=("${line% *}")
        evc_rss+=("${line#* }")
        if [[ -n $(field "$type" 3) ]]; then
            line=$(run_ffmpeg "$type")
            ff_times+=("${line% *}")
        fi
    done
    local short_rss evc_med evc_peak ff_med="-" ratio="-"
    short_rss=$(run_evc "$type" -t 1 | cut -d' ' -f2)
    evc_med=$(printf '%s\n' "${evc_times[@]}" | median)
    evc_peak=$(printf '%s\n' "${evc_rss[@]}" | sort -g | tail -1)
    if ((${#ff_times[@]} > 0)); then
        ff_med=$(printf '%s\n' "${ff_times[@]}" | median)
        ratio=$(printf '%.2f' "$(echo "$evc_med / $ff_med" | bc -l)")
        ff_med=$(printf '%.2f' "$ff_med")
    fi
    printf '%-5s %10.2f %12s %9s %12.1f %14.1f\n' "$type" "$evc_med" "$ff_med" "$ratio" \
        "$(echo "$evc_peak / 1024" | bc -l)" "$(echo "($evc_peak - $short_rss) / 1024" | bc -l)"
}

main() {
    build_evc
    make_input
    echo "input: ${INPUT_SECONDS} s stereo 44.1 kHz s16 WAV, $RUNS runs each, ffmpeg -threads 1"
    printf '%-5s %10s %12s %9s %12s %14s\n' type "evc med s" "ffmpeg med s" evc/ffmpeg \
        "evc RSS MB" "RSS growth MB"
    local type
    for type in "${TYPES[@]}"; do
        bench_type "$type"
    done
}

main
