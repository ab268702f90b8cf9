#!/usr/bin/env bash
# Runs every fuzz target for a longer time (default 120 s each) and prints the inputs tried,
# crashes, hangs and sanitizer reports.
#   fuzz/run-long.sh [seconds per target] [target ...]
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-120}
shift $(( $# > 0 ? 1 : 0 ))
exec "$top/fuzz/run-fuzzers.sh" "${TQ_FUZZ_BUILD_DIR:-$top/build-fuzz}" "$seconds" "$@"
