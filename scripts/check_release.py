#!/usr/bin/env python3
"""Fails when a shipped file names the loopback host: looks through the given files and
folders for 127.0.0.1 and localhost, as single-byte text and as UTF-16 (the program's
wide strings), in any case.

    scripts/check_release.py PATH...
"""
import re
import sys
from pathlib import Path

NAMES = [b"127.0.0.1", b"localhost", b"[::1]"]


def patterns():
    for name in NAMES:
        yield re.compile(re.escape(name), re.IGNORECASE)
        wide = b"".join(re.escape(bytes([c])) + b"\x00" for c in name)
        yield re.compile(wide, re.IGNORECASE)


def findings(paths):
    found = []
    compiled = list(patterns())
    for root in map(Path, paths):
        files = [root] if root.is_file() else sorted(p for p in root.rglob("*") if p.is_file())
        if not root.exists():
            found.append(f"{root}: missing")
        for path in files:
            data = path.read_bytes()
            for pattern in compiled:
                for match in pattern.finditer(data):
                    text = data[max(0, match.start() - 24):match.end() + 24].replace(b"\x00", b"")
                    found.append(f"{path}: {text.decode('latin-1')!r}")
    return found


if __name__ == "__main__":
    problems = findings(sys.argv[1:])
    for line in problems:
        print(f"loopback address in a shipped file: {line}", file=sys.stderr)
    sys.exit(1 if problems or len(sys.argv) < 2 else 0)
