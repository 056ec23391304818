"""The real binary under a window manager: keys run only the enabled commands; the frame sits at
the top-left corner with the work area's size; the toolbar is dragged to an edge and to a palette."""
import os
import re
import subprocess
import sys
import time
import unittest

from viewer import WindowManager, start_on_page, find_windows, press, wait_for, xdotool

SHOTS = os.environ.get("FOLIOSCOPE_SCREENSHOTS")  # a folder for screenshots, when set


def geometry(window):
    """Position and size of the window's outer frame (the window manager's parent when reparented)."""
    tree = subprocess.run(["xwininfo", "-tree", "-id", window], capture_output=True, text=True).stdout
    parent = re.search(r"Parent window id: (0x[0-9a-f]+)", tree).group(1)
    root = re.search(r"Root window id: (0x[0-9a-f]+)", tree).group(1)
    target = window if parent == root else parent
    info = subprocess.run(["xwininfo", "-id", target], capture_output=True, text=True).stdout
    value = lambda name: int(re.search(name + r":\s+(-?\d+)", info).group(1))
    return value("Absolute upper-left X"), value("Absolute upper-left Y"), value("Width"), value("Height")


def screenshot(name):
    if SHOTS:
        os.makedirs(SHOTS, exist_ok=True)
        subprocess.run(["import", "-window", "root", os.path.join(SHOTS, name + ".png")])


class CommandsAndFrame(unittest.TestCase):
    def setUp(self):
        self.viewer = start_on_page()
        self.window = self.viewer.main_window()
        self.assertIsNotNone(self.window, self.viewer.trace())
        self.assertTrue(self.viewer.loaded())

    def tearDown(self):
        if self.viewer.process.poll() is None:
            press(self.window, "alt+F4")
            self.assertEqual(self.viewer.wait(), 0)
        self.viewer.close()

    def commands(self):
        return [int(n) for n in re.findall(r"Command (\d+)", self.viewer.trace())]

    def test_keys_run_only_enabled_commands(self):
        loads = self.viewer.trace().count("Load finished")
        press(self.window, "ctrl+n")
        self.assertTrue(wait_for(lambda: self.viewer.trace().count("Load finished") > loads))
        for key, title in [("ctrl+o", "^Open$"), ("ctrl+s", "^Save As$")]:
            press(self.window, key)
            dialog = wait_for(lambda: find_windows(title))
            self.assertTrue(dialog, key)
            press(dialog[0], "Escape")
            self.assertTrue(wait_for(lambda: not find_windows(title)), key)
        for key in ["ctrl+z", "ctrl+x", "ctrl+c", "ctrl+v", "alt+BackSpace", "shift+Delete", "F6", "shift+F6"]:
            press(self.window, key)
        time.sleep(0.5)
        self.assertEqual(self.commands(), [57600, 57601, 57603])
        self.assertEqual(self.viewer.process.poll(), None)

    def test_frame_fills_the_work_area_from_the_top_left_corner(self):
        screen = subprocess.run(["xdpyinfo"], capture_output=True, text=True).stdout
        width, height = map(int, re.search(r"dimensions:\s+(\d+)x(\d+)", screen).groups())
        self.assertTrue(wait_for(lambda: geometry(self.window) == (0, 0, width, height), 5), geometry(self.window))
        state = subprocess.run(["xprop", "-id", self.window, "_NET_WM_STATE"], capture_output=True, text=True).stdout
        self.assertNotIn("MAXIMIZED", state)
        self.assertEqual(subprocess.run(["xdotool", "getwindowname", self.window], capture_output=True,
                                        text=True).stdout.strip(), "FOLIOSCOPE 3.4")
        screenshot("docked-top")

    def test_toolbar_is_dragged_to_an_edge_and_to_a_palette(self):
        x, y, _, _ = geometry(self.window)
        client = subprocess.run(["xwininfo", "-id", self.window], capture_output=True, text=True).stdout
        cx = int(re.search(r"Absolute upper-left X:\s+(-?\d+)", client).group(1))
        cy = int(re.search(r"Absolute upper-left Y:\s+(-?\d+)", client).group(1))
        ch = int(re.search(r"Height:\s+(\d+)", client).group(1))

        def drag(from_x, from_y, to_x, to_y):
            xdotool("mousemove", "--sync", str(from_x), str(from_y))
            xdotool("mousedown", "1")
            for step in range(1, 6):
                xdotool("mousemove", "--sync", str(from_x + (to_x - from_x) * step // 5),
                        str(from_y + (to_y - from_y) * step // 5))
            xdotool("mouseup", "1")

        # The gripper sits at the toolbar's leading edge, below the menu bar.
        grip_x, grip_y = cx + 4, cy + 38
        drag(grip_x, grip_y, cx + 400, cy + ch - 10)
        self.assertTrue(wait_for(lambda: "Bar 59392 docked in area 59422" in self.viewer.trace(), 5),
                        self.viewer.trace()[-2000:])
        screenshot("docked-bottom")
        # Docked at the bottom the bar lies above the status bar; its gripper is at its left end.
        drag(cx + 4, cy + ch - 36, cx + 5, cy + 400)
        self.assertTrue(wait_for(lambda: "Bar 59392 docked in area 59420" in self.viewer.trace(), 5),
                        self.viewer.trace()[-2000:])
        screenshot("docked-left")
        drag(cx + 10, cy + 30, cx + 600, cy + 500)  # from the left gripper to the middle
        self.assertTrue(wait_for(lambda: "Bar 59392 floats at" in self.viewer.trace(), 5), self.viewer.trace()[-2000:])
        screenshot("floating")


if __name__ == "__main__":
    with WindowManager():
        unittest.main(argv=sys.argv[:1], verbosity=2)
