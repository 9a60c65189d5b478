#!/usr/bin/env python3
"""Checks that a Windows download carries what passing it on asks, and that its bill of materials
is true.

    check-notices.py LICENSE ZIP [SETUP]

ZIP.cdx.json (and SETUP.cdx.json) beside the downloads are their bills of materials. It fails
when the program's licence is missing from the folder or differs from LICENSE; when a bill's hash
is not its file's, or a file of the folder is missing from the bill or the bill names one the
folder lacks; when a component of a program or library has no section in THIRD-PARTY-NOTICES.txt
under that file, or a licence it names has no text in licenses\\, or a text the notices name is
missing; and when a library visibly holds a component (its own copyright string, compiled in) that
the notices do not name under it, or FreeType's credit is missing.
"""

import hashlib
import json
import pathlib
import re
import sys
import zipfile

# What some components leave in the binaries that hold them, whatever the notices say.
SIGNATURES = [
    (re.compile(rb"(?:de|in)flate \d+\.\d+(?:\.\d+)* Copyright 1995-\d+ "), "zlib"),  # its banner
    (re.compile(rb"libpng version \d+\.\d+"), "libpng"),  # its banner
    (re.compile(rb"FREETYPE_PROPERTIES"), "freetype"),  # the variable FreeType reads
    (re.compile(rb"internal error in pcre2_|version of PCRE2 "), "pcre"),  # its messages
    (re.compile(rb"HB_SHAPER_LIST"), "harfbuzz"),  # the variable HarfBuzz reads
]
QT_COMMERCIAL = "LicenseRef-Qt-Commercial"


def sha256(data: bytes) -> str:
    return hashlib.sha256(data).hexdigest()


def sections(notices: str) -> dict:
    """{file's path: [(part's heading, its lines)]} from the notices' text, where each file's
    name stands between two rules and each part's heading is indented by two."""
    lines = notices.replace("\r\n", "\n").split("\n")
    found, current, i = {}, None, 0
    while i < len(lines):
        if lines[i].startswith("=" * 20) and i + 2 < len(lines) and \
                lines[i + 2].startswith("=" * 20):
            current = found.setdefault(lines[i + 1].replace("\\", "/"), [])
            i += 3
            continue
        if current is not None:
            if lines[i].startswith("    ") and current:
                current[-1][1].append(lines[i].strip())
            elif lines[i].startswith("  "):
                current.append((lines[i].strip(), []))
        i += 1
    return found


def check(licence: pathlib.Path, download: pathlib.Path, failures: list) -> None:
    def fail(message):
        failures.append(f"{download.name}: {message}")

    bill_path = download.with_name(download.name + ".cdx.json")
    if bill_path.exists():
        bill = json.loads(bill_path.read_text())
        subject = bill["metadata"]["component"]
        if subject.get("hashes", [{}])[0].get("content") != sha256(download.read_bytes()):
            fail("the bill's hash of the download is not the download's")
    else:
        fail(f"no bill of materials ({bill_path.name})")
        bill = {"components": []}
    listed = {c["name"]: c for c in bill["components"]}
    if download.suffix == ".exe":
        # The installer holds the zip's folder: the bill of the zip beside it says what is in it.
        download = download.with_name(download.name.removesuffix("-setup.exe") + ".zip")
        if "uninstall.exe" not in listed:
            fail("the bill does not name the uninstaller that the installer writes")
    with zipfile.ZipFile(download) as archive:
        root = archive.namelist()[0].split("/")[0]
        contents = {n.removeprefix(root + "/"): archive.read(n) for n in archive.namelist()
                    if not n.endswith("/")}
    own = contents.get("LICENSE.txt", b"").decode().replace("\r\n", "\n")
    if own.strip() != licence.read_text().strip():
        fail("LICENSE.txt, the program's licence, is missing or is not LICENSE")
    if "THIRD-PARTY-NOTICES.txt" not in contents:
        fail("no THIRD-PARTY-NOTICES.txt")
    notices = contents.get("THIRD-PARTY-NOTICES.txt", b"").decode()
    by_file = sections(notices)
    for name, data in sorted(contents.items()):
        component = listed.get(name)
        if component is None:
            fail(f"{name} is not in the bill of materials")
            component = {}
        elif not component.get("hashes") or component["hashes"][0]["content"] != sha256(data):
            fail(f"the bill's hash of {name} is not the file's")
        if not name.endswith((".exe", ".dll")):
            continue
        parts = by_file.get(name, [])
        if not parts:
            fail(f"{name} has no section in THIRD-PARTY-NOTICES.txt")
        headings = [heading for heading, _ in parts]
        for part in component.get("components", []):
            block = next((lines for heading, lines in parts
                          if heading.split(", version ")[0] == part["name"]), None)
            if block is None:
                fail(f"{name}: {part['name']} is not in the notices under it")
                continue
            texts = [t.strip().replace("\\", "/") for line in block if line.startswith("Texts:")
                     for t in line.removeprefix("Texts:").split(",") if t.strip()]
            for text in texts:
                if text not in contents:
                    fail(f"{name}: {part['name']}'s licence text {text} is missing")
            choice = part["licenses"][0]
            expression = choice.get("expression") or choice["license"]["id"]
            for identifier in re.findall(r"[A-Za-z0-9.+-]+", expression):
                if identifier.upper() in ("AND", "OR", "WITH") or identifier == QT_COMMERCIAL:
                    continue
                if f"licenses/{identifier}.txt" not in contents and not texts:
                    fail(f"{name}: {part['name']} is under {identifier}, whose text is missing")
        for signature, component_name in SIGNATURES:
            if signature.search(data) and not any(component_name in h.lower() for h in headings):
                fail(f"{name} holds {component_name}, which the notices do not name under it")
    if re.search(r"freetype", notices, re.I) and not re.search(
            r"Portions of this software are copyright © \d{4} The FreeType Project", notices):
        fail("the notices name FreeType without the credit its licence asks for")
    for name, component in sorted(listed.items()):
        if component.get("hashes") and name not in contents:
            fail(f"the bill names {name}, which the download does not hold")
    components = {c["bom-ref"] for c in bill["components"]}
    for dependency in bill.get("dependencies", []):
        for ref in dependency.get("dependsOn", []):
            if ref not in components:
                fail(f"the bill's dependency {ref} is not one of its components")


def main() -> int:
    licence, *downloads = map(pathlib.Path, sys.argv[1:])
    failures = []
    for download in downloads:
        check(licence, download, failures)
    for failure in failures:
        print(f"FAIL: {failure}")
    print(f"{len(downloads)} downloads checked, {len(failures)} failures")
    return 1 if failures or not downloads else 0


if __name__ == "__main__":
    sys.exit(main())
