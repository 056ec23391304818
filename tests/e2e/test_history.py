"""History through the real binary: Back and Forward by the toolbar's buttons, Alt+Left/Right and the
mouse's back and forward buttons step one entry per press through anchors in a page, other pages,
the generated folder page and the missing-file page, and a quick second press steps on. The shown
address (fragment included) is read where assistive technology reads it: the web document's URI
attribute on the accessibility bus. Needs a D-Bus session (dbus-run-session) and at-spi2-core."""
import os
import subprocess
import sys
import unittest
import urllib.parse

import pyatspi

from viewer import Viewer, WindowManager, press, wait_for, xdotool

# A page whose sections lie far apart, so that which one is in view tells where the view went.
GAP = '<div style="height:2500px"></div>'
PAGE_A = ('<!DOCTYPE html><title>A</title><p><a href="#s">to s</a> <a href="#t">to t</a> '
          '<a href="b.html">to b</a> <a href="missing.html">to missing</a></p>' + GAP +
          '<h2 id="s">Section S</h2>' + GAP + '<h2 id="t">Section T</h2><p><a href="b.html">on to b</a></p>' + GAP)
PAGE_B = '<!DOCTYPE html><title>B</title><p><a href="a.html#t">to a at t</a></p>'


def find(root, predicate, depth=0):
    """The first accessible below root (root included) for which predicate holds."""
    if root is None or depth > 60:
        return None
    try:
        if predicate(root):
            return root
        children = list(root)
    except Exception:  # an object that went away while being read
        return None
    for child in children:
        found = find(child, predicate, depth + 1)
        if found is not None:
            return found
    return None


def find_all(root, predicate):
    found = []
    find(root, lambda acc: predicate(acc) and found.append(acc))  # never true: visits every object
    return found


def role(name):
    return lambda acc: acc.getRoleName() == name


class Accessible:
    """The viewer as the accessibility bus shows it."""

    def __init__(self, pid):
        self.pid = pid
        self.app = wait_for(self.find_app, 30)

    def find_app(self):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.get_process_id() == self.pid:
                return app
        return None

    def document(self):
        return find(self.app, role("document web"))

    def shown(self):
        """The shown address, with its fragment, or None while there is no document."""
        document = self.document()
        try:
            attributes = document.queryDocument().getAttributes() if document else []
        except Exception:
            return None
        for attribute in attributes:
            name, _, value = attribute.partition(":")
            if name == "URI":
                return value
        return None

    def follow(self, text):
        link = wait_for(lambda: find(self.document(), lambda a: a.getRoleName() == "link" and a.name == text))
        link.queryAction().doAction(0)

    def top(self, heading):
        """The heading's top on the screen, None when the page has no such heading."""
        found = find(self.document(), lambda a: a.getRoleName() == "heading" and a.name == heading)
        return found.queryComponent().getExtents(pyatspi.DESKTOP_COORDS).y if found else None

    def in_view(self, heading):
        """Whether the heading's top is inside the page's visible area."""
        top = self.top(heading)
        view = self.visible_area()
        return top is not None and view.y <= top < view.y + view.height

    def where(self, heading):
        """The heading's top and the visible area, for a failure's message."""
        view = self.visible_area()
        return "top %s, visible from %d to %d" % (self.top(heading), view.y, view.y + view.height)

    def visible_area(self):
        """The page's visible area on the screen, near enough: the frame's. The page's own accessible
        objects (scroll pane, view) report positions shifted by the scroll offset."""
        return find(self.app, role("frame")).queryComponent().getExtents(pyatspi.DESKTOP_COORDS)

    def toolbar_button(self, index, names):
        """A toolbar button by its name, or by its place among the toolbar's buttons."""
        frame = find(self.app, role("frame"))
        named = find(frame, lambda a: a.getRoleName() == "push button" and a.name in names)
        if named:
            return named
        return find_all(frame, lambda a: a.getRoleName() == "push button" and a.name == "")[index]

    def click(self, button):
        box = button.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        xdotool("mousemove", str(box.x + box.width // 2), str(box.y + box.height // 2))
        xdotool("click", "1")


class History(unittest.TestCase):
    def setUp(self):
        # No index.html: the viewer starts on its generated folder page.
        self.viewer = Viewer()
        for name, text in (("a.html", PAGE_A), ("b.html", PAGE_B)):
            with open(os.path.join(self.viewer.pages, name), "w") as f:
                f.write(text)
        self.viewer.start(accessible=True)
        self.window = self.viewer.main_window()
        self.assertIsNotNone(self.window, self.viewer.trace())
        self.ui = Accessible(self.viewer.process.pid)
        self.assertIsNotNone(self.ui.app, "the viewer is not on the accessibility bus")

    def tearDown(self):
        if self.viewer.process.poll() is None:
            self.assertEqual(self.viewer.close_by_keys(self.window), 0)
        trace = self.viewer.trace()
        self.viewer.close()
        self.assertNotIn("Sanitizer", trace)
        self.assertNotIn("runtime error", trace)
        # Steps within a page load nothing; they are no reason to take the page process for hung.
        self.assertNotIn("did not answer", trace)

    def uri(self, name):
        return "file://" + urllib.parse.quote(os.path.join(self.viewer.pages, name))

    def arrive(self, expected, what):
        """expected: the address, or a tuple of the addresses the same page may show. A press that
        made a second, unwanted step is caught by the next row, which then arrives one entry off;
        so every walk ends with a row that no extra step could pass."""
        expected = expected if isinstance(expected, tuple) else (expected,)
        self.assertTrue(wait_for(lambda: self.ui.shown() in expected), "%s: %s" % (what, self.ui.shown()))

    def at_rest(self, heading):
        """A test that is true once the heading stands where it stood when last tested."""
        last = [self.ui.top(heading)]

        def test():
            now = self.ui.top(heading)
            resting, last[0] = now == last[0], now
            return resting
        return test

    def page_down_until_in_view(self, heading, presses=10):
        """Page_Down, letting the view come to rest after each press, until the heading is in view."""
        for _ in range(presses):
            if self.ui.in_view(heading):
                return True
            top = self.ui.top(heading)
            press(self.window, "Page_Down")
            wait_for(lambda: self.ui.top(heading) != top, 5)
            wait_for(self.at_rest(heading), 5)
        return self.ui.in_view(heading)

    def test_back_and_forward_step_one_entry_per_press_through_every_kind_of_entry(self):
        # The folder page: its own address, or the folder's, which its document takes when first shown.
        folder = ("generated://" + urllib.parse.quote(self.viewer.pages) + "/", self.uri(""))
        a, b = self.uri("a.html"), self.uri("b.html")
        # The missing-file page stands in for the file's address; its document may be unnamed.
        missing = (self.uri("missing.html"), "about:blank")
        self.arrive(folder, "start")
        for link, shows in [("a.html", a), ("to s", a + "#s"), ("to t", a + "#t"), ("to b", b),
                            ("to a at t", a + "#t"), ("to missing", missing)]:
            self.ui.follow(link)
            self.arrive(shows, "following " + link)
        self.assertTrue(wait_for(lambda: "Load failed" in self.viewer.trace()))

        back = self.ui.toolbar_button(8, ("Back", "Back Browser"))
        forward = self.ui.toolbar_button(9, ("Forward", "Forward Browser"))

        def on_page():  # the mouse's side buttons act on the page under the pointer
            box = self.ui.visible_area()
            xdotool("mousemove", str(box.x + box.width // 2), str(box.y + box.height // 2))

        def keys(*names):
            return lambda: press(self.window, *names)

        def mouse(button, presses=1):
            return lambda: (on_page(), xdotool("click", "--repeat", str(presses), "--delay", "40", button))

        steps = [
            # (what, action, address shown, section in view or None, section out of view or None)
            ("Back button", lambda: self.ui.click(back), a + "#t", "Section T", None),
            ("Alt+Left", keys("alt+Left"), b, None, None),
            ("mouse back button", mouse("8"), a + "#t", "Section T", None),
            ("Back button", lambda: self.ui.click(back), a + "#s", "Section S", None),
            ("Alt+Left", keys("alt+Left"), a, None, "Section S"),
            ("mouse back button", mouse("8"), folder, None, None),
            ("Alt+Left at the first entry", keys("alt+Left"), folder, None, None),
            ("Forward button", lambda: self.ui.click(forward), a, None, "Section S"),
            ("Alt+Right", keys("alt+Right"), a + "#s", "Section S", None),
            ("mouse forward button", mouse("9"), a + "#t", "Section T", None),
            ("Alt+Right", keys("alt+Right"), b, None, None),
            ("Forward button", lambda: self.ui.click(forward), a + "#t", "Section T", None),
            ("mouse forward button", mouse("9"), missing, None, None),
            ("Alt+Right at the last entry", keys("alt+Right"), missing, None, None),
            ("two quick Alt+Left", keys("alt+Left", "alt+Left"), b, None, None),
            ("two quick presses of the mouse back button", mouse("8", 2), a + "#s", "Section S", None),
            ("three quick Alt+Right", keys("alt+Right", "alt+Right", "alt+Right"), a + "#t", "Section T", None),
            ("two quick presses of the mouse back button", mouse("8", 2), a + "#t", "Section T", None),
            ("two quick presses of the mouse back button", mouse("8", 2), a, None, "Section S"),
            ("mouse back button", mouse("8"), folder, None, None),
        ]
        for n, (what, act, shows, seen, unseen) in enumerate(steps):
            with self.subTest(step=n, what=what):
                act()
                self.arrive(shows, what)
                if seen:
                    self.assertTrue(wait_for(lambda: self.ui.in_view(seen), 5),
                                    "%s is not in view: %s" % (seen, self.ui.where(seen)))
                if unseen:
                    self.assertFalse(self.ui.in_view(unseen), unseen + " is in view")

    def test_back_returns_to_where_the_reader_scrolled_on_an_entry_with_a_fragment(self):
        a, b = self.uri("a.html"), self.uri("b.html")
        for link, shows in [("a.html", a), ("to s", a + "#s")]:
            self.ui.follow(link)
            self.arrive(shows, "following " + link)
        self.assertTrue(wait_for(lambda: self.ui.in_view("Section S"), 5), self.ui.where("Section S"))
        # The reader scrolls on by keys, from section S down to section T, and leaves by a link there.
        self.assertTrue(self.page_down_until_in_view("Section T"), self.ui.where("Section T"))
        self.ui.follow("on to b")
        self.arrive(b, "following on to b")
        for what, keys, shows in [("Alt+Left", "alt+Left", a + "#s"), ("Alt+Right", "alt+Right", b),
                                  ("Alt+Left again", "alt+Left", a + "#s"), ("Alt+Right again", "alt+Right", b)]:
            with self.subTest(what=what):
                press(self.window, keys)
                self.arrive(shows, what)
                if shows != b:
                    self.assertTrue(wait_for(lambda: self.ui.in_view("Section T"), 5), self.ui.where("Section T"))
                    self.assertFalse(self.ui.in_view("Section S"), "Section S is in view")


class ScreenReader(unittest.TestCase):
    """A page process kept busy by a screen reader is not taken for hung."""

    def setUp(self):
        self.viewer = Viewer()
        paragraphs = "".join("<p>Paragraph %d of a long page.</p>" % n for n in range(20000))
        self.viewer.write_start_page('<title>Start</title><p><a href="long.html">long</a>')
        with open(os.path.join(self.viewer.pages, "long.html"), "w") as f:
            f.write("<title>Long</title>" + paragraphs)
        self.viewer.start(accessible=True)
        self.window = self.viewer.main_window()
        self.assertIsNotNone(self.window, self.viewer.trace())
        self.ui = Accessible(self.viewer.process.pid)
        self.assertIsNotNone(self.ui.app, "the viewer is not on the accessibility bus")
        self.reader = None

    def tearDown(self):
        if self.reader:
            self.reader.kill()
            self.reader.wait()
        if self.viewer.process.poll() is None:
            self.assertEqual(self.viewer.close_by_keys(self.window), 0)
        self.viewer.close()

    def test_back_while_a_screen_reader_walks_a_long_page_arrives_without_ending_the_page(self):
        # The start page, by its own address or the folder's.
        start = tuple("file://" + urllib.parse.quote(os.path.join(self.viewer.pages, name)) for name in ("index.html", ""))
        self.assertTrue(wait_for(lambda: self.ui.shown() in start), self.ui.shown())
        self.ui.follow("long")
        self.assertTrue(wait_for(lambda: (self.ui.shown() or "").endswith("/long.html"), 60), self.ui.shown())
        self.reader = subprocess.Popen([sys.executable, os.path.join(os.path.dirname(__file__), "read_page.py"),
                                        str(self.viewer.process.pid)], stdout=subprocess.PIPE, text=True)
        self.assertEqual(self.reader.stdout.readline().strip(), "reading")
        press(self.window, "alt+Left")
        self.assertTrue(wait_for(lambda: self.ui.shown() in start, 60), self.ui.shown())
        trace = self.viewer.trace()
        self.assertNotIn("did not answer", trace)
        self.assertNotIn("stopped answering", trace)


if __name__ == "__main__":
    with WindowManager():
        unittest.main(argv=sys.argv[:1], verbosity=2)
