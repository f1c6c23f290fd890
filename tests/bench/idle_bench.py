#!/usr/bin/env python3
"""What Restwell costs while the user works: its private (dirty) memory and its thread
wake-ups per minute while idle in the notification area, each beside a bare Win32 program
that loads the same system libraries, in the same Wine run.

    python3 tests/bench/idle_bench.py [seconds]   (default 60)

Wake-ups are the voluntary context switches of every thread of the process; private memory
is Private_Dirty of /proc/PID/smaps_rollup. Both are read from the Linux processes Wine runs."""
import re
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
import driver  # noqa: E402


def pid_of(name):
    """The Windows process of that executable (Wine names the Linux process after it)."""
    for comm in Path("/proc").glob("[0-9]*/comm"):
        try:
            if comm.read_text().strip() == name:
                return int(comm.parent.name)
        except OSError:
            pass
    return None


def private_kb(pid):
    text = Path(f"/proc/{pid}/smaps_rollup").read_text()
    return int(re.search(r"Private_Dirty:\s+(\d+) kB", text).group(1))


def wakeups(pid):
    total = 0
    for status in Path(f"/proc/{pid}/task").glob("*/status"):
        m = re.search(r"voluntary_ctxt_switches:\s+(\d+)", status.read_text())
        total += int(m.group(1)) if m else 0
    return total


def measure(name, seconds):
    pid = None
    deadline = time.time() + 60
    while pid is None and time.time() < deadline:
        time.sleep(0.5)
        pid = pid_of(name)
    time.sleep(20)  # start-up settles (a welcome pop-up closes after 15 s)
    pid = pid_of(name)
    before = wakeups(pid)
    time.sleep(seconds)
    return private_kb(pid), (wakeups(pid) - before) * 60 / seconds


def main():
    seconds = int(sys.argv[1]) if len(sys.argv) > 1 else 60
    results = {}
    with driver.VirtualDisplay() as display:
        s = driver.Session(display.name)
        welcomed = f'[HKEY_CURRENT_USER\\Software\\Quillfen\\Restwell]\n"Welcome"=dword:{int(time.time()):08x}\n'
        s.reg_reset()
        s.reg_import(welcomed)
        for name, exe, args in (("bare", driver.BUILD / "tests" / "bare_idle.exe", ()),
                                ("Restwell", driver.BUILD / "Restwell.exe", ("-silent",))):
            proc = subprocess.Popen(["wine", str(exe), *args], env=s.env, stdout=subprocess.DEVNULL,
                                    stderr=subprocess.DEVNULL)
            results[name] = measure(exe.name, seconds)
            subprocess.run(["wine", str(driver.BUILD / "Restwell.exe"), "-close"], env=s.env, capture_output=True)
            proc.terminate()
            proc.wait(30)
        s.shutdown()
    (bare_kb, bare_wake), (rw_kb, rw_wake) = results["bare"], results["Restwell"]
    print(f"idle for {seconds} s:   private memory   wake-ups a minute")
    print(f"  bare program     {bare_kb:8d} kB   {bare_wake:8.1f}")
    print(f"  Restwell         {rw_kb:8d} kB   {rw_wake:8.1f}")
    print(f"  difference       {rw_kb - bare_kb:8d} kB   {rw_wake - bare_wake:8.1f}"
          "   (targets: under 2048 kB, at most 6)")


if __name__ == "__main__":
    main()
