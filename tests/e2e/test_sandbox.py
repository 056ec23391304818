"""The real binary where the page sandbox cannot start: in a user namespace that may make no
network namespace, bubblewrap fails as it does on a kernel or in a container without user
namespaces. The engine would end the program at its first page; the viewer keeps the sandbox off,
says why once in its trace and shows the page. Where it can start, the trace says nothing of it.
Odd home folders (a file, missing, read-only) never end the program either."""
import os
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

    # A read-only folder even for root: the run in a mount namespace of its own where the folder is
    # bound read-only onto itself.
    READ_ONLY = ["unshare", "--mount", "--propagation", "private", "sh", "-c",
                 'mount --bind "$0" "$0" && mount -o remount,bind,ro "$0" && exec "$@"']

    def test_odd_home_folders_never_end_the_program(self):
        folders = ["XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR", "HOME"]
        for variable, kind in [(v, k) for v in folders for k in ("file", "missing", "read-only")]:
            with self.subTest(variable=variable, kind=kind):
                viewer = Viewer()
                try:
                    viewer.write_start_page()
                    odd = os.path.join(viewer.home, "odd")
                    wrapper = ()
                    if kind == "file":
                        with open(odd, "w") as f:
                            f.write("not a folder\n")
                    elif kind == "read-only":
                        os.makedirs(odd)
                        wrapper = (*self.READ_ONLY, odd)
                    env = {variable: odd}
                    if variable == "HOME":  # the other folders follow from it
                        env.update({name: None for name in folders[:3]})
                    viewer.start(wrapper=wrapper, env=env)
                    self.assertTrue(viewer.loaded(), viewer.trace())
                    self.assertTrue(wait_for(lambda: "Load finished: file://" in viewer.trace()), viewer.trace())
                    viewer.process.terminate()
                    self.assertEqual(viewer.wait(), 0, viewer.trace())
                    if kind == "file":
                        self.assertIn("Page sandbox off: the user's folder", viewer.trace())
                        with open(odd) as f:
                            self.assertEqual(f.read(), "not a folder\n")
                finally:
                    viewer.close()


if __name__ == "__main__":
    with WindowManager():
        unittest.main(argv=sys.argv[:1], verbosity=2)
