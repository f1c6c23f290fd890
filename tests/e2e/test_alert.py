"""The alert pop-up on the desktop, for the eye: a break-due reminder and a plain notification,
in normal and eco mode, at 96 and 144 DPI, with the program's icon in the notification area.
Screenshots (whole screen and the corner) go to build/e2e/alert-*.png."""
import subprocess
import time

from driver import BUILD, SHOTS, check

def show(s, name, *args):
    proc = subprocess.Popen(["wine", str(BUILD / "tests" / "alert_demo.exe"), *args], env=s.env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        popup = s.wait_until(lambda: s.find_window("Restwell", visible=True), what=f"the pop-up ({name})")
        time.sleep(1.5)  # the fade takes 700 ms
        controls = s.controls(popup["hwnd"])
        due = "due" in args
        check(controls[1040]["text"].startswith("You have been using" if due else "Welcome."), f"message: {controls[1040]}")
        check(controls[1044]["visible"] == due and controls[1090]["visible"] == due, f"action buttons by due: {controls}")
        check(controls[1096]["text"] == "Quillfen Restwell", f"caption: {controls[1096]}")
        if due:
            check(controls[1090]["text"] == "Suspend until Planned Break", f"suspend caption: {controls[1090]}")
            check(controls[1089]["text"] == "12 minutes until Lunch.", f"countdown: {controls[1089]}")
        check(s.probe("foreground")[1].strip() != popup["hwnd"], "the pop-up did not take the foreground")
        full = s.screenshot(f"alert-{name}")
        subprocess.run(["convert", str(full), "-crop", "520x330+760+470", "+repage", str(SHOTS / f"alert-{name}-corner.png")],
                       check=True, capture_output=True, timeout=30)
    finally:
        owner = s.find_window("Restwell demo owner", cls="Static")
        if owner:
            s.probe("post", owner["hwnd"], 0x12)  # WM_QUIT ends the demo's loop
        try:
            proc.wait(60)
        except subprocess.TimeoutExpired:
            proc.kill()


def shots_alert_popup_at_96_and_144_dpi(s):
    try:
        for dpi in (96, 144):
            s.set_dpi(dpi)
            show(s, f"due-{dpi}", "due")
            show(s, f"plain-{dpi}", "plain")
            show(s, f"due-eco-{dpi}", "due", "eco")
            show(s, f"plain-eco-{dpi}", "plain", "eco")
    finally:
        s.set_dpi(96)
