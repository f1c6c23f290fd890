"""Restwell against a hostile or unlucky world, seen from outside: private messages posted by
another program with made-up values, a close followed at once by a start, a kill in the middle
of a work period, a settings key the user may not write, clock jumps and broken stored times."""
import time

from driver import check
from test_main import KEY, TITLE, close, control_text, keep_input_recent, main_window, stored_state

PRIVATE_MESSAGES = [hex(m) for m in range(0x464, 0x470)] + ["TaskbarCreated"]
INSTANCE_MESSAGE = "RWM_UI_2B2D6DA9-F264-4505-809F-D5B3D342EEA2"


def answers(s, window):
    """The window's thread takes a sent message within 5 s (a crashed one sits in the debugger)."""
    return s.probe("hostile", window["hwnd"], "0")[0] == 0


def test_private_messages_with_hostile_values_from_another_process_crash_nothing(s):
    s.reg_import(stored_state(work_started_ago=20 * 60, active_ago=0))
    proc = s.start("-silent")
    window = main_window(s)
    pids = s.restwell_pids()
    rc, _ = s.probe("hostile", window["hwnd"], *PRIVATE_MESSAGES)
    check(rc == 0, "the main window answers right after the hostile messages")
    # Show and close are the instance message's two requests; any other value is nothing.
    for wparam in (0, 3, 0xFFFF, 0xDEADBEEF):
        s.probe("post", window["hwnd"], INSTANCE_MESSAGE, wparam, 0xDEADBEEF)
    time.sleep(4)
    check(proc.poll() is None, "Restwell still runs")
    check(s.restwell_pids() == pids, f"the same process, nothing else: {s.restwell_pids()} vs {pids}")
    check(answers(s, window), "the main window still answers 4 s later")
    keep_input_recent(s)
    check(s.wait_until(lambda: control_text(s, window, 1018), what="the status text"), "status shown")
    close(s, proc)
