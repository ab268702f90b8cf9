#!/usr/bin/env bash
# Writes PNG pictures of the splash, the main window and the Options dialog, drawn on a real X
# server (Xvfb), into <build>/screenshots. Usage: bench/screenshots.sh [build folder]
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$top/build}
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" -j2 --target test_shell_screenshots Res Form
export TQ_PROGRAM_DIR="$build/bin"
export TQ_SCREENSHOT_DIR="$build/screenshots"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" "$build/tests/test_shell_screenshots"
ls -l "$TQ_SCREENSHOT_DIR"
