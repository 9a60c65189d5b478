#!/usr/bin/env python3
"""Checks that debian/copyright and REUSE.toml say the same of every file of the repository.

    check-copyright.py SOURCE_DIR

Each file that git tracks gets its copyright holders and licence from each of the two: the last
paragraph of debian/copyright whose Files pattern matches it (there `*` also matches "/"), and
the last annotation of REUSE.toml whose path matches it (there `*` stops at "/" and `**` does
not). Holders are compared as sets, licences as expressions, "or" and "OR" alike. Prints every
file on which they differ and exits 1; exits 77 (skipped) outside a git checkout.
"""

import pathlib
import re
import subprocess
import sys
import tomllib


def dep5_regex(pattern: str) -> re.Pattern:
    return re.compile("".join(".*" if c == "*" else "." if c == "?" else re.escape(c)
                              for c in pattern) + r"\Z")


def reuse_regex(pattern: str) -> re.Pattern:
    parts = re.split(r"(\*\*|\*)", pattern)
    return re.compile("".join(".*" if p == "**" else "[^/]*" if p == "*" else re.escape(p)
                              for p in parts) + r"\Z")


def expression(text: str) -> str:
    return " ".join(word.upper() if word.lower() in ("or", "and", "with") else word
                    for word in text.split())


def debian_rules(text: str) -> list:
    """(patterns, holders, licence) of each Files paragraph, in order."""
    rules = []
    for paragraph in re.split(r"\n\s*\n", text):
        fields, name = {}, None
        for line in paragraph.splitlines():
            if line[:1] in (" ", "\t") and name:
                fields[name] += "\n" + line.strip()
            elif ":" in line:
                name, _, value = line.partition(":")
                fields[name] = value.strip()
        if "Files" in fields:
            holders = {h.strip() for h in fields["Copyright"].splitlines() if h.strip()}
            licence = expression(fields["License"].splitlines()[0])
            rules.append(([dep5_regex(p) for p in fields["Files"].split()], holders, licence))
    return rules


def reuse_rules(data: dict) -> list:
    rules = []
    for annotation in data.get("annotations", []):
        paths = annotation["path"]
        holders = annotation["SPDX-FileCopyrightText"]
        rules.append(([reuse_regex(p) for p in ([paths] if isinstance(paths, str) else paths)],
                      set([holders] if isinstance(holders, str) else holders),
                      expression(annotation["SPDX-License-Identifier"])))
    return rules


def verdict(rules: list, path: str):
    found = None
    for patterns, holders, licence in rules:
        if any(p.match(path) for p in patterns):
            found = (holders, licence)
    return found


def main() -> int:
    root = pathlib.Path(sys.argv[1])
    if not (root / ".git").exists():
        print("not a git checkout: nothing to compare")
        return 77
    files = subprocess.run(["git", "-C", str(root), "ls-files", "-z"], check=True,
                           capture_output=True, text=True).stdout.split("\0")
    debian = debian_rules((root / "debian" / "copyright").read_text())
    reuse = reuse_rules(tomllib.loads((root / "REUSE.toml").read_text()))
    differ = 0
    for path in filter(None, files):
        said_by_debian, said_by_reuse = verdict(debian, path), verdict(reuse, path)
        if said_by_debian != said_by_reuse:
            differ += 1
            print(f"{path}: debian/copyright says {said_by_debian}, REUSE.toml {said_by_reuse}")
    print(f"{len(files) - 1} files, {differ} on which debian/copyright and REUSE.toml differ")
    return 1 if differ else 0


if __name__ == "__main__":
    sys.exit(main())
