#!/usr/bin/env bash
# Reads the window through the desktop's accessibility stack (at-spi2-core,
# python3-pyatspi) under a virtual display: the frame and its title, the
# names, descriptions and roles of the boxes and the count label, the
# label's caption as text; then edits the big box: character boxes, the
# offset at a point, insert and delete, and the text-changed events.
# Needs: apt-get install at-spi2-core python3-pyatspi (not part of set-up);
# dbus-launch (dbus-x11) or dbus-run-session.
#
#   scripts/accessibility_check.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/release}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat > "$work/check.py" <<'PY'
import pyatspi, sys, time, threading
from gi.repository import GLib
def find_app():
    desk = pyatspi.Registry.getDesktop(0)
    for app in desk:
        if app and app.name and 'middletext' in app.name.lower():
            return app
    return None
app=None
for _ in range(30):
    app=find_app()
    if app: break
    time.sleep(0.5)
print("application:", app.name if app else None)
def walk(o, depth=0):
    yield o
    for c in o:
        if c: yield from walk(c, depth+1)
for w in app:
    print("window: role", w.getRoleName(), "name", repr(w.name))
def caption(o):
    try:
        t=o.queryText()
        return repr(t.getText(0,-1))
    except NotImplementedError:
        return "(no text interface)"
named=[o for o in walk(app) if o.getRole() in (pyatspi.ROLE_TEXT, pyatspi.ROLE_LABEL)]
for o in sorted(named, key=lambda o: (o.queryComponent().getExtents(pyatspi.DESKTOP_COORDS).y, o.queryComponent().getExtents(pyatspi.DESKTOP_COORDS).x)):
    print("%s: name %r description %r text %s" % (o.getRoleName(), o.name, o.description, caption(o)))
texts=[o for o in walk(app) if o.getRole()==pyatspi.ROLE_TEXT]
print("text objects:", len(texts))
big=None
for o in texts:
    e=o.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    if e.height>100: big=o
t=big.queryText()
print("big box: characterCount", t.characterCount, "text", repr(t.getText(0,-1)))
for off in (0,1,2):
    print("extents of", off, t.getCharacterExtents(off, pyatspi.DESKTOP_COORDS))
x,y,w,h=t.getCharacterExtents(1, pyatspi.DESKTOP_COORDS)
print("offset at the middle of character 1:", t.getOffsetAtPoint(x+w//2, y+h//2, pyatspi.DESKTOP_COORDS))
events=[]
def on(ev): events.append((ev.type, ev.detail1, ev.detail2, str(ev.any_data)))
pyatspi.Registry.registerEventListener(on, "object:text-changed:insert", "object:text-changed:delete", "object:text-selection-changed")
et=big.queryEditableText()
print("insertText:", et.insertText(2, "中文", len("中文")))
print("deleteText:", et.deleteText(0, 1))
loop=GLib.MainLoop()
GLib.timeout_add(1500, loop.quit)
loop.run()
print("text now:", repr(t.getText(0,-1)))
for e in events: print("event:", e)
PY
cat > "$work/scene.sh" <<SCENE
if command -v dbus-launch >/dev/null; then eval "\$(dbus-launch --sh-syntax)"; fi
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
sleep 2
openbox >/dev/null 2>&1 &
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 '$build/middletext' >/dev/null 2>&1 &
app=\$!
sleep 4
id=\$(timeout 20 xdotool search --onlyvisible --pid \$app --name Tarnlow | head -n 1)
printf 'ab价格' | xclip -selection clipboard -i
xdotool mousemove --window \$id 200 100 click 1; sleep 0.3; xdotool key ctrl+v; sleep 0.5
timeout 40 /usr/bin/python3 -u '$work/check.py'
kill \$app
SCENE
if command -v dbus-launch >/dev/null; then
  timeout 120 xvfb-run -a -s "-screen 0 1000x600x24" bash "$work/scene.sh"
else
  timeout 120 xvfb-run -a -s "-screen 0 1000x600x24" dbus-run-session -- bash "$work/scene.sh"
fi
