"""Reads a viewer's page through AT-SPI as a screen reader walks it: every object of the web
document, its role, name and text, one call after another. Prints "reading" once it is under way and
"read N" at the end (N: the objects read). Usage: read_page.py PID."""
import sys

import pyatspi


def main(pid):
    app = next(a for a in pyatspi.Registry.getDesktop(0) if a is not None and a.get_process_id() == pid)
    pending = [app]
    document = None
    while pending and document is None:  # the first web document, breadth first
        node = pending.pop(0)
        if node.getRoleName() == "document web":
            document = node
        else:
            pending.extend(child for child in node if child is not None)
    read = 0
    for child in document:
        try:  # what a screen reader asks of each object it reads
            child.getRoleName()
            child.getState()
            child.getAttributes()
            child.queryText().getText(0, -1)
            child.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        except Exception:  # the document went away under the reader (a new page)
            break
        read += 1
        if read == 100:
            print("reading", flush=True)
    print("read", read, flush=True)


if __name__ == "__main__":
    main(int(sys.argv[1]))
