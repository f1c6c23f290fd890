"""The main window from outside, reached through stored state only: an overdue work period
restored at start-up reminds at once, an absence longer than the rest period counts as a rest,
reminders switched off empty the status, and "-close" and log-off save the engine's state."""
import subprocess
import time

from driver import BUILD, check

TITLE = "Quillfen Restwell 2.1"
KEY = r"HKCU\Software\Quillfen\Restwell"
WM_ENDSESSION = 0x16


def le64(value):
    return ",".join(f"{b:02x}" for b in value.to_bytes(8, "little", signed=True))


def stored_state(work_started_ago, active_ago, work=None, enable=None):
    """.reg text of a welcomed user whose work period began work_started_ago seconds ago and
    whose last input was active_ago seconds ago."""
    now = int(time.time())
    text = (f'[{KEY.replace("HKCU", "HKEY_CURRENT_USER")}]\n"Welcome"=dword:{now & 0xFFFFFFFF:08x}\n'
            f'[{KEY.replace("HKCU", "HKEY_CURRENT_USER")}\\Breaks]\n'
            f'"TimeWorkStart"=hex:{le64(now - work_started_ago)}\n"TimeActiveLast"=hex:{le64(now - active_ago)}\n')
    if work is not None:
        text += f'"Work"=dword:{work:08x}\n'
    if enable is not None:
        text += f'"Enable"=dword:{enable:08x}\n'
    return text


def keep_input_recent(s):
    subprocess.run(["xdotool", "mousemove", "--sync", "640", "300"], env=s.env, check=False)
    subprocess.run(["xdotool", "mousemove", "--sync", "650", "310"], env=s.env, check=False)


def main_window(s):
    return s.wait_until(lambda: s.find_window(TITLE), what="the main window")


def control_text(s, window, control_id):
    return s.controls(window["hwnd"]).get(control_id, {}).get("text")


def popup_text(s, pid):
    """The message of the alert pop-up of that process, when it shows."""
    for w in s.windows():
        if w["pid"] == pid and w["visible"] and w["title"] != TITLE:
            text = s.controls(w["hwnd"]).get(1040, {}).get("text")
            if text:
                return text
    return None


def stored_time(s, name):
    value = s.reg_query(KEY + r"\Breaks", name)
    if not value or value[0] != "REG_BINARY":
        return None
    return int.from_bytes(bytes.fromhex(value[1]), "little", signed=True)


def close(s, proc):
    check(s.run_to_end("-close") == 0, "-close exited with 0")
    check(proc.wait(60) == 0, "Restwell exited with 0")


def test_restored_overdue_work_reminds_at_once_and_close_saves_the_state(s):
    s.reg_import(stored_state(work_started_ago=56 * 60, active_ago=0))
    keep_input_recent(s)
    proc = s.start()
    window = main_window(s)
    status = s.wait_until(lambda: control_text(s, window, 1018), what="the status text")
    check(status == "You have been working for 56 minutes. Time for a break.", f"status: {status!r}")
    reminder = s.wait_until(lambda: popup_text(s, window["pid"]), what="the break reminder")
    check(reminder == "You have been using this computer for 56 minutes.|Time for a 5 minute break.",
          f"reminder: {reminder!r}")
    s.screenshot("main-break-due")
    before = int(time.time())
    close(s, proc)
    check(s.reg_query(KEY + r"\Breaks", "Score") is not None, "Score written")
    work_start = stored_time(s, "TimeWorkStart")
    check(work_start is not None and abs(work_start - (before - 56 * 60)) <= 60, f"TimeWorkStart {work_start}")
    active = stored_time(s, "TimeActiveLast")
    check(active is not None and before - 60 <= active <= time.time(), f"TimeActiveLast {active}")


def test_absence_longer_than_the_rest_period_is_a_rest_that_raises_the_rating(s):
    s.reg_import(stored_state(work_started_ago=40 * 60, active_ago=10 * 60, work=30))
    keep_input_recent(s)
    proc = s.start()
    window = main_window(s)
    status = s.wait_until(lambda: control_text(s, window, 1018), what="the status text")
    check(status == "You are rested.", f"status: {status!r}")
    close(s, proc)
    score = s.reg_query(KEY + r"\Breaks", "Score")
    check(score is not None and int(score[1], 16) > 50, f"the rating rose from 50: {score}")


def test_reminders_off_empty_the_status_and_log_off_saves_the_rating(s):
    s.reg_import(stored_state(work_started_ago=56 * 60, active_ago=0, enable=0))
    proc = s.start()
    window = main_window(s)
    time.sleep(1)
    controls = s.controls(window["hwnd"])
    check(controls[1018]["text"] == "" and controls[1015]["text"] == "", f"status texts: {controls.get(1018)}")
    check(controls[1012]["text"] == "With this feature disabled you will not be reminded when breaks are due.",
          f"description: {controls[1012]['text']!r}")
    check(popup_text(s, window["pid"]) is None, "no reminder while reminders are off")
    rc, _ = s.probe("post", window["hwnd"], WM_ENDSESSION, 1, 0)
    check(rc == 0, "posted WM_ENDSESSION")
    s.wait_until(lambda: s.reg_query(KEY + r"\Breaks", "Score"), what="Score written at log-off")
    close(s, proc)


LOOKS = {
    "normal": "",
    "eco": f'[{KEY.replace("HKCU", "HKEY_CURRENT_USER")}]\n"EcoMode"=dword:00000001\n',
    "branding": ('[HKEY_LOCAL_MACHINE\\Software\\Quillfen\\Restwell\\Service]\n'
                 '"BrandTitle"="Northwind Traders\\\\nHealth at work"\n'
                 '"BrandHealthTitle"="Health & Safety"\n'
                 '"BrandHealthContents"="Our occupational health team is here to help.\\\\nCall 4321."\n'
                 '"BrandHealthLink"="intranet.example/health"\n'),
}


def shots_main_window_at_96_and_144_dpi(s):
    """Screenshots of every form of the window, for a person to look at."""
    try:
        for dpi, looks in ((96, ("normal", "eco", "branding")), (144, ("normal", "branding"))):
            s.set_dpi(dpi)
            for look in looks:
                state = LOOKS[look]
                s.reg_reset()
                s.reg_import(stored_state(work_started_ago=20 * 60, active_ago=0) + state)
                keep_input_recent(s)
                proc = s.start()
                window = main_window(s)
                s.wait_until(lambda: control_text(s, window, 1018), what="the status text")
                rc, _ = s.probe("post", window["hwnd"], 0x111, 32771, 0)  # "&Open Restwell"
                s.wait_until(lambda: s.find_window(TITLE, visible=True), what="the window shown")
                time.sleep(1)
                s.screenshot(f"main-{look}-{dpi}")
                close(s, proc)
    finally:
        s.set_dpi(96)


def test_a_planned_break_is_named_ahead_and_announced_when_the_worker_says_it_is_due(s):
    at = time.localtime(time.time() + 180)
    entry = f"0YYYYYYY,{at.tm_hour:02d}{at.tm_min:02d},Stretch"
    s.reg_import(stored_state(work_started_ago=10 * 60, active_ago=0) +
                 f'"Timed"=dword:00000001\n"Timed-0"="{entry}"\n')
    keep_input_recent(s)
    proc = s.start()
    window = main_window(s)
    planned = s.wait_until(lambda: control_text(s, window, 1015), what="the planned-break line")
    check(planned.startswith("At ") and planned.endswith(", Stretch, is your next planned break."),
          f"planned: {planned!r}")
    # The worker posts this at the break's minute; the engine shows the state with the countdown.
    rc, _ = s.probe("post", window["hwnd"], 0x469, 0, 0)
    check(rc == 0, "posted WMU_PLANNED_BREAK_DUE")
    shown = s.wait_until(lambda: popup_text(s, window["pid"]), what="the announcement")
    check("working for 10 minutes" in shown, f"announcement: {shown!r}")
    popup = next(w for w in s.windows() if w["pid"] == window["pid"] and w["visible"] and w["title"] != TITLE)
    countdown = s.controls(popup["hwnd"]).get(1089, {}).get("text", "")
    check("minutes until Stretch." in countdown, f"countdown line: {countdown!r}")
    close(s, proc)
