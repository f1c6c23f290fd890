"""The tray menus from outside, as a user reaches them: the shell's callback for a right
click opens the menu at the pointer, then the item's access key chooses it."""
import subprocess
import time

from driver import check
from test_main import KEY, TITLE, control_text, keep_input_recent, main_window, stored_state, stored_time

WMU_TRAY_CALLBACK = 0x464
WM_CONTEXTMENU = 0x7B


def choose_from_tray_menu(s, window, key):
    """Right click on the icon as the shell reports it, then the access key on the menu."""
    subprocess.run(["xdotool", "mousemove", "--sync", "600", "400"], env=s.env, check=False)
    s.probe("post", window["hwnd"], WMU_TRAY_CALLBACK, 0, (WMU_TRAY_CALLBACK << 16) | WM_CONTEXTMENU)
    s.wait_until(lambda: any(w["cls"] == "#32768" and w["visible"] for w in s.windows()), what="the tray menu")
    # Keys reach the menu only with the pointer on it.
    subprocess.run(["xdotool", "mousemove", "--sync", "610", "410"], env=s.env, check=False)
    subprocess.run(["xdotool", "key", key], env=s.env, check=False)
    s.wait_until(lambda: not any(w["cls"] == "#32768" and w["visible"] for w in s.windows()), what="the menu closed")


def test_tray_menu_commands_open_rest_about_help_and_exit(s):
    s.reg_reset()
    opened = s.fake_browser()
    s.reg_import(stored_state(work_started_ago=20 * 60, active_ago=0))
    keep_input_recent(s)
    proc = s.start()
    window = main_window(s)
    s.wait_until(lambda: control_text(s, window, 1018), what="the status text")
    check("working" in control_text(s, window, 1018), "working at the start")

    choose_from_tray_menu(s, window, "o")  # "&Open Restwell"
    s.wait_until(lambda: s.find_window(TITLE, visible=True), what="the window shown by Open")

    choose_from_tray_menu(s, window, "r")  # "I am &rested"
    s.wait_until(lambda: control_text(s, window, 1018) == "You are rested.", what="rested after I am rested")

    choose_from_tray_menu(s, window, "a")  # "&About..."
    about = s.wait_until(lambda: s.find_window("About", visible=True), what="the About window")
    check(s.probe("click", about["hwnd"], 1)[0] == 0, "OK on the About window")
    s.wait_until(lambda: s.find_window("About", visible=True) is None, what="the About window closed")

    choose_from_tray_menu(s, window, "h")  # "&Help"
    s.wait_until(lambda: any("help" in a.lower() for a in opened()), what="the help root opened")

    choose_from_tray_menu(s, window, "x")  # "E&xit"
    check(proc.wait(60) == 0, "Exit ends the program")
    check(stored_time(s, "TimeActiveLast") is not None, "Exit saved the engine's times")
    check(s.reg_query(KEY + r"\Breaks", "Score") is not None, "Exit saved the rating")


def test_break_menu_suspends_while_a_break_is_due(s):
    s.reg_reset()
    s.reg_import(stored_state(work_started_ago=56 * 60, active_ago=0))
    keep_input_recent(s)
    proc = s.start()
    window = main_window(s)
    s.wait_until(lambda: "Time for a break" in (control_text(s, window, 1018) or ""), what="the break due")
    choose_from_tray_menu(s, window, "1")  # "Suspend for &15 minutes", only in the break menu
    time.sleep(1)
    # Still due, but suspended: the break menu is still offered ("&Suspend until next rest"
    # exists only there), and the program runs on.
    choose_from_tray_menu(s, window, "s")
    check(proc.poll() is None, "the program runs on after the suspends")
    check("Time for a break" in control_text(s, window, 1018), "the break is still due")
    s.run_to_end("-close")
    proc.wait(60)


ICON_CENTRE = ("1270", "790")  # the first icon of the virtual desktop's notification strip
BALLOONS = '[HKEY_CURRENT_USER\\Software\\Quillfen\\Restwell]\n"NotificationStyle"=dword:00000000\n'
WELCOME = "Welcome.|Hints about when breaks are due will appear here."


def shell_tips(s):
    """The texts of the shell's tooltips and balloons on show ("|" for a line break)."""
    return [w["title"] for w in s.windows() if w["cls"] == "tooltips_class32" and w["visible"] and w["title"]]


def tooltip_on_icon(s):
    """Rests the pointer on the icon until the shell shows a tooltip starting with the
    program's name, and returns its text."""
    subprocess.run(["xdotool", "mousemove", "--sync", "600", "400"], env=s.env, check=False)
    subprocess.run(["xdotool", "mousemove", "--sync", *ICON_CENTRE], env=s.env, check=False)
    return s.wait_until(lambda: next((t for t in shell_tips(s) if t.startswith("Restwell")), None),
                        timeout=30, what="the icon's tooltip")


def test_the_shell_shows_the_whole_tooltip_and_balloon_takes_every_record_and_gets_the_icon_back(s):
    s.reg_import(stored_state(work_started_ago=56 * 60, active_ago=0) + BALLOONS)
    keep_input_recent(s)
    log = s.work / "systray.log"
    proc = s.start("-startup", debug="warn+systray", log=log)
    # The break is due at once: the shell's balloon says so in full (for ten seconds or more).
    reminder = "You have been using this computer for 56 minutes.|Time for a 5 minute break."
    s.wait_until(lambda: s.find_window(TITLE), timeout=60, what="the program started")
    s.wait_until(lambda: reminder in shell_tips(s), timeout=30, what=f"the balloon {reminder!r}")
    s.screenshot("tray-balloon")
    tip = tooltip_on_icon(s)
    s.screenshot("tray-tooltip")
    check(tip == "Restwell|You have been working for 56 minutes.|Time for a break.", f"tooltip: {tip!r}")
    # A restarted shell has lost the icon: the program adds it again when the taskbar comes
    # back, showing the state at once, not the program's name until the minute changes. The
    # shell refuses to delete an icon it does not have.
    window = s.find_window(TITLE)
    check(window and s.probe("traydelete", window["hwnd"], WMU_TRAY_CALLBACK)[0] == 0, "the icon removed from outside")
    check(s.probe("traydelete", window["hwnd"], WMU_TRAY_CALLBACK)[0] == 1, "the shell has the icon no more")
    s.probe("post", "broadcast", "TaskbarCreated")
    again = tooltip_on_icon(s)
    check(again == tip, f"tooltip after the taskbar came back: {again!r}")
    s.run_to_end("-close")
    proc.wait(60)
    warnings = [line for line in log.read_text(errors="replace").splitlines() if "systray" in line]
    check(not warnings, f"the shell complained: {warnings}")


def shots_tray_at_96_and_144_dpi(s):
    """The balloon, the tooltip and the tray menu beside the open Options sheet, for a person
    to look at."""
    try:
        for dpi in (96, 144):
            s.set_dpi(dpi)
            s.reg_reset()
            s.reg_import(stored_state(work_started_ago=56 * 60, active_ago=0) + BALLOONS)
            keep_input_recent(s)
            proc = s.start("-startup")
            reminder = "You have been using this computer for 56 minutes.|Time for a 5 minute break."
            s.wait_until(lambda: reminder in shell_tips(s), timeout=60, what="the balloon")
            s.screenshot(f"tray-balloon-{dpi}")
            tooltip_on_icon(s)
            s.screenshot(f"tray-tooltip-{dpi}")
            window = main_window(s)
            s.probe("post", window["hwnd"], 0x111, 32771, 0)  # "&Open Restwell"
            s.wait_until(lambda: s.find_window(TITLE, visible=True), what="the window shown")
            s.probe("click", window["hwnd"], 1024)  # "&Options..."
            s.wait_until(lambda: not s.find_window(TITLE)["enabled"], what="the Options sheet")
            subprocess.run(["xdotool", "mousemove", "--sync", "600", "400"], env=s.env, check=False)
            s.probe("post", window["hwnd"], WMU_TRAY_CALLBACK, 0, (WMU_TRAY_CALLBACK << 16) | WM_CONTEXTMENU)
            s.wait_until(lambda: any(w["cls"] == "#32768" and w["visible"] for w in s.windows()), what="the menu")
            s.screenshot(f"tray-menu-beside-options-{dpi}")
            subprocess.run(["xdotool", "mousemove", "--sync", "610", "410"], env=s.env, check=False)
            subprocess.run(["xdotool", "key", "Escape"], env=s.env, check=False)
            time.sleep(1)
            s.screenshot(f"tray-options-after-menu-{dpi}")
            s.run_to_end("-close")
            proc.wait(15)
    finally:
        s.set_dpi(96)


def test_an_installers_start_greets_a_welcomed_user_with_the_welcome_balloon(s):
    """A first install starts the program with -setup, an upgrade with -upgrade: either greets
    a user welcomed long ago with the shell's welcome balloon, gone again with the program."""
    for switch in ("-setup", "-upgrade"):
        s.reg_reset()
        s.reg_import(stored_state(work_started_ago=60, active_ago=0) + BALLOONS)
        proc = s.start(switch)
        s.wait_until(lambda: WELCOME in shell_tips(s), timeout=60, what=f"the welcome balloon after {switch}")
        s.run_to_end("-close")
        proc.wait(15)
        s.wait_until(lambda: WELCOME not in shell_tips(s), timeout=30, what=f"the balloon gone after {switch}")


def shots_welcome_balloon_at_96_and_144_dpi(s):
    """The welcome balloon in the shell's own style (style 0), as an upgrade's first start
    shows it, for a person to look at: its two lines read whole."""
    try:
        for dpi in (96, 144):
            s.set_dpi(dpi)
            s.reg_reset()
            s.reg_import(stored_state(work_started_ago=60, active_ago=0) + BALLOONS)
            proc = s.start("-upgrade")
            s.wait_until(lambda: WELCOME in shell_tips(s), timeout=60, what="the welcome balloon")
            s.screenshot(f"welcome-balloon-{dpi}")
            s.run_to_end("-close")
            proc.wait(15)
    finally:
        s.set_dpi(96)
