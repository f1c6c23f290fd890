"""The welcome wizard and the "&Customize..." sheet from outside: a first start shows the
wizard; Cancel ends the program with nothing stored; Finish stores the settings and "Welcome"
and the program runs on; the next start shows no wizard; "&Customize..." changes the work
period at once and its Cancel changes nothing. Screenshots of every page at 96 and 144 DPI."""
import time

from driver import check

TITLE = "Quillfen Restwell 2.1"
SHEET = "Restwell"
KEY = r"HKCU\Software\Quillfen\Restwell"
BACK, NEXT, FINISH, CANCEL = 0x3023, 0x3024, 0x3025, 2
WORK_MINUTES, DESCRIPTION, CUSTOMIZE = 1007, 1012, 1002
WM_COMMAND, ID_EXIT = 0x111, 32772


def find_sheet(s):
    """The visible wizard sheet: titled with the product name (as the alert pop-up is too) and
    holding a Finish button."""
    for w in s.windows():
        if w["title"] == SHEET and w["cls"] == "#32770" and w["visible"] and FINISH in s.controls(w["hwnd"]):
            return w
    return None


def wizard(s):
    return s.wait_until(lambda: find_sheet(s), what="the wizard sheet")


def page_control(s, sheet, control_id):
    """A control of the page in front (pages are child dialogs of the sheet)."""
    for page in (c for c in s.controls(sheet["hwnd"]).values() if c["cls"] == "#32770" and c["visible"]):
        found = s.controls(page["hwnd"]).get(control_id)
        if found:
            return found
    return None


def press(s, sheet, button):
    s.probe("click", sheet["hwnd"], button)


def stored(s, name, section="Breaks"):
    return s.reg_query(KEY + ("\\" + section if section else ""), name)


def exit_program(s, proc):
    window = s.wait_until(lambda: s.find_window(TITLE), what="the main window")
    s.probe("post", window["hwnd"], WM_COMMAND, ID_EXIT, 0)
    check(proc.wait(60) == 0, "the program ends on E&xit")


def test_cancel_on_first_start_ends_the_program_and_stores_nothing(s):
    proc = s.start()
    sheet = wizard(s)
    check(s.find_window(TITLE) is None, "no main window (and so no tray icon) while the wizard runs")
    press(s, sheet, NEXT)
    s.wait_until(lambda: page_control(s, sheet, WORK_MINUTES), what="the breaks page")
    press(s, sheet, CANCEL)
    check(proc.wait(60) == 0, "Cancel ends the program")
    check(s.find_window(TITLE) is None, "no main window was created")
    for name, section in (("Welcome", None), ("Work", "Breaks"), ("Enable", "Breaks")):
        check(stored(s, name, section) is None, f'"{name}" was not written')


def test_finish_stores_the_settings_and_the_next_start_shows_no_wizard(s):
    proc = s.start()
    sheet = wizard(s)
    press(s, sheet, NEXT)
    s.wait_until(lambda: page_control(s, sheet, WORK_MINUTES), what="the breaks page")
    page = next(c for c in s.controls(sheet["hwnd"]).values() if c["cls"] == "#32770" and c["visible"])
    s.probe("settext", page["hwnd"], WORK_MINUTES, "40")
    press(s, sheet, NEXT)
    s.wait_until(lambda: page_control(s, sheet, 1091), what="the finish page")
    press(s, sheet, FINISH)
    window = s.wait_until(lambda: s.find_window(TITLE), what="the main window after Finish")
    check(proc.poll() is None, "the program runs on after Finish")
    check(stored(s, "Welcome", None) is not None, '"Welcome" was written')
    check(stored(s, "Enable") == ("REG_DWORD", "0x1"), f'"Enable": {stored(s, "Enable")}')
    check(stored(s, "Rest") == ("REG_DWORD", "0x5"), f'"Rest": {stored(s, "Rest")}')
    check(stored(s, "Work") == ("REG_DWORD", "0x28"), f'"Work" is 40: {stored(s, "Work")}')
    check(stored(s, "Timed") is None, 'the planned part was not shown: no "Timed"')
    description = s.controls(window["hwnd"])[DESCRIPTION]["text"]
    check("every 40 minutes" in description, f"the main window follows: {description}")
    exit_program(s, proc)

    proc = s.start()
    s.wait_until(lambda: s.find_window(TITLE), what="the main window of the second start")
    check(find_sheet(s) is None, "no wizard on the second start")
    exit_program(s, proc)


def keys(s, *names):
    s.press(*names, pause=0.4)


def test_first_start_with_keys_alone(s):
    """No clicks: Enter through the pages, the work period typed, Shift+Tab and Alt+B back,
    Enter on the finish page."""
    proc = s.start()
    sheet = wizard(s)
    time.sleep(1)
    keys(s, "Return")  # Next
    s.wait_until(lambda: page_control(s, sheet, WORK_MINUTES), what="the breaks page")
    keys(s, "alt+w", "Tab")  # the work period's slider, then its field
    keys(s, "ctrl+a", "4", "0", "Return")  # Enter: Next
    s.wait_until(lambda: page_control(s, sheet, 1091), what="the finish page")
    keys(s, "alt+b")
    s.wait_until(lambda: page_control(s, sheet, WORK_MINUTES)["visible"], what="back on the breaks page")
    field = page_control(s, sheet, WORK_MINUTES)["text"]
    check(field == "40", f"Back keeps the typed value: {field!r}")
    keys(s, "alt+n")
    s.wait_until(lambda: page_control(s, sheet, 1091), what="the finish page again")
    keys(s, "Return")  # Finish, which has the focus
    window = s.wait_until(lambda: s.find_window(TITLE), what="the main window after Finish")
    check(proc.poll() is None, "the program runs on")
    check(stored(s, "Work") == ("REG_DWORD", "0x28"), f'"Work" is 40: {stored(s, "Work")}')
    check(stored(s, "Welcome", None) is not None, '"Welcome" was written')
    exit_program(s, proc)


POLICY = (r"""[HKEY_CURRENT_USER\Software\Policies\Quillfen\Restwell\Breaks]
"Enable"=dword:00000000
"Work"=dword:0000005a
"Rest"=dword:0000000a
[HKEY_CURRENT_USER\Software\Quillfen\Restwell\Breaks]
"Enable"=dword:00000001
"Work"=dword:00000028
"Rest"=dword:00000007
""")


def test_administrators_policy_shows_locked_and_leaves_the_users_key(s):
    s.reg_import(POLICY)
    proc = s.start()
    sheet = wizard(s)
    press(s, sheet, NEXT)
    s.wait_until(lambda: page_control(s, sheet, WORK_MINUTES), what="the breaks page")
    time.sleep(0.5)
    enable, work = page_control(s, sheet, 1025), page_control(s, sheet, WORK_MINUTES)
    rest = page_control(s, sheet, 1010)
    check(not enable["enabled"], f"Enable greyed: {enable}")
    check(work["text"] == "90" and not work["enabled"], f"the enforced work period, greyed: {work}")
    check(rest["text"] == "10" and not rest["enabled"], f"the enforced rest period, greyed: {rest}")
    s.screenshot("wizard-breaks-policy")
    press(s, sheet, NEXT)
    s.wait_until(lambda: page_control(s, sheet, 1091), what="the finish page")
    press(s, sheet, FINISH)
    window = s.wait_until(lambda: s.find_window(TITLE), what="the main window")
    for name, value in (("Enable", "0x1"), ("Work", "0x28"), ("Rest", "0x7")):
        check(stored(s, name) == ("REG_DWORD", value), f'the user\'s own "{name}" stays: {stored(s, name)}')
    s.probe("post", window["hwnd"], WM_COMMAND, 32771, 0)
    s.wait_until(lambda: s.find_window(TITLE, visible=True), what="the main window shown")
    s.probe("click", window["hwnd"], CUSTOMIZE)
    sheet = wizard(s)
    press(s, sheet, FINISH)  # the lone page's OK
    s.wait_until(lambda: find_sheet(s) is None, what="the sheet gone")
    for name, value in (("Enable", "0x1"), ("Work", "0x28"), ("Rest", "0x7")):
        check(stored(s, name) == ("REG_DWORD", value), f'OK leaves "{name}" too: {stored(s, name)}')
    exit_program(s, proc)


WELCOMED = (f'[{KEY.replace("HKCU", "HKEY_CURRENT_USER")}]\n'
            f'"Welcome"=dword:{int(time.time()) & 0xFFFFFFFF:08x}\n')


def open_customize(s):
    proc = s.start("-startup")
    window = s.wait_until(lambda: s.find_window(TITLE), what="the main window")
    s.probe("post", window["hwnd"], WM_COMMAND, 32771, 0)  # "&Open Restwell"
    s.wait_until(lambda: s.find_window(TITLE, visible=True), what="the main window shown")
    s.probe("click", window["hwnd"], CUSTOMIZE)
    return proc, window, wizard(s)


def test_customize_changes_the_work_period_at_once_and_cancel_changes_nothing(s):
    s.reg_import(WELCOMED)
    proc, window, sheet = open_customize(s)
    finish = s.controls(sheet["hwnd"])[FINISH]
    check(finish["text"] == "OK" and finish["visible"], f"the lone page's Finish reads OK: {finish}")
    page = next(c for c in s.controls(sheet["hwnd"]).values() if c["cls"] == "#32770" and c["visible"])
    s.probe("settext", page["hwnd"], WORK_MINUTES, "45")
    press(s, sheet, CANCEL)
    s.wait_until(lambda: find_sheet(s) is None, what="the sheet gone")
    description = s.controls(window["hwnd"])[DESCRIPTION]["text"]
    check("every 55 minutes" in description, f"Cancel keeps the description: {description}")
    check(stored(s, "Work") is None, '"Work" untouched by Cancel')

    s.probe("click", window["hwnd"], CUSTOMIZE)
    sheet = wizard(s)
    page = next(c for c in s.controls(sheet["hwnd"]).values() if c["cls"] == "#32770" and c["visible"])
    s.probe("settext", page["hwnd"], WORK_MINUTES, "45")
    press(s, sheet, FINISH)
    s.wait_until(lambda: "every 45 minutes" in s.controls(window["hwnd"])[DESCRIPTION]["text"],
                 what="the description with 45 minutes")
    check(stored(s, "Work") == ("REG_DWORD", "0x2d"), f'"Work" is 45: {stored(s, "Work")}')
    exit_program(s, proc)


def shots_wizard_pages_editor_and_customize_at_96_144_and_192_dpi(s):
    """Screenshots for a person to look at: the three pages, the editor, the lone page."""
    try:
        for dpi in (96, 144, 192):
            s.set_dpi(dpi)
            s.reg_reset()
            proc = s.start()
            sheet = wizard(s)
            time.sleep(1)
            s.screenshot(f"wizard-start-{dpi}")
            press(s, sheet, NEXT)
            s.wait_until(lambda: page_control(s, sheet, WORK_MINUTES), what="the breaks page")
            page = next(c for c in s.controls(sheet["hwnd"]).values() if c["cls"] == "#32770" and c["visible"])
            s.probe("click", page["hwnd"], 1085)  # "Show &Planned Breaks Settings >>"
            time.sleep(1)
            s.screenshot(f"wizard-breaks-{dpi}")
            s.probe("click", page["hwnd"], 1075)  # "&Add..."
            s.wait_until(lambda: s.find_window("Planned Break"), what="the planned-break editor")
            time.sleep(1)
            s.screenshot(f"wizard-editor-{dpi}")
            editor = s.find_window("Planned Break")
            s.probe("settext", editor["hwnd"], 1076, "Lunch")
            s.probe("click", editor["hwnd"], 1)
            s.wait_until(lambda: s.find_window("Planned Break") is None, what="the editor closed")
            time.sleep(0.5)
            s.screenshot(f"wizard-breaks-row-{dpi}")
            press(s, sheet, NEXT)
            s.wait_until(lambda: page_control(s, sheet, 1091), what="the finish page")
            time.sleep(1)
            s.screenshot(f"wizard-finish-{dpi}")
            press(s, sheet, FINISH)
            s.wait_until(lambda: stored(s, "Timed") == ("REG_DWORD", "0x1"), what='"Timed" stored as 1')
            window = s.wait_until(lambda: s.find_window(TITLE), what="the main window")
            s.probe("post", window["hwnd"], WM_COMMAND, 32771, 0)
            s.wait_until(lambda: s.find_window(TITLE, visible=True), what="the main window shown")
            s.probe("click", window["hwnd"], CUSTOMIZE)
            sheet = wizard(s)
            time.sleep(1)
            s.screenshot(f"customize-{dpi}")
            press(s, sheet, CANCEL)
            s.wait_until(lambda: find_sheet(s) is None, what="the sheet gone")
            exit_program(s, proc)
    finally:
        s.set_dpi(96)


def shots_wizard_pages_after_a_move_to_144_dpi(s):
    """Screenshots for a person to look at: the wizard started at 96 DPI and moved to a
    monitor of 144 DPI; the pages Next makes afterwards fill the page area too."""
    s.reg_reset()
    proc = s.start()
    sheet = wizard(s)
    s.probe("dpichange", sheet["hwnd"], 96, 144)
    time.sleep(1)
    s.screenshot("wizard-moved-start-144")
    press(s, sheet, NEXT)
    s.wait_until(lambda: page_control(s, sheet, WORK_MINUTES), what="the breaks page")
    page = next(c for c in s.controls(sheet["hwnd"]).values() if c["cls"] == "#32770" and c["visible"])
    s.probe("click", page["hwnd"], 1085)  # "Show &Planned Breaks Settings >>"
    time.sleep(1)
    s.screenshot("wizard-moved-breaks-144")
    press(s, sheet, NEXT)
    s.wait_until(lambda: page_control(s, sheet, 1091), what="the finish page")
    time.sleep(1)
    s.screenshot("wizard-moved-finish-144")
    press(s, sheet, CANCEL)
    proc.wait(60)
