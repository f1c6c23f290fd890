#!/usr/bin/env python3
"""A private X display: Xvfb chooses a free display number itself (-displayfd), so test runs
never use the user's display or each other's, even when they start at the same moment."""
import os
import subprocess
import sys


class VirtualDisplay:
    def __init__(self, size="1280x800x24"):
        self.size = size
        self.proc = None
        self.name = None

    def __enter__(self):
        read, write = os.pipe()
        self.proc = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", self.size, "-nolisten", "tcp"],
                                     pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as f:
            number = f.readline().strip()
        if not number:
            self.proc.kill()
            raise RuntimeError("Xvfb did not start")
        self.name = f":{number}"
        return self

    def __exit__(self, *exc):
        if self.proc:
            self.proc.terminate()
            try:
                self.proc.wait(5)
            except subprocess.TimeoutExpired:
                self.proc.kill()


if __name__ == "__main__" and len(sys.argv) > 1:
    # display.py COMMAND...: runs the command with DISPLAY set to a private display.
    with VirtualDisplay() as display:
        print(f"Virtual display {display.name}; a screenshot: import -display {display.name} -window root shot.png",
              flush=True)
        sys.exit(subprocess.call(sys.argv[1:], env=dict(os.environ, DISPLAY=display.name)))
