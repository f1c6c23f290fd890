#!/usr/bin/env python3
"""Writes site/ for a vendor base address: a copy of the tree in which every absolute address
on the development host (the loopback server the tests use) is put on the given base.

    scripts/gen_site.py SOURCE-DIR OUT-DIR BASE-ADDRESS

Files are rewritten only when their content changes, and files no longer in the source are
removed (signatures made for the pages excepted), so the output is the source for that base."""
import shutil
import sys
from pathlib import Path

DEVELOPMENT_BASE = "http://127.0.0.1:8321"
TEXT_SUFFIXES = {".html", ".css", ".txt", ".xml", ".js"}


def write_site(source: Path, out: Path, base: str) -> None:
    wanted = set()
    for path in sorted(source.rglob("*")):
        if not path.is_file():
            continue
        rel = path.relative_to(source)
        wanted.add(rel)
        target = out / rel
        target.parent.mkdir(parents=True, exist_ok=True)
        if path.suffix in TEXT_SUFFIXES:
            data = path.read_bytes().replace(DEVELOPMENT_BASE.encode(), base.encode())
            if not target.exists() or target.read_bytes() != data:
                target.write_bytes(data)
        elif not target.exists() or target.read_bytes() != path.read_bytes():
            shutil.copyfile(path, target)
    for path in sorted(out.rglob("*"), reverse=True):
        rel = path.relative_to(out)
        # Signatures are written beside the pages after this step (scripts/sign-update).
        if path.is_file() and rel not in wanted and path.suffix != ".sig":
            path.unlink()
        elif path.is_dir() and not any(path.iterdir()):
            path.rmdir()


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    write_site(Path(sys.argv[1]), Path(sys.argv[2]), sys.argv[3].rstrip("/"))
