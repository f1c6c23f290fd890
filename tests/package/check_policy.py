#!/usr/bin/env python3
"""Checks the Group Policy templates policy/Restwell.admx and policy/en-US/Restwell.adml against
the program's settings catalogue (printed by the native catalog_dump tool):

- both files are well-formed and every string, presentation and category they refer to exists;
- every value a policy writes is one the program reads under the policy key of that hive, with
  the right type; every such value of the catalogue has exactly one policy;
- ranges match the catalogue: clamped numbers (minimum, maximum), lists (every value the
  program accepts), texts (their maximum length);
- the templates' revision is the program's major.minor version.

    check_policy.py CATALOG_DUMP     (exit code 1 and one line per fault when anything is wrong)"""
import json
import re
import subprocess
import sys
import xml.etree.ElementTree as ET
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
NS = {"p": "http://schemas.microsoft.com/GroupPolicy/2006/07/PolicyDefinitions"}
POLICY_PREFIX = "Software\\Policies\\"
HIVE = {"User": "HKCU", "Machine": "HKLM"}


def catalogue(dump):
    rows = [json.loads(line) for line in subprocess.run([dump], capture_output=True, text=True, check=True).stdout.splitlines()]
    return {(row["key"], row["name"]): row for row in rows}


def elements_of(policy):
    elements = policy.find("p:elements", NS)
    return list(elements) if elements is not None else []


def written_values(policy):
    """(plain key, value name, what the policy writes) for every value of one policy."""
    hive = HIVE.get(policy.get("class"))
    key = policy.get("key", "")

    def plain(k):
        return hive + "\\Software\\" + k[len(POLICY_PREFIX):] if k.startswith(POLICY_PREFIX) else None

    values = []
    if policy.get("valueName"):
        decimals = [int(d.get("value")) for d in policy.findall("p:enabledValue/p:decimal", NS) +
                    policy.findall("p:disabledValue/p:decimal", NS)]
        values.append((plain(key), policy.get("valueName"), {"kind": "flag", "values": decimals}))
    for item in policy.findall("p:enabledList/p:item", NS) + policy.findall("p:disabledList/p:item", NS):
        values.append((plain(item.get("key", key)), item.get("valueName"), {"kind": "flag"}))
    for element in elements_of(policy):
        kind = element.tag.split("}")[1]
        detail = {"kind": kind, "id": element.get("id")}
        if kind == "decimal":
            detail.update(min=int(element.get("minValue", 0)), max=int(element.get("maxValue", 9999)))
        elif kind == "enum":
            detail["values"] = [int(v.get("value")) for v in element.findall("p:item/p:value/p:decimal", NS)]
        elif kind == "text":
            detail["maxLength"] = int(element.get("maxLength", 1023))
        values.append((plain(element.get("key", key)), element.get("valueName"), detail))
    return values


def check_values(admx, rows, faults):
    seen = {}
    for policy in admx.findall("p:policies/p:policy", NS):
        name = policy.get("name")
        for key, value, detail in written_values(policy):
            row = rows.get((key, value))
            where = f"policy {name}: {key}\\{value}"
            if key is None or row is None or not row["policy"]:
                faults.append(f"{where} is not a value the program reads under the policy key")
                continue
            seen.setdefault((key, value), []).append(name)
            if (row["type"] == "sz") != (detail["kind"] == "text"):
                faults.append(f"{where} is written as {detail['kind']}, the program reads {row['type']}")
            elif detail["kind"] == "text" and detail["maxLength"] != row["maxChars"]:
                faults.append(f"{where}: at most {detail['maxLength']} characters, the program takes {row['maxChars']}")
            elif row["range"] == "clamp" and (detail["kind"] != "decimal" or
                                             (detail["min"], detail["max"]) != (row["min"], row["max"])):
                faults.append(f"{where}: range {detail.get('min')}..{detail.get('max')}, "
                              f"the program clamps to {row['min']}..{row['max']}")
            elif row["range"] == "flag" and (detail["kind"] != "flag" or sorted(detail.get("values", [])) != [0, 1]):
                faults.append(f"{where}: written as {detail}, the program reads it as off (0) or on (any other)")
            elif row["range"] == "zero-outside" and sorted(detail.get("values", [])) != list(range(row["min"], row["max"] + 1)):
                faults.append(f"{where}: values {detail.get('values')}, the program accepts {row['min']}..{row['max']}")
    for (key, value), row in rows.items():
        names = seen.get((key, value), [])
        if row["policy"] and len(names) != 1:
            faults.append(f"{key}\\{value} is read under the policy key and has {len(names)} policies {names}")


def check_references(admx, adml, faults):
    strings = {s.get("id") for s in adml.findall("p:resources/p:stringTable/p:string", NS)}
    presentations = {p.get("id"): p for p in adml.findall("p:resources/p:presentationTable/p:presentation", NS)}
    text = ET.tostring(admx.getroot(), encoding="unicode")
    for ref in re.findall(r"\$\(string\.([^)]+)\)", text):
        if ref not in strings:
            faults.append(f"string {ref} is missing from the ADML")
    categories = {c.get("name"): c for c in admx.findall("p:categories/p:category", NS)}
    roots = [n for n, c in categories.items() if c.find("p:parentCategory", NS) is None]
    if roots != ["Restwell"]:
        faults.append(f"the categories have one root, Restwell: {roots}")
    for element in admx.iter():
        ref = element.get("ref") if element.tag.endswith("parentCategory") else None
        if ref is not None and ref not in categories:
            faults.append(f"category {ref} is not defined")
    for policy in admx.findall("p:policies/p:policy", NS):
        ids = {e.get("id") for e in elements_of(policy)}
        m = re.fullmatch(r"\$\(presentation\.([^)]+)\)", policy.get("presentation", ""))
        if not ids and not m:
            continue
        shown = {c.get("refId") for c in presentations[m[1]]} if m and m[1] in presentations else set()
        if shown != ids:
            faults.append(f"policy {policy.get('name')}: its presentation shows {sorted(shown)}, it has {sorted(ids)}")


def check_revision(admx, adml, faults):
    version = re.search(r"project\(Restwell VERSION (\d+)\.(\d+)", (ROOT / "CMakeLists.txt").read_text())
    expected = f"{version[1]}.{version[2]}"
    found = {"ADMX": admx.getroot().get("revision"), "ADML": adml.getroot().get("revision"),
             "required ADML": admx.find("p:resources", NS).get("minRequiredRevision")}
    for what, revision in found.items():
        if revision != expected:
            faults.append(f"the {what} revision is {revision}, the program's version {expected}")


def main():
    faults = []
    try:
        admx = ET.parse(ROOT / "policy" / "Restwell.admx")
        adml = ET.parse(ROOT / "policy" / "en-US" / "Restwell.adml")
    except ET.ParseError as e:
        print(f"check_policy: not well-formed: {e}")
        return 1
    check_values(admx, catalogue(sys.argv[1]), faults)
    check_references(admx, adml, faults)
    check_revision(admx, adml, faults)
    for fault in faults:
        print(f"check_policy: {fault}")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
