"""The end of a session (SIGTERM, SIGHUP, SIGINT) while a modal dialog is up, or a menu, a tooltip,
a drag or another passing thing is open, the real binary under a window manager: the dialog goes,
the program ends as at log-off (the setting written back) with status 0, and nothing is left on
screen or waiting. Confirming a dialog after the end of its window, waiting for ever with one on
screen, and handlers of a closing menu reaching a frame already gone were the faults."""
import re
import signal
import subprocess
import sys
import unittest

from viewer import SETTINGS, WindowManager, find_windows, geometry, press, start_on_page, wait_for, xdotool

TWO = "[%s]\n\"PreviewPages\"=dword:00000002\n" % SETTINGS


def open_menu_item(window, menu, item):
    press(window, "alt+" + menu)
    xdotool("key", item)


def own_windows(viewer, kind):
    """The viewer's shown windows whose window type names kind (MENU: a menu of any kind, TOOLTIP)."""
    found = []
    for window in xdotool("search", "--onlyvisible", "--pid", str(viewer.process.pid)):
        types = subprocess.run(["xprop", "-id", window, "_NET_WM_WINDOW_TYPE"], capture_output=True, text=True).stdout
        if re.search(r"_NET_WM_WINDOW_TYPE_\w*" + kind, types):
            found.append(window)
    return found


# Places on the main window's client area: the File menu's title, the docked toolbar's gripper and
# its New button (the first), and the page.
FILE_MENU, GRIPPER, NEW, PAGE = (20, 12), (4, 38), (8 + 11, 38), (300, 300)


def pointer_at(window, place):
    x, y, _, _ = geometry(window)
    xdotool("mousemove", "--sync", str(x + place[0]), str(y + place[1]))


def drag_toolbar(window):
    """Takes the toolbar by its gripper and moves it some way, without letting go."""
    pointer_at(window, GRIPPER)
    xdotool("mousedown", "1")
    for step in (1, 2, 3):
        pointer_at(window, (GRIPPER[0] + 40 * step, GRIPPER[1] + 30 * step))


class SessionEnd(unittest.TestCase):
    # (what, command line, how the dialog is opened from the main window or None, dialogs on screen)
    CASES = [
        ("About box", [], lambda w: open_menu_item(w, "h", "a"), ["^About FOLIOSCP$"]),
        ("Open", [], lambda w: press(w, "ctrl+o"), ["^Open$"]),
        ("Save As", [], lambda w: open_menu_item(w, "f", "a"), ["^Save As$"]),
        ("Print", [], lambda w: press(w, "ctrl+p"), ["^Print$"]),
        ("Print Setup", [], lambda w: open_menu_item(w, "f", "r"), ["^Print Setup$"]),
        ("a message box over the Open dialog", [],
         lambda w: (press(w, "ctrl+o"), wait_for(lambda: find_windows("^Open$")),
                    xdotool("key", "ctrl+l"), xdotool("type", "--delay", "20", "no such file"),
                    xdotool("key", "Return")),
         ["^Open$", "^FOLIOSCP$"]),
        ("start-up message of a missing named file", ["missing.html"], None, ["^FOLIOSCP$"]),
        ("start-up message of /Unregister", ["/Unregister"], None, ["^FOLIOSCP$"]),
    ]
    SIGNALS = [signal.SIGTERM, signal.SIGHUP, signal.SIGINT]

    def run_case(self, args, open_dialog, dialogs, signals):
        viewer = start_on_page(*args, store=TWO)
        try:
            self.check_end(viewer, args, open_dialog, dialogs, signals)
        finally:
            viewer.close()

    def check_end(self, viewer, args, open_dialog, dialogs, signals):
        if open_dialog:
            window = viewer.main_window()
            self.assertIsNotNone(window, viewer.trace())
            self.assertTrue(viewer.loaded(), viewer.trace())
            open_dialog(window)
        for title in dialogs:
            self.assertTrue(wait_for(lambda: find_windows(title)), "%s is not up\n%s" % (title, viewer.trace()))
        for sig in signals:
            viewer.process.send_signal(sig)
        self.assertEqual(viewer.wait(), 0, viewer.trace())
        for title in dialogs + ["^FOLIOSCOPE 3.4$"]:
            self.assertFalse(find_windows(title), title)
        trace = viewer.trace()
        self.assertNotIn("Sanitizer", trace)
        self.assertNotIn("runtime error", trace)
        self.assertNotIn("CRITICAL", trace)
        if "/Unregister" in args:
            self.assertNotIn("FOLIOSCP", viewer.stored())
        else:
            self.assertEqual(viewer.stored(), TWO)

    def test_each_dialog_goes_and_the_program_ends_with_zero(self):
        for n, (what, args, open_dialog, dialogs) in enumerate(self.CASES):
            sig = self.SIGNALS[n % len(self.SIGNALS)]
            with self.subTest(dialog=what, signal=sig.name):
                self.run_case(args, open_dialog, dialogs, [sig])

    # (what, how it is opened on the main window, when it is open) for things that come and go
    # without a dialog.
    PASSING = [
        ("a menu by its key", lambda w: press(w, "alt+f"), lambda v: own_windows(v, "MENU")),
        ("a menu by a click", lambda w: (pointer_at(w, FILE_MENU), xdotool("click", "1")),
         lambda v: own_windows(v, "MENU")),
        ("the page's context menu", lambda w: (pointer_at(w, PAGE), xdotool("click", "3")),
         lambda v: own_windows(v, "MENU")),
        ("the find bar", lambda w: (press(w, "ctrl+f"), xdotool("type", "start")), None),
        ("the floating palette",
         lambda w: (pointer_at(w, GRIPPER), xdotool("click", "--repeat", "2", "--delay", "60", "1")),
         lambda v: "floats at" in v.trace()),
        ("a tooltip", lambda w: (pointer_at(w, NEW), xdotool("mousemove_relative", "--sync", "1", "0")),
         lambda v: own_windows(v, "TOOLTIP")),
        ("a drag of the toolbar", drag_toolbar, lambda v: "is dragged" in v.trace()),
    ]

    def test_a_passing_thing_open_at_the_end_goes_with_the_program(self):
        for n, (what, open_it, is_open) in enumerate(self.PASSING):
            sig = self.SIGNALS[n % len(self.SIGNALS)]
            with self.subTest(open=what, signal=sig.name):
                viewer = start_on_page(store=TWO)
                try:
                    window = viewer.main_window()
                    self.assertIsNotNone(window, viewer.trace())
                    self.assertTrue(viewer.loaded(), viewer.trace())
                    xdotool("windowactivate", "--sync", window)
                    open_it(window)
                    if is_open:
                        self.assertTrue(wait_for(lambda: is_open(viewer)), "%s is not open\n%s" % (what, viewer.trace()))
                    self.check_end(viewer, [], None, [], [sig])
                finally:
                    xdotool("mouseup", "1")
                    viewer.close()

    def test_every_signal_ends_a_save_as_and_a_second_one_changes_nothing(self):
        what, args, open_dialog, dialogs = self.CASES[2]
        for signals in ([signal.SIGTERM], [signal.SIGHUP], [signal.SIGINT], [signal.SIGTERM, signal.SIGINT]):
            with self.subTest(signals=[s.name for s in signals]):
                self.run_case(args, open_dialog, dialogs, signals)


if __name__ == "__main__":
    with WindowManager():
        unittest.main(argv=sys.argv[:1], verbosity=2)
