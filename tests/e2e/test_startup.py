"""Start-up from outside: the close request, a silent start, one instance per session (a second
start shows the first one's window), a clean end on "-close" after which a start runs again, and
"/close" as an ordinary start."""
import re
import subprocess
import time

from driver import check

TITLE = "Quillfen Restwell 2.1"
WELCOMED = ('[HKEY_CURRENT_USER\\Software\\Quillfen\\Restwell]\n'
            f'"Welcome"=dword:{int(time.time()) & 0xFFFFFFFF:08x}\n')
AT_ONCE = 30  # seconds: a start that ends rather than stays (a hang), on a busy machine too


def timed_run(s, *args):
    start = time.time()
    rc = s.run_to_end(*args, timeout=60)
    return rc, time.time() - start


def main_window(s, visible=None):
    return s.find_window(TITLE, visible=visible)


def visible_windows_of(s, pid):
    return [w for w in s.windows() if w["pid"] == pid and w["visible"]]


def close_running(s, proc):
    rc, _ = timed_run(s, "-close")
    check(rc == 0, f"-close exited with {rc}")
    check(proc.wait(60) == 0, "the running instance exited with 0 after -close")
    s.wait_until(lambda: not s.restwell_pids(), what="no Restwell process left")


def test_close_with_nothing_running_exits_at_once(s):
    rc, seconds = timed_run(s, "-close")
    check(rc == 0, f"exit code {rc}")
    check(seconds < AT_ONCE, f"took {seconds:.1f} s")
    check(not s.restwell_pids(), "no Restwell process is left")
    check(main_window(s) is None, "no main window was created")


def test_second_start_exits_and_shows_the_first_instance(s):
    s.reg_import(WELCOMED)
    proc = s.start("-silent")
    s.wait_until(lambda: main_window(s, visible=False), what="the hidden main window")
    first_pids = set(s.restwell_pids())
    for args in [(), ("-startup",), ("-silent",), ("-setup", "-upgrade")]:
        rc, seconds = timed_run(s, *args)
        check(rc == 0 and seconds < AT_ONCE, f"second start {args}: exit code {rc} after {seconds:.1f} s")
        window = s.wait_until(lambda: main_window(s, visible=True), what=f"the first window shown by {args}")
        check(set(s.restwell_pids()) == first_pids, f"only the first instance runs after {args}")
        s.wait_until(lambda: s.probe("foreground")[1].strip() == window["hwnd"],
                     what=f"the shown window in the foreground after {args}")
        if not args:
            s.screenshot("startup-first-instance-shown")
            controls = s.controls(window["hwnd"])
            check(controls.get(1, {}).get("visible"), f"the main window's button is shown: {controls}")
        # Its button hides the window again (the program goes on).
        rc, _ = s.probe("click", window["hwnd"], 1)
        check(rc == 0, "probe clicked the main window's button")
        s.wait_until(lambda: main_window(s, visible=False), what=f"the window hidden again after {args}")
        check(proc.poll() is None, "hiding the window does not end the program")
    close_running(s, proc)


def test_a_silent_start_stays_hidden_close_ends_it_and_slash_close_is_an_ordinary_start(s):
    # Not welcomed yet: a silent start shows no wizard either.
    proc = s.start("-silent")
    window = s.wait_until(lambda: main_window(s, visible=False), what="the hidden main window")
    time.sleep(2)
    check(proc.poll() is None, "the silent instance keeps running")
    check(not visible_windows_of(s, window["pid"]), f"visible windows: {visible_windows_of(s, window['pid'])}")
    close_running(s, proc)
    check(main_window(s) is None, "the main window is gone")
    # The single-instance marker went with the first process: a new start is a first instance,
    # and "/close" is not the close switch.
    s.reg_import(WELCOMED)
    again = s.start("/close")
    s.wait_until(lambda: main_window(s, visible=True), what="the main window of a /close start")
    time.sleep(1)
    check(again.poll() is None, "/close did not end the program")
    close_running(s, again)


IDC_CUSTOMIZE, IDC_OPTIONS, ID_ABOUT = 1002, 1024, 32773
# Each modal window the user can have open, and how it is opened from outside.
MODAL_WINDOWS = [("Options", lambda s, main: s.probe("click", main["hwnd"], IDC_OPTIONS)),
                 ("Customize", lambda s, main: s.probe("click", main["hwnd"], IDC_CUSTOMIZE)),
                 ("About", lambda s, main: s.probe("command", main["hwnd"], ID_ABOUT))]


def open_modal_window(s, name, open_it):
    """Starts Restwell with its window shown and opens one of its modal windows; returns the
    process and its main window."""
    proc = s.start()
    # Generous bounds: a start on a busy machine is slow, and only a hang should fail here.
    main = s.wait_until(lambda: main_window(s, visible=True), timeout=60, what="the main window")
    open_it(s, main)
    # The modal window is up once it shows and the main window is disabled behind it.
    s.wait_until(lambda: len(visible_windows_of(s, main["pid"])) >= 2 and not main_window(s)["enabled"],
                 timeout=60, what=f"the {name} window open")
    return proc, main


def check_ended(s, proc, how):
    """No Restwell process is left within 5 s."""
    try:
        proc.wait(5)
    except Exception:  # noqa: BLE001 - reported below
        pass
    check(not s.restwell_pids(), f"a Restwell process is left 5 s after {how}")


def quit_with_each_modal_window_open(s, how, end_it):
    s.reg_import(WELCOMED)
    # Each start after the first shows that the one ended before leaves nothing in the way.
    for name, open_it in MODAL_WINDOWS:
        proc, main = open_modal_window(s, name, open_it)
        end_it(s, main)
        check_ended(s, proc, f"{how} with {name} open")


def test_close_request_ends_the_program_with_a_modal_window_open(s):
    quit_with_each_modal_window_open(s, "-close", lambda s, main: s.run_to_end("-close"))


def test_tray_exit_ends_the_program_with_a_modal_window_open(s):
    from test_tray import choose_from_tray_menu
    quit_with_each_modal_window_open(s, "Exit", lambda s, main: choose_from_tray_menu(s, main, "x"))


# Functions of user32 and shcore that Windows 7 lacks. Imported statically, any one of them
# keeps the program from starting there; the program looks them up at run time instead.
NEWER_THAN_WINDOWS_7 = {"GetDpiForWindow", "GetDpiForSystem", "GetSystemMetricsForDpi", "SystemParametersInfoForDpi",
                        "AdjustWindowRectExForDpi", "SetThreadDpiAwarenessContext", "EnableNonClientDpiScaling",
                        "GetDpiForMonitor", "SetProcessDpiAwareness", "SetProcessDpiAwarenessContext"}


def test_the_program_imports_nothing_windows_7_lacks(s):
    from driver import BUILD
    out = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", str(BUILD / "Restwell.exe")], capture_output=True,
                         text=True, check=True).stdout
    imported = set(re.findall(r"^\s+[0-9a-f]+\s+\d+\s+(\w+)$", out, re.M))
    check(imported, "the import table was read")
    check("Shell_NotifyIconW" in imported, "the import table lists the program's functions")
    newer = sorted(imported & NEWER_THAN_WINDOWS_7)
    check(not newer, f"imported statically: {newer}")
