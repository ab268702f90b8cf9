#!/usr/bin/env bash
# The default profile (200 % volume) on real loud music against the ffmpeg command line with
# -af volume=2,alimiter, single thread: wall time (median of RUNS alternating runs), passes,
# decoded peak, samples at full scale and mean level of evc's output, and evc at 100 % against
# plain ffmpeg. Each source is looped to SECONDS (200) as an MP3 at 320 kbit/s first.
#   bench/default-volume-bench.sh [source ...]
# Without sources it takes two loud recordings from ../shared/media beside the project. Builds
# evc and DefaultVolumeBench in Release in TQ_BENCH_BUILD (default ../build-bench beside it).
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TQ_BENCH_BUILD:-$top/../build-bench}
media=$top/../shared/media/corpus
if [ $# -eq 0 ]; then
    set -- "$media/m4a_alac_cover-jpeg-png__borewit-music-metadata.m4a" \
        "$media/mp3_lame-gapless_info-tag__luke-cha-fate-suite.mp3"
fi
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target evc DefaultVolumeBench >/dev/null
for source in "$@"; do
    "$build/bench/DefaultVolumeBench" "$build/bin/evc" "$source" "${RUNS:-3}" "${SECONDS_LONG:-200}"
done
