"""The test layer itself: the program starts in the virtual desktop, the probe sees and
drives its window, registry state goes in before the start, and the program ends cleanly."""
from driver import check


def test_start_observe_and_close(s):
    # "Welcome" set: a start without it runs the welcome wizard first.
    s.reg_import('[HKEY_CURRENT_USER\\Software\\Quillfen\\Restwell]\n"Welcome"=dword:65000000\n'
                 '[HKEY_CURRENT_USER\\Software\\Quillfen\\Restwell\\Breaks]\n"Work"=dword:0000002d\n')
    check(s.reg_query(r"HKCU\Software\Quillfen\Restwell\Breaks", "Work") == ("REG_DWORD", "0x2d"),
          "imported registry value is readable")
    proc = s.start()
    window = s.wait_until(lambda: s.find_window("Quillfen Restwell 2.1", visible=True), what="the main window")
    controls = s.controls(window["hwnd"])
    check(controls.get(1, {}).get("text") == "Close", f"Close button among {controls}")
    s.screenshot("basics-main-window")
    rc, _ = s.probe("click", window["hwnd"], 1)
    check(rc == 0, "probe clicked OK")
    s.wait_until(lambda: s.find_window("Quillfen Restwell 2.1", visible=False), what="the window hidden by OK")
    check(s.run_to_end("-close") == 0, "-close exited with 0")
    check(proc.wait(60) == 0, "Restwell exited with 0 after -close")
    s.wait_until(lambda: not s.restwell_pids(), what="no Restwell process left")
