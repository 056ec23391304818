"""The real binary as a user browses with it: Ctrl+P brings up the print dialog while the page has
the focus and Esc closes it; Ctrl+F finds in the page; the run ends with status 0 and nothing on the
error output."""
import sys
import unittest

from viewer import Viewer, ViewerTest, WindowManager, find_windows, press, wait_for


class Browsing(ViewerTest):
    def setUp(self):
        viewer = Viewer()
        viewer.write_start_page("<title>Start</title><p>start page with a word to find")
        self.open_viewer(viewer.start())

    def test_print_dialog_comes_with_ctrl_p_and_goes_with_esc(self):
        viewer, window = self.viewer, self.window

        press(window, "ctrl+p")
        dialog = wait_for(lambda: find_windows("^Print$"))
        self.assertTrue(dialog, viewer.trace())
        press(dialog[0], "Escape")
        self.assertTrue(wait_for(lambda: not find_windows("^Print$")), "the print dialog stays")
        self.assertTrue(find_windows("^FOLIOSCOPE 3.4$"))

        press(window, "ctrl+f")
        press(window, "w", "o", "r", "d", "Return", "Escape")
        self.assertEqual(viewer.close_by_keys(window), 0)
        # Without a system bus (containers, CI) the print dialog's printer discovery says so; where
        # the accessibility bus lives outside what the page sandbox reaches, the page process says so.
        harmless = ("Couldn't connect to D-Bus system bus", "Can't connect to a11y bus")
        problems = [line for line in viewer.trace().splitlines()
                    if line.strip() and "-DEBUG" not in line and not any(h in line for h in harmless)]
        self.assertEqual(problems, [], viewer.trace())


if __name__ == "__main__":
    with WindowManager():
        unittest.main(argv=sys.argv[:1], verbosity=2)
