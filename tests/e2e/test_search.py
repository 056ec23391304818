"""The search in a terminal: the real binary with --search and no display prints the best hits of
a folder, one a line, with grep's exit status, keeps its index in the user's cache, and shows
progress on standard error only when that is a terminal; the command starts without the window's
libraries, and Ctrl+C ends a search."""
import glob
import os
import pty
import signal
import sqlite3
import subprocess
import tempfile
import time
import unittest

BINARY = os.environ["FOLIOSCOPE_BINARY"]

PAGE = ("<!DOCTYPE html><html><head><title>{title}</title></head><body>{body}"
        "<footer><p>The same footer text on every page here.</p></footer></body></html>")


class TerminalSearch(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory(prefix="folioscope-search-")
        self.folder = os.path.join(self.tmp.name, "docs")
        self.cache = os.path.join(self.tmp.name, "cache")
        os.makedirs(os.path.join(self.folder, "library"))
        self.write("index.html", "Contents", "<h1 id='top'>Contents</h1><p>Start here.</p>")
        self.write("library/socket.html", "socket — networking",
                   "<section id='socket'><h1>socket</h1><p>Sockets.</p>"
                   "<h2 id='timeouts'>Notes on socket timeouts</h2><p>Blocking mode.</p></section>")
        self.write("other.html", "Other", "<h1 id='o'>Other</h1><p>Nothing of note.</p>")
        self.write("more.html", "More", "<h1 id='m'>More</h1><p>Still nothing.</p>")

    def tearDown(self):
        self.tmp.cleanup()

    def write(self, name, title, body):
        with open(os.path.join(self.folder, name), "w", encoding="utf-8") as f:
            f.write(PAGE.format(title=title, body=body))

    def env(self):
        env = dict(os.environ, XDG_CACHE_HOME=self.cache)
        env.pop("DISPLAY", None)
        return env

    def search(self, *args, cwd=None):
        return subprocess.run([BINARY, *args], capture_output=True, text=True, env=self.env(),
                              cwd=cwd or self.tmp.name, timeout=60)

    def test_hits_and_exit_status_like_grep(self):
        cases = [
            # arguments, exit status, expected standard output
            (["--search", "socket timeouts", self.folder], 0,
             "library/socket.html#timeouts\tsocket — networking › Notes on socket timeouts\n"),
            (["-search", "footer", self.folder], 1, ""),
            (["/search", "zzzz", self.folder], 1, ""),
            (["--search", "x", os.path.join(self.folder, "missing")], 2, ""),
            (["--search"], 2, ""),
        ]
        for args, status, out in cases:
            with self.subTest(args=args):
                result = self.search(*args)
                self.assertEqual(result.returncode, status, result.stderr)
                self.assertEqual(result.stdout, out)
                if status == 2:
                    self.assertIn("folioscope:", result.stderr)
                else:
                    self.assertEqual(result.stderr, "")  # not a terminal: no progress
        # The current folder when none is named; the index is the same file.
        result = self.search("--search", "socket", cwd=self.folder)
        self.assertEqual(result.stdout.splitlines()[0], "library/socket.html#socket\tsocket — networking › socket")
        indexes = os.listdir(os.path.join(self.cache, "folioscope", "search"))
        self.assertEqual([name for name in indexes if name.endswith(".sqlite")], [indexes[0]])
        # Help comes first.
        self.assertTrue(self.search("--search", "x", "--help").stdout.startswith("Usage: folioscope"))

    def test_progress_on_a_terminal(self):
        primary, secondary = pty.openpty()
        result = subprocess.run([BINARY, "--search", "socket", self.folder], stdout=subprocess.PIPE,
                                stderr=secondary, env=self.env(), timeout=60)
        os.close(secondary)
        shown = os.read(primary, 65536).decode()
        os.close(primary)
        self.assertEqual(result.returncode, 0)
        self.assertIn("Indexing 4 of 4 pages…", shown)

    def test_the_command_loads_none_of_the_window_libraries(self):
        # The dynamic loader would take longer to place GTK's and WebKitGTK's libraries than the
        # search takes.
        listed = subprocess.run(["ldd", BINARY], capture_output=True, text=True, check=True).stdout
        names = [line.split()[0] for line in listed.splitlines() if line.strip()]
        window = [name for name in names
                  if name.startswith(("libgtk", "libgdk", "libwebkit", "libjavascriptcore", "libsoup", "libatk",
                                      "libpango", "libcairo", "libX11"))]
        self.assertEqual(window, [], listed)

    def test_ctrl_c_ends_a_search(self):
        # A search that waits for another process's write to the index (up to 10 s) ends at once.
        self.assertEqual(self.search("--search", "socket", self.folder).returncode, 0)
        self.write("new.html", "New", "<h1 id='n'>New</h1><p>A page to index.</p>")
        index = os.path.realpath(glob.glob(os.path.join(self.cache, "folioscope", "search", "*.sqlite"))[0])
        writer = sqlite3.connect(index, isolation_level=None)
        self.addCleanup(writer.close)
        writer.execute("BEGIN IMMEDIATE")
        run = subprocess.Popen([BINARY, "--search", "socket", self.folder], stdout=subprocess.PIPE,
                               stderr=subprocess.PIPE, env=self.env())
        self.addCleanup(run.kill)
        end = time.monotonic() + 30
        while not self.has_open(run.pid, index) and time.monotonic() < end:
            time.sleep(0.001)
        self.assertIsNone(run.poll(), "the search did not wait")
        run.send_signal(signal.SIGINT)
        run.communicate(timeout=5)
        self.assertEqual(run.returncode, -signal.SIGINT)

    @staticmethod
    def has_open(pid, path):
        fds = "/proc/%d/fd" % pid
        try:
            return any(os.readlink(os.path.join(fds, fd)) == path for fd in os.listdir(fds))
        except OSError:
            return False


if __name__ == "__main__":
    unittest.main()
