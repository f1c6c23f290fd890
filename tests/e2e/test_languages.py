"""Restwell in the user's language: the interface language Wine takes from LANG picks the
resources (the same language in another region too, English for a language it does not speak);
every dialog fits in every language at 96 and 144 dpi; the build refuses a translation that
does not match English."""
import re
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

from driver import BUILD, RES, ROOT, SHOTS, check

TITLE = "Quillfen Restwell 2.1"
LOCALES = ROOT / "build" / "locales"
NAMES = {}
for _name, _number in RES.items():
    if _name.startswith("IDC_"):
        NAMES.setdefault(_number, _name)


def start_exe(s, lang, exe, *args):
    """A program of the build started for a user whose language (LANG) is lang."""
    env = dict(s.env, LANG=lang, LOCPATH=str(LOCALES))
    env.pop("LC_ALL", None)
    proc = subprocess.Popen(["wine", str(exe), *args], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    s.started.append(proc)
    return proc


def start_in(s, lang):
    """Restwell for a user whose language (LANG) is lang, welcomed already."""
    s.reg_import('[HKEY_CURRENT_USER\\Software\\Quillfen\\Restwell]\n"Welcome"=dword:65000000\n')
    start_exe(s, lang, BUILD / "Restwell.exe")
    return s.wait_until(lambda: s.find_window(TITLE, visible=True), what=f"the main window for {lang}")


def test_the_interface_language_picks_the_resources(s):
    check((LOCALES / "de_AT.UTF-8").exists(), "scripts/bootstrap test generates the locales")
    # Two buttons of the main window, as the probe reads them from outside.
    cases = [("de_DE.UTF-8", "&Anpassen...", "&Optionen..."), ("fr_FR.UTF-8", "&Personnaliser...", "&Options..."),
             ("de_AT.UTF-8", "&Anpassen...", "&Optionen..."), ("es_ES.UTF-8", "&Customize...", "&Options...")]
    seen = []
    for lang, _, _ in cases:
        window = start_in(s, lang)
        controls = s.controls(window["hwnd"])
        seen.append((lang, controls.get(RES["IDC_CUSTOMIZE"], {}).get("text"),
                     controls.get(RES["IDC_OPTIONS"], {}).get("text")))
        s.kill_restwell()
        s.wait_until(lambda: not s.restwell_pids(), what="Restwell ended")
    check(seen == cases, f"texts per language: {seen}")


def layout_problems(s, *args):
    """The layout check's findings at the prefix's dpi, each with the control's name."""
    _, out = s.wine(BUILD / "tests" / "layout_check.exe", *args, timeout=300)
    summary = [line for line in out.splitlines() if line.startswith("layout: ")]
    check(summary, f"the layout check ran to its end:\n{out[-3000:]}")
    problems = []
    for line in out.splitlines():
        m = re.match(r"FAIL (\S+) (\d+) (.+?) (-?\d+) (\".*\": .*)$", line)
        if m:
            name = NAMES.get(int(m[4]), "the control") if int(m[4]) != -1 else "the static"
            problems.append(f"{m[1]} at {m[2]} dpi, {m[3]}, {name} {m[5]}")
    return summary[0], problems


def test_every_dialog_fits_in_every_language_at_96_and_144_dpi(s):
    problems = []
    dpi = 144
    try:
        # 144 dpi first, with the check of the check, then back to the prefix's 96 dpi.
        for dpi in (144, 96):
            s.set_dpi(dpi, desktop=False)
            summary, found = layout_problems(s)
            check(f"at {dpi} dpi" in summary, f"the check measured at {dpi} dpi: {summary}")
            problems += found
            if dpi == 144:
                # German texts a third longer no longer fit, and the check says where.
                _, longer = layout_problems(s, "--lengthen", "de", "30")
    finally:
        if dpi != 96:
            s.set_dpi(96, desktop=False)
    check(not problems, "texts that do not fit:\n" + "\n".join(problems))
    check(any(p.startswith("de at 144 dpi, IDD_MAIN") for p in longer) and
          all(p.startswith("de ") for p in longer),
          "German made 30 % longer is found in the main window, and nothing else:\n" + "\n".join(longer[:20]))


test_every_dialog_fits_in_every_language_at_96_and_144_dpi.limit = 400


def generate(res):
    out = Path(tempfile.mkdtemp())
    try:
        r = subprocess.run([sys.executable, ROOT / "scripts" / "gen_strings.py", res, out], capture_output=True,
                           text=True)
        languages = (out / "languages.rc").read_text(encoding="utf-8") if r.returncode == 0 else ""
        return r.returncode, r.stderr, languages
    finally:
        shutil.rmtree(out)


def test_the_build_refuses_a_translation_that_does_not_match_english(s):
    """Each broken German file, written beside a copy of the real sources, fails the string
    generation with a message that names the line; a missing translation only warns."""
    source = ROOT / "src" / "res"
    german = (source / "strings.de.txt").read_text(encoding="utf-8")
    working = '1602 IDS_STATUS_WORKING "Sie arbeiten seit %1!d! Minuten."'
    closing = 'IDD_MAIN "Close" "Schließen"'
    check(working in german and closing in german, "the German file has the lines this test changes")
    cases = [
        ("inserts", german.replace(working, working.replace("%1!d!", "%1!s!")), "other format inserts"),
        ("a lost insert", german.replace(working, working.replace("%1!d!", "einigen")), "other format inserts"),
        ("an unknown string", german + '\n9999 IDS_NOT_THERE "Nichts"\n', "not a string of strings.txt"),
        ("an unknown text", german + '\nIDD_MAIN "Nowhere" "Nirgends"\n', "has no text \"Nowhere\""),
        ("a shared access key", german.replace(closing, 'IDD_MAIN "Close" "&Hilfe schließen"'), "access key h"),
        ("a missing translation", german.replace(working, ""), None),
    ]
    results = []
    with tempfile.TemporaryDirectory() as temp:
        res = Path(temp) / "res"
        shutil.copytree(source, res)
        for name, text, message in cases:
            (res / "strings.de.txt").write_text(text, encoding="utf-8")
            rc, err, languages = generate(res)
            if message is None:
                german_block = languages.split("// de\n")[1].split("// fr\n")[0]
                ok = rc == 0 and "de: IDS_STATUS_WORKING is not translated" in err and \
                    '1602, "You have been working for %1!d! minutes."' in german_block
            else:
                ok = rc != 0 and message in err and "strings.de.txt:" in err
            results.append((name, ok, err.strip()[-300:]))
    check(all(ok for _, ok, _ in results), "\n".join(f"{n}: {'ok' if ok else 'WRONG'}: {e}" for n, ok, e in results))


def shots_main_window_pop_up_and_wizard_in_german_and_french(s):
    """For a person to look at: build/e2e/lang-<language>-<window>-<dpi>.png."""
    try:
        for dpi in (96, 144):
            s.set_dpi(dpi)
            for lang in ("de_DE.UTF-8", "fr_FR.UTF-8"):
                code = lang[:2]
                start_in(s, lang)
                time.sleep(1.5)
                s.screenshot(f"lang-{code}-main-{dpi}")
                s.kill_restwell()
                demo = start_exe(s, lang, BUILD / "tests" / "alert_demo.exe", "due")
                s.wait_until(lambda: s.find_window("Restwell", visible=True), what="the pop-up")
                time.sleep(1.5)
                full = s.screenshot(f"lang-{code}-popup-{dpi}")
                subprocess.run(["convert", str(full), "-crop", "520x330+760+470", "+repage",
                                str(SHOTS / f"lang-{code}-popup-{dpi}-corner.png")], check=True, timeout=30)
                owner = s.find_window("Restwell demo owner", cls="Static")
                if owner:
                    s.probe("post", owner["hwnd"], 0x12)
                demo.wait(60)
                s.reg_reset()
                start_exe(s, lang, BUILD / "Restwell.exe")
                s.wait_until(lambda: any(w["title"] == "Restwell" and w["visible"] for w in s.windows()),
                             what="the wizard")
                time.sleep(1.5)
                s.screenshot(f"lang-{code}-wizard-start-{dpi}")
                sheet = next(w for w in s.windows() if w["title"] == "Restwell" and w["visible"])
                s.probe("click", sheet["hwnd"], 0x3024)  # Next
                time.sleep(1.5)
                s.screenshot(f"lang-{code}-wizard-breaks-{dpi}")
                s.kill_restwell()
                s.reg_reset()
    finally:
        s.kill_restwell()
        s.set_dpi(96)
