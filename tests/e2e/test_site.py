"""The vendor web host's pages, served from site/ on the loopback address the test builds
open: every help topic the windows ask for and every health hint has its own section."""
import re
import subprocess
import sys
import time
import urllib.request
from pathlib import Path

from driver import ROOT, check

HOST = "127.0.0.1:8321"  # RESTWELL_VENDOR_URL of the test builds, without its scheme
HELP_TOPICS = [1, 51, 52, 53, 100, 200, 0x2006D, 0x2006E]
HINTS = [100, 200, 201, 202]


def fetch(path):
    with urllib.request.urlopen(f"http://{HOST}{path}", timeout=5) as response:
        return response.status, response.read().decode("utf-8")


def test_help_topics_and_hints_are_served(s):
    server = subprocess.Popen([sys.executable, "-m", "http.server", "8321", "--bind", "127.0.0.1",
                               "--directory", str(ROOT / "site")],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        for _ in range(50):
            try:
                fetch("/")
                break
            except OSError:
                time.sleep(0.1)
        status, home = fetch("/")
        check(status == 200 and "Restwell" in home, "the home page")
        for topic in HELP_TOPICS:
            status, page = fetch(f"/products/Restwell/help/?topic={topic}&ver=2.1.0.13021")
            check(status == 200, f"help topic {topic}")
            check(f'id="topic-{topic}"' in page, f"help topic {topic} has its section")
        for hint in HINTS:
            status, page = fetch(f"/products/Restwell/hints/?id={hint}&ver=2.1.0.13021")
            check(status == 200 and f'id="hint-{hint}"' in page, f"health hint {hint} has its section")
        # Every page links its stylesheet and nothing outside the host.
        for path in ["/", "/products/Restwell/help/", "/products/Restwell/hints/"]:
            _, page = fetch(path)
            check(not re.search(r'(src|href)="https?://', page), f"{path} stays on the vendor host")
    finally:
        server.terminate()
        server.wait(5)
