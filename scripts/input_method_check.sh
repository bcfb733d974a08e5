#!/usr/bin/env bash
# Types Chinese into the big box through a real input method (ibus with its
# pinyin engine) under a virtual display with a window manager:
#   1. in 你马中文是, Ctrl+Home, "shi", a click at the end of the row, Space:
#      the composition is committed where it was composed, so the text
#      becomes 是你马中文是 and the space goes where the click put the caret;
#   2. a composition typed over a selection, drawn underlined: the picture.
# Needs: apt-get install ibus ibus-libpinyin dbus-x11 (not part of set-up).
#
#   scripts/input_method_check.sh [BUILD_DIR] [PICTURE.png]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/release}
picture=${2:-$root/docs/composition-underlined.png}
for tool in ibus-daemon dbus-launch xvfb-run xdotool xclip import; do
  command -v "$tool" >/dev/null || { echo "input_method_check: $tool is missing" >&2; exit 2; }
done

scene=$(mktemp)
trap 'rm -f "$scene"' EXIT
cat > "$scene" <<'SCENE'
set -eu
build=$1 picture=$2
eval "$(dbus-launch --sh-syntax)"
openbox >/dev/null 2>&1 &
sleep 1
ibus-daemon -dxr >/dev/null 2>&1
for _ in 1 2 3 4 5 6 7 8 9 10; do
  sleep 1
  ibus engine libpinyin 2>/dev/null && break
done
[ "$(ibus engine)" = libpinyin ]
start() {
  QT_IM_MODULE=ibus "$build/middletext" 2>/dev/null & pid=$!
  id=$(xdotool search --sync --onlyvisible --pid $pid --name Tarnlow | head -n 1)
  sleep 1
  printf '%s' "$1" | xclip -selection clipboard -i
  xdotool mousemove --window "$id" 200 100 click 1
  sleep 0.3
  xdotool key ctrl+v
  sleep 0.3
}

start '你马中文是'
xdotool key ctrl+Home
xdotool type --delay 150 'shi'
sleep 1
xdotool mousemove --window "$id" 400 12 click 1
sleep 0.5
xdotool key space
sleep 0.5
xdotool key ctrl+a ctrl+c
sleep 0.5
text=$(xclip -selection clipboard -o)
kill $pid
wait $pid 2>/dev/null || true
[ "$text" = '是你马中文是 ' ] || { echo "input_method_check: the text is '$text'" >&2; exit 1; }
echo "input_method_check: a click commits the composition where it was composed"

start '价格：<b>¥128.00</b> 元'
xdotool key shift+Left shift+Left
xdotool type --delay 150 'zhongwen'
sleep 1
eval "$(xdotool getwindowgeometry --shell "$id")"
import -window root -crop 530x400+$((X - 3))+$((Y - 52)) +repage "$picture"
kill $pid
echo "$picture"
SCENE
xvfb-run -a -s "-screen 0 1000x600x24" bash ${MT_TRACE:+-x} "$scene" "$build" "$picture"
