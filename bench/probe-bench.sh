#!/usr/bin/env bash
# The job list's duration probe: time of adding short media files, against ffprobe once per file;
# time and bytes read per file for real-size files of six kinds, for a folder of thousands of
# songs, and for the real files of ../shared/media.
#   bench/probe-bench.sh [file count]
# Builds ProbeBench in Release in TQ_BENCH_BUILD (default /work/build-bench beside the tree).
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TQ_BENCH_BUILD:-$top/../build-bench}
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target ProbeBench >/dev/null
run() { QT_QPA_PLATFORM=offscreen TQ_PROGRAM_DIR="$build/bin" "$build/bench/ProbeBench" "$@"; }
run "${1:-200}"
echo "--- real-size files, 30 of each kind"
run --sizes 30
echo "--- a folder of songs"
run --songs 3000
media=$top/../shared/media
if [ -d "$media" ]; then
  echo "--- the real files of $media"
  run --folder "$media/real" "$media/corpus" | tail -1
fi
