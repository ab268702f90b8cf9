#!/usr/bin/env bash
# Builds Tonequill and starts it from the build folder (under xvfb-run when no display is set).
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TQ_BUILD_DIR:-$top/build}
"$top/tools/setup-deps.sh"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTQ_BUILD_TESTS=OFF
cmake --build "$build" -j"$(nproc)"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display is set: starting Tonequill under xvfb-run (a virtual X display)."
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bin/tonequill"
fi
exec "$build/bin/tonequill"
