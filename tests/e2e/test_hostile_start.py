"""The real binary against hostile starts: a settings lock another process keeps holding, a path
argument of 100,000 characters. The program starts at once, says what is wrong in a box that fits
the screen, and loses nothing."""
import os
import subprocess
import sys
import unittest

from viewer import (SETTINGS, Viewer, WindowManager, answer, find_windows, geometry, screen_size,
                    start_on_page, wait_for)

TWO = "[%s]\r\n\"PreviewPages\"=dword:00000002\r\n" % SETTINGS


class HostileStart(unittest.TestCase):
    def setUp(self):
        self.viewer = None

    def tearDown(self):
        if self.viewer:
            self.viewer.close()

    def test_a_stopped_holder_of_the_settings_lock_delays_nothing(self):
        viewer = self.viewer = Viewer(store=TWO)
        viewer.write_start_page()
        # A child that takes the lock and stops, as a stopped or stuck instance would.
        holder = subprocess.Popen([sys.executable, "-c",
                                   "import fcntl, os, signal, sys\n"
                                   "f = open(sys.argv[1], 'a')\n"
                                   "fcntl.flock(f, fcntl.LOCK_EX)\n"
                                   "print('held', flush=True)\n"
                                   "os.kill(os.getpid(), signal.SIGSTOP)\n", viewer.store + ".lock"],
                                  stdout=subprocess.PIPE, text=True)
        self.addCleanup(holder.wait)
        self.addCleanup(holder.kill)
        self.assertEqual(holder.stdout.readline().strip(), "held")
        viewer.start()
        window = viewer.main_window()
        self.assertIsNotNone(window, viewer.trace())
        self.assertTrue(viewer.loaded())
        self.assertEqual(viewer.close_by_keys(window), 0)
        self.assertEqual(viewer.trace().count("is locked by another process"), 1, viewer.trace())
        with open(viewer.store, newline="") as f:
            self.assertEqual(f.read(), TWO)

    def test_a_path_of_100000_characters_gives_the_path_error_in_a_box_that_fits(self):
        name = "a/" * 50000 + "x.html"
        viewer = self.viewer = start_on_page(name)
        box = wait_for(lambda: find_windows("^FOLIOSCP$"), 30)
        self.assertTrue(box, viewer.trace())
        self.assertIn("contains an invalid path.", viewer.trace())
        width, height = screen_size()
        x, y, w, h = geometry(box[0])
        self.assertTrue(0 <= x and 0 <= y and x + w <= width and y + h <= height, (x, y, w, h))
        self.assertLess(h, height // 2)
        answer(box[0])
        # The run goes on as after any file that cannot be opened.
        window = wait_for(lambda: viewer.process.poll() is not None or viewer.main_window(1))
        if viewer.process.poll() is None:
            self.assertEqual(viewer.close_by_keys(window), 0)
        self.assertEqual(viewer.wait(), 0)


if __name__ == "__main__":
    with WindowManager():
        unittest.main(argv=sys.argv[:1], verbosity=2)
