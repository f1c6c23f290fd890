"""Help from the running program: F1 in the main window opens its help topic, with the
program version, in the default browser."""
import time

from driver import check

WELCOMED = '[HKEY_CURRENT_USER\\Software\\Quillfen\\Restwell]\n"Welcome"=dword:65000000\n'


def test_f1_in_the_main_window_opens_its_topic(s):
    opened = s.fake_browser()
    s.reg_import(WELCOMED)
    s.start()
    window = s.wait_until(lambda: s.find_window("Quillfen Restwell 2.1", visible=True), what="the main window")
    # Keys go to the control with the focus: the window is in front and holds it.
    s.wait_until(lambda: s.probe("focus")[1].strip() == window["hwnd"], what="the main window in front with the focus")
    s.press("F1")
    # The address goes through Wine's start and browser programs, each a process start: slow on
    # a busy machine.
    addresses = s.wait_until(opened, timeout=60, what="an address opened")
    check(addresses == ["http://127.0.0.1:8321/products/Restwell/help/?topic=100&ver=2.1.0.13021"],
          f"F1 opened {addresses}")
    # With Ctrl held F1 is not a help request.
    s.press("ctrl+F1", "F1")
    s.wait_until(lambda: len(opened()) >= 2, timeout=60, what="the second F1")
    time.sleep(1.5)  # time for a third address, had ctrl+F1 opened one
    check(len(opened()) == 2, f"ctrl+F1 opened nothing: {opened()}")
