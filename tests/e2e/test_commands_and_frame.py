"""The real binary under a window manager: keys run only the enabled commands; the frame sits at
the top-left corner with the work area's size; the toolbar is dragged to an edge and to a palette;
double clicks on its buttons are clicks; its floating palette never keeps the keyboard."""
import os
import re
import subprocess
import sys
import time
import unittest

from viewer import (ViewerTest, WindowManager, find_windows, geometry, map_state, press, screen_size, start_on_page,
                    wait_for, window_name, xdotool)

SHOTS = os.environ.get("FOLIOSCOPE_SCREENSHOTS")  # a folder for screenshots, when set


def screenshot(name):
    if SHOTS:
        os.makedirs(SHOTS, exist_ok=True)
        subprocess.run(["import", "-window", "root", os.path.join(SHOTS, name + ".png")])


def double_click(x, y):
    xdotool("mousemove", "--sync", str(x), str(y))
    xdotool("click", "--repeat", "2", "--delay", "60", "1")


# Middles of the docked toolbar's parts, from the client area's left edge: an 8-pixel gripper,
# then buttons 23 pixels wide and separators 6 wide (New, Open, Save | Cut, Copy, Paste | Print |
# About, Back, Forward); its row lies below the menu bar.
GRIPPER, CUT, BACK, BACKGROUND, ROW = 4, 8 + 3 * 23 + 6 + 11, 8 + 8 * 23 + 18 + 11, 8 + 3 * 23 + 3, 38
PALETTE_GAP = 3 * 23 + 3  # floating, the bar has no gripper and is one row wide: its gaps are its background


class CommandsAndFrame(ViewerTest):
    def setUp(self):
        self.open_viewer(start_on_page())

    def tearDown(self):
        self.close_with_alt_f4()

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
        # Keys are handled in order: once the New pressed after them has run, they have had their turn.
        press(self.window, "ctrl+n")
        self.assertTrue(wait_for(lambda: self.commands().count(57600) == 2))
        self.assertEqual(self.commands(), [57600, 57601, 57603, 57600])
        self.assertEqual(self.viewer.process.poll(), None)

    def test_frame_fills_the_work_area_from_the_top_left_corner(self):
        width, height = screen_size()
        self.assertTrue(wait_for(lambda: geometry(self.window, frame=True) == (0, 0, width, height), 5),
                        geometry(self.window, frame=True))
        state = subprocess.run(["xprop", "-id", self.window, "_NET_WM_STATE"], capture_output=True, text=True).stdout
        self.assertNotIn("MAXIMIZED", state)
        self.assertEqual(window_name(self.window), "FOLIOSCOPE 3.4")
        screenshot("docked-top")

    def test_toolbar_is_dragged_to_an_edge_and_to_a_palette(self):
        cx, cy, _, ch = geometry(self.window)

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

    def palette(self):
        """The floating toolbar's palette: the viewer's torn-off toolbar window, or None."""
        for window in xdotool("search", "--onlyvisible", "--pid", str(self.viewer.process.pid)):
            kind = subprocess.run(["xprop", "-id", window, "_NET_WM_WINDOW_TYPE"], capture_output=True, text=True).stdout
            if "TOOLBAR" in kind:
                return window
        return None

    def test_double_click_on_a_button_is_two_clicks(self):
        cx, cy, _, _ = geometry(self.window)
        xdotool("windowactivate", "--sync", self.window)
        # Cut, disabled: nothing at all; Back: two commands, the bar stays docked. Clicks are handled
        # in order, so once Back's commands have run, Cut's double click has had its turn.
        before = len(self.commands())
        double_click(cx + CUT, cy + ROW)
        double_click(cx + BACK, cy + ROW)
        self.assertTrue(wait_for(lambda: len(self.commands()) >= before + 2))
        self.assertEqual(self.commands()[before:], [32771, 32771])
        self.assertNotIn("floats at", self.viewer.trace())
        # The bar's own background floats it; a double click on the palette's background docks it again.
        double_click(cx + BACKGROUND, cy + ROW)
        self.assertTrue(wait_for(lambda: "Bar 59392 floats at" in self.viewer.trace(), 5), self.viewer.trace()[-2000:])
        palette = wait_for(self.palette, 5)
        self.assertTrue(palette)
        px, py, _, _ = geometry(palette)
        double_click(px + PALETTE_GAP, py + 11)
        self.assertTrue(wait_for(lambda: self.viewer.trace().count("Bar 59392 docked in area 59419") == 2, 5))
        # So does one on the gripper, and a second one there docks it again.
        double_click(cx + GRIPPER, cy + ROW)
        self.assertTrue(wait_for(lambda: self.viewer.trace().count("Bar 59392 floats at") == 2, 5))
        self.assertEqual(self.commands().count(32771), 2)

    def test_floating_palette_never_keeps_the_keyboard(self):
        cx, cy, _, _ = geometry(self.window)
        drag = [("mousemove", "--sync", str(cx + GRIPPER), str(cy + ROW)), ("mousedown", "1")]
        drag += [("mousemove", "--sync", str(cx + GRIPPER + 100 * step), str(cy + ROW + 80 * step)) for step in (1, 2, 3)]
        for args in drag + [("mouseup", "1")]:
            xdotool(*args)
        palette = wait_for(self.palette, 5)
        self.assertTrue(palette, self.viewer.trace()[-2000:])
        actions = subprocess.run(["xprop", "-id", palette, "_NET_WM_ALLOWED_ACTIONS"], capture_output=True,
                                 text=True).stdout
        for action in ["MINIMIZE", "MAXIMIZE_HORZ", "MAXIMIZE_VERT"]:
            self.assertNotIn("_NET_WM_ACTION_" + action, actions)
        self.assertIn("_NET_WM_ACTION_CLOSE", actions)
        screenshot("floating-palette")

        px, py, _, _ = geometry(palette)
        fx, fy, _, _ = geometry(palette, frame=True)
        places = {"button New": (px + 11, py + 11), "background": (px + PALETTE_GAP, py + 11),
                  "caption": (fx + 20, (fy + py) // 2)}
        loads = self.viewer.trace().count("Load finished")
        for name, (x, y) in places.items():
            xdotool("mousemove", "--sync", str(x), str(y))
            xdotool("click", "1")
            time.sleep(0.5)  # a reader's pause: the window manager answers the click (focus, raise) meanwhile
            xdotool("key", "ctrl+o")  # straight to whichever window has the keyboard
            dialog = wait_for(lambda: find_windows("^Open$"), 5)
            self.assertTrue(dialog, name)
            press(dialog[0], "Escape")
            self.assertTrue(wait_for(lambda: not find_windows("^Open$")), name)
        self.assertGreater(self.viewer.trace().count("Load finished"), loads)  # New was clicked

        # Minimizing the frame takes the palette with it; the palette cannot take the frame down.
        xdotool("windowminimize", "--sync", self.window)
        self.assertTrue(wait_for(lambda: map_state(palette) != "IsViewable", 5))
        xdotool("windowactivate", "--sync", self.window)
        self.assertTrue(wait_for(lambda: map_state(palette) == "IsViewable", 5))
        xdotool("windowminimize", palette)
        # The window manager serves requests in order: once the palette has moved, the request to
        # minimize it has been served too.
        x = geometry(palette)[0]
        xdotool("windowmove", palette, str(x + 8), str(geometry(palette)[1]))
        self.assertTrue(wait_for(lambda: geometry(palette)[0] != x, 5))
        self.assertEqual(map_state(self.window), "IsViewable")


if __name__ == "__main__":
    with WindowManager():
        unittest.main(argv=sys.argv[:1], verbosity=2)
