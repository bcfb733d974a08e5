"""Reading a large page in the real window, against `middletext fetch` of the
same page in the same round (used by window_bench.py).

A server on 127.0.0.1 answers every request with one UTF-8 file (declared
"text/html; charset=utf-8", with its Content-Length), sent by the kernel.
In the tool's window: a click on the read-page button, the address typed
into the dialog's address box, then Return; the time runs from Return to
the last drawing of the count label (none follows for LABEL_QUIET_MS), and the peak RSS is VmHWM from /proc. The command line: `fetch
URL` with its output going to /dev/null, timed from start to exit, its peak
RSS from the kernel's accounting of the child (ru_maxrss).
"""
import http.server
import os
import re
import socketserver
import subprocess
import threading
import time

READ_BUTTON_CLICK = "45,317"
# The read ends this long after the count label's last drawing.
LABEL_QUIET_MS = 6000


class _Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"

    def do_GET(self):
        path = self.server.page
        size = os.path.getsize(path)
        self.send_response(200)
        self.send_header("Content-Type", "text/html; charset=utf-8")
        self.send_header("Content-Length", str(size))
        self.end_headers()
        self.wfile.flush()
        with open(path, "rb") as f:
            try:
                self.connection.sendfile(f)
            except OSError:
                pass  # the client went away

    def log_message(self, *args):
        pass


class _Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True


class PageServer:
    """Serves `page` on 127.0.0.1 until stop()."""

    def __init__(self, page):
        self.httpd = _Server(("127.0.0.1", 0), _Handler)
        self.httpd.page = page
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)
        self.thread.start()
        self.url = f"http://127.0.0.1:{self.httpd.server_address[1]}/page.html"

    def stop(self):
        self.httpd.shutdown()
        self.httpd.server_close()


def _wait_for_dialog(w, timeout_s=30):
    """The program's visible window other than its main one: the address dialog."""
    end = time.monotonic() + timeout_s
    while time.monotonic() < end:
        out = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(w.proc.pid)],
                             capture_output=True, text=True, timeout=30).stdout.split()
        others = [x for x in out if x != w.win]
        if others:
            return others[-1]
        time.sleep(0.1)
    raise RuntimeError(f"{w.program.name}: the address dialog did not appear")


def window_read(program, url, xwin, make_window, log):
    """Seconds from Return to the count label's last drawing, peak RSS KiB."""
    w = make_window(program, xwin)
    try:
        w.act("click:" + READ_BUTTON_CLICK, 1, 0, 10, 500)
        dialog = _wait_for_dialog(w)
        subprocess.run(["xdotool", "windowactivate", "--sync", dialog], check=True, timeout=30)
        time.sleep(0.3)
        # A click into the address box gives it the keyboard for sure.
        subprocess.run(["xdotool", "mousemove", "--window", dialog, "220", "95", "click", "1"], check=True, timeout=30)
        time.sleep(0.3)
        subprocess.run(["xdotool", "key", "--clearmodifiers", "ctrl+a"], check=True)
        subprocess.run(["xdotool", "type", "--delay", "0", url], check=True)
        time.sleep(0.3)
        out = w.act_raw("key:Return", 1, 0, 90, -LABEL_QUIET_MS)
        peak = w.status_kb("VmHWM")
    finally:
        w.close()
    m = re.search(r"label_last_ms (\S+)", out)
    label = float(m.group(1)) if m else -1
    if label < 0:
        log(f"  read      {program.name:6} the count label was not drawn")
    return label / 1000, peak


def fetch_read(tool, url):
    """Seconds for `tool fetch URL` > /dev/null, peak RSS KiB, exit status."""
    env = dict(os.environ, LANG="C.UTF-8", LC_ALL="C.UTF-8")
    t0 = time.monotonic()
    with open(os.devnull, "wb") as null:
        proc = subprocess.Popen([tool, "fetch", url], stdout=null, stderr=subprocess.DEVNULL, env=env)
        _, status, usage = os.wait4(proc.pid, 0)
    seconds = time.monotonic() - t0
    proc.returncode = status
    return seconds, usage.ru_maxrss, status


def read_run(programs, tool_path, page, xwin, make_window, results, log, reverse):
    """One round: every tool's window reads the page, and `fetch` once."""
    server = PageServer(page)
    body_mib = os.path.getsize(page) / (1 << 20)
    try:
        steps = [("fetch", None)] + [(p.name, p) for p in programs if not p.bare]
        if reverse:
            steps.reverse()
        for name, program in steps:
            keep = results.setdefault(("read", name), {})
            if program is None:
                seconds, peak, status = fetch_read(tool_path, url=server.url)
                if status != 0:
                    log(f"  read      fetch  exit status {status}")
            else:
                seconds, peak = window_read(program, server.url, xwin, make_window, log)
            keep.setdefault("read until the count is painted (ms)", []).append(seconds * 1000)
            keep.setdefault("peak RSS (MiB)", []).append(peak / 1024)
            keep.setdefault("peak RSS / body", []).append(peak / 1024 / body_mib)
            log(f"  read      {name:6} {seconds * 1000:8.1f} ms | peak {peak / 1024:6.1f} MiB "
                f"({peak / 1024 / body_mib:.2f}x the body)")
    finally:
        server.stop()
