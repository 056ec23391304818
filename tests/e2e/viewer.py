"""Drives the real folioscope binary on a virtual display, as a user would: xdotool for keys and
windows, a settings folder and a page folder of the test's own."""
import os
import re
import shutil
import subprocess
import tempfile
import time
import unittest

BINARY = os.environ.get("FOLIOSCOPE_BINARY", "folioscope")
START_PAGE = "<title>Start</title><p>start page"
# A GTK, GDK, GLib or program warning or critical printed by the viewer's own process (the engine's
# processes print under their own names): always a fault of the program's making.
OWN_FAULT = re.compile(r"^\(%s:\d+\): [\w-]+-(?:CRITICAL|WARNING) \*\*.*$" % re.escape(os.path.basename(BINARY)),
                       re.MULTILINE)
SETTINGS = "HKEY_CURRENT_USER\\Software\\Local AppWizard-Generated Applications\\FOLIOSCP\\Settings"


def xdotool_output(*args, check=False):
    """What xdotool prints for args: every test drives the display through here."""
    return subprocess.run(["xdotool", *args], capture_output=True, text=True, check=check).stdout


def xdotool(*args, check=False):
    return xdotool_output(*args, check=check).split()


def window_name(window):
    return xdotool_output("getwindowname", window).strip()


def find_windows(name, visible=True):
    return xdotool("search", *(["--onlyvisible"] if visible else []), "--name", name)


def window_info(window, *options):
    return subprocess.run(["xwininfo", *options, "-id", window], capture_output=True, text=True).stdout


def geometry(window, frame=False):
    """(x, y, width, height) of the window, frame excluded; with frame, of its outer frame (the
    window manager's parent when the window is reparented)."""
    if frame:
        tree = window_info(window, "-tree")
        parent = re.search(r"Parent window id: (0x[0-9a-f]+)", tree).group(1)
        root = re.search(r"Root window id: (0x[0-9a-f]+)", tree).group(1)
        window = window if parent == root else parent
    info = window_info(window)
    value = lambda name: int(re.search(name + r":\s+(-?\d+)", info).group(1))
    return value("Absolute upper-left X"), value("Absolute upper-left Y"), value("Width"), value("Height")


def map_state(window):
    return re.search(r"Map State: (\w+)", window_info(window)).group(1)


def screen_size():
    """(width, height) of the display."""
    screen = subprocess.run(["xdpyinfo"], capture_output=True, text=True).stdout
    return tuple(map(int, re.search(r"dimensions:\s+(\d+)x(\d+)", screen).groups()))


def wait_for(predicate, timeout=20.0, step=0.1):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        result = predicate()
        if result:
            return result
        time.sleep(step)
    return predicate()


def window_manager_running():
    """True when the root window names a window manager's check window that still exists."""
    check = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], capture_output=True, text=True).stdout
    if "window id" not in check:
        return False
    window = check.split()[-1]
    return subprocess.run(["xwininfo", "-id", window], capture_output=True).returncode == 0


class WindowManager:
    """openbox on the display unless a window manager runs there already."""

    def __init__(self):
        self.process = None

    def __enter__(self):
        # A window manager that a test before this one has just ended may still show its check window
        # for a moment; only one that is still there a moment later counts.
        if window_manager_running():
            time.sleep(0.5)
        if not window_manager_running():
            self.process = subprocess.Popen(["openbox", "--sm-disable"], stdout=subprocess.DEVNULL,
                                            stderr=subprocess.DEVNULL)
            wait_for(window_manager_running, 10)
        return self

    def __exit__(self, *exc):
        if self.process:
            self.process.terminate()
            self.process.wait()
            wait_for(lambda: not window_manager_running(), 5)  # gone for the next test on the display


class Viewer:
    """One run of the viewer in its own page folder and settings folder."""

    def __init__(self, pages=None, store=None):
        self.home = tempfile.mkdtemp(prefix="folioscope-e2e-")
        self.pages = pages or os.path.join(self.home, "pages")
        os.makedirs(self.pages, exist_ok=True)
        self.store = os.path.join(self.home, "config", "folioscope", "registry.reg")
        if store is not None:
            os.makedirs(os.path.dirname(self.store))
            with open(self.store, "w") as f:
                f.write(store)
        self.process = None
        self.log = os.path.join(self.home, "log")

    def write_start_page(self, html=START_PAGE):
        """Writes the page folder's start page, index.html."""
        with open(os.path.join(self.pages, "index.html"), "w") as f:
            f.write(html)

    def start(self, *args, wrapper=(), accessible=False, env=None):
        """Starts the binary with args, through the wrapper command when one is given; accessible: the
        viewer joins the session's accessibility bus (a D-Bus session must run); env adds to or
        replaces its environment, a value of None removes the variable."""
        # GTK's own settings (the file chooser's) stay in memory: there is no session bus to reach
        # the desktop's settings store through, and a test has no business changing them.
        env = dict(dict(os.environ, XDG_CONFIG_HOME=os.path.join(self.home, "config"), NO_AT_BRIDGE="1",
                        G_MESSAGES_DEBUG="FOLIOSCP", GSETTINGS_BACKEND="memory"), **(env or {}))
        env = {name: value for name, value in env.items() if value is not None}
        if accessible:
            env.pop("NO_AT_BRIDGE", None)
        with open(self.log, "wb") as log:
            self.process = subprocess.Popen([*wrapper, BINARY, *args], cwd=self.pages, env=env, stdout=log,
                                            stderr=subprocess.STDOUT)
        return self

    def wait(self, timeout=30):
        """The exit status; a run that does not end in time fails with its trace and every thread's
        stack, so a hang seen once can be read afterwards."""
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            stacks = ""
            if shutil.which("gdb"):
                stacks = subprocess.run(["gdb", "-p", str(self.process.pid), "-batch", "-ex", "thread apply all bt"],
                                        capture_output=True, text=True).stdout
            raise AssertionError(f"the viewer did not end within {timeout} s\n{self.trace()}\n{stacks}")

    def close_by_keys(self, window):
        """Alt+F4 on window, as a user ends the program; the exit status. Now and then the window
        manager on the virtual display drops the keys (the viewer never hears of them): only then
        they are pressed once more, and then File > Exit is chosen by its keys."""
        for keys in (("alt+F4",), ("alt+F4",), ("alt+f", "x")):
            press(window, *keys)
            try:
                return self.process.wait(10)
            except subprocess.TimeoutExpired:
                if "Close requested" in self.trace() or "Command 57665" in self.trace():
                    return self.wait()
        run = lambda *command: subprocess.run(command, capture_output=True, text=True).stdout.strip()
        raise AssertionError("the viewer heard no close request; window manager running: %s, active window: %s, "
                             "focus: %s\n%s" % (window_manager_running(), run("xdotool", "getactivewindow", "getwindowname"),
                                                run("xdotool", "getwindowfocus", "getwindowname"), self.trace()))

    def trace(self):
        with open(self.log, "rb") as f:
            return f.read().decode("utf-8", "replace")

    def faults(self):
        """The warnings and criticals the viewer's process printed, one line each."""
        return OWN_FAULT.findall(self.trace())

    def main_window(self, timeout=20):
        found = wait_for(lambda: find_windows("^FOLIOSCOPE 3.4$"), timeout)
        return found[0] if found else None

    def loaded(self):
        """True once the viewer has finished loading a page."""
        return wait_for(lambda: "Load finished" in self.trace())

    def stored(self):
        if not os.path.exists(self.store):
            return None
        with open(self.store) as f:
            return f.read()

    def close(self):
        """Ends the run; a run whose process printed a warning or critical fails here."""
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        faults = self.faults() if self.process and os.path.exists(self.log) else []  # once per run
        trace = self.trace() if faults else ""
        shutil.rmtree(self.home, ignore_errors=True)
        if faults:
            raise AssertionError("the viewer printed %d warning(s) or critical(s):\n%s\n%s"
                                 % (len(faults), "\n".join(faults), trace[-4000:]))


def press(window, *keys):
    xdotool("windowactivate", "--sync", window)
    xdotool("key", "--clearmodifiers", *keys)


def answer(box, key="Return"):
    """Answers a message box by a key. A box that shows while the viewer is busy can miss a key
    that comes before it takes the keyboard: while it stays, the key is pressed again."""
    for _ in range(3):
        press(box, key)
        if wait_for(lambda: box not in find_windows("^FOLIOSCP$"), 5):
            return
    raise AssertionError(f"the message box {box} stayed after {key} three times")


def replace_name(dialog, name):
    """Types name into a file dialog's name box, replacing what it proposes, and confirms."""
    press(dialog, "ctrl+a")
    xdotool("type", "--delay", "20", name)
    press(dialog, "Return")


def start_on_page(*args, store=None):
    """A viewer started on a page folder of its own that holds a start page."""
    viewer = Viewer(store=store)
    viewer.write_start_page()
    return viewer.start(*args)


class ViewerTest(unittest.TestCase):
    """A test on one running viewer: self.viewer, and self.window, its main window."""

    def open_viewer(self, viewer):
        """Takes a started viewer, closed after the test, once its main window has loaded a page."""
        self.viewer = viewer
        self.addCleanup(viewer.close)
        self.window = viewer.main_window()
        self.assertIsNotNone(self.window, viewer.trace())
        self.assertTrue(viewer.loaded(), viewer.trace())
        return viewer

    def close_with_alt_f4(self):
        """Ends a viewer that still runs as a user does; it ends with status 0."""
        if self.viewer.process.poll() is None:
            self.assertEqual(self.viewer.close_by_keys(self.window), 0)

    def dialog(self, title):
        """The dialog with this title, once it shows, activated."""
        found = wait_for(lambda: find_windows("^%s$" % title))
        self.assertTrue(found, "no %s dialog\n%s" % (title, self.viewer.trace()))
        xdotool("windowactivate", "--sync", found[0])
        return found[0]
