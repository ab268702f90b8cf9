#!/usr/bin/env bash
# Builds Tonequill with AddressSanitizer and UndefinedBehaviorSanitizer and runs the whole test
# suite headless. Any sanitizer report ends the reporting process with an error, so it fails
# its test.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TQ_BUILD_DIR:-$top/build-test}
"$top/tools/setup-deps.sh"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTQ_SANITIZE=ON -DTQ_WERROR=ON
cmake --build "$build" -j"$(nproc)"

export ASAN_OPTIONS="halt_on_error=1:abort_on_error=0:detect_leaks=1:exitcode=86"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:exitcode=87"
export LSAN_OPTIONS="suppressions=$top/tools/lsan.supp:print_suppressions=0"
export QT_QPA_PLATFORM=offscreen
cd "$build"
ctest --output-on-failure -j"$(nproc)" --timeout 600
