#!/usr/bin/env python3
"""Builds and runs the test layers and prints one final line "N passed, M failed" (exit code 1
when anything failed or could not run).

    run_tests.py [all|unit|tsan|fuzz|package|release|win|e2e]... [-j WORKERS]

unit  the native GoogleTest executable (ASan/UBSan build), run once with a JSON report
tsan  the threaded suites' executable (ThreadSanitizer), built in the same native tree
win   the cross-compiled GoogleTest executable under Wine, on a private Xvfb display
package  the Group Policy templates against the settings catalogue; the installers' size and signing
e2e   Restwell.exe in a Wine virtual desktop, driven by tests/e2e/driver.py
release  a release build for an https test host (build/release-check): no loopback address
      may be left in its Restwell.exe or site/

The Wine layers share one pool of workers (default 3, or RW_E2E_WORKERS), each with its own copy
of the tests' Wine prefix and its own display: each half of the Wine GoogleTest executable's
suites is one job of the pool, every end-to-end test another. The native layers are built and
run while the pool works."""
import argparse
import json
import os
import subprocess
import sys
import threading
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
import driver  # noqa: E402

PRINT = threading.Lock()


def say(text):
    with PRINT:
        print(text, flush=True)


def run_logged(cmd, log, env=None, timeout=None):
    """Runs a command with its output in a log file; prints the log when it fails."""
    with open(log, "w") as out:
        rc = subprocess.run(list(map(str, cmd)), cwd=ROOT, env=env, stdout=out, stderr=subprocess.STDOUT,
                            timeout=timeout).returncode
    if rc != 0:
        say(f"+ {' '.join(map(str, cmd))} (exit code {rc})\n" + Path(log).read_text(errors="replace")[-20000:])
    return rc


def build(preset, targets=()):
    out = ROOT / "build" / preset
    out.mkdir(parents=True, exist_ok=True)
    say(f"building {preset} (log: build/{preset}/build.log)")
    if not (out / "build.ninja").exists() and run_logged(["cmake", "--preset", preset], out / "configure.log") != 0:
        return False
    cmd = ["cmake", "--build", out] + [a for t in targets for a in ("--target", t)]
    start = time.time()
    ok = run_logged(cmd, out / "build.log") == 0
    say(f"built {preset} in {time.time() - start:.0f} s" if ok else f"building {preset} failed")
    return ok


def gtest_counts(report, rc):
    """Passed and failed cases of a GoogleTest JSON report; a run that crashed or exited
    non-zero without a failing case counts one failure more."""
    if not Path(report).exists():
        return 0, 1
    data = json.loads(Path(report).read_text())
    failed = sum(s.get("failures", 0) for s in data.get("testsuites", []))
    total = sum(s.get("tests", 0) - s.get("disabled", 0) for s in data.get("testsuites", []))
    return total - failed, failed + (1 if rc != 0 and failed == 0 else 0)


def run_gtest(exe, report, env=None, timeout=600):
    Path(report).unlink(missing_ok=True)
    rc = run_logged([exe, f"--gtest_output=json:{report}"], Path(report).with_suffix(".log"), env=env,
                    timeout=timeout)
    return gtest_counts(report, rc)


def native_layers(which, results):
    """Builds the native tree once and runs its executables: unit (ASan/UBSan), tsan."""
    if not build("native"):
        for name in which:
            results[name] = (0, 1)
        return
    out = ROOT / "build" / "native"
    if "unit" in which:
        passed, failed = run_gtest(out / "tests" / "restwell_unit_tests", out / "unit.json")
        # The include graph follows the layers: one more check of the unit layer.
        layered = subprocess.run([sys.executable, ROOT / "scripts" / "check_layers.py"]).returncode == 0
        results["unit"] = (passed + layered, failed + (not layered))
    if "tsan" in which:
        results["tsan"] = run_gtest(out / "tests" / "restwell_tsan_tests", out / "tsan.json",
                                    env=dict(os.environ, TSAN_OPTIONS="halt_on_error=1"))
    if "package" in which:
        # The installers' own checks: the policy templates against the catalogue, the
        # installers' size and their signing (the Windows tree is built by then).
        checks = [("check_policy", out / "tests" / "catalog_dump"), ("check_installers", ROOT / "build" / "win64")]
        ok = [run_logged([sys.executable, ROOT / "tests" / "package" / f"{name}.py", arg], out / f"{name}.log",
                         timeout=600) == 0 for name, arg in checks]
        results["package"] = (sum(ok), len(ok) - sum(ok))
    if "fuzz" in which:
        # Every fuzz target for a bounded 8 s; each target is one result, a finding fails it.
        log = out / "fuzz.log"
        rc = run_logged([ROOT / "scripts" / "fuzz", "8"], log, timeout=900)
        lines = [line for line in log.read_text(errors="replace").splitlines() if line.startswith("fuzz: ")]
        ok = sum(line.endswith(", ok") for line in lines)
        results["fuzz"] = (ok, len(lines) - ok + (1 if rc != 0 and ok == len(lines) else 0))
        say("\n".join(lines))
    if "release" in which:
        env = dict(os.environ, RESTWELL_VENDOR_URL="https://updates.example.org", RESTWELL_UPDATE_KEY="",
                   RESTWELL_ALLOW_HTTP="", RESTWELL_SIGNING_KEY="")
        rc = run_logged([ROOT / "scripts" / "release", "build/release-check"], ROOT / "build" / "release-check.log",
                        env=env, timeout=1800)
        # The scan itself must see the development site's loopback addresses.
        scan = subprocess.run([sys.executable, ROOT / "scripts" / "check_release.py", ROOT / "site"],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode
        results["release"] = (1, 0) if rc == 0 and scan == 1 else (0, 1)
    for name in which:
        passed, failed = results[name]
        say(f"[ {'PASS' if not failed else 'FAIL'} ] {name}: {passed} passed, {failed} failed")


# Seconds a single Wine test may run before it counts as hung (fails, and the run goes on):
# room for the slowest test on a machine busy many times over (a hundred dialogs took over a
# minute at a load of 20 on two cores).
WIN_TEST_LIMIT = 180


def read_progress(path):
    """The progress file of the Wine test executable: {test: outcome} with outcome PASS, FAIL,
    HANG, or CRASH for a test that started and never ended."""
    outcomes = {}
    if path.exists():
        for line in path.read_text(errors="replace").splitlines():
            word, _, name = line.partition(" ")
            outcomes[name] = "CRASH" if word == "START" else word
    return outcomes


# The Wine GoogleTest executable runs as two jobs of the pool, side by side: the suites named
# here (about half of the time, some 20 s) and all the others, so every test runs exactly once.
WIN_SHARD = "FrameworkLeaks.*:HttpWinInet.*:BreaksPage.*:OptionsSheet.*:KitMenuButton.*"
WIN_SHARDS = [WIN_SHARD, "-" + WIN_SHARD]


def win_job(shard):
    """A pool job that runs one shard of the Wine GoogleTest executable in its session (prefix
    and display). It runs once; should a test hang (the executable ends it after WIN_TEST_LIMIT s)
    or crash, the executable starts again after the tests done so far."""
    def job(session):
        build = ROOT / "build" / "win64"
        stem = f"win_tests-{shard + 1}"
        progress = build / f"{stem}.progress"
        progress.unlink(missing_ok=True)
        log = build / f"{stem}.log"
        log.unlink(missing_ok=True)
        rc, runs = 0, 0
        while True:
            runs += 1
            report = build / (f"{stem}.json" if runs == 1 else f"{stem}-{runs}.json")
            report.unlink(missing_ok=True)
            before = len(read_progress(progress))
            # Wine takes the paths relative to the working directory.
            with open(log, "a") as out:
                rc = subprocess.run(["wine", "build/win64/tests/restwell_win_tests.exe",
                                     f"--gtest_filter={WIN_SHARDS[shard]}",
                                     f"--gtest_output=json:{report.relative_to(ROOT)}",
                                     f"--rw_progress={progress.relative_to(ROOT)}", f"--rw_limit={WIN_TEST_LIMIT}"],
                                    cwd=ROOT, env=session.env, stdout=out, stderr=subprocess.STDOUT,
                                    timeout=1800).returncode
            outcomes = read_progress(progress)
            unfinished = [name for name, outcome in outcomes.items() if outcome in ("HANG", "CRASH")]
            if rc == 0 or len(outcomes) == before or not unfinished or runs > 20:
                break
            say(f"win: {unfinished[-1]} {'hung' if outcomes[unfinished[-1]] == 'HANG' else 'crashed'}; "
                "the executable starts again after it")
        outcomes = read_progress(progress)
        passed = sum(outcome == "PASS" for outcome in outcomes.values())
        failed = len(outcomes) - passed
        if rc != 0 and failed == 0:
            failed = 1  # ended badly without a failing test (or before the first one)
        if failed:
            say(log.read_text(errors="replace")[-20000:])
            say("win: not passed: " + ", ".join(f"{n} ({o})" for n, o in outcomes.items() if o != "PASS"))
        return passed, failed
    return job


def wine_layers(which, workers, results):
    """Runs the win job and the end-to-end tests (the Windows tree is built) in one pool."""
    jobs, tests = [], []
    if "win" in which:
        # The longest jobs go first: each half of the Wine tests takes about 20 s.
        jobs += [driver.Job(f"win {i + 1}/{len(WIN_SHARDS)}", win_job(i), weight=20) for i in range(len(WIN_SHARDS))]
    if "e2e" in which:
        tests = driver.discover("")
        jobs += [driver.Job(name, driver.e2e_job(name, test), getattr(test, "seconds", 0.0)) for name, test in tests]
    pool = driver.run_pool(jobs, workers)
    if "win" in which:
        shards = [pool[f"win {i + 1}/{len(WIN_SHARDS)}"] for i in range(len(WIN_SHARDS))]
        results["win"] = (sum(p for p, _ in shards), sum(f for _, f in shards))
    if "e2e" in which:
        passed = [name for name, _ in tests if pool[name] == (1, 0)]
        failed = [name for name, _ in tests if pool[name] != (1, 0)]
        (driver.SHOTS / "results.json").write_text(json.dumps({"passed": passed, "failed": failed}, indent=1))
        results["e2e"] = (len(passed), len(failed))


LAYERS = ["unit", "tsan", "fuzz", "package", "release", "win", "e2e"]


def main():
    parser = argparse.ArgumentParser(description="Builds and runs the test layers.")
    parser.add_argument("layers", nargs="*", default=["all"], choices=LAYERS + ["all"])
    parser.add_argument("-j", "--workers", type=int, default=driver.default_workers(),
                        help="Wine jobs side by side (default 3, or RW_E2E_WORKERS)")
    args = parser.parse_args()
    which = LAYERS if "all" in args.layers else [name for name in LAYERS if name in args.layers]
    results = {}

    def guarded(layer, *a):
        try:
            layer(*a)
        except Exception as e:  # noqa: BLE001 - a layer that breaks counts as a failure
            say(f"{layer.__name__}: {e!r}")

    native = [n for n in which if n in ("unit", "tsan", "fuzz", "package", "release")]
    wine = [n for n in which if n in ("win", "e2e")]
    # The Windows tree first, while the tests' Wine prefix is made (the first time): its pool
    # of Wine jobs is the longest part. The native tree is built and run beside the pool (the
    # Wine jobs mostly wait on Wine and on Xvfb).
    threads = []
    if "package" in native and not wine and not build("win64"):
        native.remove("package")
    if wine:
        prefix = subprocess.Popen([ROOT / "scripts" / "bootstrap", "test"], cwd=ROOT)
        built = build("win64")
        if prefix.wait() != 0 or not built:
            for name in wine:
                results[name] = (0, 1)
            wine = []
        else:
            threads.append(threading.Thread(target=guarded, args=(wine_layers, wine, args.workers, results)))
    if native:
        threads.append(threading.Thread(target=guarded, args=(native_layers, native, results)))
    for t in threads:
        t.start()
    for t in threads:
        t.join()

    total_passed = total_failed = 0
    summary = []
    for name in which:
        passed, failed = results.get(name, (0, 1))
        summary.append(f"{name}: {passed} passed, {failed} failed")
        total_passed += passed
        total_failed += failed
    print("\n".join(summary))
    print(f"{total_passed} passed, {total_failed} failed")
    return 1 if total_failed else 0


if __name__ == "__main__":
    sys.exit(main())
