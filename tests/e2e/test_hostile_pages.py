"""The real binary against pages and runs that try to leave something behind: what a page stores
goes with the run and stays bounded, a page process busy in a script ends with the program, and
the end of a session that comes while the program starts ends it with status 0."""
import os
import signal
import sys
import time
import unittest

from viewer import Viewer, WindowManager, wait_for


def processes():
    """{pid: (name, parent)} of every process on the machine."""
    found = {}
    for entry in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open("/proc/%s/stat" % entry) as f:
                stat = f.read()
        except OSError:
            continue
        close = stat.rfind(")")
        fields = stat[close + 2:].split()
        if fields[0] != "Z":
            found[int(entry)] = (stat[stat.find("(") + 1:close], int(fields[1]))
    return found


def page_processes(pid):
    """The page processes the process pid started, directly or through the sandbox."""
    table = processes()
    found = []
    for child, (name, parent) in table.items():
        if not "WebKitWebProcess".startswith(name):
            continue
        while parent > 1 and parent != pid and parent in table:
            parent = table[parent][1]
        if parent == pid:
            found.append(child)
    return found


class HostilePages(unittest.TestCase):
    def setUp(self):
        self.viewer = Viewer()
        self.addCleanup(self.viewer.close)
        self.data = os.path.join(self.viewer.home, "data")
        self.cache = os.path.join(self.viewer.home, "cache")
        self.env = {"XDG_DATA_HOME": self.data, "XDG_CACHE_HOME": self.cache}

    def write(self, name, text):
        with open(os.path.join(self.viewer.pages, name), "w") as f:
            f.write(text)

    def test_what_a_page_stores_goes_with_the_run_and_is_bounded(self):
        # A counter in local storage, then 8 MB blobs in IndexedDB until the store refuses (at most
        # 100); the page then goes to an address that says what it counted and stored.
        self.write("index.html", """<title>Store</title><script>
const n = Number(localStorage.getItem('n') || 0) + 1; localStorage.setItem('n', n);
localStorage.setItem('filler', 'x'.repeat(4 << 20));
const db = indexedDB.open('bomb', 1);
db.onupgradeneeded = () => db.result.createObjectStore('blobs');
const put = (i) => new Promise((done, failed) => {
  const t = db.result.transaction('blobs', 'readwrite');
  t.objectStore('blobs').put(new Blob([new Uint8Array(8 << 20).fill(i)]), i);
  t.oncomplete = done; t.onerror = t.onabort = () => failed(t.error); });
db.onerror = () => location = 'result.html#run' + n + '-stored-none';
db.onsuccess = async () => {
  let stored = 0;
  try { for (; stored < 100; stored++) await put(stored); } catch (e) {}
  location = 'result.html#run' + n + '-stored-' + stored;
};
</script>""")
        self.write("result.html", "<title>Result</title>")
        for run in (1, 2):
            viewer = self.viewer.start(env=self.env)
            done = wait_for(lambda: "result.html#run" in viewer.trace(), 120)
            self.assertTrue(done, viewer.trace())
            line = next(l for l in viewer.trace().splitlines() if "result.html#run" in l)
            count, stored = line.split("#run")[1].split("-stored-")
            self.assertEqual(count, "1", "local storage outlived the run:\n" + line)
            self.assertLess(int(stored) if stored.isdigit() else 0, 100, "the store took 800 MB")
            viewer.process.send_signal(signal.SIGTERM)
            self.assertEqual(viewer.wait(), 0, viewer.trace())
            for folder in (os.path.join(self.data, "folioscope"), os.path.join(self.cache, "folioscope")):
                written = [os.path.join(d, f) for d, _, files in os.walk(folder) for f in files]
                self.assertEqual(written, [], "the engine wrote for the page")

    def test_a_page_busy_in_a_script_ends_with_the_program(self):
        self.write("index.html", "<title>Busy</title><script>setTimeout(() => { for (;;); }, 300)</script>")
        viewer = self.viewer.start()
        window = viewer.main_window()
        self.assertIsNotNone(window, viewer.trace())
        self.assertTrue(viewer.loaded(), viewer.trace())
        pages = wait_for(lambda: page_processes(viewer.process.pid))
        self.assertTrue(pages, "no page process")
        time.sleep(0.5)  # the script is spinning
        viewer.process.send_signal(signal.SIGTERM)
        self.assertEqual(viewer.wait(), 0, viewer.trace())
        left = wait_for(lambda: not any(pid in processes() for pid in pages), 3)
        self.assertTrue(left, "page processes still running 3 s after the program ended")

    def test_the_end_of_a_session_while_the_program_starts_ends_it_with_status_0(self):
        # The handlers are in place before GTK starts (no socket open yet, not even the display's);
        # a signal from then on ends the run with status 0. (What comes before is the system's
        # start of the process, and the sanitizers' in a test build.)
        self.write("index.html", "<title>Start</title>")
        for sig in (signal.SIGTERM, signal.SIGHUP, signal.SIGINT):
            for delay in (0, 0.05, 0.1, 0.15):
                with self.subTest(signal=sig.name, delay=delay):
                    viewer = self.viewer.start()
                    caught = wait_for(lambda: handling(viewer.process.pid), 30, 0.001)
                    self.assertIsNotNone(caught, "no handler of the end of a session")
                    self.assertEqual(caught["sockets"], 0, "the handlers came only after GTK had started")
                    time.sleep(delay)
                    viewer.process.send_signal(sig)
                    self.assertEqual(viewer.wait(), 0, viewer.trace())
            # Earlier still: from the command's first instruction the signals are held back, also
            # through its exec of the window, until the window's handlers are in place; one sent
            # as soon as they are held, or one already pending when the command starts, then
            # reaches the handlers.
            with self.subTest(signal=sig.name, sent="as soon as it is held back"):
                viewer = self.viewer.start()
                self.assertTrue(wait_for(lambda: holding(viewer.process.pid), 10, 0.0005), "never held back")
                viewer.process.send_signal(sig)
                self.assertEqual(viewer.wait(), 0, viewer.trace())
            with self.subTest(signal=sig.name, sent="before the command started"):
                pending = [sys.executable, "-c", "import os, signal, sys\n"
                           f"signal.pthread_sigmask(signal.SIG_BLOCK, [{int(sig)}])\n"
                           f"os.kill(os.getpid(), {int(sig)})\n"
                           "os.execv(sys.argv[1], sys.argv[1:])\n"]
                viewer = self.viewer.start(wrapper=pending)
                self.assertEqual(viewer.wait(), 0, viewer.trace())


def holding(pid):
    """True while the process pid holds SIGTERM, SIGHUP and SIGINT back and has no handler for them
    yet (later, a main loop may block them to read them from a file descriptor)."""
    try:
        with open("/proc/%d/status" % pid) as f:
            fields = dict(line.split(":", 1) for line in f)
    except OSError:
        return False
    wanted = sum(1 << (s - 1) for s in (signal.SIGTERM, signal.SIGHUP, signal.SIGINT))
    return int(fields["SigBlk"], 16) & wanted == wanted and int(fields["SigCgt"], 16) & wanted == 0


def handling(pid):
    """None while the process pid does not catch SIGTERM, SIGHUP and SIGINT; then {"sockets": how
    many sockets it has opened (beyond its standard input and outputs)}."""
    try:
        with open("/proc/%d/status" % pid) as f:
            caught = int(next(l for l in f if l.startswith("SigCgt:")).split()[1], 16)
        wanted = sum(1 << (s - 1) for s in (signal.SIGTERM, signal.SIGHUP, signal.SIGINT))
        if caught & wanted != wanted:
            return None
        fds = "/proc/%d/fd" % pid
        opened = [os.readlink(os.path.join(fds, fd)) for fd in os.listdir(fds) if int(fd) > 2]
        return {"sockets": sum(target.startswith("socket:") for target in opened)}
    except (OSError, StopIteration):
        return None

if __name__ == "__main__":
    with WindowManager():
        unittest.main(argv=sys.argv[:1], verbosity=2)
