#!/usr/bin/env python3
"""What Restwell costs while the user works: its private (dirty) memory and its thread
wake-ups per minute in three states while the user works (the pointer moves every 10 s,
away from the program), each beside a bare Win32 program (the same system
libraries, one 20-second timer) that runs through the whole measurement in the same Wine:

  1. at rest in the notification area, after the first upgrade check (served by a loopback
     server that the prefix's proxy setting makes the vendor host);
  2. a break due, with the pop-up closed;
  3. reminders suspended.

    python3 tests/bench/idle_bench.py [seconds]   (default 60 per state)

Wake-ups are the voluntary context switches of every thread of the process; private memory
is Private_Dirty of /proc/PID/smaps_rollup. Both are read from the Linux processes Wine runs."""
import os
import re
import subprocess
import sys
import threading
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
import driver  # noqa: E402
import test_upgrade  # noqa: E402

TITLE = "Quillfen Restwell 2.1"
USER_KEY = r"HKEY_CURRENT_USER\Software\Quillfen\Restwell"
ALERT_CLASS = "#32770"


def resource_id(name):
    text = (ROOT / "src" / "res" / "resource.h").read_text()
    return int(re.search(rf"#define\s+{name}\s+(\d+)", text).group(1))

# An update file that offers nothing: the check runs to its end and shows nothing.
UP_TO_DATE = test_upgrade.update_file("P:PRODUCT_V1\t2.1.0.13021\tO\thttp://127.0.0.1/dl/", news=False)


def pids_of(name, prefix):
    """Linux processes of that Windows executable in this Wine prefix."""
    found = []
    for comm in Path("/proc").glob("[0-9]*/comm"):
        try:
            if comm.read_text().strip() != name:
                continue
            environ = (comm.parent / "environ").read_bytes().split(b"\0")
            if f"WINEPREFIX={prefix}".encode() in environ:
                found.append(int(comm.parent.name))
        except OSError:
            pass
    return found


def private_kb(pid):
    text = Path(f"/proc/{pid}/smaps_rollup").read_text()
    return int(re.search(r"Private_Dirty:\s+(\d+) kB", text).group(1))


def wakeups(pid):
    total = 0
    for status in Path(f"/proc/{pid}/task").glob("*/status"):
        try:
            m = re.search(r"voluntary_ctxt_switches:\s+(\d+)", status.read_text())
        except OSError:
            continue  # a thread that ended meanwhile
        total += int(m.group(1)) if m else 0
    return total


def thread_wakeups(pid):
    """{thread id: (name, voluntary context switches)}."""
    found = {}
    for task in Path(f"/proc/{pid}/task").glob("*"):
        try:
            status = (task / "status").read_text()
        except OSError:
            continue
        m = re.search(r"voluntary_ctxt_switches:\s+(\d+)", status)
        found[int(task.name)] = (re.search(r"Name:\s+(.*)", status).group(1), int(m.group(1)) if m else 0)
    return found


def measure_both(pids, seconds):
    """{name: (private kB at the end, wake-ups a minute, the busiest threads of the interval)}
    over the same interval."""
    before = {name: thread_wakeups(pid) for name, pid in pids.items()}
    time.sleep(seconds)
    result = {}
    for name, pid in pids.items():
        after = thread_wakeups(pid)
        per_thread = sorted(((count - before[name].get(tid, (None, 0))[1], f"{tid} {comm}")
                             for tid, (comm, count) in after.items()), reverse=True)
        total = sum(count for count, _ in per_thread)
        result[name] = (private_kb(pid), total * 60 / seconds, [t for t in per_thread[:4] if t[0] > 0])
    return result


class UserAtWork:
    """Moves the pointer a little every 10 s, away from the program's windows and icon, as a
    user at work would: the program sees recent input at its ticks, and none of its windows
    gets a message from it."""

    def __init__(self, env):
        self.env, self.stop = env, threading.Event()
        self.thread = threading.Thread(target=self.run, daemon=True)
        self.thread.start()

    def run(self):
        x = 400
        while not self.stop.wait(10):
            x = 820 - x
            subprocess.run(["xdotool", "mousemove", str(x), "300"], env=self.env, capture_output=True)

    def close(self):
        self.stop.set()
        self.thread.join()


def le64(value):
    return ",".join(f"{b:02x}" for b in value.to_bytes(8, "little", signed=True))


def main():
    seconds = int(sys.argv[1]) if len(sys.argv) > 1 else 60
    # A file just written has dirty pages in the cache until they reach the disk, and they
    # count as the private memory of every process that maps it: a fresh build would look
    # a megabyte larger than it is.
    os.sync()
    server = test_upgrade.VendorServer(UP_TO_DATE)
    prefix = test_upgrade.private_prefix(driver.TEST_PREFIX, "bench", "idle")
    rows = []
    with driver.VirtualDisplay() as display:
        s = driver.Session(display.name, prefix)
        s.start_wine()
        try:
            s.reg_reset()
            internet = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings"
            s.wine("reg", "add", internet, "/v", "ProxyEnable", "/t", "REG_DWORD", "/d", "1", "/f", check_rc=True)
            s.wine("reg", "add", internet, "/v", "ProxyServer", "/d", f"127.0.0.1:{server.port}", "/f", check_rc=True)
            now = int(time.time())
            s.reg_import(f'[{USER_KEY}]\n"Welcome"=dword:{now - 14 * 86400:08x}\n')
            user = UserAtWork(s.env)
            bare = subprocess.Popen(["wine", str(driver.BUILD / "tests" / "bare_idle.exe")], env=s.env,
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

            def restwell_pid():
                found = pids_of("Restwell.exe", prefix)
                return found[0] if found else None

            def main_window():
                return s.find_window(TITLE)

            def bare_pid():
                found = pids_of("bare_idle.exe", prefix)
                return found[0] if found else None

            # 1. At rest after the first check (a minute after start).
            s.start("-silent")
            window = s.wait_until(main_window, timeout=90, what="the main window")
            s.wait_until(lambda: server.requests, timeout=180, what="the first upgrade check")
            time.sleep(15)  # the check ends and lets go
            pids = {"bare": s.wait_until(bare_pid, what="the bare program"), "Restwell": restwell_pid()}
            rows.append(("at rest after the first check", measure_both(pids, seconds)))

            # 2. A break due (an hour of work restored at start), the pop-up closed.
            s.wine(driver.BUILD / "Restwell.exe", "-close")
            s.wait_until(lambda: not restwell_pid(), timeout=30, what="Restwell to end")
            now = int(time.time())
            s.reg_import(f'[{USER_KEY}\\Breaks]\n"TimeWorkStart"=hex:{le64(now - 3600)}\n'
                         f'"TimeActiveLast"=hex:{le64(now)}\n')
            s.start("-silent")
            window = s.wait_until(main_window, timeout=90, what="the main window")
            popup = s.wait_until(lambda: next((w for w in s.windows() if w["cls"] == ALERT_CLASS and w["visible"]
                                               and w["title"] != TITLE), None), timeout=60, what="the pop-up")
            s.probe("click", popup["hwnd"], str(resource_id("IDC_ALERT_CLOSE")))  # its close button
            s.wait_until(lambda: not any(w["hwnd"] == popup["hwnd"] and w["visible"] for w in s.windows()),
                         timeout=30, what="the pop-up to close")
            time.sleep(5)
            pids["Restwell"] = restwell_pid()
            rows.append(("a break due, the pop-up closed", measure_both(pids, seconds)))

            # 3. Suspended.
            s.probe("command", window["hwnd"], str(resource_id("ID_SUSPEND_15")))
            time.sleep(5)
            rows.append(("reminders suspended", measure_both(pids, seconds)))

            s.wine(driver.BUILD / "Restwell.exe", "-close")
            bare.terminate()
            bare.wait(30)
            user.close()
        finally:
            s.shutdown()
            server.close()
    print(f"{seconds} s in each state      private memory (kB)         wake-ups a minute")
    print(f"{'':32} {'bare':>7} {'Restwell':>8} {'more':>6}   {'bare':>5} {'Restwell':>8} {'more':>5}")
    for name, result in rows:
        (bare_kb, bare_wake, _), (rw_kb, rw_wake, busiest) = result["bare"], result["Restwell"]
        print(f"{name:32} {bare_kb:7d} {rw_kb:8d} {rw_kb - bare_kb:6d}   {bare_wake:5.1f} {rw_wake:8.1f} "
              f"{rw_wake - bare_wake:5.1f}")
        print(f"{'':34}Restwell's busiest threads: " + ", ".join(f"{t} ({n})" for n, t in busiest))
    print("goals: under 2048 kB and at most 6 wake-ups a minute more than the bare program")


if __name__ == "__main__":
    main()
