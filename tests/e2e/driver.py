#!/usr/bin/env python3
"""End-to-end driver: runs the shipped Restwell.exe in the tests' Wine prefix inside a virtual
desktop on a private Xvfb display, and looks at it from outside with the probe tool.

    python3 tests/e2e/driver.py [-j WORKERS] [name-filter]

Test modules are tests/e2e/test_*.py; every function test_*(s) in them gets a Session with a
clean program registry state and no Restwell running. Independent tests run side by side: each
worker has its own copy of the tests' Wine prefix (its own wineserver and registry) and its
own Xvfb display, and takes the next test when it is free. Screenshots go to build/e2e/. The
last line printed is "e2e: N passed, M failed"."""
import argparse
import importlib.util
import json
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
import traceback
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
BUILD = ROOT / "build" / "win64"
SHOTS = ROOT / "build" / "e2e"
TEST_PREFIX = ROOT / "build" / "wineprefix-test"
WINE_ENV = dict(WINEARCH="win64", WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
sys.path.insert(0, str(Path(__file__).resolve().parent))
from display import VirtualDisplay  # noqa: E402

PRODUCT_KEYS = [r"HKCU\Software\Quillfen", r"HKLM\Software\Quillfen",
                r"HKCU\Software\Policies\Quillfen", r"HKLM\Software\Policies\Quillfen"]


def resource_ids():
    """The program's resource ids by name, read from its resource.h: tests name controls as the
    program does instead of copying numbers."""
    ids = {}
    for line in (ROOT / "src" / "res" / "resource.h").read_text().splitlines():
        m = re.match(r"#define\s+(\w+)\s+(0x[0-9A-Fa-f]+|\d+)\s*$", line)
        if m:
            ids[m[1]] = int(m[2], 0)
    return ids


RES = resource_ids()


class CheckFailed(AssertionError):
    pass


def check(condition, message):
    if not condition:
        raise CheckFailed(message)


def worker_prefix(index):
    """The Wine prefix of worker `index`: the tests' prefix itself for the first, a copy of it
    (made once, while no wineserver runs in it) for each further worker."""
    if index == 0:
        return TEST_PREFIX
    prefix = ROOT / "build" / f"wineprefix-test-{index + 1}"
    if not (prefix / ".restwell-ready").exists():
        partial = prefix.with_name(prefix.name + ".partial")
        shutil.rmtree(partial, ignore_errors=True)
        shutil.rmtree(prefix, ignore_errors=True)
        subprocess.run(["wineserver", "-w"], env=dict(os.environ, WINEPREFIX=str(TEST_PREFIX), **WINE_ENV),
                       capture_output=True, timeout=120)
        subprocess.run(["cp", "-a", str(TEST_PREFIX), str(partial)], check=True)
        partial.rename(prefix)
    return prefix


def _reg_unescape(text):
    """A .reg file's quoted text without its backslash escapes."""
    return re.sub(r"\\(.)", r"\1", text)


class BorrowedProbe:
    """The pool worker's probe process, lent to the test's own process through two inherited
    pipe ends (one probe start less per test). It is the worker's to end, not the test's."""
    def __init__(self, fds):
        write, read = map(int, fds.split(","))
        self.stdin, self.stdout = os.fdopen(write, "wb"), os.fdopen(read, "rb", buffering=0)

    def poll(self):
        return None

    def kill(self):
        pass

    def wait(self):
        pass


class Session:
    def __init__(self, display, prefix=TEST_PREFIX, work=SHOTS, probe_fds=None):
        self.display = display
        self.work = work  # this session's scratch files (registry imports, the fake browser)
        self.env = dict(os.environ, DISPLAY=display, WINEPREFIX=str(prefix), **WINE_ENV)
        self.started = []
        # The probe process that answers this session's requests.
        self.prober = BorrowedProbe(probe_fds) if probe_fds else None

    # Processes -------------------------------------------------------------------------
    # Bounds below catch hangs, not a slow start on a busy machine: a wait that succeeds ends
    # as soon as it can.
    def wine(self, *args, timeout=120, check_rc=False):
        # Output through a file, not a pipe: should this call start the wineserver or the
        # desktop again, they inherit it, and a pipe would stay open until they end.
        with tempfile.TemporaryFile() as f:
            r = subprocess.run(["wine", *map(str, args)], env=self.env, stdout=f, stderr=subprocess.DEVNULL,
                               timeout=timeout)
            f.seek(0)
            out = f.read().decode("utf-8", "replace").replace("\r", "")
        if check_rc and r.returncode != 0:
            raise CheckFailed(f"wine {args} exited {r.returncode}: {out}")
        return r.returncode, out

    def start(self, *args, exe=None, debug=None, log=None):
        """Starts Restwell.exe (or exe) with the given command line and returns its Popen; with
        debug, Wine's WINEDEBUG channels for this process, whose messages go to the file log."""
        env = dict(self.env, WINEDEBUG=debug) if debug else self.env
        err = open(log, "wb") if log else subprocess.DEVNULL
        proc = subprocess.Popen(["wine", str(exe or BUILD / "Restwell.exe"), *args], env=env,
                                stdout=subprocess.DEVNULL, stderr=err)
        if log:
            err.close()
        self.started.append(proc)
        return proc

    def run_to_end(self, *args, timeout=60):
        """Starts Restwell.exe and waits for it to exit; returns the exit code."""
        proc = self.start(*args)
        try:
            return proc.wait(timeout)
        except subprocess.TimeoutExpired:
            raise CheckFailed(f"Restwell {args} did not exit within {timeout} s")

    def restwell_pids(self):
        """Restwell processes of this session's Wine prefix (other checkouts' tests are left alone)."""
        r = subprocess.run(["pgrep", "-f", r"Restwell\.exe"], capture_output=True, text=True)
        marker = ("WINEPREFIX=" + self.env["WINEPREFIX"]).encode()
        pids = []
        for pid in map(int, r.stdout.split()):
            try:
                if marker in Path(f"/proc/{pid}/environ").read_bytes().split(b"\0"):
                    pids.append(pid)
            except OSError:
                pass
        return pids

    def wait_until(self, predicate, timeout=60, what="condition"):
        end = time.time() + timeout
        while time.time() < end:
            value = predicate()
            if value:
                return value
            time.sleep(0.1)  # a question to the probe costs milliseconds
        raise CheckFailed(f"timed out waiting for {what}")

    def kill_restwell(self):
        for proc in self.started:
            if proc.poll() is None:
                proc.kill()
        for pid in self.restwell_pids():
            try:
                os.kill(pid, 9)
            except ProcessLookupError:
                pass
        self.started.clear()

    # Windows ---------------------------------------------------------------------------
    def probe(self, *args, timeout=60):
        """Runs one request of the probe tool: (exit code, output). The requests go to one
        probe process kept running for the session (a Wine start costs far more than the
        request), started again should it have ended (a wineserver restarted under it)."""
        request = "\t".join(map(str, args))
        check("\n" not in request and "\t" not in "".join(map(str, args)), f"a probe request on one line: {args!r}")
        for attempt in (1, 2):
            if self.prober is None or self.prober.poll() is not None:
                self.prober = subprocess.Popen(["wine", BUILD / "tests" / "probe.exe", "serve"], env=self.env,
                                               stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                               stderr=subprocess.DEVNULL)
            try:
                self.prober.stdin.write(request.encode() + b"\n")
                self.prober.stdin.flush()
                return self._probe_answer(timeout)
            except (BrokenPipeError, EOFError):
                self.close_probe()
                if attempt == 2:
                    raise
        raise AssertionError("not reached")

    def _probe_answer(self, timeout):
        # Read from the pipe itself (not a buffered reader, which would hide from select what
        # it has read ahead) until the line that ends the answer.
        data, end = b"", time.time() + timeout
        fd = self.prober.stdout.fileno()
        while True:
            done = re.search(rb"(?:^|\n)\x04 (-?\d+)\r?\n", data)
            if done:
                return int(done[1]), data[:done.start()].decode("utf-8", "replace").replace("\r", "") + (
                    "\n" if done.start() else "")
            ready, _, _ = select.select([fd], [], [], max(0.0, end - time.time()))
            if not ready:
                self.close_probe()
                raise CheckFailed(f"the probe did not answer within {timeout} s")
            chunk = os.read(fd, 65536)
            if not chunk:
                raise EOFError
            data += chunk

    def close_probe(self):
        if self.prober is not None:
            if self.prober.poll() is None:
                self.prober.kill()
            self.prober.wait()
            self.prober = None

    def windows(self):
        """Top-level windows as dicts: hwnd, pid, visible, enabled, cls, title."""
        _, out = self.probe("windows")
        result = []
        for line in out.splitlines():
            m = re.match(r'(0x[0-9a-f]+) (\d+) (\d) (\d) "(.*)" "(.*)"$', line)
            if m:
                result.append(dict(hwnd=m[1], pid=int(m[2]), visible=m[3] == "1", enabled=m[4] == "1",
                                   cls=m[5], title=m[6]))
        return result

    def find_window(self, title, cls="#32770", visible=None):
        for w in self.windows():
            if w["title"] == title and w["cls"] == cls and (visible is None or w["visible"] == visible):
                return w
        return None

    def controls(self, hwnd):
        _, out = self.probe("controls", hwnd)
        result = {}
        for line in out.splitlines():
            m = re.match(r'(-?\d+) (0x[0-9a-f]+) (\d) (\d) "(.*)" "(.*)"$', line)
            if m:
                result.setdefault(int(m[1]), dict(hwnd=m[2], visible=m[3] == "1", enabled=m[4] == "1",
                                                  cls=m[5], text=m[6]))
        return result

    def press(self, *keys, pause=0.0):
        """Presses the keys (xdotool's names) on the window in front. Without a window manager
        the X server hands keys to the window under the pointer (on the shell's taskbar they are
        lost): the pointer goes onto the window in front first, where a user's keys would go."""
        _, front = self.probe("foreground")
        rc, out = self.probe("rect", front.strip())
        check(rc == 0, f"the window in front ({front.strip()}) has a place on the screen")
        left, top, right, bottom = map(int, out.split())
        self.move_pointer((left + right) // 2, (top + bottom) // 2)
        for key in keys:
            subprocess.run(["xdotool", "key", key], env=self.env, check=True)
            time.sleep(pause)

    def move_pointer(self, x, y):
        """Moves the pointer and waits until the X server has it there (xdotool's --sync would
        wait for a motion that never comes when it is there already)."""
        def where():
            out = subprocess.run(["xdotool", "getmouselocation", "--shell"], env=self.env, capture_output=True,
                                 text=True).stdout
            return tuple(int(v) for k, _, v in (line.partition("=") for line in out.splitlines()) if k in ("X", "Y"))
        if where() != (x, y):
            subprocess.run(["xdotool", "mousemove", str(x), str(y)], env=self.env, check=True)
            self.wait_until(lambda: where() == (x, y), timeout=30, what=f"the pointer at {x},{y}")

    def park_pointer(self):
        """The pointer where a new display has it, the middle of the screen: a test does not
        inherit where the one before left it."""
        self.move_pointer(640, 400)

    def screenshot(self, name):
        SHOTS.mkdir(parents=True, exist_ok=True)
        path = SHOTS / f"{name}.png"
        subprocess.run(["import", "-display", self.display, "-window", "root", str(path)], check=True,
                       capture_output=True, timeout=30)
        return path

    # Registry --------------------------------------------------------------------------
    def probe_ok(self, *request):
        """A probe request that must succeed (a registry write, say)."""
        rc, out = self.probe(*request)
        check(rc == 0, f"probe {request}: exit code {rc}")
        return out

    def reg_reset(self):
        """Deletes the program's keys (a key that is not there is no error)."""
        self.probe_ok("regclear", *PRODUCT_KEYS)

    def reg_import(self, text):
        """Imports .reg text (without its header): keys to delete ("[-key]"), keys, and their
        values as strings, dword: and hex: data. The probe writes them, as reg.exe's import
        would (one Wine start less each)."""
        key = None
        for line in filter(None, map(str.strip, text.splitlines())):
            if line.startswith("[-"):
                request, key = ("regclear", line[2:-1]), None
            elif line.startswith("["):
                key = line[1:-1]
                request = ("regset", key)
            else:
                m = re.fullmatch(r'"((?:[^"\\]|\\.)*)"=(?:"((?:[^"\\]|\\.)*)"|dword:([0-9a-fA-F]{8})|hex:([0-9a-fA-F,]*))',
                                 line)
                check(m and key, f"a registry line the import understands: {line!r}")
                if m[2] is not None:
                    request = ("regset", key, _reg_unescape(m[1]), "sz", _reg_unescape(m[2]))
                elif m[3] is not None:
                    request = ("regset", key, _reg_unescape(m[1]), "dword", "0x" + m[3])
                else:
                    request = ("regset", key, _reg_unescape(m[1]), "binary", m[4])
            self.probe_ok(*request)

    def reg_query(self, key, name):
        """The value's type and data as reg.exe's query prints them, or None."""
        rc, out = self.probe("regget", key, name)
        if rc != 0:
            return None
        kind, _, data = out.rstrip("\n").partition(" ")
        return kind, data

    # Web pages -------------------------------------------------------------------------
    def fake_browser(self):
        """Makes Wine hand every address the program opens to a script that writes it down,
        and returns a function that lists the addresses opened so far."""
        self.work.mkdir(parents=True, exist_ok=True)
        script, log = self.work / "fake-browser", self.work / "opened.txt"
        script.write_text('#!/bin/sh\necho "$1" >> "%s"\n' % log)
        script.chmod(0o755)
        log.unlink(missing_ok=True)
        self.probe_ok("regset", r"HKCU\Software\Wine\WineBrowser", "Browsers", "sz", str(script))
        return lambda: log.read_text().split() if log.exists() else []

    def set_dpi(self, dpi, desktop=True):
        """Wine's LogPixels: every program reads it as it starts. The desktop (the taskbar the
        screenshots show) takes it only from a new wineserver: with desktop, the server and the
        desktop start again."""
        self.reg_import("".join(f'[{key}]\n"LogPixels"=dword:{dpi:08x}\n' for key in (
            r"HKEY_CURRENT_USER\Control Panel\Desktop",
            r"HKEY_LOCAL_MACHINE\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts")))
        if desktop:
            self.close_probe()
            subprocess.run(["wineserver", "-k"], env=self.env, capture_output=True)
            subprocess.run(["wine", "cmd", "/c", "exit"], env=self.env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=120)

    def reset(self):
        self.kill_restwell()
        self.reg_reset()
        self.park_pointer()

    def start_wine(self):
        """A fresh wineserver, kept until shutdown, and the desktop for this session's prefix
        on its display."""
        subprocess.run(["wineserver", "-k"], env=self.env, capture_output=True)
        # Started without our pipes: the server and desktop live on and would keep every
        # later capture open.
        subprocess.run(["wineserver", "-p"], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=60)
        subprocess.run(["wine", "cmd", "/c", "exit"], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=120)

    def shutdown(self):
        self.kill_restwell()
        self.close_probe()
        subprocess.run(["wineserver", "-k"], env=self.env, capture_output=True)


def discover(pattern, kind="test_"):
    """The functions named kind* of the test modules: test_ for the tests, shots_ for the
    screenshot tours of every window at 96 and 144 DPI (`make screenshots`), which are for a
    person to look at and too slow for every run."""
    tests = []
    for path in sorted(Path(__file__).resolve().parent.glob("test_*.py")):
        found = importlib.util.spec_from_file_location(path.stem, path)
        module = importlib.util.module_from_spec(found)
        found.loader.exec_module(module)
        for name in sorted(n for n in dir(module) if n.startswith(kind)):
            full = f"{path.stem}.{name}"
            if not pattern or re.search(pattern, full):
                tests.append((full, getattr(module, name)))
    return tests


# Seconds an end-to-end test may take before it is stopped and fails (a test may set its own
# as the attribute `limit`). Generous: they catch hangs, not a slow, busy machine.
E2E_LIMIT = 300


def load_test(full):
    """The test function module.name, loading only its module."""
    module_name, _, name = full.partition(".")
    path = Path(__file__).resolve().parent / f"{module_name}.py"
    found = importlib.util.spec_from_file_location(module_name, path)
    module = importlib.util.module_from_spec(found)
    found.loader.exec_module(module)
    return getattr(module, name)


def run_one(name, display, prefix, work, probe_fds=None):
    """Runs one end-to-end test in this process (the child that e2e_job starts): 0 when it
    passed; a failure prints its traceback and leaves a screenshot."""
    session = Session(display, Path(prefix), Path(work), probe_fds)
    try:
        load_test(name)(session)
    except Exception:  # noqa: BLE001 - reported to the parent through the output
        traceback.print_exc()
        try:
            session.screenshot(f"failed-{name}")
        except Exception:  # noqa: BLE001
            pass
        return 1
    finally:
        session.close_probe()
    return 0


def e2e_job(name, test):
    """A pool job that runs one end-to-end test in a clean session, in a process of its own
    with a time limit: a test that overruns it is stopped with everything it started, fails
    with a message, and the pool goes on."""
    limit = getattr(test, "limit", E2E_LIMIT)

    def job(session):
        session.reset()
        session.work.mkdir(parents=True, exist_ok=True)
        log = session.work / "test.log"
        cmd = [sys.executable, __file__, "--one", name, "--display", session.display,
               "--prefix", session.env["WINEPREFIX"], "--work", str(session.work)]
        fds = ()
        if session.prober is not None and session.prober.poll() is None:
            # reset() has started it: the test asks the same process.
            fds = (session.prober.stdin.fileno(), session.prober.stdout.fileno())
            cmd += ["--probe", f"{fds[0]},{fds[1]}"]
        with open(log, "w") as out:
            child = subprocess.Popen(cmd, stdout=out, stderr=subprocess.STDOUT, start_new_session=True,
                                     pass_fds=fds)
            try:
                rc = child.wait(limit)
            except subprocess.TimeoutExpired:
                rc = None
                os.killpg(child.pid, signal.SIGKILL)
                child.wait()
        output = log.read_text(errors="replace")
        if rc != 0:
            # The test may have left a request unanswered: the next one goes to a new probe.
            session.close_probe()
        if rc is None:
            try:
                session.screenshot(f"failed-{name}")
            except Exception:  # noqa: BLE001
                pass
            session.kill_restwell()
            raise CheckFailed(f"{name} did not end within its time limit of {limit} s; it was stopped\n{output}")
        if rc != 0:
            raise CheckFailed(output)
        return 1, 0
    return job


class Job:
    """A unit of work for the pool: run(session) returns (passed, failed) or raises (one failure).
    A job with `ready` (an event) is not started before it is set."""
    def __init__(self, name, run, weight=0.0, ready=None):
        self.name, self.run, self.weight, self.ready = name, run, weight, ready


def run_pool(jobs, workers):
    """Runs the jobs on `workers` sessions side by side, heaviest first; each worker has its own
    prefix and display. Returns {job name: (passed, failed)} and prints one line per job (its
    time, when it began after the pool's start, on which worker) and a last line with the
    pool's time and the jobs' time added up: the critical path at a glance."""
    began = time.time()
    # Each job's time in the last run that passed it orders the jobs; its declared weight stands
    # in until it has one.
    timed = SHOTS / "job-times.json"
    try:
        measured = json.loads(timed.read_text())
    except (OSError, ValueError):
        measured = {}
    pending = sorted(jobs, key=lambda j: -measured.get(j.name, j.weight))
    results, lock, spent = {}, threading.Lock(), []

    def next_job():
        """The heaviest pending job that is ready; None when none is left."""
        while True:
            with lock:
                job = next((j for j in pending if j.ready is None or j.ready.is_set()), None)
                if job or not pending:
                    if job:
                        pending.remove(job)
                    return job
            time.sleep(0.5)

    SHOTS.mkdir(parents=True, exist_ok=True)
    shutil.rmtree(SHOTS / "installers", ignore_errors=True)  # built once per run, by the first test that needs them
    count = max(1, min(workers, len(jobs)))
    prefixes = [worker_prefix(i) for i in range(count)]

    def worker(index):
        session = None
        try:
            prefix = prefixes[index]
            with VirtualDisplay() as display:
                session = Session(display.name, prefix, SHOTS / f"worker-{index + 1}")
                session.start_wine()
                while (job := next_job()) is not None:
                    start = time.time()
                    try:
                        counts = job.run(session)
                        failure = ""
                    except Exception:  # noqa: BLE001 - every failure is reported
                        counts = (0, 1)
                        failure = "\n" + traceback.format_exc()
                    took = time.time() - start
                    line = (f"[  {'FAIL' if counts[1] else 'PASS'}  ] {job.name} ({took:.1f} s, "
                            f"from {start - began:.0f} s on worker {index + 1}){failure}")
                    with lock:
                        results[job.name] = counts
                        spent.append(took)
                        if not counts[1]:
                            measured[job.name] = round(took, 1)
                        print(line, flush=True)
                session.shutdown()
        except Exception:  # noqa: BLE001 - a worker that cannot start fails what it would have run
            with lock:
                print(f"worker {index + 1}: {traceback.format_exc()}", flush=True)
            if session:
                session.shutdown()

    threads = [threading.Thread(target=worker, args=(i,)) for i in range(count)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    timed.write_text(json.dumps(measured, indent=1, sort_keys=True))
    print(f"pool: {len(spent)} jobs on {count} workers in {time.time() - began:.0f} s; "
          f"the jobs took {sum(spent):.0f} s added up, the longest {max(spent, default=0):.0f} s", flush=True)
    for job in jobs:
        results.setdefault(job.name, (0, 1))  # never run: a worker broke down
    return results


def default_workers():
    # The Wine jobs wait a good part of their time (for Wine, for the program's timers, for the
    # real minute): with three side by side a quiet machine still idled 10-20 % of the run; four
    # take 77-82 s where three took 82-87 s, and 109 s with `stress-ng --cpu 2` beside them.
    return int(os.environ.get("RW_E2E_WORKERS", "4"))


def main():
    parser = argparse.ArgumentParser(description="Runs the end-to-end tests.")
    parser.add_argument("-j", "--workers", type=int, default=default_workers(),
                        help="tests run side by side (default 4, or RW_E2E_WORKERS)")
    parser.add_argument("--shots", action="store_true", help="the screenshot tours instead of the tests")
    parser.add_argument("--one", help=argparse.SUPPRESS)  # one test, in a session made by the pool
    parser.add_argument("--display", help=argparse.SUPPRESS)
    parser.add_argument("--prefix", help=argparse.SUPPRESS)
    parser.add_argument("--work", help=argparse.SUPPRESS)
    parser.add_argument("--probe", help=argparse.SUPPRESS)  # the worker's probe: its pipe ends
    parser.add_argument("pattern", nargs="?", default="", help="regular expression over module.test names")
    args = parser.parse_args()
    if args.one:
        return run_one(args.one, args.display, args.prefix, args.work, args.probe)
    tests = discover(args.pattern, "shots_" if args.shots else "test_")
    results = run_pool([Job(name, e2e_job(name, test), getattr(test, "seconds", 0.0)) for name, test in tests],
                       args.workers)
    passed = [name for name, _ in tests if results[name] == (1, 0)]
    failed = [name for name, _ in tests if results[name] != (1, 0)]
    SHOTS.mkdir(parents=True, exist_ok=True)
    (SHOTS / "results.json").write_text(json.dumps({"passed": passed, "failed": failed}, indent=1))
    print(f"e2e: {len(passed)} passed, {len(failed)} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
