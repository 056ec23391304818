#!/usr/bin/env python3
"""Compare the viewer with a bare WebKitGTK window and with peer browsers.

Every program is started with the document folder as its current directory
and shows its index.html in a window of the screen's size; the programs take
turns, run after run. For each one the script measures:
  * wall time from exec to the start page's load event (median): the
    viewer and the bare window print a "Load finished: " line; surf's window
    title loses its progress figure; chromium --app is asked through its
    DevTools port for the page's loadEventEnd,
  * PSS summed over the process and all its descendants, and the UI
    process's RSS, once the page has loaded and settled,
  * CPU ticks used by the whole process tree while idle after the load.
The viewer and the bare window run with the engine's page sandbox, and once
more without it for the sandbox's own cost. Then the folder-size check (the
start-to-load time on the real folder versus a symlink copy of it with many
extra empty files) and a long session: a copy of the folder whose pages step
on to the next page of a fixed walk by themselves, 1,000 navigations, with the
UI process's RSS and the group's PSS every 200. The idle ticks of the viewer
and the bare window are printed beside a page that allocates without end in
each: when its page process is ended, how large it grew, and the group's CPU
ticks meanwhile.

Standard library only. Must run with a usable $DISPLAY.
"""

import argparse
import collections
import ctypes
import html
import json
import os
import random
import re
import socket
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import threading
import time
import urllib.request

LOAD_MARKER = "Load finished: "
CLK_TCK = os.sysconf("SC_CLK_TCK")
PAGE_KIB = os.sysconf("SC_PAGE_SIZE") // 1024
PAUSE_BETWEEN_RUNS = 0.5


# ---------------------------------------------------------------- /proc helpers

def read_stat(pid):
    """Return (ppid, pgid, ticks, starttime) of pid, or None if it is gone.

    Zombies count as gone: they use nothing and cannot be signalled away.
    """
    try:
        with open(f"/proc/{pid}/stat") as f:
            data = f.read()
    except OSError:
        return None
    # The command name is in parentheses and may itself hold spaces or ')'.
    fields = data[data.rindex(")") + 2:].split()
    # fields[0] is field 3 (state) of proc(5).
    if fields[0] in ("Z", "X"):
        return None
    ppid = int(fields[1])
    pgid = int(fields[2])
    ticks = int(fields[11]) + int(fields[12])  # utime + stime
    starttime = int(fields[19])
    return ppid, pgid, ticks, starttime


def all_stats():
    stats = {}
    for name in os.listdir("/proc"):
        if name.isdigit():
            st = read_stat(int(name))
            if st is not None:
                stats[int(name)] = st
    return stats


def process_tree(root):
    """Map pid -> starttime for root and every descendant still alive."""
    stats = all_stats()
    if root not in stats:
        return {}
    children = {}
    for pid, st in stats.items():
        children.setdefault(st[0], []).append(pid)
    tree = {}
    todo = [root]
    while todo:
        pid = todo.pop()
        tree[pid] = stats[pid][3]
        todo.extend(children.get(pid, []))
    return tree


def tree_ticks(root):
    """Map (pid, starttime) -> utime+stime for the tree under root."""
    result = {}
    for pid, start in process_tree(root).items():
        st = read_stat(pid)
        if st is not None and st[3] == start:
            result[(pid, start)] = st[2]
    return result


def smaps_kib(pid, key):
    try:
        with open(f"/proc/{pid}/smaps_rollup") as f:
            for line in f:
                if line.startswith(key + ":"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


def rss_kib(pid):
    try:
        with open(f"/proc/{pid}/statm") as f:
            return int(f.read().split()[1]) * PAGE_KIB
    except OSError:
        return 0


# ------------------------------------------------- watching peers' windows and pages

class XWindows:
    """Window titles on $DISPLAY through Xlib, for programs that print nothing."""

    def __init__(self):
        x = ctypes.CDLL("libX11.so.6")
        x.XOpenDisplay.restype = ctypes.c_void_p
        x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x.XDefaultRootWindow.restype = ctypes.c_ulong
        x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x.XInternAtom.restype = ctypes.c_ulong
        x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        x.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                                 ctypes.POINTER(ctypes.c_ulong),
                                 ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)),
                                 ctypes.POINTER(ctypes.c_uint)]
        x.XGetWindowProperty.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_long,
                                         ctypes.c_long, ctypes.c_int, ctypes.c_ulong,
                                         ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_int),
                                         ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_ulong),
                                         ctypes.POINTER(ctypes.c_void_p)]
        x.XFree.argtypes = [ctypes.c_void_p]
        x.XResizeWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_uint, ctypes.c_uint]
        x.XFlush.argtypes = [ctypes.c_void_p]
        # Windows vanish between listing and reading them; ignore the errors that causes.
        self._handler = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(lambda d, e: 0)
        x.XSetErrorHandler(self._handler)
        self.x = x
        self.dpy = x.XOpenDisplay(None)
        if not self.dpy:
            raise RuntimeError("cannot open $DISPLAY")
        self.root = x.XDefaultRootWindow(self.dpy)
        self.name_atom = x.XInternAtom(self.dpy, b"_NET_WM_NAME", 0)

    def _children(self, window):
        root, parent = ctypes.c_ulong(), ctypes.c_ulong()
        kids, n = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
        if not self.x.XQueryTree(self.dpy, window, ctypes.byref(root), ctypes.byref(parent),
                                 ctypes.byref(kids), ctypes.byref(n)):
            return []
        result = [kids[i] for i in range(n.value)]
        if kids:
            self.x.XFree(kids)
        return result

    def _title(self, window):
        kind, fmt_, n, left = ctypes.c_ulong(), ctypes.c_int(), ctypes.c_ulong(), ctypes.c_ulong()
        data = ctypes.c_void_p()
        if self.x.XGetWindowProperty(self.dpy, window, self.name_atom, 0, 1024, 0, 0, ctypes.byref(kind),
                                     ctypes.byref(fmt_), ctypes.byref(n), ctypes.byref(left),
                                     ctypes.byref(data)) != 0 or not data:
            return ""
        text = ctypes.string_at(data, n.value).decode("utf-8", "replace")
        self.x.XFree(data)
        return text

    def find(self, pattern):
        """The first window whose title matches pattern, or None."""
        todo = [self.root]
        while todo:
            window = todo.pop()
            if re.search(pattern, self._title(window)):
                return window
            todo.extend(self._children(window))
        return None

    def resize(self, window, width, height):
        self.x.XResizeWindow(self.dpy, window, width, height)
        self.x.XFlush(self.dpy)


def screen_size():
    out = subprocess.run(["xdpyinfo"], capture_output=True, text=True).stdout
    m = re.search(r"dimensions:\s+(\d+)x(\d+)", out)
    return (int(m.group(1)), int(m.group(2))) if m else (1280, 1024)


class DevTools:
    """Just enough of the DevTools protocol to evaluate an expression in a page."""

    def __init__(self, port):
        with urllib.request.urlopen(f"http://127.0.0.1:{port}/json/list", timeout=2) as r:
            pages = [t for t in json.load(r) if t.get("type") == "page"]
        if not pages:
            raise OSError("no page yet")
        url = pages[0]["webSocketDebuggerUrl"]
        host, _, path = url[len("ws://"):].partition("/")
        name, _, port_ = host.partition(":")
        self.sock = socket.create_connection((name, int(port_)), timeout=5)
        key = "dGhlIHNhbXBsZSBub25jZQ=="
        self.sock.sendall((f"GET /{path} HTTP/1.1\r\nHost: {host}\r\nUpgrade: websocket\r\n"
                           f"Connection: Upgrade\r\nSec-WebSocket-Key: {key}\r\n"
                           "Sec-WebSocket-Version: 13\r\n\r\n").encode())
        reply = b""
        while b"\r\n\r\n" not in reply:
            chunk = self.sock.recv(4096)
            if not chunk:
                raise OSError("DevTools closed the connection")
            reply += chunk
        self.buffer = reply.split(b"\r\n\r\n", 1)[1]
        self.next_id = 0

    def _recv(self, n):
        while len(self.buffer) < n:
            chunk = self.sock.recv(65536)
            if not chunk:
                raise OSError("DevTools closed the connection")
            self.buffer += chunk
        data, self.buffer = self.buffer[:n], self.buffer[n:]
        return data

    def evaluate(self, expression):
        self.next_id += 1
        payload = json.dumps({"id": self.next_id, "method": "Runtime.evaluate",
                              "params": {"expression": expression, "returnByValue": True}}).encode()
        mask = os.urandom(4)
        header = bytes([0x81])
        if len(payload) < 126:
            header += bytes([0x80 | len(payload)])
        else:
            header += bytes([0x80 | 126]) + len(payload).to_bytes(2, "big")
        self.sock.sendall(header + mask + bytes(b ^ mask[i % 4] for i, b in enumerate(payload)))
        while True:
            head = self._recv(2)
            size = head[1] & 0x7F
            if size == 126:
                size = int.from_bytes(self._recv(2), "big")
            elif size == 127:
                size = int.from_bytes(self._recv(8), "big")
            message = json.loads(self._recv(size))
            if message.get("id") == self.next_id:
                return message.get("result", {}).get("result", {}).get("value")

    def close(self):
        self.sock.close()


# ------------------------------------------------------------- running a program

class Program:
    """How to start one program and how to tell that its start page has loaded.

    loader is "marker" (a "Load finished: " line on stdout or stderr), a
    regular expression for the window title surf shows once loading is done,
    or "devtools" for chromium."""

    def __init__(self, label, argv, loader="marker", env=None):
        self.label, self.argv, self.loader, self.env = label, argv, loader, env or {}


class Run:
    """One started program whose start page load is waited for."""

    def __init__(self, program, cwd, env, on_line=None):
        self.loaded = threading.Event()
        self.load_time = None
        self.load_line = ""
        self.on_line = on_line
        self.sandbox_off = None
        self.tmp = None
        self.window = None
        argv = list(program.argv)
        env = dict(env, **program.env)
        if program.loader == "devtools":
            self.tmp = tempfile.mkdtemp(prefix="folioscope-bench-chromium-")
            argv += [f"--user-data-dir={self.tmp}", "--remote-debugging-port=0"]
        self.t0 = time.monotonic()
        self.wall0 = time.time()
        self.proc = subprocess.Popen(
            argv, cwd=cwd, env=env, stdin=subprocess.DEVNULL,
            stdout=subprocess.PIPE, stderr=subprocess.PIPE,
            start_new_session=True)
        # Keep draining both pipes for the whole run so the program never
        # blocks on a full pipe, whichever stream its trace goes to.
        self.readers = [threading.Thread(target=self._drain, args=(s,), daemon=True)
                        for s in (self.proc.stdout, self.proc.stderr)]
        for r in self.readers:
            r.start()
        if program.loader == "devtools":
            threading.Thread(target=self._watch_devtools, daemon=True).start()
        elif program.loader != "marker":
            threading.Thread(target=self._watch_title, args=(program.loader,), daemon=True).start()

    def _drain(self, stream):
        for raw in iter(stream.readline, b""):
            if b"Page sandbox off: " in raw:
                self.sandbox_off = raw.decode(errors="replace").split("Page sandbox off: ", 1)[1].strip()
            if LOAD_MARKER.encode() in raw:
                line = raw.decode(errors="replace").strip()
                if not self.loaded.is_set():
                    self.load_time = time.monotonic() - self.t0
                    self.load_line = line
                    self.loaded.set()
                if self.on_line:
                    self.on_line(line)

    def _watch_title(self, pattern):
        windows = XWindows()
        while self.proc.poll() is None and not self.loaded.is_set():
            window = windows.find(pattern)
            if window:
                self.load_time = time.monotonic() - self.t0
                self.load_line = "/index.html"
                self.window = window
                # The viewer and the bare window take the screen; so does the peer.
                windows.resize(window, *screen_size())
                self.loaded.set()
                return
            time.sleep(0.005)

    def _watch_devtools(self):
        port_file = os.path.join(self.tmp, "DevToolsActivePort")
        tools = None
        while self.proc.poll() is None and not self.loaded.is_set():
            try:
                if tools is None:
                    with open(port_file) as f:
                        tools = DevTools(int(f.readline()))
                end = tools.evaluate("performance.timing.loadEventEnd")
                if end:
                    # loadEventEnd is wall-clock milliseconds.
                    self.load_time = end / 1000 - self.wall0
                    self.load_line = tools.evaluate("location.href") or ""
                    self.loaded.set()
                    tools.close()
                    return
            except (OSError, ValueError):
                tools = None
            time.sleep(0.01)

    def wait_loaded(self, timeout):
        self.loaded.wait(timeout)
        return self.load_time

    def stop(self, notes, label):
        """SIGTERM the UI process, then make sure no descendant survives."""
        pid = self.proc.pid
        tree = process_tree(pid)
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGTERM)
        try:
            status = self.proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            status = self.proc.wait()
            notes[f"{label}: did not exit within 10 s of SIGTERM, killed"] += 1
        if label.startswith("viewer") and status != 0:
            notes[f"{label}: exit status {status} after SIGTERM (expected 0)"] += 1
        # Children are re-parented when the UI process exits, so look them up
        # by the pids recorded before the signal and by our process group.
        # WebKit's helpers quit by themselves once their IPC link closes;
        # give them a moment, then terminate, then kill what still remains.
        grace_end = time.monotonic() + 3
        kill_end = grace_end + 3
        killed = set()
        while True:
            alive = [p for p, st in all_stats().items()
                     if p != pid and ((p in tree and tree[p] == st[3]) or st[1] == pid)]
            if not alive:
                break
            now = time.monotonic()
            if now >= grace_end:
                sig = signal.SIGTERM if now < kill_end else signal.SIGKILL
                for p in alive:
                    killed.add(p)
                    try:
                        os.kill(p, sig)
                    except ProcessLookupError:
                        pass
            time.sleep(0.05)
        if killed:
            notes[f"{label}: helper processes outlived the UI process by 3 s "
                  f"and were killed"] += 1
        for r in self.readers:
            r.join(timeout=2)
        if self.tmp:
            shutil.rmtree(self.tmp, ignore_errors=True)


def process_kind(pid):
    """Which part of a program group pid is, for the memory breakdown."""
    try:
        with open(f"/proc/{pid}/comm") as f:
            name = f.read().strip()
    except OSError:
        return "gone"
    if name.startswith("WebKitWebProces"):
        return "page"
    if name.startswith("WebKitNetworkPr"):
        return "network"
    if name in ("bwrap", "xdg-dbus-proxy"):
        return "sandbox"
    return "other"


def group_memory(root):
    """PSS of root's tree by kind (the UI process is "ui"), and the tree's size."""
    tree = process_tree(root)
    parts = collections.Counter({kind: 0 for kind in ("ui", "page", "network", "sandbox", "other")})
    for p in tree:
        parts["ui" if p == root else process_kind(p)] += smaps_kib(p, "Pss")
    return parts, len(tree)


def one_run(program, cwd, env, notes, settle=0.0, idle=0.0, load_timeout=60.0):
    """Start program in cwd; return dict of what was measured (None on failure)."""
    label = program.label
    run = Run(program, cwd, env)
    result = {}
    try:
        t = run.wait_loaded(load_timeout)
        if t is None:
            notes[f"{label}: start page not loaded within {load_timeout:.0f} s in {cwd}"] += 1
            return None
        result["load_s"] = t
        if not run.load_line.rstrip().endswith("/index.html"):
            notes[f"{label}: first load was not the start page: {run.load_line}"] += 1
        if settle:
            time.sleep(settle)
            parts, procs = group_memory(run.proc.pid)
            result["pss_kib"] = sum(parts.values())
            for kind, kib in parts.items():
                result[f"pss_{kind}_kib"] = kib
            result["rss_kib"] = rss_kib(run.proc.pid)
            result["procs"] = procs
        if idle:
            before = tree_ticks(run.proc.pid)
            time.sleep(idle)
            after = tree_ticks(run.proc.pid)
            result["idle_ticks"] = sum(v - before.get(k, 0) for k, v in after.items())
        return result
    finally:
        run.stop(notes, label)
        # Let the freed memory and the X server settle before the next start.
        time.sleep(PAUSE_BETWEEN_RUNS)


# ---------------------------------------------------------------- long session

SOAK_SCRIPT = """(function() {
  var n = parseInt((location.search.match(/[?&]n=(\\d+)/) || [0, "0"])[1], 10);
  if (n >= SOAK.length) return;
  window.addEventListener("load", function() {
    setTimeout(function() { location.href = SOAK_ROOT + SOAK[n] + "?n=" + (n + 1); },
               n % SOAK_EVERY == 0 ? SOAK_PAUSE : 0);
  });
})();
"""


def make_soak_folder(src, steps, every, pause_ms):
    """A copy of src whose pages walk on by themselves: page ?n=k goes to the
    (k+1)-th page of a fixed random walk, pausing at every `every`-th."""
    tmp = tempfile.mkdtemp(prefix="folioscope-bench-soak-")
    root_uri = "file://" + urllib.request.pathname2url(tmp) + "/"
    script_tag = f'<script src="{root_uri}soak.js"></script>'.encode()
    pages = []
    for dirpath, dirnames, filenames in os.walk(src):
        rel = os.path.relpath(dirpath, src)
        target = os.path.join(tmp, rel)
        os.makedirs(target, exist_ok=True)
        for name in filenames:
            path = os.path.join(dirpath, name)
            out = os.path.join(target, name)
            if not name.endswith(".html"):
                os.symlink(path, out)
                continue
            with open(path, "rb") as f:
                data = f.read()
            at = data.rfind(b"</body>")
            at = len(data) if at < 0 else at
            with open(out, "wb") as f:
                f.write(data[:at] + script_tag + data[at:])
            # The full indexes are megabytes of links that nobody reads through.
            if not name.startswith("genindex"):
                pages.append(os.path.normpath(os.path.join(rel, name)))
    pages.sort()
    walk = random.Random(13).choices(pages, k=steps)
    with open(os.path.join(tmp, "soak.js"), "w") as f:
        f.write(f"var SOAK = {json.dumps(walk)};\nvar SOAK_ROOT = {json.dumps(root_uri)};\n"
                f"var SOAK_EVERY = {every};\nvar SOAK_PAUSE = {pause_ms};\n" + SOAK_SCRIPT)
    return tmp


def soak(program, cwd, env, notes, steps, every, timeout):
    """Figures at navigation 0, every, 2*every, ...: (n, UI RSS KiB, group PSS KiB)."""
    samples = []
    seen = {}
    cond = threading.Condition()

    def on_line(line):
        m = re.search(r"[?&]n=(\d+)", line)
        n = int(m.group(1)) if m else 0
        with cond:
            seen.setdefault(n, time.monotonic())
            cond.notify_all()

    run = Run(program, cwd, env, on_line=on_line)
    try:
        for n in range(0, steps + 1, every):
            with cond:
                if not cond.wait_for(lambda: n in seen or run.proc.poll() is not None, timeout):
                    notes[f"{program.label}: long session stuck before navigation {n}"] += 1
                    break
            if n not in seen:
                notes[f"{program.label}: ended before navigation {n}"] += 1
                break
            time.sleep(1.5)  # the page waits a while at every sample
            parts, _ = group_memory(run.proc.pid)
            samples.append((n, rss_kib(run.proc.pid), sum(parts.values())))
    finally:
        run.stop(notes, program.label)
        time.sleep(PAUSE_BETWEEN_RUNS)
    return samples


# ------------------------------------------------------------ folder with fillers

def make_big_folder(src, extra):
    """Symlink every entry of src into a temp dir and add `extra` empty files."""
    tmp = tempfile.mkdtemp(prefix="folioscope-bench-")
    for name in os.listdir(src):
        os.symlink(os.path.join(src, name), os.path.join(tmp, name))
    suffixes = (".html", ".txt", "")
    for i in range(extra):
        path = os.path.join(tmp, f"filler-{i:05d}{suffixes[i % 3]}")
        with open(path, "wb"):
            pass
    return tmp


# ---------------------------------------------------------------------- output

def fmt(v, unit):
    if v is None:
        return "failed"
    if unit == "ms":
        return f"{v * 1000:.0f}"
    if unit == "MiB":
        return f"{v / 1024:.1f}"
    return f"{v:g}"


def ratio(a, b):
    if a is None or b is None:
        return "n/a"
    if b == 0:
        return "n/a" if a else "both 0"
    return f"{a / b:.2f}"


def print_table(title, headers, rows):
    widths = [max(len(str(r[i])) for r in rows + [headers]) for i in range(len(headers))]
    print(title)
    line = "  ".join(h.ljust(widths[0]) if i == 0 else h.rjust(widths[i])
                     for i, h in enumerate(headers))
    print("  " + line)
    print("  " + "-" * len(line))
    for r in rows:
        print("  " + "  ".join(str(c).ljust(widths[0]) if i == 0 else str(c).rjust(widths[i])
                               for i, c in enumerate(r)))
    print()


def min_of(results, key):
    vals = [r[key] for r in results if r is not None and key in r]
    return min(vals) if vals else None


def max_of(results, key):
    vals = [r[key] for r in results if r is not None and key in r]
    return max(vals) if vals else None


def median_of(results, key):
    vals = [r[key] for r in results if r is not None and key in r]
    return statistics.median(vals) if vals else None


# ------------------------------------------------------------------------ main

BAD_PAGES = {
    "(a plain page, for comparison)": "<title>Plain</title><p>plain",
    # About 20 MiB more every second, for as long as the page lives.
    "allocates without end": "<title>Grow</title><script>var kept = [];"
                             "setInterval(function() { kept.push(new Array(262144).fill(kept.length)); }, 100);"
                             "</script><p>growing",
    "endless script": "<title>Spin</title><p>spinning<script>for (;;) {}</script>",
    # Devices that never end as images, a style sheet and a frame: refused, so nothing grows.
    "loads device files": "<title>Devices</title><img src='file:///dev/zero'><img src='file:///dev/urandom'>"
                          "<link rel=stylesheet href='file:///dev/zero?s'><iframe src='file:///dev/zero?f'>"
                          "</iframe><p>devices",
    "opens windows in a loop": "<title>Open</title><p>opening<script>"
                               "setInterval(function() { window.open('index.html?' + Math.random()); }, 20);"
                               "</script>",
}


def bad_pages(viewer, env, notes, seconds):
    """UI process RSS and page processes' PSS soon after the start and `seconds` later, on pages
    that misbehave."""
    rows = []
    for name, page in BAD_PAGES.items():
        folder = tempfile.mkdtemp(prefix="folioscope-bench-bad-")
        with open(os.path.join(folder, "index.html"), "w") as f:
            f.write(page)
        run = Run(viewer, folder, env)
        try:
            time.sleep(3)
            early = rss_kib(run.proc.pid)
            early_page = group_memory(run.proc.pid)[0]["page"]
            time.sleep(seconds)
            late = rss_kib(run.proc.pid)
            parts, _ = group_memory(run.proc.pid)
            alive = run.proc.poll() is None
        finally:
            run.stop(notes, viewer.label)
            shutil.rmtree(folder, ignore_errors=True)
            time.sleep(PAUSE_BETWEEN_RUNS)
        rows.append((name, fmt(early, "MiB"), fmt(late, "MiB"), f"{(late - early) / 1024:+.1f}",
                     fmt(early_page, "MiB"), fmt(parts["page"], "MiB"), "yes" if alive else "NO"))
    return rows


def runaway_page(program, env, notes, limit):
    """The "allocates without end" page in program, watched for at most limit seconds: when its
    page process was ended (None if it was not), that process's largest PSS, and the CPU ticks the
    whole group used per 10 s while the page grew."""
    folder = tempfile.mkdtemp(prefix="folioscope-bench-runaway-")
    with open(os.path.join(folder, "index.html"), "w") as f:
        f.write(BAD_PAGES["allocates without end"])
    run = Run(program, folder, env)
    try:
        if run.wait_loaded(60) is None:
            notes[f"{program.label}: the runaway page did not load within 60 s"] += 1
            return None
        pages = [p for p in process_tree(run.proc.pid) if process_kind(p) == "page"]
        if not pages:
            notes[f"{program.label}: no page process for the runaway page"] += 1
            return None
        page, start, peak, ended = pages[0], time.monotonic(), 0, None
        first = last = tree_ticks(run.proc.pid)
        last_at = start
        while time.monotonic() - start < limit:
            ticks = tree_ticks(run.proc.pid)
            if page not in process_tree(run.proc.pid):
                ended = time.monotonic() - start
                break
            last, last_at = ticks, time.monotonic()  # the ended process's ticks go with it: the last sample
            peak = max(peak, smaps_kib(page, "Pss"))
            time.sleep(0.5)
        used = sum(v - first.get(k, 0) for k, v in last.items())
        return ended, peak, used * 10 / max(last_at - start, 0.5)
    finally:
        run.stop(notes, program.label)
        shutil.rmtree(folder, ignore_errors=True)
        time.sleep(PAUSE_BETWEEN_RUNS)


def page_title(folder):
    with open(os.path.join(folder, "index.html"), encoding="utf-8", errors="replace") as f:
        m = re.search(r"<title>(.*?)</title>", f.read(), re.S | re.I)
    return html.unescape(m.group(1).strip()) if m else ""


def peers(folder, width, height):
    """surf and chromium --app on the start page, for those installed."""
    uri = "file://" + urllib.request.pathname2url(os.path.join(folder, "index.html"))
    found = []
    if shutil.which("surf"):
        # surf's title is "[NN%] flags | title" while loading, "flags | title" after.
        found.append(Program("surf", ["surf", uri],
                             loader=r"^[^\[].* \| " + re.escape(page_title(folder)) + "$"))
    if shutil.which("chromium"):
        argv = ["chromium", f"--app={uri}", f"--window-size={width},{height}", "--window-position=0,0",
                "--disable-gpu", "--disable-quic", "--no-first-run", "--no-default-browser-check",
                "--disable-background-networking", "--disable-component-update", "--disable-sync",
                "--password-store=basic"]
        if os.geteuid() == 0:
            argv.append("--no-sandbox")  # chromium refuses to run as root with its sandbox
        found.append(Program("chromium", argv, loader="devtools"))
    return found


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--viewer", required=True)
    ap.add_argument("--bare", required=True)
    ap.add_argument("--folder", default="/usr/share/doc/python3.11/html")
    ap.add_argument("--runs", type=int, default=5,
                    help="measured starts per program (default 5)")
    ap.add_argument("--size-runs", type=int, default=7,
                    help="starts per program and folder in the folder-size check")
    ap.add_argument("--settle", type=float, default=2.0)
    ap.add_argument("--idle", type=float, default=10.0)
    ap.add_argument("--extra-files", type=int, default=20000)
    ap.add_argument("--soak-steps", type=int, default=1000,
                    help="navigations in the long session (0: none)")
    ap.add_argument("--soak-every", type=int, default=200)
    ap.add_argument("--no-peers", action="store_true", help="leave surf and chromium out")
    ap.add_argument("--runaway-seconds", type=float, default=180.0,
                    help="how long the page that allocates without end is watched (0: not at all)")
    ap.add_argument("--bad-seconds", type=float, default=10.0,
                    help="how long each misbehaving page runs (0: none)")
    args = ap.parse_args()

    if not os.environ.get("DISPLAY"):
        sys.exit("measure.py: no $DISPLAY (bench/run.sh starts Xvfb when needed)")
    for exe in (args.viewer, args.bare):
        if not os.access(exe, os.X_OK):
            sys.exit(f"measure.py: not an executable: {exe}")
    folder = os.path.abspath(args.folder)
    if not os.path.isfile(os.path.join(folder, "index.html")):
        sys.exit(f"measure.py: no index.html in {folder}")

    env = dict(os.environ)
    env["NO_AT_BRIDGE"] = "1"
    env["G_MESSAGES_DEBUG"] = "FOLIOSCP"
    env.pop("WEBKIT_DISABLE_SANDBOX_THIS_IS_DANGEROUS", None)
    no_sandbox = {"WEBKIT_DISABLE_SANDBOX_THIS_IS_DANGEROUS": "1"}
    viewer_exe, bare_exe = os.path.abspath(args.viewer), os.path.abspath(args.bare)
    viewer = Program("viewer", [viewer_exe])
    bare = Program("bare", [bare_exe, "--sandbox"])
    width, height = screen_size()
    main_programs = [viewer, bare] + ([] if args.no_peers else peers(folder, width, height))
    unwalled = [Program("viewer-nosandbox", [viewer_exe], env=no_sandbox),
                Program("bare-nosandbox", [bare_exe], env=no_sandbox)]
    notes = collections.Counter()
    started = time.monotonic()
    # Whether the viewer's page process runs walled in here, from its trace.
    probe = Run(viewer, folder, env)
    probe.wait_loaded(60)
    probe.stop(notes, "viewer")
    if probe.sandbox_off:
        bare.argv = [bare_exe]  # the bare window takes the viewer's sandbox setting

    # One unmeasured start of each to warm the page cache, then take turns so
    # that drift on the machine affects all alike. Every run records memory
    # after settling, then (in the main set) CPU used while idle.
    for program in main_programs + unwalled:
        one_run(program, folder, env, notes)
    results = {p.label: [] for p in main_programs + unwalled}
    for _ in range(args.runs):
        for program in main_programs:
            results[program.label].append(one_run(program, folder, env, notes,
                                                   settle=args.settle, idle=args.idle))
        for program in unwalled:
            results[program.label].append(one_run(program, folder, env, notes, settle=args.settle))

    labels = [p.label for p in main_programs]
    metrics = [
        (f"start -> page loaded, ms (median of {args.runs})", "load_s", "ms"),
        ("start -> page loaded, ms (fastest run)", "load_s", "min ms"),
        ("PSS of process group, MiB (median)", "pss_kib", "MiB"),
        ("  UI process", "pss_ui_kib", "MiB"),
        ("  page (web) processes", "pss_page_kib", "MiB"),
        ("  network process", "pss_network_kib", "MiB"),
        ("  sandbox (bwrap, xdg-dbus-proxy)", "pss_sandbox_kib", "MiB"),
        ("  other processes", "pss_other_kib", "MiB"),
        ("RSS of UI process, MiB (median)", "rss_kib", "MiB"),
        ("processes in group", "procs", ""),
        (f"CPU ticks in {args.idle:g} s idle, median", "idle_ticks", ""),
        (f"CPU ticks in {args.idle:g} s idle, worst run", "idle_ticks", "max"),
    ]
    others = labels[1:]
    rows = []
    for name, key, unit in metrics:
        pick = {"max": max_of, "min ms": min_of}.get(unit, median_of)
        unit = unit.replace("min ", "")
        values = {label: pick(results[label], key) for label in labels}
        rows.append((name, *(fmt(values[l], unit) for l in labels),
                     *(ratio(values["viewer"], values[l]) for l in others)))
    print_table(f"Viewer vs bare WebKitGTK window and peers, folder {folder}, window {width}x{height} "
                f"({args.runs} runs each, 1 CPU tick = {1000 // CLK_TCK} ms)",
                ("metric", *labels, *(f"viewer/{l}" for l in others)), rows)
    if probe.sandbox_off:
        print(f"The page sandbox cannot start here ({probe.sandbox_off}): the viewer and the bare "
              f"window run without it.")
    else:
        print("The viewer and the bare window ran with the engine's page sandbox; surf runs without "
              "it, chromium with --no-sandbox when root.")
    print()

    rows = []
    for on, off in ((viewer, unwalled[0]), (bare, unwalled[1])):
        for name, key, unit in (("start -> page loaded, ms", "load_s", "ms"),
                                ("PSS of process group, MiB", "pss_kib", "MiB")):
            a, b = median_of(results[on.label], key), median_of(results[off.label], key)
            rows.append((f"{on.label}: {name}", fmt(a, unit), fmt(b, unit), ratio(a, b)))
    print_table(f"The page sandbox's own cost (median of {args.runs})",
                ("metric", "sandbox", "none", "sandbox/none"), rows)

    # Folder size: the same start-to-load time in a folder that also holds
    # many extra files; runs alternate between the two folders.
    size_programs = [viewer, bare]
    big = make_big_folder(folder, args.extra_files)
    try:
        size_results = {(p.label, where): [] for p in size_programs for where in ("real", "big")}
        for _ in range(args.size_runs):
            for program in size_programs:
                for where, cwd in (("real", folder), ("big", big)):
                    size_results[(program.label, where)].append(one_run(program, cwd, env, notes))
    finally:
        shutil.rmtree(big, ignore_errors=True)
    rows = []
    for program in size_programs:
        real = median_of(size_results[(program.label, "real")], "load_s")
        grown = median_of(size_results[(program.label, "big")], "load_s")
        rows.append((program.label, fmt(real, "ms"), fmt(grown, "ms"), ratio(grown, real)))
    print_table(f"Start -> page loaded, ms (median of {args.size_runs}): real folder vs "
                f"the same with {args.extra_files:,} extra empty files",
                ("program", "real", f"+{args.extra_files:,} files", "grown/real"), rows)

    if args.soak_steps > 0:
        soak_dir = make_soak_folder(folder, args.soak_steps, args.soak_every, 2500)
        try:
            timeout = 60 + args.soak_every * 2
            sessions = {p.label: soak(p, soak_dir, env, notes, args.soak_steps, args.soak_every, timeout)
                        for p in (viewer, bare)}
        finally:
            shutil.rmtree(soak_dir, ignore_errors=True)
        rows = []
        for n in range(0, args.soak_steps + 1, args.soak_every):
            row = [str(n)]
            for label in ("viewer", "bare"):
                sample = next((s for s in sessions[label] if s[0] == n), None)
                row += [fmt(sample[1], "MiB"), fmt(sample[2], "MiB")] if sample else ["-", "-"]
            rows.append(tuple(row))
        print_table(f"Long session: {args.soak_steps:,} navigations through the pages, MiB "
                    f"(pages pause 2.5 s at every {args.soak_every}th; figures 1.5 s into the pause)",
                    ("navigations", "viewer UI RSS", "viewer group PSS", "bare UI RSS",
                     "bare group PSS"), rows)

    if args.runaway_seconds > 0:
        # What the page process's memory check costs when nothing happens, beside what it is for.
        rows = [(f"CPU ticks in {args.idle:g} s idle, median",
                 *(fmt(median_of(results[p.label], "idle_ticks"), "") for p in (viewer, bare)))]
        runaway = {p.label: runaway_page(p, env, notes, args.runaway_seconds) for p in (viewer, bare)}
        for name, at, unit in (("runaway page: its page process ended after, s", 0, "s"),
                               ("runaway page: page process PSS at most, MiB", 1, "MiB"),
                               ("runaway page: CPU ticks per 10 s while it grows", 2, "")):
            row = [name]
            for label in ("viewer", "bare"):
                figures = runaway[label]
                value = figures[at] if figures else None
                if at == 0 and figures and value is None:
                    row.append(f"not in {args.runaway_seconds:g}")
                elif at == 0:
                    row.append("-" if value is None else f"{value:.0f}")
                else:
                    row.append(fmt(value, unit) if unit else "failed" if value is None else f"{value:.1f}")
            rows.append(tuple(row))
        print_table("Idle cost of the memory check beside a page that allocates without end "
                    "(viewer and bare window, both with the page sandbox)", ("metric", "viewer", "bare"), rows)

    if args.bad_seconds > 0:
        print_table(f"Pages that misbehave: the viewer's UI process RSS and page processes' PSS, MiB, 3 s "
                    f"after the start and {args.bad_seconds:g} s later",
                    ("page", "UI RSS", "later", "change", "page PSS", "later", "viewer running"),
                    bad_pages(viewer, env, notes, args.bad_seconds))

    for n, count in sorted(notes.items()):
        print(f"note: {n} ({count} run{'s' if count > 1 else ''})")
    print(f"(measured in {time.monotonic() - started:.0f} s)")


if __name__ == "__main__":
    main()
