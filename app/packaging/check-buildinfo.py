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
import sys

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
from records import checksums, read_control, release_sums  # noqa: E402


def main() -> int:
    releases, folder = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    text = releases.read_text(encoding="utf-8")
    faults, checked = [], 0
    for buildinfo in sorted(folder.glob("*/*.buildinfo")):
        version, where = buildinfo.parent.name, buildinfo.relative_to(folder)
        published = release_sums(text, version) or {}
        own = hashlib.sha256(buildinfo.read_bytes()).hexdigest()
        if own not in published.get(buildinfo.name, ()):
            faults.append(f"{where}: RELEASES' section {version} does not give its sum {own}")
        downloads = {name: digest for name, digest in checksums(read_control(buildinfo)).items()
                     if name in published}
        if not downloads:
            faults.append(f"{where}: names none of the downloads of {version}")
        for name, digest in downloads.items():
            if digest not in published[name]:
                faults.append(f"{where}: built {name} as {digest}, which RELEASES does not give")
        checked += 1
    for fault in faults:
        print(f"FAIL: {fault}")
    if not faults:
        print(f"PASS: {checked} .buildinfo files agree with {releases.name}")
    return 1 if faults or not checked else 0


if __name__ == "__main__":
    sys.exit(main())
