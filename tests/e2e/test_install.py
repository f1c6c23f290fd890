"""The two installers under Wine, each as one story: a silent install of an older build, an
upgrade to this build over the running program, then a silent uninstall. Seen from outside:
the files, the Start-menu shortcut, the Run entry and the Apps & features entry, the program's
processes and their command lines, and the user's settings, which survive both the upgrade and
the uninstall."""
import contextlib
import fcntl
import importlib.machinery
import importlib.util
import re
import shutil
import subprocess
import tempfile
import time
from pathlib import Path

from driver import BUILD, ROOT, SHOTS, check

TITLE = "Quillfen Restwell 2.1"
SETTINGS = r"HKCU\Software\Quillfen\Restwell\Breaks"
RUN_KEY = r"Software\Microsoft\Windows\CurrentVersion\Run"
UNINSTALL_KEY = r"Software\Microsoft\Windows\CurrentVersion\Uninstall"
INSTALL_SECONDS = 180  # one msiexec or setup run: catches a hang, not a slow machine

_loader = importlib.machinery.SourceFileLoader("package", str(ROOT / "scripts" / "package"))
PACKAGE = importlib.util.module_from_spec(importlib.util.spec_from_loader("package", _loader))
_loader.exec_module(PACKAGE)


def versions():
    """This build's version and an older build of it (the build number one lower)."""
    cache = (BUILD / "CMakeCache.txt").read_text()
    current = re.search(r"^CMAKE_PROJECT_VERSION:STATIC=(\S+)$", cache, re.M)[1]
    parts = current.split(".")
    return current, ".".join(parts[:3] + [str(int(parts[3]) - 1)])


def installers(version):
    """The MSI and the per-user setup of the tests' Restwell.exe carrying `version`, built once
    per run (the pool empties the folder when it starts) by the script `make installer` uses.
    The tests run in processes of their own and side by side: a file lock keeps a second one
    from writing the same files meanwhile."""
    out = SHOTS / "installers" / version
    out.parent.mkdir(parents=True, exist_ok=True)
    with open(out.parent / ".lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if not (out / ".built").exists():
            shutil.rmtree(out, ignore_errors=True)
            subprocess.run([ROOT / "scripts" / "package", BUILD, "--out", out, "--version", version], check=True,
                           capture_output=True, timeout=300)
            (out / ".built").touch()
    return out / "Restwell.msi", out / "RestwellSetup.exe"


def product_code(version):
    return "{" + PACKAGE.product_code(version) + "}"


def drive_c(s):
    return Path(s.env["WINEPREFIX"]) / "drive_c"


def shortcuts(s):
    """Restwell's Start-menu shortcuts, for all users or the current one. (Wine's installer puts
    a per-machine shortcut in the user's Start menu.)"""
    return sorted(drive_c(s).glob("ProgramData/Microsoft/Windows/Start Menu/Programs/Restwell*.lnk")) + sorted(
        drive_c(s).glob("users/*/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Restwell*.lnk"))


def program_dirs(s):
    return [p for p in [drive_c(s) / "Program Files" / "Restwell"] + list(
        drive_c(s).glob("users/*/AppData/Local/Programs/Restwell")) if p.exists()]


def windows_path(s, path):
    return "C:\\" + str(path.relative_to(drive_c(s))).replace("/", "\\")


def command_lines(s):
    """The command lines of this prefix's Restwell processes, as Wine shows them."""
    lines = {}
    for pid in s.restwell_pids():
        try:
            lines[pid] = Path(f"/proc/{pid}/cmdline").read_bytes().replace(b"\0", b" ").decode(errors="replace").strip()
        except OSError:
            pass
    return lines


class Install:
    """What one installer puts on the machine, in the hive it writes to."""

    def __init__(self, s, hive, listing):
        self.s, self.hive, self.listing = s, hive, listing

    def state(self):
        """The Run entry, the listed versions and the user's work period, as the registry has
        them (the probe reads them: no Wine start per value)."""
        s = self.s
        run = s.reg_query(rf"{self.hive}\{RUN_KEY}", "Restwell")
        listed = {version for version, name in self.listing.items()
                  if s.reg_query(rf"{self.hive}\{UNINSTALL_KEY}\{name}", "DisplayVersion") == ("REG_SZ", version)}
        return run, listed, s.reg_query(SETTINGS, "Work")

    def check_installed(self, exe, version):
        """This build's program at exe, one shortcut to it, the Run entry starting it with
        -startup, Apps & features listing `version` alone, and the user's work period kept.
        Returns the Run entry's command line."""
        s = self.s
        check(exe.exists() and exe.read_bytes() == (BUILD / "Restwell.exe").read_bytes(), f"{exe} is this build's program")
        links = shortcuts(s)
        check(len(links) == 1, f"one Start-menu shortcut: {links}")
        link, target = links[0].read_bytes(), windows_path(s, exe)
        check(target.encode("utf-16-le") in link or target.encode() in link, f"the shortcut points at {target}")
        run, listed, work = self.state()
        check(run == ("REG_SZ", f'"{target}" -startup'), f"the {self.hive} Run entry: {run}")
        check(listed == {version}, f"Apps & features lists {version} alone: {listed}")
        check(work == ("REG_DWORD", "0x2d"), f"the user's work period is kept: {work}")
        return run[1]

    def check_removed(self):
        s = self.s
        s.wait_until(lambda: not s.restwell_pids(), timeout=60, what="no Restwell process left")
        check(not program_dirs(s), f"no program folder is left: {program_dirs(s)}")
        check(not shortcuts(s), f"no shortcut is left: {shortcuts(s)}")
        run, listed, work = self.state()
        check(run is None, f"no {self.hive} Run entry is left: {run}")
        check(not listed, f"Apps & features lists nothing: {listed}")
        check(work == ("REG_DWORD", "0x2d"), f"the user's work period is kept: {work}")


def run_installer(s, *args, log=None):
    """Runs an installer under Wine and returns its exit code; its output, and Windows
    Installer's log when there is one, go to the file log. The menu entries Wine makes of
    Windows shortcuts for the Linux desktop go to this worker's scratch folder, not to $HOME."""
    desktop = s.work / "linux-desktop"
    env = dict(s.env, XDG_DATA_HOME=str(desktop / "data"), XDG_CONFIG_HOME=str(desktop / "config"))
    if log and args[0] == "msiexec":
        args = (*args, "/l*v", log.with_suffix(".msi.log"))
    with open(log, "wb") if log else tempfile.TemporaryFile() as out:
        return subprocess.run(["wine", *map(str, args)], env=env, stdout=out, stderr=subprocess.STDOUT,
                              timeout=INSTALL_SECONDS).returncode


def run_installer_ok(s, *args):
    start = time.time()
    log = s.work / "installer.log"
    rc = run_installer(s, *args, log=log)
    if rc != 0:
        said = [f.read_text(errors="replace")[-3000:] for f in (log, log.with_suffix(".msi.log")) if f.exists()]
        check(False, f"{args} exited {rc} after {time.time() - start:.0f} s:\n" + "\n".join(said))


def remove_leftovers(s, install):
    """A story cut short in an earlier run may have left an install in this worker's prefix."""
    run, listed, _ = install.state()
    for version in listed if install.hive == "HKLM" else ():
        run_installer(s, "msiexec", "/x", product_code(version), "/qn")
    if run or listed:
        s.wine("reg", "delete", rf"{install.hive}\{RUN_KEY}", "/v", "Restwell", "/f")
        s.wine("reg", "delete", rf"HKCU\{UNINSTALL_KEY}\Restwell", "/f")
    for d in program_dirs(s):
        subprocess.run(["rm", "-rf", str(d)], check=True)
    for link in shortcuts(s):
        link.unlink()


def welcomed_user_with_own_work_period(s):
    """No wizard, and a work period of 45 minutes the installers must keep."""
    s.reg_import('[HKEY_CURRENT_USER\\Software\\Quillfen\\Restwell]\n'
                 f'"Welcome"=dword:{int(time.time()) & 0xFFFFFFFF:08x}\n\n'
                 '[HKEY_CURRENT_USER\\Software\\Quillfen\\Restwell\\Breaks]\n"Work"=dword:0000002d\n')


def start_from_run_entry(s, command_line):
    """Starts the program the way log-on does: the Run entry's command line."""
    m = re.match(r'^"([^"]+)"\s*(.*)$', command_line)
    check(m, f"a quoted program path in {command_line!r}")
    proc = subprocess.Popen(["wine", m[1], *m[2].split()], env=s.env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    s.started.append(proc)
    return proc


def started_with(s, switch):
    return any(line.endswith("\\Restwell.exe " + switch) for line in command_lines(s).values())


@contextlib.contextmanager
def cleaned_up_on_failure(s, install):
    """Nothing stays behind for the next test of this worker's prefix after a failure: a Run
    entry left there would start a Restwell with every new wineserver."""
    try:
        yield
    except BaseException:
        s.kill_restwell()
        remove_leftovers(s, install)
        raise


def test_msi_installs_upgrades_and_uninstalls_silently(s):
    current, older = versions()
    old_msi, _ = installers(older)
    new_msi, _ = installers(current)
    install = Install(s, "HKLM", {v: product_code(v) for v in (older, current)})
    remove_leftovers(s, install)
    with cleaned_up_on_failure(s, install):
        welcomed_user_with_own_work_period(s)
        exe = drive_c(s) / "Program Files" / "Restwell" / "Restwell.exe"

        run_installer_ok(s, "msiexec", "/i", old_msi, "/qn")
        command_line = install.check_installed(exe, older)
        # Log-on starts it in the notification area only: the main window exists, hidden.
        start_from_run_entry(s, command_line)
        s.wait_until(lambda: s.find_window(TITLE, visible=False), timeout=60, what="the hidden main window")
        check(not s.find_window(TITLE, visible=True), "-startup shows no window")
        check(started_with(s, "-startup"), f"the installed program runs with -startup: {command_lines(s)}")
        old_pids = set(s.restwell_pids())

        # The newer build (only its build number is higher) replaces the older one, which is
        # ended first.
        run_installer_ok(s, "msiexec", "/i", new_msi, "/qn")
        check(not old_pids & set(s.restwell_pids()), "the running older program was ended")
        install.check_installed(exe, current)

        start_from_run_entry(s, command_line)
        s.wait_until(lambda: s.restwell_pids(), timeout=60, what="the upgraded program running")
        run_installer_ok(s, "msiexec", "/x", new_msi, "/qn")
        install.check_removed()


test_msi_installs_upgrades_and_uninstalls_silently.seconds = 60


def test_per_user_setup_installs_upgrades_and_uninstalls_silently(s):
    current, older = versions()
    _, old_setup = installers(older)
    _, new_setup = installers(current)
    install = Install(s, "HKCU", {older: "Restwell", current: "Restwell"})
    remove_leftovers(s, install)
    with cleaned_up_on_failure(s, install):
        welcomed_user_with_own_work_period(s)

        run_installer_ok(s, old_setup, "/S")
        folders = program_dirs(s)
        check(len(folders) == 1 and folders[0].parent.name == "Programs" and folders[0].parent.parent.name == "Local",
              f"installed in the user's local programs folder: {folders}")
        exe = folders[0] / "Restwell.exe"
        install.check_installed(exe, older)
        # A first install starts the program with -setup, which shows its window.
        s.wait_until(lambda: started_with(s, "-setup"), timeout=60, what="the program started with -setup")
        s.wait_until(lambda: s.find_window(TITLE, visible=True), timeout=60, what="the main window after -setup")
        old_pids = set(s.restwell_pids())

        run_installer_ok(s, new_setup, "/S")
        install.check_installed(exe, current)
        check(not old_pids & set(s.restwell_pids()), "the running older program was ended")
        s.wait_until(lambda: started_with(s, "-upgrade"), timeout=60, what="the program started again with -upgrade")
        s.wait_until(lambda: s.find_window(TITLE, visible=False), timeout=60, what="the hidden window after -upgrade")
        check(not s.find_window(TITLE, visible=True), "-upgrade shows no window")
        # The older setup refuses to replace the newer version.
        rc = run_installer(s, old_setup, "/S")
        check(rc == 2, f"the older setup over the newer one exits with 2, not {rc}")
        install.check_installed(exe, current)

        quiet = s.reg_query(rf"HKCU\{UNINSTALL_KEY}\Restwell", "QuietUninstallString")
        m = quiet and re.match(r'^"([^"]+)" /S$', quiet[1])
        check(m, f"a quiet uninstall command: {quiet}")
        run_installer_ok(s, m[1], "/S")
        # The uninstaller runs on from a copy of itself: wait for what it removes.
        s.wait_until(lambda: not program_dirs(s), timeout=60, what="the program folder removed")
        install.check_removed()


test_per_user_setup_installs_upgrades_and_uninstalls_silently.seconds = 50
# Installing and upgrading twice each under Wine: room for a busy machine before the pool
# counts them as hung.
test_msi_installs_upgrades_and_uninstalls_silently.limit = 600
test_per_user_setup_installs_upgrades_and_uninstalls_silently.limit = 600
