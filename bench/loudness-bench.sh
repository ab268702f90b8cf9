#!/usr/bin/env bash
# Peak and mean level of evc's output at 100, 200 and 500 % volume (WAV, MP3, M4A).
#   bench/loudness-bench.sh [loud music file]
# Without a file it generates a music-like source mastered to just under full scale. Builds
# evc and LoudnessBench in Release in TQ_BENCH_BUILD (default /work/build-bench beside the tree).
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TQ_BENCH_BUILD:-$top/../build-bench}
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target evc LoudnessBench >/dev/null
"$build/bench/LoudnessBench" "$build/bin/evc" "$@"
