#!/usr/bin/env python3
"""Turns the program's texts into resources: the English string table from src/res/strings.txt
(the STRINGTABLE, the IDS_ defines and the compiled-in table of the native build), and every
other language's resources from its own file beside it.

    gen_strings.py SRC_RES OUT_DIR [--pseudo]

strings.txt, one string a line:  <number> <IDS_NAME> "<text>" [fixed]
    C escapes in the text; "fixed" marks a text that is not language (a time picture, a file
    pattern): the pseudo-language leaves it alone and no translation is asked for.
strings.<lang>.txt, the translations of one language (any line may be left out):
    <number> <IDS_NAME> "<text>"                    a string of the table
    <RESOURCE> "<English>" "<text>"                 a dialog's or menu's text, as the .rc writes it
    <RESOURCE> [<IDC_NAME> | "<English>"[#n]] @ x, y, w, h
                                                    the language's own place for a control (#n:
                                                    the n-th with that text), or (without a
                                                    control) the dialog's own size
Every dialog and menu of the .rc parts is written again for each language in a LANGUAGE block
(languages.rc). The build fails when a language has a string English lacks, or a string whose
format inserts or links differ from the English ones, or when two items of one dialog or menu
share an access key; a missing translation is English in that language, listed as a warning.
With --pseudo the pseudo-language (qps-ploc) is made from English: every text 40 % longer in
accented letters, in brackets, so that a cut shows."""
import math
import re
import sys
from pathlib import Path

LINE = re.compile(r'^(\d+)\s+(IDS_[A-Z0-9_]+)\s+"((?:[^"\\]|\\.)*)"(\s+fixed)?\s*$')
TEXT_LINE = re.compile(r'^(\w+)\s+"((?:[^"\\]|\\.|"")*)"\s+"((?:[^"\\]|\\.|"")*)"\s*$')
PLACE_LINE = re.compile(r'^(\w+)(?:\s+(\w+|"(?:[^"\\]|\\.|"")*"(?:#\d+)?))?\s+@\s*(\d+)\s*,\s*(\d+)\s*,\s*(\d+)\s*,\s*(\d+)\s*$')
STRING = re.compile(r'"((?:[^"\\]|\\.|"")*)"')
# Format inserts: FormatMessage's %1 … %9 with an optional !printf!, and printf's own.
INSERT = re.compile(r'%(?:[1-9](?:![^!]*!)?|[-+ #0]*\d*(?:\.\d+)?(?:hh|h|ll|l|L|I64)?[diouxXeEfgGcsSp])')
LINK = re.compile(r'</?a>')

# Language name, windres LANGUAGE arguments.
LANGUAGES = {"de": "LANG_GERMAN, SUBLANG_GERMAN", "fr": "LANG_FRENCH, SUBLANG_FRENCH"}
PSEUDO = ("qps-ploc", "0x101, 0x01")  # Windows' pseudo-locale for long text, 0x0501

TEXT_CONTROLS = {"LTEXT", "CTEXT", "RTEXT", "PUSHBUTTON", "DEFPUSHBUTTON", "GROUPBOX", "AUTOCHECKBOX",
                 "AUTORADIOBUTTON", "CHECKBOX", "RADIOBUTTON", "CONTROL", "ICON", "STATE3", "AUTO3STATE"}
NO_TEXT_CONTROLS = {"EDITTEXT", "COMBOBOX", "LISTBOX", "SCROLLBAR"}


class Failure(Exception):
    pass


def parse_strings(path):
    entries, ids, names = [], set(), set()
    for n, raw in enumerate(Path(path).read_text(encoding="utf-8").splitlines(), 1):
        line = raw.strip()
        if not line or line.startswith("#"):
            continue
        m = LINE.match(line)
        if not m:
            raise Failure(f"{path}:{n}: cannot read this line")
        number, name, text = int(m.group(1)), m.group(2), m.group(3)
        if number in ids or name in names:
            raise Failure(f"{path}:{n}: {number} or {name} is defined twice")
        ids.add(number)
        names.add(name)
        entries.append((number, name, text, bool(m.group(4))))
    return entries


def rc_text(c_text):
    # windres takes C escapes but writes a quote as two quotes.
    return c_text.replace('\\"', '""')


def has_letters(text):
    return any(ch.isalpha() for ch in STRING_TOKENS.sub("", text))


# Statements of a dialog or menu -----------------------------------------------------------

def split_fields(text):
    """A statement's comma-separated fields, quotes kept whole."""
    fields, current, quoted, i = [], "", False, 0
    while i < len(text):
        ch = text[i]
        if ch == '"':
            if quoted and text[i + 1:i + 2] == '"':
                current += '""'
                i += 2
                continue
            quoted = not quoted
        if ch == "\\" and quoted:
            current += text[i:i + 2]
            i += 2
            continue
        if ch == "," and not quoted:
            fields.append(current.strip())
            current = ""
        else:
            current += ch
        i += 1
    fields.append(current.strip())
    return fields


class Control:
    def __init__(self, keyword, fields):
        self.keyword, self.fields = keyword, fields

    def text_index(self):
        return None if self.keyword in NO_TEXT_CONTROLS else 0

    def id_index(self):
        return 0 if self.keyword in NO_TEXT_CONTROLS else 1

    def place_index(self):
        return 4 if self.keyword == "CONTROL" else self.id_index() + 1

    def text(self):
        i = self.text_index()
        if i is None or self.keyword == "ICON" or not self.fields[i].startswith('"'):
            return None
        return self.fields[i][1:-1]

    def render(self, text=None, place=None):
        fields = list(self.fields)
        if text is not None:
            fields[self.text_index()] = f'"{text}"'
        if place is not None:
            fields[self.place_index():self.place_index() + 4] = [str(v) for v in place]
        return f"    {self.keyword:<15} " + ", ".join(fields)


class Resource:
    """A dialog (header lines and controls) or a menu (its lines) of the .rc parts."""
    def __init__(self, name, kind, head, lines):
        self.name, self.kind, self.head, self.lines = name, kind, head, lines
        self.controls = []
        if kind.startswith("DIALOG"):
            self._read_controls()

    def _read_controls(self):
        body = self.lines[self.lines.index("BEGIN") + 1:-1]
        statement = None
        for line in body:
            stripped = line.strip()
            if not stripped or stripped.startswith("//"):
                continue
            word = stripped.split(None, 1)[0]
            if word in TEXT_CONTROLS or word in NO_TEXT_CONTROLS:
                if statement:
                    self.controls.append(Control(*statement))
                statement = [word, stripped[len(word):].strip()]
            elif statement:
                statement[1] += " " + stripped
        if statement:
            self.controls.append(Control(*statement))
        for c in self.controls:
            c.fields = split_fields(c.fields)

    def texts(self):
        """Every translatable text as the .rc writes it: caption, controls, menu items."""
        found = []
        for line in self.head + (self.lines if self.kind == "MENU" else []):
            word = line.strip().split(None, 1)[0] if line.strip() else ""
            if word in ("CAPTION", "POPUP", "MENUITEM"):
                m = STRING.search(line)
                if m:
                    found.append(m.group(1))
        found += [c.text() for c in self.controls if c.text() is not None]
        return [t for t in found if has_letters(t)]

    def control_named(self, key):
        """The control with this id, or with this English text ("text"#2: the second such)."""
        text, _, nth = key.rpartition("#") if key.endswith(tuple("0123456789")) and "#" in key else (key, "", "1")
        found = [c for c in self.controls
                 if (text.startswith('"') and c.text() == text[1:-1]) or c.fields[c.id_index()] == text]
        return found[int(nth) - 1] if 0 < int(nth) <= len(found) else None

    def render(self, translate, places):
        """The resource with texts through translate() and the language's places."""
        out = []
        header = self.head[0]
        if self.name in places.get(None, {}):
            x, y, w, h = places[None][self.name]
            header = f"{self.name} {self.kind} {x}, {y}, {w}, {h}"
        out.append(header)
        for line in self.head[1:] + (self.lines if self.kind == "MENU" else []):
            word = line.strip().split(None, 1)[0] if line.strip() else ""
            m = STRING.search(line) if word in ("CAPTION", "POPUP", "MENUITEM") else None
            if m and has_letters(m.group(1)):
                line = line[:m.start(1)] + translate(m.group(1)) + line[m.end(1):]
            out.append(line)
        if self.kind != "MENU":
            out.append("BEGIN")
            own = places.get(self.name, {})
            for c in self.controls:
                text = c.text()
                place = own.get(id(c))
                out.append(c.render(translate(text) if text is not None and has_letters(text) else None, place))
            out.append("END")
        return out


def read_rc_parts(res_dir):
    """The dialogs and menus of the .rc parts Restwell.rc includes from src/res."""
    resources = []
    for line in (res_dir / "Restwell.rc").read_text(encoding="utf-8").splitlines():
        m = re.match(r'\s*#include\s+"([\w.]+\.rc)"', line)
        if m and (res_dir / m.group(1)).exists():
            resources += read_resources(res_dir / m.group(1))
    return resources


def read_resources(path):
    resources, lines, current = [], path.read_text(encoding="utf-8").splitlines(), None
    depth = 0
    for line in lines:
        stripped = line.strip()
        if current is None:
            m = re.match(r"^(\w+)\s+(DIALOGEX|DIALOG|MENU)\b", stripped)
            if m:
                current = [m.group(1), m.group(2), [stripped], []]
            continue
        if stripped == "BEGIN":
            depth += 1
        if depth == 0:
            current[2].append(line)
        else:
            current[3].append(stripped if stripped in ("BEGIN", "END") else line)
        if stripped == "END":
            depth -= 1
            if depth == 0:
                resources.append(Resource(current[0], current[1], current[2], current[3]))
                current = None
    return resources


# Checks -----------------------------------------------------------------------------------

def inserts(text):
    numbered = sorted(m for m in INSERT.findall(text) if m[1:2].isdigit() and m[1] != "0")
    positional = [m for m in INSERT.findall(text) if not (m[1:2].isdigit() and m[1] != "0")]
    return numbered, positional, len(LINK.findall(text))


def access_keys(text):
    return [m.lower() for m in re.findall(r"(?<!&)&([^&\s])", text.replace("&&", ""))]


def check_access_keys(resource, texts, where):
    """Items of one dialog, or of one menu level, with the same access key."""
    if resource.kind == "MENU":
        groups, stack = [], [[]]
        for line in resource.lines:
            stripped = line.strip()
            if stripped == "BEGIN":
                stack.append([])
            elif stripped == "END":
                groups.append(stack.pop())
            else:
                m = STRING.search(line) if stripped.split(None, 1)[0] in ("POPUP", "MENUITEM") else None
                if m:
                    stack[-1].append(texts(m.group(1)))
    else:
        groups = [[texts(c.text()) for c in resource.controls
                   if c.text() is not None and "SS_NOPREFIX" not in " ".join(c.fields)]]
    for group in groups:
        seen = {}
        for text in group:
            for key in access_keys(text):
                if key in seen:
                    raise Failure(f"{where}: {resource.name}: \"{seen[key]}\" and \"{text}\" share the "
                                  f"access key {key}")
                seen[key] = text


def read_language(path, english, resources):
    """The translations of one language: strings by number, texts by resource, places."""
    by_number = {number: (name, text) for number, name, text, _ in english}
    by_name = {r.name: r for r in resources}
    strings, texts, places = {}, {}, {None: {}}
    for n, raw in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        line = raw.strip()
        if not line or line.startswith("#"):
            continue
        where = f"{path}:{n}"
        m, t, p = LINE.match(line), TEXT_LINE.match(line), PLACE_LINE.match(line)
        if m:
            number, name, text = int(m.group(1)), m.group(2), m.group(3)
            if number not in by_number or by_number[number][0] != name:
                raise Failure(f"{where}: {number} {name} is not a string of strings.txt")
            if number in strings:
                raise Failure(f"{where}: {number} {name} is translated twice")
            if inserts(text) != inserts(by_number[number][1]):
                raise Failure(f"{where}: {name} has other format inserts or links than in English: "
                              f"\"{text}\" for \"{by_number[number][1]}\"")
            strings[number] = text
        elif t:
            resource, source, text = t.groups()
            if resource not in by_name or source not in by_name[resource].texts():
                raise Failure(f"{where}: {resource} has no text \"{source}\" in English")
            if inserts(text) != inserts(source):
                raise Failure(f"{where}: \"{text}\" has other format inserts or links than \"{source}\"")
            texts.setdefault(resource, {})[source] = text
        elif p:
            resource, key = p.group(1), p.group(2)
            place = tuple(int(v) for v in p.group(3, 4, 5, 6))
            if resource not in by_name:
                raise Failure(f"{where}: there is no dialog {resource}")
            if key is None:
                places[None][resource] = place
                continue
            control = by_name[resource].control_named(key)
            if control is None:
                raise Failure(f"{where}: {resource} has no control {key}")
            places.setdefault(resource, {})[id(control)] = place
        else:
            raise Failure(f"{where}: cannot read this line")
    return strings, texts, places


# The pseudo-language ----------------------------------------------------------------------

ACCENTED = dict(zip("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ",
                    "àƀçđéƒĝĥîĵķĺɱñöþǫŕšţûṽŵχýžÅƁÇĐÉƑĜĤÎĴĶĹṀÑÖÞǪŔŠŢÛṼŴΧÝŽ"))
FILLER = "ĺöñĝ ţéχţ "
# What must stay as it is: inserts, escapes, links, doubled ampersands and quotes.
STRING_TOKENS = re.compile(r'%%|' + INSERT.pattern + r'|\\.|</?a>|&&|""')


def pseudo(text):
    """The text with accented letters, 40 % longer, in brackets; inserts and escapes kept."""
    out, visible, pos = [], 0, 0
    for m in STRING_TOKENS.finditer(text):
        part = text[pos:m.start()]
        out.append("".join(ACCENTED.get(ch, ch) for ch in part))
        visible += len(part) - part.count("&")
        out.append(m.group(0))
        visible += 1 if m.group(0) in ("&&", '""') or m.group(0).startswith("\\") else 2
        pos = m.end()
    part = text[pos:]
    out.append("".join(ACCENTED.get(ch, ch) for ch in part))
    visible += len(part) - part.count("&")
    extra = math.ceil(visible * 0.4)
    return "[" + "".join(out) + " " + (FILLER * (extra // len(FILLER) + 1))[:max(extra - 1, 1)].rstrip() + "]"


# Output -----------------------------------------------------------------------------------

def string_table(entries):
    lines = ["STRINGTABLE", "BEGIN"]
    lines += [f'    {number}, "{rc_text(text)}"' for number, text in entries]
    return lines + ["END"]


def language_block(language, english, resources, strings, texts, places, warn):
    code, windres_id = language
    out = ["", f"// {code}", f"LANGUAGE {windres_id}", ""]
    for r in resources:
        own = texts.get(r.name, {})

        def translate(source, r=r, own=own):
            if source in own:
                return own[source]
            if warn is not None:
                warn.append(f"{code}: {r.name}: \"{source}\" is not translated")
            return source
        check_access_keys(r, lambda t, own=own: own.get(t, t), f"strings.{code}.txt")
        out += r.render(translate, places) + [""]
    table = []
    for number, name, text, fixed in english:
        if number in strings:
            table.append((number, strings[number]))
        else:
            if not fixed and warn is not None:
                warn.append(f"{code}: {name} is not translated")
            table.append((number, text))
    return out + string_table(table)


def generate(res_dir, out, with_pseudo):
    res_dir, out = Path(res_dir), Path(out)
    english = parse_strings(res_dir / "strings.txt")
    resources = read_rc_parts(res_dir)
    for r in resources:
        check_access_keys(r, lambda t: t, "English")
    head = "// Generated from src/res/strings*.txt and the .rc parts; do not edit."
    rc = [head] + string_table([(number, text) for number, _, text, _ in english]) + [""]
    warnings = []
    languages = [head, "// Every language but English, each in its LANGUAGE block."]
    for code, windres_id in LANGUAGES.items():
        path = res_dir / f"strings.{code}.txt"
        if path.exists():
            strings, texts, places = read_language(path, english, resources)
            languages += language_block((code, windres_id), english, resources, strings, texts, places, warnings)
    if with_pseudo:
        strings = {number: pseudo(text) for number, _, text, fixed in english if not fixed}
        texts = {r.name: {t: pseudo(t) for t in r.texts()} for r in resources}
        # Its texts are made here; its file gives the dialogs the room 40 % more text needs.
        path = res_dir / f"strings.{PSEUDO[0]}.txt"
        own_strings, own_texts, places = read_language(path, english, resources) if path.exists() else ({}, {}, {None: {}})
        if own_strings or own_texts:
            raise Failure(f"{path}: the pseudo-language's texts are made from English; give places only")
        languages += language_block(PSEUDO, english, resources, strings, texts, places, None)
    ids = [head, "#pragma once"] + [f"#define {name} {number}" for number, name, _, _ in english]
    table = [head] + [f'{{{number}, L"{text}"}},' for number, _, text, _ in english]
    for name, lines in (("strings.rc", rc), ("languages.rc", languages + [""]), ("string_ids.h", ids + [""]),
                        ("strings_table.inc", table + [""])):
        (out / name).write_text("\n".join(lines), encoding="utf-8")
    return warnings


def main():
    args = [a for a in sys.argv[1:] if a != "--pseudo"]
    try:
        warnings = generate(args[0], args[1], "--pseudo" in sys.argv[1:])
    except Failure as e:
        sys.exit(f"gen_strings: error: {e}")
    for w in warnings:
        print(f"gen_strings: warning: {w}", file=sys.stderr)


if __name__ == "__main__":
    main()
