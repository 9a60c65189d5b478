#!/usr/bin/env python3
"""Checks the build records kept for each release against RELEASES.

    check-buildinfo.py RELEASES BUILDINFO_DIR

BUILDINFO_DIR holds one folder per release (1.03/, ...) with the .buildinfo files published
beside its downloads. For each, RELEASES' section of that release must give the file's own
sha256, and every download the file names in Checksums-Sha256 that the section lists (the
debug symbols are not published) must carry there the sum the file records, so that a list
rebuilds what was published and nothing else. Prints each disagreement and exits 1.
"""

import hashlib
import pathlib
import re
import sys


def published(releases_text: str, version: str) -> set:
    """(name, sha256) of every row of RELEASES' section VERSION."""
    section = re.search(rf"^## {re.escape(version)} \(.*?(?=^## |\Z)", releases_text,
                        re.MULTILINE | re.DOTALL)
    if not section:
        return set()
    return set(re.findall(r"^\| `([^`]+)`[^|]*\| `([0-9a-f]{64})` \|", section.group(0),
                          re.MULTILINE))


def recorded(buildinfo_text: str) -> dict:
    """name → sha256 of the Checksums-Sha256 field."""
    field = re.search(r"^Checksums-Sha256:\n((?: .*\n)+)", buildinfo_text, re.MULTILINE)
    lines = field.group(1).splitlines() if field else []
    return {name: digest for digest, _, name in (line.split() for line in lines)}


def main() -> int:
    releases, folder = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    text = releases.read_text(encoding="utf-8")
    faults, checked = [], 0
    for buildinfo in sorted(folder.glob("*/*.buildinfo")):
        version, where = buildinfo.parent.name, buildinfo.relative_to(folder)
        rows = published(text, version)
        names = {name for name, _ in rows}
        own = hashlib.sha256(buildinfo.read_bytes()).hexdigest()
        if (buildinfo.name, own) not in rows:
            faults.append(f"{where}: RELEASES' section {version} does not give its sum {own}")
        sums = recorded(buildinfo.read_text(encoding="utf-8"))
        downloads = {name: digest for name, digest in sums.items() if name in names}
        if not downloads:
            faults.append(f"{where}: names none of the downloads of {version}")
        for name, digest in downloads.items():
            if (name, digest) not in rows:
                faults.append(f"{where}: built {name} as {digest}, which RELEASES does not give")
        checked += 1
    for fault in faults:
        print(f"FAIL: {fault}")
    if not faults:
        print(f"PASS: {checked} .buildinfo files agree with {releases.name}")
    return 1 if faults or not checked else 0


if __name__ == "__main__":
    sys.exit(main())
