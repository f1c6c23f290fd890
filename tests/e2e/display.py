#!/usr/bin/env python3
"""A private X display: Xvfb on the first free display number from 90 on, so test runs never
use the user's display or each other's."""
import os
import subprocess
import sys
import time


def free_display(start=90):
    for n in range(start, 400):
        if not os.path.exists(f"/tmp/.X{n}-lock") and not os.path.exists(f"/tmp/.X11-unix/X{n}"):
            return n
    raise RuntimeError("no free X display number")


class VirtualDisplay:
    def __init__(self, size="1280x800x24"):
        self.size = size
        self.proc = None
        self.name = None

    def __enter__(self):
        for _ in range(5):
            n = free_display()
            proc = subprocess.Popen(["Xvfb", f":{n}", "-screen", "0", self.size, "-nolisten", "tcp"],
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            for _ in range(50):
                if os.path.exists(f"/tmp/.X11-unix/X{n}"):
                    self.proc, self.name = proc, f":{n}"
                    return self
                if proc.poll() is not None:
                    break
                time.sleep(0.1)
            proc.kill()
        raise RuntimeError("Xvfb did not start")

    def __exit__(self, *exc):
        if self.proc:
            self.proc.terminate()
            try:
                self.proc.wait(5)
            except subprocess.TimeoutExpired:
                self.proc.kill()


if __name__ == "__main__" and sys.argv[1:] == ["free"]:
    print(free_display())
