#!/usr/bin/env bash
# Starts the tool under a virtual X display with a window manager, sets up a
# scene by mouse and keyboard, and takes a screenshot of the window with its
# frame (of the message box, for the message scene).
#
#   scripts/screenshot.sh [SCENE] OUTPUT.png [BUILD_DIR]
#   scripts/screenshot.sh --docs [BUILD_DIR]     remakes the pictures in docs/
#
# Scenes: start (as the window opens), extract (a page pasted, <b> and </b>
# as the left and right texts, extracted; the default), count:N (a big text
# of N bytes pasted), message (the message for a left text that is missing),
# linebreak (an LF page; Enter typed in the left and right boxes, one row high, extracted),
# minified (a 5 MiB page on one line, wrapped into rows across the 2 KiB
# segments the big box keeps, seen halfway down),
# marked (a longer page, <span class="price"> and </span> extracted: the
# three texts marked where they were found), find (the same page,
# class="price" found: the hit selected, the others in view tinted),
# suggest (a short listing pasted, the second price selected with the
# keyboard, then F4: the rule made from the selection, and its marks),
# errorpage (a page read from a local server that answers 404: its error
# page shown, with the notice over it), live (the marked scene's rule typed,
# not clicked: the result while typing), livefail (the same page, a left
# text typed with two spaces where the page has one: the reason in the
# notice).
# MT_SHOT_SCALE=2 runs the tool with QT_SCALE_FACTOR=2.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

if [ "${1:-}" = "--docs" ]; then
  build=${2:-$root/build/release}
  "$0" extract "$root/docs/window.png" "$build"
  "$0" count:284360 "$root/docs/window-count-6-digits.png" "$build"
  "$0" count:4725254 "$root/docs/window-count-7-digits.png" "$build"
  "$0" count:12345678 "$root/docs/window-count-8-digits.png" "$build"
  "$0" message "$root/docs/message-box.png" "$build"
  "$0" linebreak "$root/docs/line-breaks-in-small-boxes.png" "$build"
  "$0" minified "$root/docs/minified-page.png" "$build"
  "$0" marked "$root/docs/extraction-marked.png" "$build"
  "$0" find "$root/docs/find-tinted.png" "$build"
  "$0" suggest "$root/docs/rule-from-selection.png" "$build"
  "$0" errorpage "$root/docs/error-page-notice.png" "$build"
  "$0" live "$root/docs/live-result.png" "$build"
  "$0" livefail "$root/docs/live-failed-rule.png" "$build"
  # Ten digits would take a paste of a GiB: the window's test writes the
  # caption itself and grabs the window under the display server.
  shot="QT_QPA_PLATFORM=xcb MT_COUNT_SHOT='$root/docs/window-count-10-digits.png'"
  shot="$shot '$build/tests/test_app' --gtest_filter='*TenDigits*' >/dev/null"
  xvfb-run -a -s "-screen 0 1280x800x24 -dpi 96" bash -c "openbox >/dev/null 2>&1 & sleep 1; $shot"
  exit 0
fi

scene=extract
case "${1:-}" in
  start|extract|message|linebreak|minified|marked|find|suggest|errorpage|live|livefail|count:*) scene=$1; shift ;;
esac
out=${1:-$root/docs/window.png}
build=${2:-$root/build/release}
scale=${MT_SHOT_SCALE:-1}
"$root/scripts/setup.sh"
if [ ! -x "$build/middletext" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMT_TESTS=OFF -DMT_BENCH=OFF >/dev/null
  cmake --build "$build" --target middletext
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
page='<html><head><meta charset=utf-8></head><body><p>价格：<b>¥128.00</b> 元</p><p>库存：<b>42</b> 件</p></body></html>'
case $scene in
  count:*)
    # CR LF lines of text whose size in the tool's count (GB18030 bytes) is
    # exactly the number asked for.
    python3 - "${scene#count:}" > "$work/clip" <<'EOF'
import sys
want = int(sys.argv[1])
line = "<p>价格：<b>¥128.00</b> 元，库存：<b>42</b> 件</p>"
size = len(line.encode("gb18030")) + 2
lines, rest = divmod(want, size)
# n lines have n - 1 breaks between them; the last line takes the rest.
text = "\r\n".join([line] * lines) + "x" * (rest + 2) if lines else "x" * want
sys.stdout.write(text)
EOF
    ;;
  minified)
    # A minified page: one line of 5 MiB, markup and Chinese text.
    python3 - > "$work/clip" <<'EOF'
import sys
item = '<li class="p"><a href="/item/{0}">商品{0}：新款纯棉短袖T恤，夏季透气</a><span>¥{1}.00</span></li>'
out, size, n = [], 0, 0
while size < 5 * 1024 * 1024:
    out.append(item.format(n, 59 + n % 200))
    size += len(out[-1].encode('gb18030'))
    n += 1
sys.stdout.write('<!doctype html><html><head><meta charset=utf-8></head><body><ul>' + ''.join(out) + '</ul></body></html>')
EOF
    ;;
  marked|find|live|livefail)
    # A shop's listing page as a browser's "view source" shows it.
    python3 > "$work/clip" <<'EOF'
items = [("机械键盘 K87 红轴", "299.00", "128"), ("无线鼠标 M3 静音", "79.90", "56"),
         ("USB-C 扩展坞 七合一", "189.00", "31"), ("27 英寸显示器 2K", "1299.00", "12"),
         ("降噪耳机 H5", "459.00", "8"), ("笔记本支架 铝合金", "69.00", "240")]
out = ['<!DOCTYPE html>', '<html lang="zh-CN">', '<head>', '  <meta charset="utf-8">',
       '  <title>数码配件 - 商品列表</title>', '  <link rel="stylesheet" href="/static/list.css">',
       '</head>', '<body>', '  <div class="header"><a href="/">首页</a> &gt; <a href="/c/3">数码配件</a></div>',
       '  <ul class="goods">']
for n, (name, price, stock) in enumerate(items, 1):
    out += ['    <li data-id="%d">' % (1000 + n),
            '      <a class="name" href="/p/%d">%s</a>' % (1000 + n, name),
            '      <span class="price">¥%s</span> <span class="stock">库存 %s 件</span>' % (price, stock),
            '    </li>']
out += ['  </ul>', '  <div class="footer">共 6 件商品</div>', '</body>', '</html>']
print("\r\n".join(out), end="")
EOF
    ;;
  suggest)
    # A short listing, one item a line; the second price is selected.
    printf '%s\n' '<ul class="goods">' '  <li><b>机械键盘</b> <i class="price">¥299.00</i></li>' \
      '  <li><b>无线鼠标</b> <i class="price">¥79.90</i></li>' \
      '  <li><b>扩展坞</b> <i class="price">¥189.00</i></li>' '</ul>' > "$work/clip"
    ;;
  linebreak)
    # A page with LF line breaks: Enter in the left box puts in an LF (↓),
    # and the middle text holds the page's own LF.
    printf '<p>价格：<b>\n¥128.00\n</b> 元</p>\n' > "$work/clip" ;;
  *) printf '%s' "$page" > "$work/clip" ;;
esac

port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
mkdir -p "$work/www" "$work/config"
cat > "$work/scene.sh" <<EOF
set -eu
export XDG_CONFIG_HOME='$work/config'
openbox >/dev/null 2>&1 &
sleep 1
QT_SCALE_FACTOR=$scale '$build/middletext' & pid=\$!
id=\$(xdotool search --sync --onlyvisible --pid \$pid --name Tarnlow | head -n 1)
sleep 1
# Client coordinates of the layout, in screen pixels.
at() { xdotool mousemove --window \$id \$((\$1 * $scale)) \$((\$2 * $scale)); }
click() { at \$1 \$2; xdotool click 1; sleep 0.3; }
paste() { xclip -selection clipboard -i '$work/clip'; click 200 100; xdotool key ctrl+v; }
case '$scene' in
  extract|message)
    paste
    click 80 280
    if [ '$scene' = message ]; then xdotool type '<i>'; else xdotool type '<b>'; fi
    click 430 280
    xdotool type '</b>'
    click 200 316
    ;;
  marked)
    paste
    click 80 280
    xdotool type '<span class="price">'
    click 430 280
    xdotool type '</span>'
    click 200 316
    ;;
  live)
    paste
    click 80 280
    xdotool type '<span class="price">'
    click 430 280
    xdotool type '</span>'
    ;;
  livefail)
    paste
    xdotool key ctrl+Home
    click 80 280
    xdotool type '库存  128 件'
    sleep 1
    click 430 280
    xdotool type '</span>'
    ;;
  find)
    paste
    click 260 280
    xdotool type 'class="price"'
    click 282 316
    ;;
  suggest)
    paste
    # To the third line, past 35 characters, then six selected: ¥79.90.
    xdotool key ctrl+Home Down Down Home
    xdotool key --repeat 35 --delay 10 Right
    xdotool key --repeat 6 --delay 10 shift+Right
    xdotool key F4
    ;;
  count:*)
    paste
    sleep \${MT_SHOT_PASTE_DELAY:-10}
    ;;
  minified)
    paste
    sleep 5
    # Halfway down, where the rows cross many segment edges.
    at 510 130
    xdotool click 1
    ;;
  errorpage)
    python3 -m http.server --bind 127.0.0.1 $port --directory '$work/www' >/dev/null 2>&1 & server=\$!
    sleep 1
    click 45 316
    sleep 1
    xdotool key ctrl+a
    xdotool type 'http://127.0.0.1:$port/goods/1024.html'
    xdotool key Return
    sleep 1
    kill \$server
    ;;
  linebreak)
    paste
    click 80 280
    xdotool type '<b>'
    xdotool key Return
    click 430 280
    xdotool key Return
    xdotool type '</b>'
    click 200 316
    ;;
esac
sleep \${MT_SHOT_DELAY:-2}
[ '$scene' = message ] && id=\$(xdotool getactivewindow)
at 1000 1000
import -frame -window \$id '$out'
kill \$pid 2>/dev/null || true
EOF
xvfb-run -a -s "-screen 0 $((1280 * scale))x$((800 * scale))x24 -dpi 96" bash "$work/scene.sh"
echo "$out"
