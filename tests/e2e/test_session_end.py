"""The end of a session (SIGTERM, SIGHUP, SIGINT) while a modal dialog is up, the real binary under
a window manager: the dialog goes, the program ends as at log-off (the setting written back) with
status 0, and nothing is left on screen or waiting. Confirming a dialog after the end of its
window, or waiting for ever with one on screen, were the faults."""
import signal
import sys
import unittest

from viewer import SETTINGS, WindowManager, find_windows, press, start_on_page, wait_for, xdotool

TWO = "[%s]\n\"PreviewPages\"=dword:00000002\n" % SETTINGS


def open_menu_item(window, menu, item):
    press(window, "alt+" + menu)
    xdotool("key", item)


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

    def test_every_signal_ends_a_save_as_and_a_second_one_changes_nothing(self):
        what, args, open_dialog, dialogs = self.CASES[2]
        for signals in ([signal.SIGTERM], [signal.SIGHUP], [signal.SIGINT], [signal.SIGTERM, signal.SIGINT]):
            with self.subTest(signals=[s.name for s in signals]):
                self.run_case(args, open_dialog, dialogs, signals)


if __name__ == "__main__":
    with WindowManager():
        unittest.main(argv=sys.argv[:1], verbosity=2)
