#!/usr/bin/env python3
"""Checks that every folder of src/ includes only the layers below it, that portable files
include no Windows header and that only the start-up includes the seams' Win32 adapters.
Prints each offending include; exits 1 when there is one.

    app                         start-up: wires the program together
    ui                          windows (main, wizard, options, notify, news, about, shared)
    kit                         reusable controls
    framework                   window, dialog, sheet, page, data exchange
    engine, updates             portable logic (side by side: neither includes the other)
    settings                    store, catalogue, application settings (portable)
    core                        portable vocabulary
    platform                    seams; their adapters in platform/win32 (only app/ includes
                                them) and platform/native
res/ holds resource ids and the string table, which every layer may read.

A portable file is one the portable library builds (listed for restwell_core in a
sources.cmake), a header beside one, or any file of a portable folder; it includes no
Windows header (an angle-bracket include ending in .h that is not a C header)."""
import re
import sys
from pathlib import Path

SRC = Path(__file__).resolve().parent.parent / "src"
BELOW = {
    "platform": set(),
    "core": {"platform", "res"},
    "settings": {"core", "platform", "res"},
    "engine": {"settings", "core", "platform", "res"},
    "updates": {"settings", "core", "platform", "res"},
    "framework": {"core", "platform", "res"},
    "kit": {"framework", "core", "platform", "res"},
    "ui": {"kit", "framework", "updates", "engine", "settings", "core", "platform", "res"},
    "app": {"ui", "kit", "framework", "updates", "engine", "settings", "core", "platform", "res"},
}
PORTABLE_FOLDERS = {"platform", "core", "settings", "engine", "updates"}
C_HEADERS = {"assert.h", "stddef.h", "stdint.h", "stdio.h", "stdlib.h", "string.h", "wchar.h", "math.h", "limits.h"}
INCLUDE = re.compile(r'\s*#include\s+([<"])([^>"]+)[>"]')
SOURCES = re.compile(r"target_sources\(restwell_core\s+PRIVATE([^)]*)\)")


def portable_files():
    """Paths (relative to src/) of the portable library's sources and the headers beside them."""
    files = set()
    for listing in SRC.rglob("sources.cmake"):
        for block in SOURCES.findall(listing.read_text()):
            for name in block.split():
                if name.startswith("src/"):
                    rel = Path(name[4:])
                    files.add(rel)
                    files.add(rel.with_suffix(".h"))
    return files


def is_portable(rel, listed):
    if rel in listed:
        return True
    return rel.parts[0] in PORTABLE_FOLDERS and not (rel.parts[0] == "platform" and len(rel.parts) > 2)


def offences(rel, lines, listed):
    top = rel.parts[0]
    adapter = top == "platform" and len(rel.parts) > 2
    portable = is_portable(rel, listed)
    for n, line in enumerate(lines, 1):
        m = INCLUDE.match(line)
        if not m:
            continue
        angle, target = m.group(1) == "<", m.group(2)
        if angle:
            if portable and target.endswith(".h") and target not in C_HEADERS:
                yield n, f"a portable file includes <{target}>"
            continue
        folder = target.split("/")[0]
        if target.startswith("platform/win32/") and top != "app" and not adapter:
            yield n, "only the start-up includes the seams' Win32 adapters"
        elif "/" not in target or folder == top or top not in BELOW or adapter:
            continue
        elif folder not in BELOW[top]:
            yield n, f"{top} includes {folder}, a layer above it or beside it"


def main():
    listed = portable_files()
    count = 0
    for path in sorted(SRC.rglob("*")):
        if path.suffix in (".h", ".cpp"):
            rel = path.relative_to(SRC)
            for n, why in offences(rel, path.read_text(errors="ignore").splitlines(), listed):
                print(f"src/{rel}:{n}: {why}")
                count += 1
    print(f"layers: {count} include(s) against the layering")
    return 1 if count else 0


if __name__ == "__main__":
    sys.exit(main())
