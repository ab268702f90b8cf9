#!/usr/bin/env bash
# Builds the fuzz targets with clang in their own build folder and runs each one for a bounded
# time, starting from its committed seed corpus. Prints, per target and in total, the inputs
# tried, crashes, hangs and sanitizer reports, and fails when any target found something.
#
#   fuzz/run-fuzzers.sh [build folder] [seconds per target] [target ...]
#
# A failing input is kept in <build folder>/artifacts/; run the target on that file to see it
# again, and turn it into a regression test.
set -uo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$top/build-fuzz}
seconds=${2:-3}
shift $(( $# > 2 ? 2 : $# ))
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(fuzz_split_string fuzz_text_to_number fuzz_ini_reader fuzz_ini_roundtrip
           fuzz_profile_value fuzz_time_text fuzz_command_line fuzz_encoder_options
           fuzz_progress_text fuzz_command_builder)
fi

if ! command -v clang++ >/dev/null; then
  echo "clang++ is not installed (tools/packages.txt lists it)" >&2
  exit 1
fi
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang \
    -DCMAKE_CXX_COMPILER=clang++ -DTQ_WERROR=ON -DTQ_BUILD_TESTS=OFF -DTQ_BUILD_FUZZERS=ON \
    >"$build.configure.log" 2>&1 || { cat "$build.configure.log" >&2; exit 1; }
fi
cmake --build "$build" -j2 --target tq_fuzzers || exit 1

export ASAN_OPTIONS="${ASAN_OPTIONS:-halt_on_error=1:detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$top/tools/lsan.supp:print_suppressions=0}"
artifacts="$build/artifacts"
mkdir -p "$artifacts"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

total_inputs=0 total_crashes=0 total_hangs=0 total_reports=0 failed=0
printf '%-24s %12s %8s %6s %10s\n' target inputs crashes hangs sanitizer
for target in "${targets[@]}"; do
  binary="$build/fuzz/$target"
  if [ ! -x "$binary" ]; then
    printf '%-24s %12s\n' "$target" "not built"
    continue
  fi
  seeds="$top/fuzz/corpus/$target"
  mkdir -p "$work/$target"
  log="$work/$target.log"
  # The outer timeout only guards against a fuzzer that does not stop by itself.
  timeout --kill-after=10 $((seconds + 120)) "$binary" -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$artifacts/$target-" \
    "$work/$target" $( [ -d "$seeds" ] && echo "$seeds" ) >"$log" 2>&1
  status=$?
  inputs=$(grep -a 'stat::number_of_executed_units' "$log" | awk '{print $2}' | tail -1)
  inputs=${inputs:-0}
  reports=$(grep -acE 'ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:' "$log")
  hangs=$(grep -ac 'ERROR: libFuzzer: timeout' "$log")
  crashes=0
  if [ $status -ne 0 ] && [ "$reports" -eq 0 ] && [ "$hangs" -eq 0 ]; then
    crashes=1
  fi
  printf '%-24s %12s %8s %6s %10s\n' "$target" "$inputs" "$crashes" "$hangs" "$reports"
  total_inputs=$((total_inputs + inputs))
  total_crashes=$((total_crashes + crashes))
  total_hangs=$((total_hangs + hangs))
  total_reports=$((total_reports + reports))
  if [ $status -ne 0 ]; then
    failed=1
    echo "---- $target failed (exit $status):" >&2
    grep -aE 'property failed|ERROR|runtime error|SUMMARY|Test unit written|#[0-9]+ 0x' "$log" \
      | head -30 >&2
  fi
done
printf '%-24s %12s %8s %6s %10s\n' total "$total_inputs" "$total_crashes" "$total_hangs" \
  "$total_reports"
exit $failed
