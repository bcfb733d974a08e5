#!/usr/bin/env bash
# Starts the tool under a virtual X display and takes a screenshot of the
# whole screen.   scripts/screenshot.sh OUTPUT.png [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/docs/window.png}
build=${2:-$root/build/release}
"$root/scripts/setup.sh"
if [ ! -x "$build/middletext" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMT_TESTS=OFF -DMT_BENCH=OFF >/dev/null
  cmake --build "$build" --target middletext
fi
# A window manager draws the frame and caption when one is installed.
xvfb-run -a -s "-screen 0 1280x800x24" bash -c "
  command -v openbox >/dev/null && { openbox & sleep 1; }
  '$build/middletext' & pid=\$!
  sleep \${MT_SHOT_DELAY:-3}
  import -window root '$out'
  kill \$pid 2>/dev/null || true
"
echo "$out"
