#!/usr/bin/env python3
"""Writes the bill of materials (CycloneDX 1.6) of a binary Debian package.

    make-deb-bill.py DEB OUTPUT

It names the package (with its sha256), each file it installs (with its sha256; the program as
an application, under the licence debian/copyright gives it), and each package it depends on
as its Depends field says, constraint included, as what the package depends on. Its time is
SOURCE_DATE_EPOCH (dpkg-buildpackage's, the changelog's), else the package's newest file.
"""

import io
import os
import pathlib
import re
import subprocess
import sys
import tarfile

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import cyclonedx  # noqa: E402


def field(deb: pathlib.Path, name: str) -> str:
    return subprocess.run(["dpkg-deb", "--field", str(deb), name], check=True,
                          capture_output=True, text=True).stdout.strip()


def main() -> None:
    deb, output = map(pathlib.Path, sys.argv[1:3])
    package, version, arch = (field(deb, n) for n in ("Package", "Version", "Architecture"))
    # The release it was built on, and whose packages it depends on.
    release = dict(line.split("=", 1) for line in
                   pathlib.Path("/etc/os-release").read_text().splitlines() if "=" in line)
    distro = f"debian-{release['VERSION_ID'].strip(chr(34))}"
    tree = subprocess.run(["dpkg-deb", "--fsys-tarfile", str(deb)], check=True,
                          capture_output=True).stdout
    files, newest = [], 0
    with tarfile.open(fileobj=io.BytesIO(tree)) as archive:
        for member in archive.getmembers():
            if member.isfile():
                newest = max(newest, member.mtime)
                files.append((member.name.removeprefix("."), archive.extractfile(member).read()))
    epoch = int(os.environ.get("SOURCE_DATE_EPOCH") or newest)
    depends = [d.strip() for d in field(deb, "Depends").split(",") if d.strip()]
    purl = f"pkg:deb/mirovane/{package}@{version}?arch={arch}&distro={distro}"
    subject = {"type": "application", "bom-ref": purl, "name": package, "version": version,
               "purl": purl, "supplier": cyclonedx.SUPPLIER,
               "licenses": cyclonedx.licences("MIT"),
               "hashes": cyclonedx.sha256(deb.read_bytes()),
               "description": field(deb, "Description").splitlines()[0]}
    components = []
    for name, data in sorted(files):
        program = name.startswith("/usr/bin/")
        entry = {"type": "application" if program else "file", "bom-ref": f"file:{name}",
                 "name": name, "hashes": cyclonedx.sha256(data)}
        if program:
            entry.update({"version": version, "supplier": {"name": cyclonedx.SUPPLIER["name"]},
                          "licenses": cyclonedx.licences("MIT")})
        components.append(entry)
    needed = []
    for relation in depends:
        for alternative in relation.split("|"):
            found = re.fullmatch(r"\s*([a-z0-9][a-z0-9+.-]+)(?::\S+)?\s*(?:\((.+)\))?\s*",
                                 alternative)
            if not found:
                raise SystemExit(f"make-deb-bill: cannot read the dependency {alternative!r}")
            name, constraint = found.groups()
            ref = f"pkg:deb/debian/{name}?arch={arch}&distro={distro}"
            if ref not in needed:
                needed.append(ref)
                components.append({
                    "type": "library" if name.startswith("lib") else "data" if name.startswith(
                        "fonts-") else "application",
                    "bom-ref": ref, "name": name, "purl": ref, "scope": "required",
                    "properties": [{"name": "debian:depends", "value": relation}]
                    + ([{"name": "debian:version-constraint", "value": constraint}]
                       if constraint else [])})
    dependencies = [{"ref": purl, "dependsOn": [f"file:{n}" for n, _ in sorted(files)] + needed},
                    *({"ref": ref, "dependsOn": []} for ref in needed)]
    output.write_bytes(cyclonedx.document(subject, components, dependencies, epoch))


if __name__ == "__main__":
    main()
