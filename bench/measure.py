#!/usr/bin/env python3
"""Compare the viewer with a bare WebKitGTK window.

Both programs are started with the document folder as their current
directory. For each one the script measures:
  * wall time from exec to the first "Load finished: " line (median),
  * PSS summed over the process and all its descendants, and the UI
    process's RSS, once the page has loaded and settled,
  * CPU ticks used by the whole process tree while idle after the load,
and, for the folder-size check, the start-to-load time on the real folder
versus a symlink copy of it with many extra empty files.

Standard library only. Must run with a usable $DISPLAY.
"""

import argparse
import collections
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import threading
import time

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


# ------------------------------------------------------------- running a program

class Run:
    """One started program whose stdout and stderr are watched for the marker."""

    def __init__(self, exe, cwd, env):
        self.loaded = threading.Event()
        self.load_time = None
        self.load_line = ""
        self.t0 = time.monotonic()
        self.proc = subprocess.Popen(
            [exe], cwd=cwd, env=env, stdin=subprocess.DEVNULL,
            stdout=subprocess.PIPE, stderr=subprocess.PIPE,
            start_new_session=True)
        # Keep draining both pipes for the whole run so the program never
        # blocks on a full pipe, whichever stream its trace goes to.
        self.readers = [threading.Thread(target=self._drain, args=(s,), daemon=True)
                        for s in (self.proc.stdout, self.proc.stderr)]
        for r in self.readers:
            r.start()

    def _drain(self, stream):
        for raw in iter(stream.readline, b""):
            if not self.loaded.is_set() and LOAD_MARKER.encode() in raw:
                self.load_time = time.monotonic() - self.t0
                self.load_line = raw.decode(errors="replace").strip()
                self.loaded.set()

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
        if label == "viewer" and status != 0:
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


def one_run(exe, cwd, env, label, notes, settle=0.0, idle=0.0, load_timeout=60.0):
    """Start exe in cwd; return dict of what was measured (None on failure)."""
    run = Run(exe, cwd, env)
    result = {}
    try:
        t = run.wait_loaded(load_timeout)
        if t is None:
            notes[f"{label}: no '{LOAD_MARKER.strip()}' line within "
                  f"{load_timeout:.0f} s in {cwd}"] += 1
            return None
        result["load_s"] = t
        if not run.load_line.rstrip().endswith("/index.html"):
            notes[f"{label}: first load was not the start page: {run.load_line}"] += 1
        if settle:
            time.sleep(settle)
            tree = process_tree(run.proc.pid)
            result["pss_kib"] = sum(smaps_kib(p, "Pss") for p in tree)
            result["rss_kib"] = rss_kib(run.proc.pid)
            result["procs"] = len(tree)
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
    programs = {"viewer": os.path.abspath(args.viewer), "bare": os.path.abspath(args.bare)}
    notes = collections.Counter()
    started = time.monotonic()

    # One unmeasured start of each to warm the page cache, then alternate the
    # two programs so that drift on the machine affects both alike. Every run
    # records memory after settling, then CPU used while idle.
    for label, exe in programs.items():
        one_run(exe, folder, env, label, notes)
    results = {label: [] for label in programs}
    for _ in range(args.runs):
        for label, exe in programs.items():
            results[label].append(one_run(exe, folder, env, label, notes,
                                          settle=args.settle, idle=args.idle))

    v, b = results["viewer"], results["bare"]
    metrics = [
        (f"start -> page loaded, ms (median of {args.runs})", "load_s", "ms"),
        ("start -> page loaded, ms (fastest run)", "load_s", "min ms"),
        ("PSS of process tree, MiB (median)", "pss_kib", "MiB"),
        ("RSS of UI process, MiB (median)", "rss_kib", "MiB"),
        ("processes in tree", "procs", ""),
        (f"CPU ticks in {args.idle:g} s idle, median", "idle_ticks", ""),
        (f"CPU ticks in {args.idle:g} s idle, worst run", "idle_ticks", "max"),
    ]
    rows = []
    for name, key, unit in metrics:
        pick = {"max": max_of, "min ms": min_of}.get(unit, median_of)
        unit = unit.replace("min ", "")
        mv, mb = pick(v, key), pick(b, key)
        rows.append((name, fmt(mv, unit), fmt(mb, unit), ratio(mv, mb)))
    print_table(f"Viewer vs bare WebKitGTK window, folder {folder} "
                f"({args.runs} runs each, 1 CPU tick = {1000 // CLK_TCK} ms)",
                ("metric", "viewer", "bare", "viewer/bare"), rows)

    # Folder size: the same start-to-load time in a folder that also holds
    # many extra files; runs alternate between the two folders.
    big = make_big_folder(folder, args.extra_files)
    try:
        size_results = {(label, where): [] for label in programs for where in ("real", "big")}
        for _ in range(args.size_runs):
            for label, exe in programs.items():
                for where, cwd in (("real", folder), ("big", big)):
                    size_results[(label, where)].append(
                        one_run(exe, cwd, env, label, notes))
    finally:
        shutil.rmtree(big, ignore_errors=True)
    rows = []
    for label in programs:
        real = median_of(size_results[(label, "real")], "load_s")
        grown = median_of(size_results[(label, "big")], "load_s")
        rows.append((label, fmt(real, "ms"), fmt(grown, "ms"), ratio(grown, real)))
    print_table(f"Start -> page loaded, ms (median of {args.size_runs}): real folder vs "
                f"the same with {args.extra_files:,} extra empty files",
                ("program", "real", f"+{args.extra_files:,} files", "grown/real"), rows)

    for n, count in sorted(notes.items()):
        print(f"note: {n} ({count} run{'s' if count > 1 else ''})")
    print(f"(measured in {time.monotonic() - started:.0f} s)")


if __name__ == "__main__":
    main()
