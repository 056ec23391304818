"""The real binary from start to end: its window, the setting kept across a run, the command-line
forms that end without a window, the messages they give, and exit status 0 on every ending; the
command that starts the window, and what it says when it cannot."""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import unittest

from viewer import BINARY, SETTINGS, WindowManager, answer, find_windows, start_on_page, wait_for

TWO = "[%s]\n\"PreviewPages\"=dword:00000002\n" % SETTINGS


class StartAndEnd(unittest.TestCase):
    def setUp(self):
        self.viewer = None

    def tearDown(self):
        if self.viewer:
            self.viewer.close()

    def run_viewer(self, *args, store=None):
        self.viewer = start_on_page(*args, store=store)
        return self.viewer

    def test_close_box_ends_with_status_zero_and_keeps_the_setting(self):
        for store, expected in [(TWO, TWO), (None, None)]:
            with self.subTest(store=store):
                viewer = self.run_viewer(store=store)
                window = viewer.main_window()
                self.assertIsNotNone(window, viewer.trace())
                self.assertTrue(viewer.loaded())
                self.assertEqual(viewer.close_by_keys(window), 0)
                stored = viewer.stored()
                if expected:
                    self.assertEqual(stored, expected)
                else:
                    self.assertIn("[%s]" % SETTINGS, stored)
                    self.assertNotIn("PreviewPages", stored)
                viewer.close()

    def test_a_named_file_becomes_the_document_and_the_start_page_shows(self):
        folder = tempfile.mkdtemp(prefix="folioscope-e2e-")
        self.addCleanup(shutil.rmtree, folder)
        named = os.path.join(folder, "notes #1 100%.txt")
        with open(named, "w") as f:
            f.write("data that must survive")
        viewer = self.run_viewer(named)
        self.assertIsNotNone(viewer.main_window(), viewer.trace())
        self.assertTrue(viewer.loaded())
        self.assertIn("pages/index.html", viewer.trace())
        viewer.process.send_signal(signal.SIGTERM)
        self.assertEqual(viewer.wait(), 0)
        with open(named) as f:
            self.assertEqual(f.read(), "data that must survive")

    def test_end_of_session_signal_writes_the_setting_and_ends_with_zero(self):
        viewer = self.run_viewer(store="[%s]\n\"PreviewPages\"=dword:00000005\n" % SETTINGS)
        self.assertIsNotNone(viewer.main_window())
        viewer.process.send_signal(signal.SIGTERM)
        self.assertEqual(viewer.wait(), 0)
        self.assertIn("dword:00000005", viewer.stored())

    def test_forms_that_end_without_a_main_window(self):
        cases = [
            (["/p", "index.html"], None),
            (["/pt", "index.html", "printer", "driver", "port"], None),
            (["/dde"], None),
            (["/Unregister", "/Embedding"], None),
            (["missing file.html"], "missing file.html was not found."),
            (["/p"], "An unnamed file was not found."),
            (["-pt"], "An unnamed file was not found."),
            (["/UNREGISTER"], "System registry entries have been removed"),
        ]
        for args, message in cases:
            with self.subTest(args=args):
                viewer = self.run_viewer(*args, store=TWO)
                if message:
                    box = wait_for(lambda: find_windows("^FOLIOSCP$"))
                    self.assertTrue(box, viewer.trace())
                    self.assertIn(message, viewer.trace())
                    answer(box[0])
                self.assertEqual(viewer.wait(), 0, viewer.trace())
                self.assertFalse(find_windows("^FOLIOSCOPE 3.4$"))
                if any(a.lower() == "/unregister" for a in args):
                    self.assertNotIn("FOLIOSCP", viewer.stored())
                else:
                    self.assertEqual(viewer.stored(), TWO)
                viewer.close()

    def test_the_command_runs_the_window_where_it_is_installed_or_says_why_not(self):
        # The command alone in an installed tree's bin/: the window is looked for under libexec/.
        prefix = tempfile.mkdtemp(prefix="folioscope-e2e-prefix-")
        self.addCleanup(shutil.rmtree, prefix)
        os.makedirs(os.path.join(prefix, "bin"))
        command = shutil.copy(BINARY, os.path.join(prefix, "bin", "folioscope"))
        window = os.path.join(prefix, "libexec", "folioscope", "folioscope-window")
        os.makedirs(os.path.dirname(window))
        env = dict(os.environ, ASAN_OPTIONS="detect_leaks=0")
        missing = f"folioscope: cannot run the window's executable {window}: No such file or directory\n"
        cases = [
            # what is installed as the window, its mode, the arguments, the exit status, standard
            # output and error
            (None, 0, ["-x", "page.html"], 2, "", missing),
            ("#!/bin/sh\n", 0o644, ["-x"], 2, "", f"folioscope: cannot run the window's executable {window}: Permission denied\n"),
            # It runs in the same process, with the same arguments.
            ('#!/bin/sh\necho "$$" "$@"\n', 0o755, ["-x", "page.html"], 0, "{pid} -x page.html\n", ""),
            # The command answers help and version itself.
            (None, 0, ["x", "--version"], 0, "FOLIOSCOPE 3.4\n", ""),
        ]
        for text, mode, args, status, out, err in cases:
            with self.subTest(window=text, mode=oct(mode), args=args):
                if text is None:
                    if os.path.exists(window):
                        os.remove(window)
                else:
                    with open(window, "w") as f:
                        f.write(text)
                    os.chmod(window, mode)
                run = subprocess.Popen([command, *args], stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                                       env=env)
                stdout, stderr = run.communicate(timeout=60)
                self.assertEqual((run.returncode, stdout, stderr), (status, out.format(pid=run.pid), err))

    def test_hostile_command_line(self):
        args = ["/junk"] * 3000 + ["-" + "x" * 10000, "/\udcff\udcfe", "", "-", "/"]
        viewer = self.run_viewer(*args)
        window = viewer.main_window()
        self.assertIsNotNone(window, viewer.trace())
        self.assertEqual(viewer.close_by_keys(window), 0)


if __name__ == "__main__":
    with WindowManager():
        unittest.main(argv=sys.argv[:1], verbosity=2)
