"""The two installers under Wine, each as one story: a silent install of an older build, an
upgrade to this build over the running program, then a silent uninstall. Seen from outside:
the files, the Start-menu shortcut, the Run entry and the Apps & features entry, the program's
processes and their command lines, and the user's settings, which survive both the upgrade and
the uninstall."""
import importlib.machinery
import re
import subprocess
import threading
import time
from pathlib import Path

from driver import BUILD, ROOT, SHOTS, check

TITLE = "Quillfen Restwell 2.1"
SETTINGS = r"HKCU\Software\Quillfen\Restwell\Breaks"
RUN_KEY = r"Software\Microsoft\Windows\CurrentVersion\Run"
UNINSTALL_KEY = r"Software\Microsoft\Windows\CurrentVersion\Uninstall"
INSTALL_SECONDS = 180  # one msiexec or setup run: catches a hang, not a slow machine

PACKAGE = importlib.machinery.SourceFileLoader("package", str(ROOT / "scripts" / "package")).load_module()
_built, _build_lock = {}, threading.Lock()


def versions():
    """This build's version and an older build of it (the build number one lower)."""
    cache = (BUILD / "CMakeCache.txt").read_text()
    current = re.search(r"^CMAKE_PROJECT_VERSION:STATIC=(\S+)$", cache, re.M)[1]
    parts = current.split(".")
    return current, ".".join(parts[:3] + [str(int(parts[3]) - 1)])


def installers(version):
    """The MSI and the per-user setup of the tests' Restwell.exe carrying `version`, built once
    per run by the script `make installer` uses."""
    with _build_lock:
        if version not in _built:
            out = SHOTS / "installers" / version
            subprocess.run([ROOT / "scripts" / "package", BUILD, "--out", out, "--version", version], check=True,
                           capture_output=True, timeout=300)
            _built[version] = (out / "Restwell.msi", out / "RestwellSetup.exe")
        return _built[version]


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


def run_installer(s, *args):
    start = time.time()
    rc, out = s.wine(*args, timeout=INSTALL_SECONDS)
    check(rc == 0, f"{args} exited {rc} after {time.time() - start:.0f} s: {out}")


def remove_leftovers(s):
    """A story cut short in an earlier run may have left an install in this worker's prefix."""
    for version in versions():
        if s.reg_query(rf"HKLM\{UNINSTALL_KEY}\{product_code(version)}", "DisplayVersion"):
            s.wine("msiexec", "/x", product_code(version), "/qn", timeout=INSTALL_SECONDS)
    for d in program_dirs(s):
        subprocess.run(["rm", "-rf", str(d)], check=True)
    for link in shortcuts(s):
        link.unlink()
    for hive in ("HKLM", "HKCU"):
        s.wine("reg", "delete", rf"{hive}\{RUN_KEY}", "/v", "Restwell", "/f")
    s.wine("reg", "delete", rf"HKCU\{UNINSTALL_KEY}\Restwell", "/f")


def keep_settings_to_check(s):
    """A welcomed user (no wizard) with a work period of 45 minutes of their own."""
    s.reg_import('[HKEY_CURRENT_USER\\Software\\Quillfen\\Restwell]\n'
                 f'"Welcome"=dword:{int(time.time()) & 0xFFFFFFFF:08x}\n\n'
                 '[HKEY_CURRENT_USER\\Software\\Quillfen\\Restwell\\Breaks]\n"Work"=dword:0000002d\n')


def check_settings_kept(s, when):
    check(s.reg_query(SETTINGS, "Work") == ("REG_DWORD", "0x2d"), f"the user's work period is kept {when}")


def check_installed(s, hive, exe):
    check(exe.exists() and exe.read_bytes() == (BUILD / "Restwell.exe").read_bytes(), f"{exe} is this build's program")
    links = shortcuts(s)
    check(len(links) == 1, f"one Start-menu shortcut: {links}")
    link, target = links[0].read_bytes(), windows_path(s, exe)
    check(target.encode("utf-16-le") in link or target.encode() in link, f"the shortcut points at {target}")
    run = s.reg_query(rf"{hive}\{RUN_KEY}", "Restwell")
    check(run == ("REG_SZ", f'"{windows_path(s, exe)}" -startup'), f"the {hive} Run entry: {run}")
    return run[1]


def check_removed(s, hive):
    check(not program_dirs(s), f"no program folder is left: {program_dirs(s)}")
    check(not shortcuts(s), f"no shortcut is left: {shortcuts(s)}")
    check(s.reg_query(rf"{hive}\{RUN_KEY}", "Restwell") is None, f"no {hive} Run entry is left")
    s.wait_until(lambda: not s.restwell_pids(), what="no Restwell process left")
    check_settings_kept(s, "after the uninstall")


def start_from_run_entry(s, command_line):
    """Starts the program the way log-on does: the Run entry's command line."""
    m = re.match(r'^"([^"]+)"\s*(.*)$', command_line)
    check(m, f"a quoted program path in {command_line!r}")
    proc = subprocess.Popen(["wine", m[1], *m[2].split()], env=s.env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    s.started.append(proc)
    return proc


def test_msi_installs_upgrades_and_uninstalls_silently(s):
    current, older = versions()
    old_msi, _ = installers(older)
    new_msi, _ = installers(current)
    remove_leftovers(s)
    keep_settings_to_check(s)
    exe = drive_c(s) / "Program Files" / "Restwell" / "Restwell.exe"

    run_installer(s, "msiexec", "/i", old_msi, "/qn")
    command_line = check_installed(s, "HKLM", exe)
    arp = rf"HKLM\{UNINSTALL_KEY}\{product_code(older)}"
    check(s.reg_query(arp, "DisplayVersion") == ("REG_SZ", older), f"Apps & features lists {older}")
    # Log-on starts it in the notification area only: the main window exists, hidden.
    start_from_run_entry(s, command_line)
    s.wait_until(lambda: s.find_window(TITLE, visible=False), timeout=30, what="the hidden main window")
    check(not s.find_window(TITLE, visible=True), "-startup shows no window")
    old_pids = set(s.restwell_pids())
    check(any(line.endswith("Program Files\\Restwell\\Restwell.exe -startup") for line in command_lines(s).values()),
          f"the installed program runs with -startup: {command_lines(s)}")

    # The newer build (only its build number is higher) replaces the older one.
    run_installer(s, "msiexec", "/i", new_msi, "/qn")
    check_installed(s, "HKLM", exe)
    check(s.reg_query(arp, "DisplayVersion") is None, "the older version is no longer listed")
    check(s.reg_query(rf"HKLM\{UNINSTALL_KEY}\{product_code(current)}", "DisplayVersion") == ("REG_SZ", current),
          f"Apps & features lists {current}")
    s.wait_until(lambda: not old_pids & set(s.restwell_pids()), what="the running older program closed")
    check_settings_kept(s, "after the upgrade")

    start_from_run_entry(s, command_line)
    s.wait_until(lambda: s.find_window(TITLE, visible=False), timeout=30, what="the upgraded program's hidden window")
    run_installer(s, "msiexec", "/x", new_msi, "/qn")
    check_removed(s, "HKLM")
    check(s.reg_query(rf"HKLM\{UNINSTALL_KEY}\{product_code(current)}", "DisplayVersion") is None,
          "Apps & features no longer lists Restwell")


test_msi_installs_upgrades_and_uninstalls_silently.seconds = 60


def test_per_user_setup_installs_upgrades_and_uninstalls_silently(s):
    current, older = versions()
    _, old_setup = installers(older)
    _, new_setup = installers(current)
    remove_leftovers(s)
    keep_settings_to_check(s)
    arp = rf"HKCU\{UNINSTALL_KEY}\Restwell"

    run_installer(s, old_setup, "/S")
    folder = s.wait_until(lambda: program_dirs(s), what="the program folder")[0]
    exe = folder / "Restwell.exe"
    check(folder.parent.name == "Programs" and folder.parent.parent.name == "Local", f"installed in {folder}")
    check_installed(s, "HKCU", exe)
    check(s.reg_query(arp, "DisplayVersion") == ("REG_SZ", older), f"Apps & features lists {older}")
    # A first install starts the program with -setup: its window shows.
    s.wait_until(lambda: any(line.endswith("Restwell.exe -setup") for line in command_lines(s).values()),
                 timeout=30, what="the program started with -setup")
    s.wait_until(lambda: s.find_window(TITLE, visible=True), timeout=30, what="the main window after -setup")
    old_pids = set(s.restwell_pids())

    run_installer(s, new_setup, "/S")
    check_installed(s, "HKCU", exe)
    check(s.reg_query(arp, "DisplayVersion") == ("REG_SZ", current), f"Apps & features lists {current}")
    s.wait_until(lambda: not old_pids & set(s.restwell_pids()), what="the running older program closed")
    s.wait_until(lambda: any(line.endswith("Restwell.exe -upgrade") for line in command_lines(s).values()),
                 timeout=30, what="the program started again with -upgrade")
    s.wait_until(lambda: s.find_window(TITLE, visible=False), timeout=30, what="the hidden window after -upgrade")
    check(not s.find_window(TITLE, visible=True), "-upgrade shows no window")
    check_settings_kept(s, "after the upgrade")

    quiet = s.reg_query(arp, "QuietUninstallString")
    m = quiet and re.match(r'^"([^"]+)" /S$', quiet[1])
    check(m, f"a quiet uninstall command: {quiet}")
    run_installer(s, m[1], "/S")
    # The uninstaller runs on from a copy of itself: wait for what it removes.
    s.wait_until(lambda: not program_dirs(s), timeout=60, what="the program folder removed")
    check_removed(s, "HKCU")
    check(s.reg_query(arp, "DisplayName") is None, "Apps & features no longer lists Restwell")


test_per_user_setup_installs_upgrades_and_uninstalls_silently.seconds = 50
