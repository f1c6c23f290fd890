"""The Options sheet from outside: opened with the main window's Options button, each page
screenshot in its normal and its policy-locked form at 96 and 144 DPI, and OK storing what
the user changed."""
import time

from driver import check
from test_main import KEY, TITLE, close, keep_input_recent, main_window, stored_state

PSM_SETCURSEL = 0x465
WM_COMMAND = 0x111
PAGES = ("general", "branding", "notifications")

LOCKED = ('[HKEY_CURRENT_USER\\Software\\Policies\\Quillfen\\Restwell]\n'
          '"NotificationStyle"=dword:00000001\n"NewsPopup"=dword:00000000\n'
          '[HKEY_LOCAL_MACHINE\\Software\\Policies\\Quillfen\\Restwell\\Service]\n'
          '"BrandDisabled"=dword:00000000\n"BrandTitle"="Northwind Traders\\\\nHealth at work"\n'
          '"BrandHealthDisabled"=dword:00000000\n"BrandHealthTitle"="Health & Safety"\n'
          '"BrandHealthContents"="Our occupational health team is here to help.\\\\nCall 4321."\n'
          '"BrandHealthLink"="intranet.example/health"\n')
NORMAL = (f'[{KEY.replace("HKCU", "HKEY_CURRENT_USER")}]\n'
          '"NotificationSound"="C:\\\\windows\\\\media\\\\chimes.wav"\n')


def open_options(s):
    """Starts Restwell, shows its window and clicks its Options button; the sheet's window."""
    keep_input_recent(s)
    proc = s.start()
    window = main_window(s)
    s.probe("post", window["hwnd"], WM_COMMAND, 32771, 0)  # "&Open Restwell"
    s.wait_until(lambda: s.find_window(TITLE, visible=True), what="the main window shown")
    s.probe("click", window["hwnd"], 1024)
    sheet = s.wait_until(lambda: s.find_window("Options", visible=True), what="the Options sheet")
    return proc, window, sheet


def shots_options_pages_normal_and_locked_at_96_and_144_dpi(s):
    try:
        for dpi in (96, 144):
            s.set_dpi(dpi)
            for look, state in (("normal", NORMAL), ("locked", LOCKED)):
                s.reg_reset()
                s.reg_import(stored_state(work_started_ago=20 * 60, active_ago=0) + state)
                proc, window, sheet = open_options(s)
                for index, page in enumerate(PAGES):
                    s.probe("post", sheet["hwnd"], PSM_SETCURSEL, index, 0)
                    time.sleep(1)
                    s.screenshot(f"options-{page}-{look}-{dpi}")
                if look == "normal":  # the style list open: every style whole
                    shown = next(c for c in s.controls(sheet["hwnd"]).values() if c["cls"] == "#32770" and c["visible"])
                    s.probe("post", s.controls(shown["hwnd"])[1039]["hwnd"], 0x14F, 1, 0)  # CB_SHOWDROPDOWN
                    time.sleep(1)
                    s.screenshot(f"options-styles-open-{dpi}")
                    s.probe("post", s.controls(shown["hwnd"])[1039]["hwnd"], 0x14F, 0, 0)
                s.probe("command", sheet["hwnd"], 2)  # Cancel
                s.wait_until(lambda: not s.find_window("Options", visible=True), what="the sheet closed")
                close(s, proc)
    finally:
        s.set_dpi(96)


def test_options_ok_stores_the_changes_and_cancel_stores_nothing(s):
    s.reg_reset()
    s.reg_import(stored_state(work_started_ago=20 * 60, active_ago=0))
    proc, window, sheet = open_options(s)
    page = s.controls(sheet["hwnd"])
    general = [c for c in page.values() if c["cls"] == "#32770"]
    check(len(general) == 1, "one page exists before the others are shown")
    s.probe("click", general[0]["hwnd"], 1033)  # "Use &Eco Mode."
    s.probe("command", sheet["hwnd"], 2)  # Cancel
    s.wait_until(lambda: not s.find_window("Options", visible=True), what="the sheet cancelled")
    check(s.reg_query(KEY, "EcoMode") is None, "Cancel writes nothing")

    s.probe("click", window["hwnd"], 1024)
    sheet = s.wait_until(lambda: s.find_window("Options", visible=True), what="the Options sheet again")
    general = [c for c in s.controls(sheet["hwnd"]).values() if c["cls"] == "#32770"]
    s.probe("click", general[0]["hwnd"], 1033)
    time.sleep(0.5)
    s.probe("command", sheet["hwnd"], 1)  # OK
    s.wait_until(lambda: not s.find_window("Options", visible=True), what="the sheet confirmed")
    check(s.reg_query(KEY, "EcoMode") == ("REG_DWORD", "0x1"), "OK stores eco mode")
    check(s.reg_query(KEY, "NewsPopup") == ("REG_DWORD", "0x1"), "OK stores the General page's other values")
    check(s.reg_query(KEY, "NotificationSound") is None, "the Notifications page was never shown: it writes nothing")
    close(s, proc)
