#!/usr/bin/env python3
"""Heavy work in the real window, against a bare QPlainTextEdit in the same run.

    window_bench.py --xwin BIN --bare BIN --tool NAME=BIN [--tool NAME=BIN ...]
                    [--rounds 3] [--mib 64] [--read-mib 200] [--only start,lines,line,read,live,live5,left,left5,f4]
                    [--bare-one-line]

Needs an X display with a window manager (scripts/window_bench.sh starts
Xvfb and openbox), xdotool and xclip. Every program is started afresh for
each measure; the rounds are interleaved (each round runs every program, in
turn, the order reversed every other round).

Measures, per program and round:
- start-up to first paint: `xwin start`, drawing inside the client window;
- a page of MIB MiB (UTF-8 on the clipboard, mixed Chinese and ASCII; one
  line, or lines of about 60 bytes) pasted into the big box, then 20
  keystrokes ("x", at the end of the text) 0.1 s apart, a 2 s pause, and 20
  more 1.5 s apart. A keystroke's time runs from the key press to the last
  drawing it caused (the tool's count label included); the slowest and the
  median of each run of 20 are kept;
- peak RSS after the paste and the first 20 keystrokes (VmHWM), and the
  settled RSS 10 s after the last key (Rss of /proc/PID/smaps_rollup: each
  resident page once, shared libraries included; Pss is shown beside it);
- copy: select all, then from Ctrl+C until another program (xclip -o) has
  read the whole text from the clipboard (the program must first take the
  clipboard over from the xclip that served the page); beside it, what the
  same read takes from that xclip (the transfer alone).

- live (MIB MiB) and live5 (5 MiB): results while typing. The page (with
  line breaks) ends in a rule found near its end: thirty "7"s, a line with
  the middle text, and thirty "9"s; the rest holds no digit. The tool gets "7" in its left box, then
  20 keystrokes "9" 0.1 s apart in its right box; each runs the extraction
  over the page and writes the middle box and the marks. A keystroke's time
  runs from the key press to the last drawing it caused. The bare program
  gets the same page and 20 keystrokes at its end: the reference.
- left (MIB MiB) and left5 (5 MiB): the same page, "9" in the right box,
  then 20 keystrokes "7" 0.1 s apart in the left box, each a run as above.

- f4 (5 MiB): the same page; the middle line near its end is selected with
  the keyboard, then F4 makes a rule of it (the left, right and middle
  boxes written and the marks drawn). Its time runs from the key press to
  the last drawing it caused; the bare program's reference is a key typed
  over the same selection.

- read: a page of READ_MIB MiB of UTF-8 (with line breaks) from a server on
  127.0.0.1, read with the read-page button, until the count label is
  painted, and the peak RSS; against `fetch` of the same page by the first
  tool (see page_read.py).

Figures: the median over the rounds, the spread (min-max) beside it, and the
ratio of the medians against the bare program.
"""
import argparse
import os
import random
import re
import signal
import statistics
import subprocess
import sys
import tempfile
import time

import page_read

MIB = 1 << 20
# Where each scene's last screen goes (--shots), to see what was measured.
SHOTS = None
# Client coordinates in the tool's window (and the same place in the bare one).
BIG_BOX_CLICK = "200,100"
COUNT_LABEL = (410, 304, 111, 32)


def log(*a):
    print(*a, flush=True)


def make_page(path, mib, line_breaks):
    """MIB MiB of UTF-8: a 1 MiB piece of mixed text repeated (fixed seed)."""
    rng = random.Random(22)
    cjk = [chr(c) for c in range(0x4E00, 0x9FA6)]
    letters = "abcdefghijklmnopqrstuvwxyz <>/=\""
    parts, n = [], 0
    while n < MIB:
        if rng.random() < 0.5:
            s = "".join(rng.choices(cjk, k=rng.randint(5, 20)))
        else:
            s = "".join(rng.choices(letters, k=rng.randint(10, 60)))
        s += "\n" if line_breaks else ""
        parts.append(s)
        n += len(s.encode())
    piece = "".join(parts).encode()
    with open(path, "wb") as f:
        left = mib * MIB
        while left > 0:
            f.write(piece[:left])
            left -= len(piece)


class Program:
    def __init__(self, name, argv, bare):
        self.name, self.argv, self.bare = name, argv, bare


class Window:
    def __init__(self, program, xwin):
        self.program = program
        self.xwin = xwin
        self.proc = subprocess.Popen(program.argv, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        out = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--pid", str(self.proc.pid)],
                             capture_output=True, text=True, timeout=60).stdout.split()
        if not out:
            raise RuntimeError(f"{program.name}: no window")
        self.win = out[0]
        self.shot = None
        time.sleep(1.0)

    def act_raw(self, action, repeat=1, gap_ms=0, timeout_s=60, quiet_ms=300):
        label = (0, 0, 0, 0) if self.program.bare else COUNT_LABEL
        cmd = [self.xwin, "act", self.win, *map(str, label), action, str(repeat), str(gap_ms), str(timeout_s),
               str(quiet_ms)]
        return subprocess.run(cmd, capture_output=True, text=True, timeout=timeout_s * repeat + 60).stdout

    def act(self, action, repeat=1, gap_ms=0, timeout_s=60, quiet_ms=300):
        out = self.act_raw(action, repeat, gap_ms, timeout_s, quiet_ms)
        rows = re.findall(r"label_ms (\S+) settled_ms (\S+)", out)
        return [(float(a), float(b)) for a, b in rows]

    def copy(self):
        """Ctrl+C; milliseconds until the program owns the clipboard."""
        out = subprocess.run([self.xwin, "copy", self.win, "120"], capture_output=True, text=True,
                             timeout=180).stdout
        m = re.search(r"owned_ms (\S+)", out)
        if not m or float(m.group(1)) < 0:
            raise RuntimeError(f"{self.program.name}: the copy did not take the clipboard")
        return float(m.group(1))

    def status_kb(self, field):
        with open(f"/proc/{self.proc.pid}/status") as f:
            for line in f:
                if line.startswith(field + ":"):
                    return int(line.split()[1])
        return -1

    def rollup_kb(self):
        got = {}
        with open(f"/proc/{self.proc.pid}/smaps_rollup") as f:
            for line in f:
                m = re.match(r"(\w+):\s+(\d+) kB", line)
                if m:
                    got[m.group(1)] = int(m.group(2))
        return got

    def close(self):
        if SHOTS and self.shot:
            subprocess.run(["import", "-window", "root", os.path.join(SHOTS, self.shot + ".png")],
                           capture_output=True, timeout=60)
        self.proc.send_signal(signal.SIGTERM)
        try:
            self.proc.wait(10)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()


def set_clipboard(path):
    subprocess.run(["xclip", "-selection", "clipboard", "-t", "UTF8_STRING", "-i", path], check=True)


def page_run(program, page, xwin, results, tag):
    """One program, one page: paste, typing, memory, copy."""
    set_clipboard(page)
    t0 = time.monotonic()
    subprocess.run(["xclip", "-selection", "clipboard", "-o", "-t", "UTF8_STRING"], capture_output=True, timeout=120)
    floor_ms = (time.monotonic() - t0) * 1000
    w = Window(program, xwin)
    try:
        w.act("click:" + BIG_BOX_CLICK, 1, 0, 10, 300)
        paste = w.act("ctrl:v", 1, 0, 600, 2000)
        paste_ms = paste[0][1] if paste else -1
        time.sleep(2)
        fast = w.act("key:x", 20, 100, 30, 40)
        peak = w.status_kb("VmHWM")
        time.sleep(2)
        slow = w.act("key:x", 20, 1500, 30, 40)
        time.sleep(10)
        settled = w.rollup_kb()
        w.act("ctrl:a", 1, 0, 60, 500)
        owned = w.copy()
        t0 = time.monotonic()
        got = subprocess.run(["xclip", "-selection", "clipboard", "-o", "-t", "UTF8_STRING"],
                             capture_output=True, timeout=120).stdout
        copy_s = time.monotonic() - t0 + owned / 1000
    finally:
        w.close()
    expected = os.path.getsize(page) + len(fast) + len(slow)
    if len(got) != expected:
        log(f"  {program.name}: the copy read {len(got)} bytes, not the {expected} of the page and the keys typed")
    keep = results.setdefault((tag, program.name), {})
    for name, run in (("0.1 s", fast), ("1.5 s", slow)):
        done = [s for _, s in run]
        if len(done) == 20 and min(done) >= 0:
            keep.setdefault(f"slowest key, {name} apart (ms)", []).append(max(done))
            keep.setdefault(f"median key, {name} apart (ms)", []).append(statistics.median(done))
        if not program.bare:
            labels = [a for a, _ in run]
            keep.setdefault(f"median count shown, {name} apart (ms)", []).append(statistics.median(labels))
    keep.setdefault("paste settled (ms)", []).append(paste_ms)
    keep.setdefault("peak RSS, paste + 20 keys (MiB)", []).append(peak / 1024)
    keep.setdefault("settled RSS, 10 s after (MiB)", []).append(settled.get("Rss", -1) / 1024)
    keep.setdefault("settled PSS, 10 s after (MiB)", []).append(settled.get("Pss", -1) / 1024)
    keep.setdefault("copy to xclip -o (ms)", []).append(copy_s * 1000)
    keep.setdefault("  the same from xclip -i (ms)", []).append(floor_ms)
    log(f"  {tag:9} {program.name:6} paste {paste_ms:8.1f} ms | keys 0.1 s: median "
        f"{statistics.median([s for _, s in fast]) if fast else -1:7.2f} max {max([s for _, s in fast], default=-1):7.2f}"
        f" | keys 1.5 s: median {statistics.median([s for _, s in slow]) if slow else -1:7.2f}"
        f" max {max([s for _, s in slow], default=-1):7.2f} | peak {peak / 1024:6.1f} MiB settled "
        f"{settled.get('Rss', -1) / 1024:6.1f} MiB | copy {copy_s * 1000:7.1f} ms ({len(got)} bytes)")


LEFT_BOX_CLICK = "80,280"
RIGHT_BOX_CLICK = "430,280"


def make_live_page(path, mib):
    """A page of MIB MiB whose rule "7" ... "9" is found near its end: thirty
    "7"s, a line of its own with a middle text, and thirty "9"s."""
    make_page(path, mib, True)
    tail = ("<b>" + "7" * 30 + "</b>\n价格12345元\n" + "9" * 30 + "\n").encode()
    with open(path, "r+b") as f:
        # Behind the last whole line that leaves room for it.
        f.seek(mib * MIB - len(tail) - 4096)
        block = f.read(4096)
        at = mib * MIB - len(tail) - 4096 + block.rindex(b"\n") + 1
        f.seek(at)
        f.write(tail)
        f.truncate()


def live_run(program, page, xwin, results, tag):
    """One program: the rule's right text typed key by key, the result live."""
    set_clipboard(page)
    w = Window(program, xwin)
    w.shot = f"{tag}-{program.name}"
    try:
        w.act("click:" + BIG_BOX_CLICK, 1, 0, 10, 300)
        w.act("ctrl:v", 1, 0, 600, 2000)
        time.sleep(2)
        if program.bare:
            keys = w.act("key:x", 20, 100, 30, 40)
        else:
            w.act("click:" + LEFT_BOX_CLICK, 1, 0, 10, 300)
            w.act("key:7", 1, 0, 10, 300)
            # Into the right box: the first run reads the text.
            w.act("click:" + RIGHT_BOX_CLICK, 1, 0, 30, 500)
            keys = w.act("key:9", 20, 100, 30, 40)
    finally:
        w.close()
    keep_keys(program, keys, results, tag)


def live_left_run(program, page, xwin, results, tag):
    """One program: the rule's left text typed key by key, the result live."""
    set_clipboard(page)
    w = Window(program, xwin)
    w.shot = f"{tag}-{program.name}"
    try:
        w.act("click:" + BIG_BOX_CLICK, 1, 0, 10, 300)
        w.act("ctrl:v", 1, 0, 600, 2000)
        time.sleep(2)
        if program.bare:
            keys = w.act("key:x", 20, 100, 30, 40)
        else:
            w.act("click:" + RIGHT_BOX_CLICK, 1, 0, 10, 300)
            w.act("key:9", 1, 0, 10, 300)
            # Into the left box: the first run reads the text.
            w.act("click:" + LEFT_BOX_CLICK, 1, 0, 30, 500)
            keys = w.act("key:7", 20, 100, 30, 40)
    finally:
        w.close()
    keep_keys(program, keys, results, tag)


def suggest_run(program, page, xwin, results, tag):
    """One program: a line near the end of the page selected with the
    keyboard, then F4 (the tool makes a rule of it); the bare program types a
    key over the same selection."""
    set_clipboard(page)
    w = Window(program, xwin)
    w.shot = f"{tag}-{program.name}"
    try:
        w.act("click:" + BIG_BOX_CLICK, 1, 0, 10, 300)
        w.act("ctrl:v", 1, 0, 600, 2000)
        time.sleep(2)
        # The page ends in "...</b>", the middle line, thirty "9"s and a line
        # break: two lines up from the end is the middle line.
        for action in ("ctrl:End", "key:Up", "key:Up", "key:Home", "shift:End"):
            w.act(action, 1, 0, 10, 200)
        time.sleep(0.5)
        keys = w.act("key:x" if program.bare else "key:F4", 1, 0, 30, 100)
    finally:
        w.close()
    done = [s for _, s in keys]
    keep = results.setdefault((tag, program.name), {})
    if len(done) == 1 and done[0] >= 0:
        keep.setdefault("key to boxes painted (ms)", []).append(done[0])
    log(f"  {tag:9} {program.name:6} key: {done[0] if done else -1:7.2f} ms")


def keep_keys(program, keys, results, tag):
    done = [s for _, s in keys]
    keep = results.setdefault((tag, program.name), {})
    if len(done) == 20 and min(done) >= 0:
        keep.setdefault("median key to result painted (ms)", []).append(statistics.median(done))
        keep.setdefault("slowest key to result painted (ms)", []).append(max(done))
    log(f"  {tag:9} {program.name:6} keys: median {statistics.median(done) if done else -1:7.2f} "
        f"max {max(done, default=-1):7.2f}")


def start_run(program, xwin, results):
    out = subprocess.run([xwin, "start", "1500", "--", *program.argv], capture_output=True, text=True,
                         timeout=90).stdout
    m = re.search(r"first_paint_ms (\S+)", out)
    first = float(m.group(1)) if m else -1
    results.setdefault(("start", program.name), {}).setdefault("start-up to first paint (ms)", []).append(first)
    log(f"  start     {program.name:6} first paint {first:7.1f} ms")


def summary(results, programs):
    # The page read has `fetch` as its reference.
    programs = programs + [Program("fetch", [], True)]
    log("\nmedian over rounds [min-max]; ratio = median / bare's median")
    tags = []
    for tag, _ in results:
        if tag not in tags:
            tags.append(tag)
    for tag in tags:
        measures = []
        for p in programs:
            for m in results.get((tag, p.name), {}):
                if m not in measures:
                    measures.append(m)
        log(f"\n[{tag}]")
        for m in measures:
            cells, bare = [], None
            for p in programs:
                v = results.get((tag, p.name), {}).get(m)
                if not v:
                    continue
                med = statistics.median(v)
                if p.bare and (p.name == "fetch") == (tag == "read"):
                    bare = med
                cells.append((p, med, min(v), max(v)))
            line = f"  {m:40}"
            for p, med, lo, hi in cells:
                ratio = f" ({med / bare:.2f}x)" if bare and not p.bare and bare > 0 and "/" not in m else ""
                line += f" | {p.name} {med:8.1f} [{lo:.1f}-{hi:.1f}]{ratio}"
            log(line)


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--xwin", required=True)
    ap.add_argument("--bare", required=True)
    ap.add_argument("--tool", action="append", required=True, help="NAME=PATH of a build of the tool")
    ap.add_argument("--rounds", type=int, default=3)
    ap.add_argument("--mib", type=int, default=64)
    ap.add_argument("--read-mib", type=int, default=200)
    ap.add_argument("--only", default="start,lines,line,read")
    ap.add_argument("--no-bare", action="store_true", help="leave the bare program out (builds against each other)")
    ap.add_argument("--bare-one-line", action="store_true",
                    help="also paste the one-line page into the bare QPlainTextEdit (it lays out the whole line)")
    ap.add_argument("--shots", help="save the screen at the end of each live scene into this folder")
    args = ap.parse_args()
    global SHOTS
    SHOTS = args.shots
    programs = [Program(entry.split("=", 1)[0], [entry.split("=", 1)[1]], False) for entry in args.tool]
    if not args.no_bare:
        programs.append(Program("bare", [args.bare], True))
    only = args.only.split(",")
    work = tempfile.mkdtemp(prefix="window_bench.")
    pages = {}
    for tag, breaks in (("lines", True), ("line", False)):
        if tag in only:
            pages[tag] = os.path.join(work, f"{tag}.utf8")
            make_page(pages[tag], args.mib, breaks)
    live_pages = {}
    scenes = {"live": live_run, "live5": live_run, "left": live_left_run, "left5": live_left_run,
              "f4": suggest_run}
    for tag, mib in (("live", args.mib), ("live5", 5), ("left", args.mib), ("left5", 5), ("f4", 5)):
        if tag in only:
            live_pages[tag] = os.path.join(work, f"{tag}.utf8")
            make_live_page(live_pages[tag], mib)
    read_page = None
    if "read" in only:
        read_page = os.path.join(work, "read.utf8")
        make_page(read_page, args.read_mib, True)
    log(f"load: {open('/proc/loadavg').read().strip()}")
    results = {}
    for r in range(args.rounds):
        order = programs if r % 2 == 0 else programs[::-1]
        log(f"round {r + 1}")
        if "start" in only:
            for p in order:
                start_run(p, args.xwin, results)
        for tag, page in pages.items():
            for p in order:
                if p.bare and tag == "line" and not args.bare_one_line:
                    continue
                try:
                    page_run(p, page, args.xwin, results, tag)
                except (OSError, RuntimeError, subprocess.SubprocessError) as e:
                    log(f"  {tag:9} {p.name:6} failed: {e}")
        for tag, page in live_pages.items():
            for p in order:
                try:
                    scenes[tag](p, page, args.xwin, results, tag)
                except (OSError, RuntimeError, subprocess.SubprocessError) as e:
                    log(f"  {tag:9} {p.name:6} failed: {e}")
        if read_page:
            tools = [p for p in programs if not p.bare]
            page_read.read_run(tools, tools[0].argv[0], read_page, args.xwin, Window, results, log, r % 2 == 1)
        log(f"load: {open('/proc/loadavg').read().strip()}")
    summary(results, programs)
    for f in list(pages.values()) + list(live_pages.values()) + ([read_page] if read_page else []):
        os.remove(f)
    os.rmdir(work)


if __name__ == "__main__":
    sys.exit(main())
