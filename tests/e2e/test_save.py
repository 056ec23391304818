"""The real binary saves through the real Save As dialog: the file is named exactly as typed and
holds zero bytes, a second Save asks nothing, a file opened with data is never emptied without the
dialog (whose replace question then keeps it on Enter), a name that is not UTF-8 keeps its bytes,
the dialogs never start in a folder that is gone, and the program ends without a question."""
import os
import re
import shutil
import sys
import unittest

from viewer import (ViewerTest, Viewer, WindowManager, answer, find_windows, geometry, press, replace_name,
                    screen_size, start_on_page, wait_for, xdotool)

ID_FILE_SAVE = 57603


class SaveTest(ViewerTest):
    """A test of Save on one viewer, which answers the replace question by its keys."""

    def confirm_until_asked(self, dialog, nth):
        """Presses Return in the dialog until its nth replace question shows; a key that came before
        the dialog had the keyboard is pressed again while the dialog still has it."""
        press(dialog, "Return")
        for _ in range(3):
            if wait_for(lambda: self.viewer.trace().count("Replace question (default Cancel)") >= nth, 5):
                return
            if xdotool("getactivewindow") == [dialog]:
                xdotool("key", "--clearmodifiers", "Return")
        self.fail("the dialog never asked\n" + self.viewer.trace())

    def answer_question(self, dialog, nth, key):
        """Presses key in the nth replace question, once it has the keyboard."""
        self.assertTrue(wait_for(lambda: self.viewer.trace().count("Replace question (default Cancel)") >= nth),
                        self.viewer.trace())
        question = wait_for(lambda: [w for w in xdotool("getactivewindow") if w != dialog])
        self.assertTrue(question, "the question never took the keyboard")
        for _ in range(3):  # a key that came before the box had the keyboard is pressed again
            xdotool("key", "--clearmodifiers", key)
            if wait_for(lambda: self.viewer.trace().count("Replace question answered") >= nth, 5):
                return
        self.fail("the replace question was not answered\n" + self.viewer.trace())


class Save(SaveTest):
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
        # Its replace question keeps the file on Enter.
        press(self.window, "ctrl+s")
        save = self.dialog("Save As")
        self.confirm_until_asked(save, 1)
        self.answer_question(save, 1, "Return")
        press(save, "Escape")
        self.assertTrue(wait_for(lambda: not find_windows("^Save As$")))
        with open(data) as f:
            self.assertEqual(f.read(), "pages of data")

        self.assertEqual(self.viewer.close_by_keys(self.window), 0)
        self.assertNotIn("Message box", self.viewer.trace())


    def test_the_open_dialogs_not_found_box_fits_the_screen(self):
        press(self.window, "ctrl+o")
        open_dialog = self.dialog("Open")
        xdotool("type", "--delay", "10", os.path.join(self.viewer.pages, "n" * 250))
        press(open_dialog, "Return")
        box = wait_for(lambda: find_windows("^FOLIOSCP$"))
        self.assertTrue(box, self.viewer.trace())
        self.assertIn("was not found.", self.viewer.trace())
        self.assertLessEqual(geometry(box[0])[2], screen_size()[0])
        answer(box[0])
        self.assertTrue(find_windows("^Open$"), "the Open dialog stays for another name")
        for _ in range(3):  # the first Escape may only close the chooser's typed location
            press(open_dialog, "Escape")
            if wait_for(lambda: not find_windows("^Open$"), 5):
                break
        self.assertFalse(find_windows("^Open$"))
        self.close_with_alt_f4()


class ReplaceQuestion(SaveTest):
    """The question before a file with data is replaced keeps the file on Enter; the file's name,
    not valid UTF-8, is the one written, byte for byte, whether the name box holds its shown form
    or the name the chooser lists it under (which its completion offers once the folder has loaded)."""

    def test_enter_keeps_the_file_and_replace_writes_its_own_name(self):
        viewer = Viewer()
        viewer.write_start_page()
        pages = os.fsencode(viewer.pages)
        data = os.path.join(pages, b"caf\xe9 notes")
        with open(data, "wb") as f:
            f.write(b"pages of data")
        # In English, for the note in the listed name.
        self.open_viewer(viewer.start(os.fsdecode(data), env={"LC_ALL": "C.UTF-8", "LANGUAGE": None}))

        press(self.window, "ctrl+s")
        save = self.dialog("Save As")
        self.confirm_until_asked(save, 1)
        self.answer_question(save, 1, "Return")
        self.assertIn("Replace question answered: Cancel", viewer.trace())
        with open(data, "rb") as f:
            self.assertEqual(f.read(), b"pages of data")
        self.assertTrue(find_windows("^Save As$"), "Cancel returns to the dialog")

        # The name as the chooser lists the file (GIO's display name: the shown form with a note).
        press(save, "ctrl+a")
        xdotool("type", "--delay", "50", "caf\ufffd notes (invalid encoding)")
        self.confirm_until_asked(save, 2)
        self.answer_question(save, 2, "alt+r")
        self.assertTrue(wait_for(lambda: not find_windows("^Save As$")), viewer.trace())
        self.assertTrue(wait_for(lambda: os.path.getsize(data) == 0), viewer.trace())
        self.assertEqual(sorted(os.listdir(pages)), [b"caf\xe9 notes", b"index.html"])
        self.assertIn("File dialog confirmed %s/caf\ufffd notes (invalid encoding)" % viewer.pages, viewer.trace())
        self.assertNotIn("Message box", viewer.trace())
        self.close_with_alt_f4()


class FolderGone(ViewerTest):
    """With the current folder deleted, Save As starts in the home folder and says why; nothing is
    written in the file-system root."""

    def test_save_as_starts_in_the_home_folder(self):
        viewer = Viewer()
        viewer.write_start_page()
        home = os.path.join(viewer.home, "home")
        os.makedirs(home)
        in_root = os.path.exists("/FOLIOSCOPE")
        self.open_viewer(viewer.start(env={"HOME": home}))
        shutil.rmtree(viewer.pages)

        press(self.window, "ctrl+s")
        save = self.dialog("Save As")
        self.assertIn("File dialog: The folder %s no longer exists. The dialog starts in %s." % (viewer.pages, home),
                      viewer.trace())
        press(save, "Return")
        saved = os.path.join(home, "FOLIOSCOPE")
        self.assertTrue(wait_for(lambda: os.path.exists(saved)), viewer.trace())
        self.assertEqual(os.path.getsize(saved), 0)
        self.assertEqual(os.path.exists("/FOLIOSCOPE"), in_root)
        self.close_with_alt_f4()


if __name__ == "__main__":
    with WindowManager():
        unittest.main(argv=sys.argv[:1], verbosity=2)
