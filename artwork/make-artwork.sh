#!/usr/bin/env bash
# Redraws every picture of the program into artwork/pictures/ and the application icon into
# artwork/icons/ with the MakeArtwork program (Qt's QPainter on the offscreen platform).
# Run it after changing MakeArtwork.cpp and commit the pictures together with the change.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TQ_BUILD_DIR:-$top/build-artwork}
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTQ_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target tq_make_artwork
mkdir -p "$top/artwork/pictures" "$top/artwork/icons"
QT_QPA_PLATFORM=offscreen "$build/artwork/tq_make_artwork" "$top/artwork/pictures" \
  "$top/artwork/icons"
echo "pictures written to $top/artwork/pictures, application icons to $top/artwork/icons"
