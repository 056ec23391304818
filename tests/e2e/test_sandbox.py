"""The real binary where the page sandbox cannot start: in a user namespace that may make no
network namespace, bubblewrap fails as it does on a kernel or in a container without user
namespaces. The engine would end the program at its first page; the viewer keeps the sandbox off,
says why once in its trace and shows the page. Where it can start, the trace says nothing of it."""
import subprocess
import sys
import unittest

from viewer import Viewer, WindowManager, wait_for

NO_NAMESPACES = ["unshare", "--user", "--map-root-user", "sh", "-c",
                 'echo 0 > /proc/sys/user/max_net_namespaces && exec "$@"', "sh"]


def can_take_namespaces_away():
    probe = subprocess.run(NO_NAMESPACES + ["true"], capture_output=True)
    return probe.returncode == 0


class Sandbox(unittest.TestCase):
    def test_the_trace_says_once_why_the_sandbox_is_off_and_the_page_shows(self):
        if not can_take_namespaces_away():
            self.skipTest("this machine cannot make a user namespace to take namespaces away in")
        for wrapper, reason in [(NO_NAMESPACES, "bubblewrap cannot make the namespaces: "),
                                ((), None)]:
            with self.subTest(wrapper=wrapper):
                viewer = Viewer()
                try:
                    viewer.write_start_page()
                    viewer.start(wrapper=wrapper)
                    self.assertTrue(viewer.loaded(), viewer.trace())
                    self.assertTrue(wait_for(lambda: "Load finished: file://" in viewer.trace()))
                    lines = [line for line in viewer.trace().splitlines() if "Page sandbox off" in line]
                    if reason is None:
                        self.assertEqual(lines, [])
                    else:
                        self.assertEqual(len(lines), 1, viewer.trace())
                        self.assertIn("Page sandbox off: " + reason, lines[0])
                    viewer.process.terminate()
                    self.assertEqual(viewer.wait(), 0, viewer.trace())
                finally:
                    viewer.close()


if __name__ == "__main__":
    with WindowManager():
        unittest.main(argv=sys.argv[:1], verbosity=2)
