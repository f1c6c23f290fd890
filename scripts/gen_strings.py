#!/usr/bin/env python3
"""Turns src/res/strings.txt into the STRINGTABLE for windres, the IDS_ defines and the
compiled-in table of the native build, so every build reads the same texts.

Each line of the source is:  <number> <IDS_NAME> "<text>"  with C escapes in the text.
Blank lines and lines starting with # are ignored."""
import re
import sys
from pathlib import Path

LINE = re.compile(r'^(\d+)\s+(IDS_[A-Z0-9_]+)\s+"((?:[^"\\]|\\.)*)"\s*$')


def parse(path):
    entries, ids, names = [], set(), set()
    for n, raw in enumerate(Path(path).read_text(encoding="utf-8").splitlines(), 1):
        line = raw.strip()
        if not line or line.startswith("#"):
            continue
        m = LINE.match(line)
        if not m:
            sys.exit(f"{path}:{n}: cannot read this line")
        number, name, text = int(m.group(1)), m.group(2), m.group(3)
        if number in ids or name in names:
            sys.exit(f"{path}:{n}: {number} or {name} is defined twice")
        ids.add(number)
        names.add(name)
        entries.append((number, name, text))
    return entries


def rc_text(c_text):
    # windres takes C escapes but writes a quote as two quotes.
    return c_text.replace('\\"', '""')


def write(path, content):
    Path(path).write_text(content, encoding="utf-8")


def main():
    source, out = sys.argv[1], Path(sys.argv[2])
    entries = parse(source)
    rc = ["// Generated from src/res/strings.txt; do not edit.", "STRINGTABLE", "BEGIN"]
    rc += [f'    {number}, "{rc_text(text)}"' for number, _, text in entries]
    rc += ["END", ""]
    ids = ["// Generated from src/res/strings.txt; do not edit.", "#pragma once"]
    ids += [f"#define {name} {number}" for number, name, _ in entries]
    table = ["// Generated from src/res/strings.txt; do not edit."]
    table += [f'{{{number}, L"{text}"}},' for number, _, text in entries]
    write(out / "strings.rc", "\n".join(rc))
    write(out / "string_ids.h", "\n".join(ids) + "\n")
    write(out / "strings_table.inc", "\n".join(table) + "\n")


if __name__ == "__main__":
    main()
