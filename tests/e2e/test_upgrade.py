"""The daily upgrade and news check of the real program under Wine. The scenarios run in lanes
side by side, each lane in its own Wine prefix (a hard-linked copy of the tests' prefix with its
own registry files) on its own display; each scenario has its own loopback server, which the
prefix's proxy setting makes the vendor host for that program alone. The shipped program checks
a minute after start-up: three scenarios show that minute, each in a lane of its own (one
measures what the check leaves in memory, one is killed after its save while running and
resumed from it); the others run meanwhile, one after another in the job's own session, with a
test build whose first check comes after five seconds (the only difference, compiled in). Also
the About window, normal and in eco mode."""
import http.server
import re
import shutil
import subprocess
import threading
import time
import traceback
from pathlib import Path

from display import VirtualDisplay
from driver import PRODUCT_KEYS, RES, ROOT, SHOTS, CheckFailed, Session, check
from test_main import keep_input_recent, stored_time

TITLE = "Quillfen Restwell 2.1"
USER_KEY = r"HKEY_CURRENT_USER\Software\Quillfen\Restwell"
SERVICE_KEY = r"HKLM\Software\Quillfen\Restwell\Service"
MARKER = "{C476BF3C-A85C-4C00-96A4-6F39C301010F}"
SITE_FILE = ROOT / "site" / "products" / "Restwell" / "downloads" / "index.html"
NEWS = "P:NEWS_V1\t2026.12.1.1\tO\thttp://127.0.0.1:8321/products/Restwell/news/\n"
WEEK = 7 * 86400
EARLY_CHECK = ROOT / "build" / "win64" / "tests" / "early-check" / "Restwell.exe"
INTERNET = r"HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Internet Settings"
DOWNLOAD_DEADLINE = 30  # seconds: the program gives up a download after this long


def update_file(product_line, news=True):
    return f"<html><pre>\n{MARKER}\n{product_line}\n{NEWS if news else ''}</pre></html>\n"


def le64(value):
    return ",".join(f"{b:02x}" for b in value.to_bytes(8, "little", signed=True))


def user_state(welcome_ago=2 * WEEK, extra=""):
    now = int(time.time())
    return f'[{USER_KEY}]\n"Welcome"=dword:{(now - welcome_ago) & 0xFFFFFFFF:08x}\n{extra}'


class VendorServer:
    """Answers every request (as a proxy would, whatever the address) with body, or, when body
    is None, accepts and never answers. Records what it was asked."""

    def __init__(self, body):
        self.requests = []
        self.times = []  # when each request arrived
        self.release = threading.Event()
        outer = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                outer.times.append(time.time())
                outer.requests.append((self.requestline, dict(self.headers)))
                if body is None:
                    outer.release.wait(120)
                    return
                data = body.encode("latin-1")
                self.send_response(200)
                self.send_header("Content-Type", "text/html")
                self.send_header("Content-Length", str(len(data)))
                self.end_headers()
                self.wfile.write(data)

            def log_message(self, *args):
                pass

        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.server.daemon_threads = True
        self.port = self.server.server_address[1]
        threading.Thread(target=self.server.serve_forever, daemon=True).start()

    def close(self):
        self.release.set()
        self.server.shutdown()
        self.server.server_close()


def private_prefix(base, folder, name):
    """A copy of the tests' prefix that shares its files but not its registry or user folders.
    The base may be in use: its Wine server saves a registry file by writing a new one and
    renaming it over the old, so the registry files are read whole, and a file that is gone
    by the time it is reached (the server's temporary one) is not copied."""
    copy = SHOTS / folder / name
    shutil.rmtree(copy, ignore_errors=True)
    copy.mkdir(parents=True)
    for entry in base.iterdir():
        try:
            if entry.suffix == ".reg":
                (copy / entry.name).write_bytes(entry.read_bytes())
            elif entry.name != "drive_c":
                subprocess.run(["cp", "-a", str(entry), str(copy / entry.name)], check=True)
        except (FileNotFoundError, subprocess.CalledProcessError):
            if entry.exists():
                raise
    (copy / "drive_c").mkdir()
    for entry in (base / "drive_c").iterdir():
        if entry.name == "users":
            shutil.copytree(entry, copy / "drive_c" / "users", symlinks=True)
        else:
            subprocess.run(["cp", "-al", str(entry), str(copy / "drive_c" / entry.name)], check=True)
    return copy


class PatientSession(Session):
    """Several prefixes share two cores here: ask less often and wait longer."""

    def wine(self, *args, timeout=120, check_rc=False):
        return super().wine(*args, timeout=max(timeout, 120), check_rc=check_rc)

    def wait_until(self, predicate, timeout=15, what="condition"):
        end = time.time() + max(timeout, 90)
        while time.time() < end:
            value = predicate()
            if value:
                return value
            time.sleep(0.5)
        raise CheckFailed(f"timed out waiting for {what}")


class Scenario:
    def __init__(self, name, body, reg="", check=None, after_start=None, early=True):
        self.name, self.body, self.reg, self.check_fn, self.after_start = name, body, reg, check, after_start
        self.early = early  # the test build whose first check comes after five seconds
        self.error = None
        self.started = threading.Event()  # set once the main window is there (or the run failed)

    def run_in(self, s):
        """Runs the scenario in the session's prefix, with its own loopback server, and ends
        the program it started."""
        server = VendorServer(self.body)
        try:
            # No state of the program, the loopback server as the proxy, the scenario's state:
            # one Wine process.
            full = {"HKCU": "HKEY_CURRENT_USER", "HKLM": "HKEY_LOCAL_MACHINE"}
            s.reg_import("".join(f"[-{full[key[:4]]}{key[4:]}]\n" for key in PRODUCT_KEYS) +
                         f"[{INTERNET}]\n\"ProxyEnable\"=dword:00000001\n"
                         f"\"ProxyServer\"=\"127.0.0.1:{server.port}\"\n" + self.reg)
            subprocess.run(["xdotool", "mousemove", "640", "300"], env=s.env, check=False)
            s.started_at = time.time()
            proc = s.start(exe=EARLY_CHECK if self.early else None)
            window = s.wait_until(lambda: s.find_window(TITLE), timeout=60, what="the main window")
            self.started.set()
            if self.after_start:
                self.after_start(s)
            self.check_fn(s, proc, window, server)
        except Exception:  # noqa: BLE001 - reported by the test that ran the scenarios
            self.error = traceback.format_exc()
        finally:
            self.started.set()
            s.kill_restwell()
            server.close()


def run_scenarios(s, scenarios):
    for sc in scenarios:
        # The program of the scenario before has ended: its window is gone too.
        s.wait_until(lambda: not s.restwell_pids() and not s.find_window(TITLE), timeout=60,
                     what="no Restwell left from the scenario before")
        sc.run_in(s)


def run_lane(scenarios, base, folder, session=None):
    """Runs the scenarios one after the other in a prefix and on a display of their own, or in
    the given session, which gets its proxy setting back afterwards."""
    try:
        if session:
            try:
                run_scenarios(session, scenarios)
            finally:
                session.reg_import(f'[{INTERNET}]\n"ProxyEnable"=dword:00000000\n')
            return
        with VirtualDisplay() as display:
            s = PatientSession(display.name)
            s.env["WINEPREFIX"] = str(private_prefix(base, folder, scenarios[0].name))
            try:
                run_scenarios(s, scenarios)
            finally:
                s.shutdown()
    except Exception:  # noqa: BLE001 - reported by the test that ran the scenarios
        for sc in scenarios:
            sc.error = sc.error or traceback.format_exc()
    finally:
        for sc in scenarios:
            sc.started.set()


UPGRADE, NEWS_BUTTON = RES["IDC_UPGRADE"], RES["IDC_NEWS"]


def visible(s, window, control_id):
    """Whether the control is shown; a control that does not exist fails the check."""
    c = s.controls(window["hwnd"]).get(control_id)
    check(c is not None, f"no control {control_id} in the main window")
    return c["visible"]


def wait_notice(s, title):
    return s.wait_until(lambda: s.find_window(title, visible=True), timeout=120, what=f'the notice "{title}"')


def link_text(s, notice):
    return s.controls(notice["hwnd"]).get(RES["IDC_ABOUT_TEXT"], {}).get("text", "")


def check_optional(s, proc, window, server):
    notice = wait_notice(s, "Upgrade Available")
    text = link_text(s, notice)
    check(text.endswith("download version 2.1.0.13022.</a>"), f"the notice's link: {text!r}")
    check(not notice["hwnd"] == window["hwnd"], "the notice is a window of its own")
    s.screenshot("upgrade-notice")
    # The first check a minute after start-up, not before (whole seconds: one less at worst).
    waited = server.times[0] - s.started_at
    check(waited >= 59, f"the first check came {waited:.1f} s after start-up")
    line, headers = server.requests[0]
    check(line == "GET http://127.0.0.1:8321/products/Restwell/downloads/?ver=2.1.0.13021 HTTP/1.1",
          f"request: {line!r}")
    agent = headers.get("User-Agent", "")
    check(agent.startswith("Quillfen_Restwell/2.1 ("), f"user agent {agent!r}")
    check(headers.get("Accept-Language"), "an Accept-Language header")
    s.probe("click", notice["hwnd"], 1)
    s.wait_until(lambda: visible(s, window, UPGRADE), what='"Download &Upgrade" shown')
    # Then the news: outside the quiet period it opens at once and asks for its page.
    news = s.wait_until(lambda: s.find_window("Restwell News", visible=True), what="the news window")
    s.wait_until(lambda: any("/news/" in r[0] for r in server.requests), what="the news page requested")
    ok = s.controls(news["hwnd"]).get(1, {})
    check(not ok.get("enabled", True), "OK stays disabled while the page has not loaded")
    s.screenshot("news-window")
    check(visible(s, window, NEWS_BUTTON), '"Latest &News" shown')
    s.probe("click", news["hwnd"], 2)
    s.wait_until(lambda: not s.find_window("Restwell News", visible=True), what="the news window closed")
    check(s.reg_query(SERVICE_KEY, "UpgradeVersion") is not None, "UpgradeVersion stored")
    check(s.reg_query(r"HKCU\Software\Quillfen\Restwell", "NewsLast") is None, "Cancel remembers nothing")
    check(proc.poll() is None, "still running")


def check_popup_off(s, proc, window, server):
    s.wait_until(lambda: visible(s, window, UPGRADE), timeout=120, what='"Download &Upgrade" shown')
    check(not s.find_window("Upgrade Available"), "no notice with UpgradePopupOpts 0")
    s.wait_until(lambda: s.reg_query(SERVICE_KEY, "NewsVersion"), what="the news stored")
    check(not visible(s, window, NEWS_BUTTON), '"HideNews" 2 hides "Latest &News"')
    check(not s.find_window("Restwell News"), "no news window within the quiet period")


def check_ends(title):
    def run(s, proc, window, server):
        notice = wait_notice(s, title)
        check(proc.poll() is None, "running while the notice is open")
        if title == "Program no longer supported":
            s.screenshot("unsupported-notice")
        s.probe("click", notice["hwnd"], 1)
        proc.wait(60)
        check(not s.restwell_pids(), "the program ended after the notice")
    return run


def check_error_page(s, proc, window, server):
    s.wait_until(lambda: s.reg_query(SERVICE_KEY, "UpgradeCheck"), timeout=120, what="UpgradeCheck stored")
    time.sleep(2)
    check(s.reg_query(SERVICE_KEY, "UpgradeVersion") is None, "no upgrade state")
    check(not visible(s, window, UPGRADE) and not visible(s, window, NEWS_BUTTON), "no buttons")
    shown = [w["title"] for w in s.windows() if w["visible"] and w["pid"] == window["pid"] and w["hwnd"] != window["hwnd"]]
    check(shown == [], f"no window shown: {shown}")
    check(len(server.requests) == 1 and proc.poll() is None, "one request, still running")


def write_stored_state_meanwhile(s):
    # Another session's check, a moment after this start: the stored state of that check. The
    # program has read the last check by its first tick, which writes the work period stored
    # long ago as ended (or a new one begun).
    def first_tick_written():
        start = stored_time(s, "TimeWorkStart")
        return start is not None and (start == 0 or start > s.started_at - 60)

    s.wait_until(first_tick_written, what="the first tick's save")
    now = int(time.time())
    s.reg_import(f'[HKEY_LOCAL_MACHINE\\Software\\Quillfen\\Restwell\\Service]\n'
                 f'"UpgradeCheck"=hex:{le64(now)}\n"NewsVersion"=hex:{le64((2026 << 48) | (12 << 32) | (1 << 16) | 1)}\n'
                 f'"NewsUrl"="http://127.0.0.1:8321/products/Restwell/news/"\n'
                 f'"UpgradeVersion"=hex:{le64((2 << 48) | (1 << 32) | 13030)}\n'
                 f'"UpgradeUrl"="http://127.0.0.1:8321/products/Restwell/downloads/"\n"UpgradeType"=dword:00000001\n')
    keep_input_recent(s)  # the input that begins a new work period


def check_skipped(s, proc, window, server):
    check(not visible(s, window, UPGRADE), "nothing stored at start")
    s.wait_until(lambda: visible(s, window, NEWS_BUTTON), timeout=120, what='"Latest &News" from the stored state')
    check(visible(s, window, UPGRADE), '"Download &Upgrade" from the stored state')
    check(server.requests == [], "no download")
    check(not s.find_window("Restwell News"), "no news pop-up for stored news")


# A work period stored long ago: the first tick books that rest, and a new work period begins
# with the input that follows; the program writes a work period's start at once.
def long_ago_work():
    now = int(time.time())
    return (f'[{USER_KEY}\\Breaks]\n"TimeWorkStart"=hex:{le64(now - 3 * 3600)}\n'
            f'"TimeActiveLast"=hex:{le64(now - 2 * 3600)}\n')


def check_skipped_then_killed_and_resumed(s, proc, window, server):
    """The same minute shows the save while running: the program is killed after it and a new
    start goes on with the saved work period."""
    check_skipped(s, proc, window, server)

    def saved_work_start():
        keep_input_recent(s)
        return (stored_time(s, "TimeWorkStart") or 0) > s.started_at - 10 and stored_time(s, "TimeWorkStart")

    saved = s.wait_until(saved_work_start, timeout=150, what="the new work start saved while running")
    check(stored_time(s, "TimeActiveLast") >= saved, "activity after the work start")
    check(s.probe("terminate", window["hwnd"])[0] == 0, "killed")
    proc.wait(10)
    # The restart saves at its first tick: the work period it goes on with, or, had it booked a
    # rest, none (a new one would begin with the input after the restart, a minute after the
    # saved one).
    restarted = time.time()
    keep_input_recent(s)
    again = s.start("-silent")
    s.wait_until(lambda: next((w for w in s.windows() if w["title"] == TITLE and w["pid"] != window["pid"]), None),
                 timeout=60, what="the restart's main window")
    s.wait_until(lambda: (stored_time(s, "TimeActiveLast") or 0) >= restarted - 1, timeout=60,
                 what="the restart's first save")
    resumed = stored_time(s, "TimeWorkStart")
    check(resumed is not None and abs(resumed - saved) <= 2 and resumed < restarted - 20,
          f"the killed session's work period goes on, no rest booked: work start {resumed}, saved {saved}")
    check(again.poll() is None, "the restart runs")


def check_silent_server(s, proc, window, server):
    s.wait_until(lambda: server.requests, timeout=120, what="the download to start")
    time.sleep(1)
    check(s.run_to_end("-close", timeout=120) == 0, "-close exited with 0")
    proc.wait(120)
    # The program must not wait for the download: it ended while the download still hung,
    # before its own deadline could end it (the server holds the request far longer).
    took = time.time() - server.times[0]
    check(took < DOWNLOAD_DEADLINE, f"the program ended {took:.1f} s after its download started, "
          f"not before the download's {DOWNLOAD_DEADLINE} s deadline")


def private_kb(s):
    """Private (dirty) memory of the program's process, as Linux counts it."""
    marker = ("WINEPREFIX=" + s.env["WINEPREFIX"]).encode()
    for comm in Path("/proc").glob("[0-9]*/comm"):
        try:
            if comm.read_text().strip() == "Restwell.exe" and marker in (comm.parent / "environ").read_bytes().split(b"\0"):
                text = (comm.parent / "smaps_rollup").read_text()
                return int(re.search(r"Private_Dirty:\s+(\d+) kB", text).group(1))
        except OSError:
            pass
    raise CheckFailed("no Restwell process to measure")


def check_memory_given_back(s, proc, window, server):
    # Settled at rest, the check not yet begun: then the check, which finds nothing new. What
    # it took (the download's thread, the worker's stack) goes back once it is done.
    time.sleep(max(0.0, s.started_at + 40 - time.time()))
    check(not server.requests, "no check in the first minute")
    before = private_kb(s)
    s.wait_until(lambda: s.reg_query(SERVICE_KEY, "UpgradeCheck"), timeout=120, what="UpgradeCheck stored")
    after, settled = private_kb(s), time.time() + 30
    while after > before and time.time() < settled:
        time.sleep(0.5)
        after = private_kb(s)
    check(after <= before, f"private memory {before} kB before the check and {after} kB 30 s after it")
    check(len(server.requests) == 1 and proc.poll() is None, "one request, still running")


def early_scenarios():
    return [
        Scenario("popup-off", update_file("P:PRODUCT_V1\t2.1.0.13022\tO\thttp://127.0.0.1:8321/dl/"),
                 user_state(welcome_ago=0, extra='"UpgradePopupOpts"=dword:00000000\n') +
                 '[HKEY_CURRENT_USER\\Software\\Policies\\Quillfen\\Restwell]\n"HideNews"=dword:00000002\n',
                 check_popup_off),
        Scenario("required", update_file("P:PRODUCT_V1\t3.0.0.0\tR\thttp://127.0.0.1:8321/dl/", news=False),
                 user_state(extra='"UpgradePopupOpts"=dword:00000000\n'), check_ends("Upgrade Available")),
        Scenario("unsupported", update_file("P:PRODUCT_V1\t3.0.0.0\tX\thttp://127.0.0.1:8321/dl/", news=False),
                 user_state(), check_ends("Program no longer supported")),
        Scenario("error-page", "<html><body><h1>404 Not Found</h1></body></html>\n", user_state(),
                 check_error_page),
        Scenario("silent", None, user_state(), check_silent_server),
    ]


def minute_scenarios():
    return [
        Scenario("optional", update_file("P:PRODUCT_V1\t2.1.0.13022\tO\thttp://127.0.0.1:8321/products/Restwell/downloads/"),
                 user_state(), check_optional, early=False),
        # Stored state written meanwhile needs the minute to be written in.
        Scenario("skipped", "must not be fetched", user_state() + long_ago_work(),
                 check_skipped_then_killed_and_resumed, after_start=write_stored_state_meanwhile, early=False),
        Scenario("at-rest", update_file("P:PRODUCT_V1\t2.1.0.13021\tO\thttp://127.0.0.1:8321/dl/", news=False),
                 user_state(), check_memory_given_back, early=False),
    ]


def run_side_by_side(s, lanes, then, folder):
    """Runs lanes of scenarios side by side, each lane in a prefix of its own, and the scenarios
    `then` in the session s once the lanes' first scenarios have their main window (or failed),
    so that their Wine start-ups do not all come at the same moment."""
    base = Path(s.env["WINEPREFIX"])
    threads = [threading.Thread(target=run_lane, args=(lane, base, folder)) for lane in lanes]
    for t in threads:
        t.start()
    for lane in lanes:
        lane[0].started.wait(180)
    run_lane(then, base, folder, session=s)
    for t in threads:
        t.join()
    failures = [f"{sc.name}:\n{sc.error}" for lane in lanes + [then] for sc in lane if sc.error]
    shutil.rmtree(SHOTS / folder, ignore_errors=True)
    check(not failures, "\n".join(failures))


def test_upgrade_checks_side_by_side_and_the_first_check_and_save_a_minute_after_start(s):
    # The scenarios of the test build run while those of the shipped one wait for their minute.
    # Each of the latter runs alone in its prefix; those of the test build, ten seconds or so
    # each, one after the other in the job's own session, idle meanwhile (a prefix and its Wine
    # start-up cost CPU the others need).
    run_side_by_side(s, [[sc] for sc in minute_scenarios()], early_scenarios(), "prefixes")


# The longest job of the pool: first (until a run has measured it); the time limit catches
# hangs on a busy machine.
test_upgrade_checks_side_by_side_and_the_first_check_and_save_a_minute_after_start.seconds = 75
test_upgrade_checks_side_by_side_and_the_first_check_and_save_a_minute_after_start.limit = 400


def test_about_window_normal_and_eco(s):
    for eco in (0, 1):
        s.reset()
        s.reg_import(user_state(extra=f'"EcoMode"=dword:{eco:08x}\n'))
        proc = s.start()
        window = s.wait_until(lambda: s.find_window(TITLE), what="the main window")
        s.probe("post", window["hwnd"], 0x111, 32773, 0)  # the tray menu's "&About..."
        about = s.wait_until(lambda: s.find_window("About", visible=True), what="the About window")
        controls = s.controls(about["hwnd"])
        text = controls.get(RES["IDC_ABOUT_TEXT"], {}).get("text", "")
        check(text.startswith("Version 2.1.0.13021") and "Quillfen Ltd." in text and "<a>127.0.0.1:8321</a>" in text,
              f"About text: {text!r}")
        check(controls.get(RES["IDC_ABOUT_PRODUCT"], {}).get("text") == "Restwell", "the product name")
        s.screenshot("about-eco" if eco else "about")
        s.probe("click", about["hwnd"], 1)
        s.wait_until(lambda: not s.find_window("About", visible=True), what="the About window closed")
        check(s.run_to_end("-close") == 0, "-close")
        proc.wait(60)
