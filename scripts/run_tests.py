#!/usr/bin/env python3
"""Builds and runs the test layers and prints one final line "N passed, M failed" (exit code 1
when anything failed or could not run).

    run_tests.py [all|unit|tsan|fuzz|package|release|win|e2e]... [-j WORKERS]

unit  the native GoogleTest executable (ASan/UBSan build), run once with a JSON report
tsan  the threaded suites' executable (ThreadSanitizer), built in the same native tree
win   the cross-compiled GoogleTest executable under Wine, on a private Xvfb display
package  the Group Policy templates against the settings catalogue; the installers' size and signing
e2e   Restwell.exe in a Wine virtual desktop, driven by tests/e2e/driver.py
release  a release for an https test host: no loopback address may be left in its Restwell.exe
      or site/ (linked in the Windows test tree, whose libraries the release tree compiles alike)

The Wine layers share one pool of workers (default 4, or RW_E2E_WORKERS), each with its own copy
of the tests' Wine prefix and its own display: each half of the Wine GoogleTest executable's
suites is one job of the pool, every end-to-end test another. The pool starts once the Windows
tree's programs are built, with the end-to-end tests; the Wine test executable is built beside
them and its jobs start when it is. The native tree and the fuzz targets are built from the start
at the lowest priority (on the CPU the other work leaves idle); what needs the Windows tree, and
the fuzz runs, wait until it is built."""
import argparse
import json
import os
import re
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


def run_timed(cmd, env=None, timeout=None, low=False, **kw):
    """Runs a command to its end (with low=True at the lowest priority, its children too);
    returns its exit code, its wall seconds and the CPU seconds (user + system) of it and the
    processes it waited for (a compiler under ninja counts)."""
    start = time.time()
    proc = subprocess.Popen((["nice", "-n", "19"] if low else []) + list(map(str, cmd)), cwd=ROOT, env=env, **kw)
    timer = threading.Timer(timeout, proc.kill) if timeout else None
    if timer:
        timer.start()
    _, status, usage = os.wait4(proc.pid, 0)
    if timer:
        timer.cancel()
    proc.returncode = os.waitstatus_to_exitcode(status)
    return proc.returncode, time.time() - start, usage.ru_utime + usage.ru_stime


def run_logged(cmd, log, env=None, timeout=None, phase=None, low=False):
    """Runs a command with its output in a log file; prints the log when it fails, and with a
    phase name its wall and CPU time when it succeeds."""
    with open(log, "w") as out:
        rc, wall, cpu = run_timed(cmd, env=env, timeout=timeout, low=low, stdout=out, stderr=subprocess.STDOUT)
    if rc == 0 and phase:
        say(f"time: {phase}: {wall:.0f} s, {cpu:.0f} CPU-s")
    if rc != 0:
        say(f"+ {' '.join(map(str, cmd))} (exit code {rc})\n" + Path(log).read_text(errors="replace")[-20000:])
    return rc


def build(preset, targets=(), low=False):
    """Configures a tree (the first time) and builds it, with low=True at the lowest priority
    (configuring is short and keeps the usual one, so that the compiles are ready early)."""
    out = ROOT / "build" / preset
    out.mkdir(parents=True, exist_ok=True)
    if not (out / "build.ninja").exists() and run_logged(["cmake", "--preset", preset], out / "configure.log",
                                                         phase=f"configure {preset}") != 0:
        return False
    cmd = ["cmake", "--build", out] + [a for t in targets for a in ("--target", t)]
    name = " ".join([preset, *targets])
    log = out / ("build.log" if not targets else f"build-{'-'.join(targets)}.log")
    say(f"building {name} (log: {log.relative_to(ROOT)})")
    ok = run_logged(cmd, log, phase=f"build {name}", low=low) == 0
    if not ok:
        say(f"building {name} failed")
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
                    timeout=timeout, phase=f"run {Path(exe).name}")
    return gtest_counts(report, rc)


def native_layers(which, results, windows):
    """Builds the native tree once (at the lowest priority) and runs its executables: unit
    (ASan/UBSan), tsan; the layers that need the Windows tree, and the fuzz runs, wait for
    windows["built"] (an event) and count as failed when windows["ok"] is false."""
    if any(name in which for name in ("unit", "tsan", "package")) and not build("native", low=True):
        for name in which:
            results[name] = (0, 1)
        return
    out = ROOT / "build" / "native"
    out.mkdir(parents=True, exist_ok=True)  # the logs of a layer that needs no native build
    if "unit" in which:
        passed, failed = run_gtest(out / "tests" / "restwell_unit_tests", out / "unit.json")
        # The include graph follows the layers: one more check of the unit layer.
        layered = subprocess.run([sys.executable, ROOT / "scripts" / "check_layers.py"]).returncode == 0
        results["unit"] = (passed + layered, failed + (not layered))
    if "tsan" in which:
        results["tsan"] = run_gtest(out / "tests" / "restwell_tsan_tests", out / "tsan.json",
                                    env=dict(os.environ, TSAN_OPTIONS="halt_on_error=1"))
    if any(name in which for name in ("package", "release")):
        windows["built"].wait()
        if not windows["ok"]:
            for name in ("package", "release"):
                results[name] = (0, 1)
            which = [name for name in which if name not in ("package", "release")]
    if "package" in which:
        # The installers' own checks: the policy templates against the catalogue, the
        # installers' size and their signing (the Windows tree is built by then).
        checks = [("check_policy", out / "tests" / "catalog_dump"), ("check_installers", ROOT / "build" / "win64")]
        ok = [run_logged([sys.executable, ROOT / "tests" / "package" / f"{name}.py", arg], out / f"{name}.log",
                         timeout=600, phase=name) == 0 for name, arg in checks]
        results["package"] = (sum(ok), len(ok) - sum(ok))
    if "fuzz" in which:
        # Built while the Windows tree is; run (for a bounded time) once it is.
        run_logged([ROOT / "scripts" / "fuzz", "build"], out / "fuzz-build.log", timeout=900, phase="fuzz build",
                   low=True)
        windows["built"].wait()
        # Every fuzz target briefly, 1 s: its seeds, then some ten thousand inputs (the long
        # runs, on a corpus kept between them, are `make fuzz`'s); each target is one result, a
        # finding fails it, and so does a run too starved to replay all its seeds.
        log = out / "fuzz.log"
        rc = run_logged([ROOT / "scripts" / "fuzz", "1"], log, env=dict(os.environ, RW_FUZZ_FRESH="1"), timeout=900,
                        phase="fuzz runs")
        lines = [line for line in log.read_text(errors="replace").splitlines() if line.startswith("fuzz: ")]
        ok = sum(line.endswith(", ok") for line in lines)
        results["fuzz"] = (ok, len(lines) - ok + (1 if rc != 0 and ok == len(lines) else 0))
        say("\n".join(lines))
    if "release" in which:
        results["release"] = (1, 0) if release_check() else (0, 1)
    for name in which:
        passed, failed = results[name]
        say(f"[ {'PASS' if not failed else 'FAIL'} ] {name}: {passed} passed, {failed} failed")


def differing_compiles(release_tree, test_tree):
    """The objects the release tree compiles that the test tree does not compile alike (each
    tree's own path and precompiled headers aside): [] when the test tree's libraries are those of
    a release."""
    def commands(tree):
        entries = json.loads((tree / "compile_commands.json").read_text())
        compiles = {}
        for e in entries:
            if "cmake_pch" in e["file"]:
                continue
            command = e["command"].replace(str(tree), "<tree>")
            command = re.sub(r" -Winvalid-pch| -include \S*/cmake_pch\.hxx", "", command)
            # The object: named after -o (compilers), or last (the resource compiler).
            words = command.split()
            output = words[words.index("-o") + 1] if "-o" in words else words[-1]
            compiles[(e["file"].replace(str(tree), "<tree>"), output)] = command
        return compiles
    tested = commands(test_tree)
    return [output for (file, output), command in commands(release_tree).items()
            if tested.get((file, output)) != command]


def release_check():
    """A release for an https host has no loopback address in its Restwell.exe or site/. The
    release tree is configured (its own checks of the address run) and shown to compile what it
    ships as the Windows test tree does; the test tree's release check (Restwell.exe from those
    libraries, with the release's resources and vendor address) is then scanned."""
    tree, test_tree = ROOT / "build" / "release-check", ROOT / "build" / "win64"
    tree.mkdir(parents=True, exist_ok=True)
    env = dict(os.environ, RESTWELL_VENDOR_URL="https://updates.example.org", RESTWELL_UPDATE_KEY="",
               RESTWELL_ALLOW_HTTP="")
    if run_logged(["cmake", "--preset", "release", "-B", tree], tree / "configure.log", env=env,
                  phase="configure the release tree") != 0:
        return False
    if run_logged(["cmake", "--build", test_tree, "--target", "restwell_release_check"], tree / "build.log",
                  phase="build the release check") != 0:
        return False
    differing = differing_compiles(tree, test_tree)
    if differing:
        say("release: the release tree compiles these unlike the test tree, whose release check would not "
            "show what a release ships:\n  " + "\n  ".join(differing))
        return False
    shipped = test_tree / "release-check"
    rc = run_logged([sys.executable, ROOT / "scripts" / "check_release.py", shipped / "Restwell.exe", shipped / "site"],
                    tree / "scan.log")
    # The scan itself must see the development site's loopback addresses.
    scan = subprocess.run([sys.executable, ROOT / "scripts" / "check_release.py", ROOT / "site"],
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode
    return rc == 0 and scan == 1


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
# here (about half of the time, some 45 s beside the end-to-end tests) and all the others, so every test runs exactly once.
WIN_SHARD = "FrameworkLeaks.*:HttpWinInet.*:BreaksPage.*:OptionsSheet.*:KitMenuButton.*"
WIN_SHARDS = [WIN_SHARD, "-" + WIN_SHARD]


def win_job(shard, executable):
    """A pool job that runs one shard of the Wine GoogleTest executable in its session (prefix
    and display), once executable["ready"] is set (the pool starts it no earlier) and if
    executable["ok"]. It runs once; should a test hang (the executable ends it after
    WIN_TEST_LIMIT s) or crash, the executable starts again after the tests done so far."""
    def job(session):
        if not executable["ok"]:
            say("win: the Wine test executable did not build (its log is above)")
            return 0, 1
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


def wine_layers(which, workers, results, executable):
    """Runs the win job and the end-to-end tests (the Windows tree's programs are built) in one
    pool; the win jobs start once the Wine test executable is (see win_job)."""
    jobs, tests = [], []
    if "win" in which:
        # The longest jobs go first (until a run has measured them): each half of the Wine tests
        # takes about 45 s beside the end-to-end tests.
        jobs += [driver.Job(f"win {i + 1}/{len(WIN_SHARDS)}", win_job(i, executable), weight=45,
                            ready=executable["ready"]) for i in range(len(WIN_SHARDS))]
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
                        help="Wine jobs side by side (default 4, or RW_E2E_WORKERS)")
    args = parser.parse_args()
    which = LAYERS if "all" in args.layers else [name for name in LAYERS if name in args.layers]
    results = {}
    began = time.time()

    def guarded(layer, *a):
        try:
            layer(*a)
        except Exception as e:  # noqa: BLE001 - a layer that breaks counts as a failure
            say(f"{layer.__name__}: {e!r}")

    native = [n for n in which if n in ("unit", "tsan", "fuzz", "package", "release")]
    wine = [n for n in which if n in ("win", "e2e")]
    # The Windows tree first, while the tests' Wine prefix is made (the first time): its pool
    # of Wine jobs is the longest part. The native tree and the fuzz targets are built beside
    # it at the lowest priority, in two lanes, and their runs go on beside the pool (the Wine
    # jobs partly wait on Wine and on Xvfb); the release check, which needs only the Windows
    # tree, runs in a third as soon as that is built, not after the native tree.
    windows = {"built": threading.Event(), "ok": True}
    lanes = [[n for n in native if n not in ("fuzz", "release")],
             [n for n in native if n == "fuzz"], [n for n in native if n == "release"]]
    # (Daemon threads: should this thread fail before it sets windows["built"], the run still ends.)
    threads = [threading.Thread(target=guarded, args=(native_layers, lane, results, windows), daemon=True)
               for lane in lanes if lane]
    for t in threads:
        t.start()
    if any(n in native for n in ("package", "release")) and not wine:
        windows["ok"] = build("win64")
    if wine:
        made = []
        (ROOT / "build").mkdir(exist_ok=True)  # a fresh clone has none: the prefix's log goes there
        prefix = threading.Thread(target=lambda: made.append(run_logged(
            [ROOT / "scripts" / "bootstrap", "test"], ROOT / "build" / "bootstrap-test.log",
            phase="tests' Wine prefix")))
        prefix.start()
        built = windows["ok"] = build("win64")  # the programs; not the Wine test executable
        prefix.join()
        if made != [0] or not built:
            for name in wine:
                results[name] = (0, 1)
            wine = []
        else:
            # The Wine test executable, the tree's longest compile, is built while the pool's
            # first jobs run (the end-to-end tests, which wait a good part of their time for Wine
            # and for the program's timers). No other build may use the tree before it ends:
            # windows["built"] is set then.
            executable = {"ready": threading.Event(), "ok": False}

            def build_tests():
                try:
                    executable["ok"] = "win" in wine and build("win64", ["restwell_win_tests"])
                finally:
                    executable["ready"].set()
                    windows["built"].set()
            tests_build = threading.Thread(target=build_tests, daemon=True)
            tests_build.start()
            say(f"time: the Wine pool starts {time.time() - began:.0f} s after the start")
            guarded(wine_layers, wine, args.workers, results, executable)
            tests_build.join()
    windows["built"].set()
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
    print(f"{total_passed} passed, {total_failed} failed in {time.time() - began:.0f} s")
    return 1 if total_failed else 0


if __name__ == "__main__":
    sys.exit(main())
