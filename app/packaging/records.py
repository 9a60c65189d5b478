"""Reading what a release records of itself: the sums RELEASES gives in each release's section,
and the fields of a .buildinfo (a deb822 file, as dpkg-buildpackage and tools/test-windows write
them). tools/rebuild, tools/winget-manifests and check-buildinfo.py read them through this.
"""

import re


def release_sums(releases_text, version):
    """{download name: sha256} of the rows of RELEASES' section VERSION, None without one.

    A name given twice (the Debian 12 and 13 packages share theirs) keeps each of its sums, as
    a set: {"mirovane_1.03_amd64.deb": {"6589…", "8c3e…"}, ...}.
    """
    section = re.search(rf"^## {re.escape(version)} \(.*?(?=^## |\Z)", releases_text,
                        re.MULTILINE | re.DOTALL)
    if not section:
        return None
    sums = {}
    for name, sha256 in re.findall(r"^\| `([^`]+)`[^|]*\| `([0-9a-f]{64})` \|", section.group(0),
                                   re.MULTILINE):
        sums.setdefault(name, set()).add(sha256)
    return sums


def read_control(path):
    """The fields of a deb822 file's first paragraph (a PGP signature around it is dropped)."""
    fields, name = {}, None
    for line in path.read_text(encoding="utf-8").splitlines():
        if line.startswith("-----BEGIN PGP SIGNATURE"):
            break
        if line.startswith("-----BEGIN PGP") or line.startswith("Hash:"):
            continue
        if not line.strip():
            if fields:
                break
            continue
        if line[0] in " \t" and name:
            fields[name] += "\n" + line.strip()
        else:
            name, _, value = line.partition(":")
            fields[name] = value.strip()
    return fields


def checksums(fields):
    """The .buildinfo's Checksums-Sha256 as {file name: sha256}."""
    sums = {}
    for line in fields["Checksums-Sha256"].splitlines():
        if line.strip():
            sha256, _, name = line.split()
            sums[name] = sha256
    return sums
