#!/usr/bin/env bash
# Time of evc for the first and the last 60 s of a 1 GB MPEG program stream, the same as a
# transport stream and a 200 MB Ogg Vorbis file, and where the late segment starts compared
# with a decode of the whole file.
#   bench/segment-bench.sh [media folder]
# The generated files (about 2.2 GB) stay in the media folder (default /tmp/tonequill-segment-bench)
# for the next run. Builds evc and SegmentBench in Release in TQ_BENCH_BUILD (default
# /work/build-bench beside the tree).
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TQ_BENCH_BUILD:-$top/../build-bench}
media=${1:-/tmp/tonequill-segment-bench}
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target evc SegmentBench >/dev/null
"$build/bench/SegmentBench" "$build/bin/evc" "$media"
