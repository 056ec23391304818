"""The real binary saves through the real Save As dialog: the file is named exactly as typed and
holds zero bytes, a second Save asks nothing, a file opened with data is never emptied without the
dialog, and the program ends without a question."""
import os
import re
import sys
import unittest

from viewer import ViewerTest, WindowManager, find_windows, press, replace_name, start_on_page, wait_for, xdotool

ID_FILE_SAVE = 57603


class Save(ViewerTest):
    def setUp(self):
        self.open_viewer(start_on_page())

    def type_name(self, dialog, name):
        """Types into the chooser's name box, replacing what it proposes, and confirms."""
        replace_name(dialog, name)
        self.assertTrue(wait_for(lambda: not find_windows("^Save As$|^Open$")), self.viewer.trace())

    def saves(self):
        return len(re.findall(r"Command %d\b" % ID_FILE_SAVE, self.viewer.trace()))

    def test_save_writes_an_empty_file_named_as_typed(self):
        typed = "notes #1 50% done"
        path = os.path.join(self.viewer.pages, typed)
        press(self.window, "ctrl+s")
        self.type_name(self.dialog("Save As"), typed)
        self.assertTrue(wait_for(lambda: os.path.exists(path)), os.listdir(self.viewer.pages))
        self.assertEqual(os.path.getsize(path), 0)
        self.assertEqual(sorted(os.listdir(self.viewer.pages)), sorted(["index.html", typed]))

        # A second Save writes the same file without a dialog.
        os.utime(path, (1, 1))
        press(self.window, "ctrl+s")
        self.assertTrue(wait_for(lambda: self.saves() == 2))
        self.assertTrue(wait_for(lambda: os.path.getmtime(path) > 1))
        self.assertFalse(find_windows("^Save As$"))

        # A file opened with data: Save shows the dialog instead of emptying it.
        data = os.path.join(self.viewer.home, "data.txt")
        with open(data, "w") as f:
            f.write("pages of data")
        press(self.window, "ctrl+o")
        open_dialog = self.dialog("Open")
        xdotool("type", "--delay", "20", data)
        press(open_dialog, "Return")
        self.assertTrue(wait_for(lambda: not find_windows("^Open$")))
        press(self.window, "ctrl+s")
        press(self.dialog("Save As"), "Escape")
        self.assertTrue(wait_for(lambda: not find_windows("^Save As$")))
        with open(data) as f:
            self.assertEqual(f.read(), "pages of data")

        self.assertEqual(self.viewer.close_by_keys(self.window), 0)
        self.assertNotIn("Message box", self.viewer.trace())


if __name__ == "__main__":
    with WindowManager():
        unittest.main(argv=sys.argv[:1], verbosity=2)
