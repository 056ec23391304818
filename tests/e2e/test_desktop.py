"""The real binary as the desktop sees it: its file dialogs leave no trail in the recent-files
list, and its frame read through AT-SPI, as a screen reader reads it: tool bar, status bar and
menus with their roles, names and states; a menu item chosen through AT-SPI ends cleanly."""
import os
import sys
import time
import unittest

from viewer import Viewer, ViewerTest, WindowManager, answer, find_windows, press, replace_name, wait_for

OTHER_ENTRY = """<?xml version="1.0" encoding="UTF-8"?>
<xbel version="1.0" xmlns:bookmark="http://www.freedesktop.org/standards/desktop-bookmarks"
      xmlns:mime="http://www.freedesktop.org/standards/shared-mime-info">
  <bookmark href="file:///etc/hostname" added="{now}" modified="{now}"
            visited="{now}">
    <info><metadata owner="http://freedesktop.org"><mime:mime-type type="text/plain"/>
      <bookmark:applications><bookmark:application name="other" exec="other %u"
        modified="{now}" count="1"/></bookmark:applications></metadata></info>
  </bookmark>
</xbel>
"""




def start_with_home(extra_env=None):
    """A viewer on a start page, with a home folder of its own (where the recent-files list lives)
    that already lists another program's file."""
    viewer = Viewer()
    viewer.write_start_page()
    data = os.path.join(viewer.home, ".local", "share")
    os.makedirs(data)
    with open(os.path.join(data, "recently-used.xbel"), "w") as f:
        # Dated now: GTK drops entries older than its maximum age when it writes the list.
        f.write(OTHER_ENTRY.format(now=time.strftime("%Y-%m-%dT%H:%M:%SZ", time.gmtime())))
    env = {"HOME": viewer.home, "XDG_DATA_HOME": data}
    env.update(extra_env or {})
    return viewer.start(env=env)


def recent_list(viewer):
    with open(os.path.join(viewer.home, ".local", "share", "recently-used.xbel")) as f:
        return f.read()


class RecentFiles(ViewerTest):
    def setUp(self):
        self.open_viewer(start_with_home())

    def confirm_name(self, title, name):
        dialog = self.dialog(title)
        replace_name(dialog, name)
        return dialog

    def test_open_and_save_as_leave_no_entry_and_keep_the_others(self):
        saved = os.path.join(self.viewer.pages, "saved notes")
        press(self.window, "ctrl+s")
        self.confirm_name("Save As", "saved notes")
        self.assertTrue(wait_for(lambda: os.path.exists(saved)), self.viewer.trace())

        # A name the Open dialog refuses (it names nothing), then one it opens.
        press(self.window, "ctrl+o")
        dialog = self.confirm_name("Open", os.path.join(self.viewer.pages, "missing"))
        self.assertTrue(wait_for(lambda: "Message box" in self.viewer.trace()), self.viewer.trace())
        box = wait_for(lambda: find_windows("^FOLIOSCP$"))
        self.assertTrue(box, self.viewer.trace())
        answer(box[0])
        replace_name(dialog, saved)
        self.assertTrue(wait_for(lambda: not find_windows("^Open$")), self.viewer.trace())

        # A name the list held before stays when confirmed again, and the list is written with the
        # program noted on it: once that write is there, it holds every earlier change too.
        press(self.window, "ctrl+o")
        dialog = self.confirm_name("Open", "/etc/hostname")
        self.assertTrue(wait_for(lambda: not find_windows("^Open$")), self.viewer.trace())
        self.assertTrue(wait_for(lambda: 'name="folioscope"' in recent_list(self.viewer)), recent_list(self.viewer))
        listed = recent_list(self.viewer)
        self.assertIn("file:///etc/hostname", listed)
        self.assertNotIn(self.viewer.pages.replace(" ", "%20"), listed)
        self.assertNotIn("missing", listed)


try:
    import pyatspi
except ImportError:  # the interpreter has no AT-SPI binding; the test says so and is skipped
    pyatspi = None


def expected_rows(message):
    """The rows the frame reads as, from the file the in-process test reads too; {message} stands
    for the message pane's text."""
    with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "accessible-frame.txt"),
              encoding="utf-8") as f:
        return [row.replace("{message}", message) for row in f.read().splitlines()]


def read_tree(accessible, rows, inside=""):
    """Rows "role: name [— description] [states]" for the menu bar, tool bar, status bar and menus,
    their children indented below them, as a screen reader reads them through AT-SPI."""
    role = accessible.getRoleName()
    shown = role in ("menu bar", "tool bar", "status bar", "menu", "menu item", "check menu item")
    in_bar = inside in ("tool bar", "status bar")
    if shown or (in_bar and role in ("push button", "label")):
        row = ("  " + inside + "/" if inside else "") + role + ": " + (accessible.name or "")
        if accessible.description:
            row += " — " + accessible.description
        states = accessible.getState()
        if not states.contains(pyatspi.STATE_SENSITIVE):
            row += " disabled"
        if states.contains(pyatspi.STATE_CHECKED):
            row += " checked"
        rows.append(row)
        if role in ("tool bar", "status bar", "menu"):
            inside = role
    for i in range(accessible.childCount):
        child = accessible.getChildAtIndex(i)
        if child is not None:
            read_tree(child, rows, inside)
    return rows


def find_accessible(accessible, role, name):
    """The first accessible below accessible (itself included) with this role and name, or None."""
    if accessible is None or (accessible.getRoleName() == role and accessible.name == name):
        return accessible
    for i in range(accessible.childCount):
        found = find_accessible(accessible.getChildAtIndex(i), role, name)
        if found is not None:
            return found
    return None


# How long a viewer may take to appear on the accessibility bus: the bus and its registry start with
# the viewer's first window, which takes far longer than usual on a busy machine.
ON_THE_BUS_TIMEOUT = 120


@unittest.skipIf(pyatspi is None, "needs python3-pyatspi (run with the system python3)")
class AccessibleTree(ViewerTest):
    def setUp(self):
        self.open_viewer(start_with_home({"NO_AT_BRIDGE": "0"}))

    def frame(self):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == "folioscope":
                for i in range(app.childCount):
                    window = app.getChildAtIndex(i)
                    if window is not None and window.name == "FOLIOSCOPE 3.4":
                        return window
        return None

    def test_frame_reads_with_roles_names_descriptions_and_states(self):
        frame = wait_for(self.frame, ON_THE_BUS_TIMEOUT)
        self.assertIsNotNone(frame, "the viewer is not on the accessibility bus")
        rows = read_tree(frame, [])
        self.assertEqual(rows, expected_rows("Done"))

    def test_exit_chosen_through_the_accessibility_action_ends_cleanly(self):
        # The menu was never shown: the action selects the item in a pop-up that has not been on
        # screen. The run ends with status 0, and the helper fails it on any critical printed.
        frame = wait_for(self.frame, ON_THE_BUS_TIMEOUT)
        self.assertIsNotNone(frame, "the viewer is not on the accessibility bus")
        item = find_accessible(frame, "menu item", "Exit")
        self.assertIsNotNone(item)
        item.queryAction().doAction(0)
        self.assertEqual(self.viewer.wait(), 0, self.viewer.trace())


if __name__ == "__main__":
    with WindowManager():
        unittest.main(argv=sys.argv[:1], verbosity=2)
