#!/usr/bin/env python3
"""Checks that every folder of src/ includes only the layers below it and that portable
folders never include <windows.h>. Prints each offending include; exits 1 when there is one.

    app                                            start-up: wires the program together
    notify, ui, updates and settings windows       windows
    kit                                            reusable controls
    framework                                      window, dialog, sheet, page, data exchange
    engine, updates (worker)                       portable logic
    settings (store, catalogue)                    portable
    core                                           portable vocabulary
    platform                                       seams; their adapters in platform/win32 and platform/native
res/ holds resource ids and the string table, which the program's own layers may read."""
import re
import sys
from pathlib import Path

SRC = Path(__file__).resolve().parent.parent / "src"
BELOW = {
    "platform": set(),
    "core": {"platform", "res"},
    "settings": {"core", "platform", "res"},
    "engine": {"settings", "core", "platform", "res"},
    "updates": {"engine", "settings", "core", "platform", "res", "framework", "kit"},
    "framework": {"settings", "core", "platform"},
    "kit": {"framework", "settings", "core", "platform", "res"},
    "notify": {"kit", "framework", "updates", "engine", "settings", "core", "platform", "res", "app"},
    "ui": {"notify", "kit", "framework", "updates", "engine", "settings", "core", "platform", "res", "app"},
}
# The Options sheet and its pages are the settings folder's windows (settings/Opt*).
BELOW["settings windows"] = {"kit", "framework", "settings", "core", "platform", "res", "app"}
PORTABLE = {"platform", "core", "engine"}
# Windows may use these shared parts of app/, never the application object.
APP_SHARED = {"app/AppShared.h", "app/SharedImages.h", "app/AchievementBar.h", "app/WebAddress.h",
              "app/StartupLogic.h", "app/AboutDlg.h"}
INCLUDE = re.compile(r'\s*#include\s+[<"]([^>"]+)[>"]')


def offences(rel, lines):
    top = rel.parts[0]
    if top == "settings" and rel.name.startswith("Opt"):
        top = "settings windows"
    adapter = top == "platform" and len(rel.parts) > 2
    for n, line in enumerate(lines, 1):
        m = INCLUDE.match(line)
        if not m:
            continue
        target = m.group(1)
        folder = target.split("/")[0]
        if target == "windows.h" and top in PORTABLE and not adapter:
            yield n, "a portable file includes <windows.h>"
        elif "/" not in target or folder == rel.parts[0] or top not in BELOW or adapter:
            continue
        elif folder not in BELOW[top]:
            yield n, f"{top} includes {folder}, a layer above it"
        elif folder == "app" and target not in APP_SHARED:
            yield n, "windows receive what they use instead of including the application object"


def main():
    count = 0
    for path in sorted(SRC.rglob("*")):
        if path.suffix in (".h", ".cpp"):
            rel = path.relative_to(SRC)
            for n, why in offences(rel, path.read_text(errors="ignore").splitlines()):
                print(f"src/{rel}:{n}: {why}")
                count += 1
    print(f"layers: {count} include(s) against the layering")
    return 1 if count else 0


if __name__ == "__main__":
    sys.exit(main())
