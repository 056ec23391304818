"""The real binary on folders: a table of command lines (folders in every form, files, flags) and
what each shows or prints with its exit status; the generated folder page's links followed into a
subfolder and out to the parent (also from the folder the viewer started in); a link to a name that
is not UTF-8; F1 opens the guide."""
import os
import signal
import subprocess
import sys
import unittest
import urllib.parse

from viewer import BINARY, Viewer, WindowManager, press, wait_for

SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def shown(path):
    """The trace's line for a page that finished loading at a file path (as the trace prints it); a
    folder's generated page (a path ending in "/") has an address of its own scheme."""
    return ("Load finished: generated://" if path.endswith("/") else "Load finished: file://") + path


class Folders(unittest.TestCase):
    def setUp(self):
        # pages/ is the viewer's current folder: a start page, a file and folders of every kind.
        self.viewer = Viewer()
        self.pages = self.viewer.pages
        self.write("index.html", "<title>Start</title>")
        self.write("notes.txt", "document data")
        for name in ["docs", "a #1 100%", "plain"]:
            os.makedirs(os.path.join(self.pages, name))
        self.write("docs/index.html", "<title>Docs</title>")
        self.write("a #1 100%/index.html", "<title>Odd</title>")
        self.write("plain/page.html", "<title>Page</title>")
        self.bad = os.path.join(self.pages.encode(), b"bad \xff")
        os.makedirs(self.bad)
        with open(os.path.join(self.bad, b"index.html"), "w") as f:
            f.write("<title>Bad</title>")

    def tearDown(self):
        self.viewer.close()

    def write(self, name, text):
        with open(os.path.join(self.pages, name), "w") as f:
            f.write(text)

    def test_command_lines(self):
        pages = self.pages
        cases = [
            # arguments, what the trace shows first
            (["docs"], shown(pages + "/docs/index.html")),
            (["docs/"], shown(pages + "/docs/index.html")),
            ([pages + "/a #1 100%"], shown(pages + "/a #1 100%/index.html")),
            (["./plain"], shown(pages + "/plain/")),  # no start page: the generated page
            ([os.fsdecode(self.bad)], "Load finished: about:blank"),  # the engine cannot open it: a page says so
            (["/unknown", "docs"], shown(pages + "/docs/index.html")),
            (["notes.txt"], shown(pages + "/index.html")),  # a file stays a document
            (["/docs"], shown(pages + "/index.html")),  # a flag: a folder in the root is /docs/ or //docs
        ]
        for args, expected in cases:
            with self.subTest(args=args):
                viewer = self.viewer.start(*args)
                self.assertTrue(wait_for(lambda: expected in viewer.trace()), viewer.trace())
                if "about:blank" not in expected:
                    self.assertEqual(viewer.trace().count("Load finished"), 1, viewer.trace())
                viewer.process.send_signal(signal.SIGTERM)
                self.assertEqual(viewer.wait(), 0)
        with open(os.path.join(pages, "notes.txt")) as f:
            self.assertEqual(f.read(), "document data")

    def test_help_and_version_print_and_end_without_a_display_or_settings(self):
        env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(self.viewer.home, "config"))
        env.pop("DISPLAY", None)
        cases = [(["--help"], "Usage: folioscope"), (["/?"], "Usage: folioscope"), (["-h", "--version"], "Usage"),
                 (["/help"], "Usage"), (["--version"], "FOLIOSCOPE 3.4\n"), (["x", "/Version"], "FOLIOSCOPE 3.4\n")]
        for args, expected in cases:
            with self.subTest(args=args):
                run = subprocess.run([BINARY, *args], env=env, capture_output=True, text=True, timeout=30)
                self.assertEqual(run.returncode, 0, run.stderr)
                self.assertTrue(run.stdout.startswith(expected), run.stdout)
                self.assertEqual(run.stderr, "")
                self.assertFalse(os.path.exists(os.path.join(self.viewer.home, "config")))

    def test_links_to_folders_lead_into_them_and_back_out(self):
        # Tab moves through a page's links in order; on a generated page: Parent folder, the
        # folders, the pages.
        self.write("index.html", '<title>Start</title><a href="docs/">docs</a> <a href="plain">plain</a>')
        start = shown(self.pages + "/index.html")
        viewer = self.viewer.start()
        window = viewer.main_window()
        self.assertIsNotNone(window, viewer.trace())
        self.assertTrue(wait_for(lambda: start in viewer.trace()), viewer.trace())
        press(window, "Tab", "Tab", "Return")  # plain: no start page, so its generated page
        self.assertTrue(wait_for(lambda: shown(self.pages + "/plain/") in viewer.trace()), viewer.trace())
        press(window, "Tab", "Return")  # Parent folder
        self.assertTrue(wait_for(lambda: viewer.trace().count(start) == 2), viewer.trace())
        press(window, "Tab", "Return")  # docs/: its start page
        self.assertTrue(wait_for(lambda: shown(self.pages + "/docs/index.html") in viewer.trace()), viewer.trace())
        press(window, "alt+Left")
        self.assertTrue(wait_for(lambda: viewer.trace().count(start) == 3), viewer.trace())
        press(window, "F1")
        guide = os.path.join(SOURCE, "guide", "index.html")
        self.assertTrue(wait_for(lambda: shown(guide) in viewer.trace()), viewer.trace())
        self.assertEqual(viewer.close_by_keys(window), 0)

    def test_generated_page_links_to_folders_and_to_names_that_are_not_utf8(self):
        os.makedirs(os.path.join(self.pages, "empty", "sub"))
        with open(os.path.join(self.pages.encode(), b"empty", b"\xfe.html"), "w") as f:
            f.write("<title>Unreachable</title>")
        viewer = self.viewer.start("empty")
        window = viewer.main_window()
        self.assertIsNotNone(window, viewer.trace())
        empty = shown(self.pages + "/empty/") + "\n"
        self.assertTrue(wait_for(lambda: empty in viewer.trace()), viewer.trace())
        press(window, "Tab", "Return")  # Parent folder, outside the folder the viewer started in
        self.assertTrue(wait_for(lambda: shown(self.pages + "/index.html") in viewer.trace()), viewer.trace())
        press(window, "alt+Left")
        self.assertTrue(wait_for(lambda: viewer.trace().count(empty) == 2), viewer.trace())
        press(window, "Tab", "Return")  # sub/, after Parent folder, which has the focus again
        self.assertTrue(wait_for(lambda: shown(self.pages + "/empty/sub/") in viewer.trace()), viewer.trace())
        press(window, "Tab", "Return")  # its Parent folder
        self.assertTrue(wait_for(lambda: viewer.trace().count(empty) == 3), viewer.trace())
        press(window, "Tab", "Tab", "Tab", "Return")  # the page whose name is not UTF-8: a page explains
        self.assertTrue(wait_for(lambda: "Load finished: about:blank" in viewer.trace()), viewer.trace())
        self.assertEqual(viewer.close_by_keys(window), 0)


if __name__ == "__main__":
    with WindowManager():
        unittest.main(argv=sys.argv[:1], verbosity=2)
