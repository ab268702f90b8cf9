#!/usr/bin/env bash
# Time of adding short media files to the job list, against ffprobe once per file.
#   bench/probe-bench.sh [file count]
# Builds ProbeBench in Release in TQ_BENCH_BUILD (default /work/build-bench beside the tree).
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TQ_BENCH_BUILD:-$top/../build-bench}
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target ProbeBench >/dev/null
QT_QPA_PLATFORM=offscreen TQ_PROGRAM_DIR="$build/bin" "$build/bench/ProbeBench" "${1:-200}"
