#!/usr/bin/env bash
# Hostile-input figures: runs every fuzz target longer, the damaged-media corpus and the stop
# cycles at a larger scale, and prints inputs tried, crashes, hangs, sanitizer reports, stop
# cycles and encoders left behind.
#   bench/robustness.sh [fuzz seconds per target] [scale]
# Needs a test build (tools/test.sh, or TQ_BUILD_DIR) for the media and stop tests.
set -uo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-120}
scale=${2:-4}
build=${TQ_BUILD_DIR:-$top/build-test}

echo "== fuzz targets, ${seconds} s each"
"$top/fuzz/run-long.sh" "$seconds"
fuzz_status=$?

export TQ_PROGRAM_DIR="$build/bin" TQ_ROBUSTNESS_SCALE="$scale" QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="${ASAN_OPTIONS:-halt_on_error=1:detect_leaks=1:exitcode=86}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1:exitcode=87}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$top/tools/lsan.supp:print_suppressions=0}"
status=0
for test in test_robustness_media test_robustness_stop test_robustness_settings_kill; do
  echo "== $test, scale $scale"
  if [ ! -x "$build/tests/$test" ]; then
    echo "not built in $build"
    status=1
    continue
  fi
  "$build/tests/$test" >"/tmp/$test.$$.log" 2>&1 || status=1
  grep -E '^(media corpus|stop cycles|outside kills|settings kills):|FAILED' "/tmp/$test.$$.log"
  rm -f "/tmp/$test.$$.log"
done
exit $(( fuzz_status | status ))
