#!/usr/bin/env python3
"""Builds and runs the test layers and prints one final line "N passed, M failed".

    run_tests.py all|unit|tsan|win|e2e

unit  native GoogleTest suites under ctest (ASan/UBSan build)
tsan  the threaded suites again under ThreadSanitizer
win   the cross-compiled GoogleTest executable under Wine, on a private Xvfb display
e2e   Restwell.exe in a Wine virtual desktop, driven by tests/e2e/driver.py
fuzz  the update-file parser's libFuzzer target for 30 s (scripts/fuzz)"""
import json
import os
import subprocess
import sys
import xml.etree.ElementTree as ET
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
from display import VirtualDisplay  # noqa: E402

# Suites whose names match run under ThreadSanitizer as well.
TSAN_FILTER = "*ScheduledEvents*:*Worker*:*Thread*:*UpgradeCheck*"


def sh(cmd, **kw):
    print("+", " ".join(map(str, cmd)), flush=True)
    return subprocess.run(list(map(str, cmd)), cwd=ROOT, **kw).returncode


def build(preset):
    out = ROOT / "build" / preset
    if not (out / "build.ninja").exists() and sh(["cmake", "--preset", preset], stdout=subprocess.DEVNULL) != 0:
        return False
    return sh(["cmake", "--build", out]) == 0


def gtest_counts(report, rc):
    """Passed and failed cases of a GoogleTest JSON report; a run that crashed or exited
    non-zero without a failing case counts one failure more."""
    if not report.exists():
        return 0, 1
    data = json.loads(Path(report).read_text())
    failed = sum(s.get("failures", 0) for s in data.get("testsuites", []))
    total = sum(s.get("tests", 0) - s.get("disabled", 0) for s in data.get("testsuites", []))
    return total - failed, failed + (1 if rc != 0 and failed == 0 else 0)


def layer_unit():
    if not build("native"):
        return 0, 1
    report = ROOT / "build" / "native" / "unit.xml"
    report.unlink(missing_ok=True)
    sh(["ctest", "--test-dir", "build/native", "-j2", "--timeout", "300", "--output-on-failure",
        "--output-junit", report], stdout=subprocess.DEVNULL if os.environ.get("RW_QUIET") else None)
    if not report.exists():
        return 0, 1
    suite = ET.parse(report).getroot()
    tests = int(suite.get("tests", 0))
    failed = int(suite.get("failures", 0)) + int(suite.get("errors", 0))
    skipped = int(suite.get("skipped", 0) or suite.get("disabled", 0) or 0)
    return tests - failed - skipped, failed


def layer_tsan():
    if not build("native-tsan"):
        return 0, 1
    report = ROOT / "build" / "native-tsan" / "tsan.json"
    report.unlink(missing_ok=True)
    rc = sh(["build/native-tsan/tests/restwell_unit_tests", f"--gtest_filter={TSAN_FILTER}",
             f"--gtest_output=json:{report}"], env=dict(os.environ, TSAN_OPTIONS="halt_on_error=1"))
    return gtest_counts(report, rc)


def layer_win():
    if not build("win64"):
        return 0, 1
    report = ROOT / "build" / "win64" / "win_tests.json"
    report.unlink(missing_ok=True)
    env = dict(os.environ, WINEPREFIX=str(ROOT / "build" / "wineprefix-test"), WINEARCH="win64",
               WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
    with VirtualDisplay() as display:
        env["DISPLAY"] = display.name
        subprocess.run(["wineserver", "-k"], env=env, capture_output=True)
        subprocess.run(["wine", "cmd", "/c", "exit"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=60)
        # Wine takes the report path relative to the working directory.
        rc = sh(["wine", "build/win64/tests/restwell_win_tests.exe",
                 f"--gtest_output=json:{report.relative_to(ROOT)}"], env=env, timeout=1200)
        subprocess.run(["wineserver", "-k"], env=env, capture_output=True)
    return gtest_counts(report, rc)


def layer_e2e():
    if not build("win64"):
        return 0, 1
    sh([sys.executable, "tests/e2e/driver.py"], timeout=1200)
    results = ROOT / "build" / "e2e" / "results.json"
    if not results.exists():
        return 0, 1
    data = json.loads(results.read_text())
    return len(data["passed"]), len(data["failed"])


def layer_fuzz():
    rc = sh(["scripts/fuzz", "30"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return (1, 0) if rc == 0 else (0, 1)


LAYERS = {"unit": layer_unit, "tsan": layer_tsan, "win": layer_win, "e2e": layer_e2e, "fuzz": layer_fuzz}


def main():
    which = sys.argv[1] if len(sys.argv) > 1 else "all"
    names = list(LAYERS) if which == "all" else [which]
    total_passed = total_failed = 0
    summary = []
    for name in names:
        try:
            passed, failed = LAYERS[name]()
        except Exception as e:  # noqa: BLE001 - a layer that breaks counts as a failure
            print(f"{name}: {e}", flush=True)
            passed, failed = 0, 1
        summary.append(f"{name}: {passed} passed, {failed} failed")
        total_passed += passed
        total_failed += failed
    print("\n".join(summary))
    print(f"{total_passed} passed, {total_failed} failed")
    return 1 if total_failed else 0


if __name__ == "__main__":
    sys.exit(main())
