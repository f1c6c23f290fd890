"""Restwell against a hostile or unlucky world, seen from outside: private messages posted by
another program with made-up values, a close followed at once by a start, a settings key the
user may not write. (A kill in the middle of a work period is in the minute of test_upgrade, a
restarted shell in test_tray.)"""
import re

from driver import check
from test_main import TITLE, WM_ENDSESSION, close, control_text, keep_input_recent, main_window, stored_state

PRIVATE_MESSAGES = [hex(m) for m in range(0x464, 0x472)] + ["TaskbarCreated"]
INSTANCE_MESSAGE = "RWM_UI_2B2D6DA9-F264-4505-809F-D5B3D342EEA2"
LIFE_MUTEX = "RUN_UI_LIFE_2B2D6DA9-F264-4505-809F-D5B3D342EEA2"


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
    # Posted messages are taken in order: once a show request posted after them has shown the
    # window, every one before it has been handled.
    s.probe("post", window["hwnd"], INSTANCE_MESSAGE, 1, 0)
    s.wait_until(lambda: proc.poll() is not None or s.find_window(TITLE, visible=True), what="the show request")
    check(proc.poll() is None, "Restwell still runs")
    check(s.restwell_pids() == pids, f"the same process, nothing else: {s.restwell_pids()} vs {pids}")
    check(answers(s, window), "the main window still answers after them")
    keep_input_recent(s)
    check(s.wait_until(lambda: control_text(s, window, 1018), what="the status text"), "status shown")
    close(s, proc)


def start_after_close(s, proc, window, how):
    """Closes the running instance (proc, window) in one of two ways, starts Restwell again at
    once and returns the new start's process and main window, once it runs alone."""
    if how == "-close":
        # As an installer runs it: it returns once the instance has ended for Windows (its main
        # thread, which holds the life mutex for the whole run, is gone). Wine's loader process
        # of it may take a moment longer to leave the process list.
        rc = s.run_to_end("-close", timeout=30)
        check(rc == 0, f"-close exited with {rc}")
        held, _ = s.probe("mutexfree", LIFE_MUTEX)
        check(held == 0, "-close returned before the instance ended")
        new = s.start("-silent")
    else:
        # A close request posted by a script that does not wait, still in the instance's queue
        # when the new start asks it to show itself: its thread is held until the request has
        # been sent (Wine's message log of the new start says when), then goes on. The close
        # waiting must win: the new start runs once the old instance has ended.
        log = s.work / "second-start.log"
        check(s.probe("suspend", window["hwnd"])[0] == 0, "the instance's thread held")
        try:
            s.probe("post", "broadcast", INSTANCE_MESSAGE, 2, 0)
            new = s.start("-silent", debug="+msg", log=log)
            asked = re.compile(rf'send_inter_thread_message hwnd {window["hwnd"]} msg \w+ '
                               rf'\("{INSTANCE_MESSAGE}"\) wp 1 ')
            s.wait_until(lambda: new.poll() is not None or asked.search(log.read_text(errors="replace")), timeout=60,
                         what="the new start's show request")
        finally:
            check(s.probe("resume", window["hwnd"])[0] == 0, "the instance's thread going on")

    def new_window():
        return next((w for w in s.windows() if w["title"] == TITLE and w["pid"] != window["pid"]), None)

    # The new start either makes its own main window (it runs) or ends (it found the old one).
    found = s.wait_until(lambda: new.poll() is None and new_window() or new.poll() is not None and "ended",
                         timeout=30, what=f"after {how}: the new start's window or its end")
    check(found != "ended", f"after {how}: the new start ended (exit code {new.poll()}) instead of running")
    s.wait_until(lambda: proc.poll() is not None and len(s.restwell_pids()) == 1, timeout=30,
                 what=f"after {how}: the old instance gone")
    check(new.poll() is None, f"after {how}: the new start runs (exit code {new.poll()})")
    if how != "-close":
        answer = re.search(rf'retrieve_reply hwnd {window["hwnd"]} msg \w+ \("{INSTANCE_MESSAGE}"\) wp 1 lp 0 '
                           r"got reply (\d+) \(err=(\d+)\)", log.read_text(errors="replace"))
        check(answer and answer[2] == "0" and answer[1] == "0",
              f"the instance answered the show request sent while the close waited, not shown: {answer and answer[0]}")
    return new, found


def test_close_then_start_at_once_leaves_exactly_one_running_instance_every_time(s):
    s.reg_import(stored_state(work_started_ago=60, active_ago=0))
    proc = s.start("-silent")
    window = s.wait_until(lambda: s.find_window(TITLE), what="the first instance's window")
    for how in ("-close", "posted", "-close", "posted"):
        proc, window = start_after_close(s, proc, window, how)
    close(s, proc)


def test_a_settings_key_the_user_may_not_write_is_told_once_and_the_program_runs_on(s):
    s.reg_import(stored_state(work_started_ago=20 * 60, active_ago=0))
    keys = [r"Software\Quillfen\Restwell\Breaks", r"Software\Quillfen\Restwell"]
    try:
        for key in keys:
            check(s.probe("regacl", key, "readonly")[0] == 0, f"{key} made read-only")
        keep_input_recent(s)
        proc = s.start("-silent")
        window = main_window(s)
        box = s.wait_until(lambda: next((w for w in s.windows() if w["pid"] == window["pid"] and w["visible"]
                                         and w["title"] == "Restwell"), None), timeout=40, what="the message")
        texts = " ".join(c["text"] for c in s.controls(box["hwnd"]).values())
        check("could not be saved" in texts and "Access denied" in texts.replace("access", "Access"),
              f"the message names what and why: {texts!r}")
        s.screenshot("settings-not-saved")
        check(s.probe("click", box["hwnd"], 2)[0] == 0 or s.probe("click", box["hwnd"], 1)[0] == 0, "OK")
        # More refused writes: a log-off that is cancelled saves the state at once. The window's
        # requests are taken in order: once it has shown and hidden again on the two requests
        # posted after, everything before them has been handled, and a second message would show.
        s.probe("post", window["hwnd"], WM_ENDSESSION, 0, 0)
        s.probe("post", window["hwnd"], INSTANCE_MESSAGE, 1, 0)
        s.wait_until(lambda: s.find_window(TITLE, visible=True), what="the window shown on request")
        s.probe("click", window["hwnd"], 1)
        s.wait_until(lambda: s.find_window(TITLE, visible=False), what="the window hidden again")
        check(not any(w["pid"] == window["pid"] and w["visible"] and w["title"] == "Restwell" for w in s.windows()),
              "told once")
        check(proc.poll() is None, "the program runs on")
        close(s, proc)
    finally:
        for key in reversed(keys):
            s.probe("regacl", key, "full")


test_a_settings_key_the_user_may_not_write_is_told_once_and_the_program_runs_on.seconds = 20
