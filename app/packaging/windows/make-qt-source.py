#!/usr/bin/env python3
"""Makes the Corresponding Source download of the Qt that the Windows downloads carry.

    make-qt-source.py --qt-prefix DIR --project DIR --name NAME --epoch SECONDS --output FILE

NAME.tar.xz holds one folder, NAME, with everything that builds those Qt libraries again, on a
Debian 13 machine without this repository and without the network:
  qt-source/        Debian's qt6-base source package as it was fetched and built (.dsc, tarballs)
  tools/            build-qt-windows, which builds it; compiled-from.py, which it runs after; our
                    patches to Qt (qt-windows/*.patch), each with who changed it and when; and
                    install-dependencies, which installs the Debian packages the build needs
  cmake/            the toolchain file of the cross compiler
  built-with.txt    the versions of Qt's host tools, the cross compiler, MinGW-w64 and binutils
  README.txt        what it is, the notice that we modified Qt, and how to build it
  LICENSE           the licence of our scripts (MIT)
The same inputs give the same bytes: the entries are sorted, owned by root, dated SOURCE_DATE_EPOCH.
"""

import argparse
import io
import lzma
import pathlib
import re
import tarfile

README = """\
Qt {qt_version} for Windows x64, as in My Mirovane {version}'s Windows downloads: its Corresponding Source

The Qt libraries and plugins in mirovane-{version}-windows-x64.zip and -setup.exe (Qt6Core.dll,
Qt6Gui.dll, Qt6Widgets.dll, platforms\\qwindows.dll, styles\\qmodernwindowsstyle.dll) are Qt
{qt_version}, under the GNU Lesser General Public License version 3, built from Debian's source
package qt6-base {debian_version} (in qt-source/), which is Qt's source with Debian's changes, and
MODIFIED BY THE MIROVANE DEVELOPERS with these patches of ours, applied after Debian's:

{patches}
This folder is everything that builds them: the source, our patches, the script with the exact
configure options (tools/build-qt-windows), the cross compiler's toolchain file
(cmake/mingw-w64-x86_64.cmake) and the versions of the tools (built-with.txt):

{built_with}
To build them, on Debian 13 (trixie) for amd64, as root or with sudo, from this folder:

    tools/build-qt-windows

It installs the Debian packages it needs when they are missing (tools/install-dependencies:
the versions above give the same bytes), builds the source package in qt-source/ rather than
fetching one, and prints the folder it installed Qt into (under ~/.cache/mirovane, or
MIROVANE_CACHE_DIR), whose bin/*.dll and plugins/*/*.dll are those of the downloads before
stripping; x86_64-w64-mingw32-strip --strip-unneeded, with SOURCE_DATE_EPOCH={epoch}, gives
the same bytes as the downloads carry. Build it with your own changes and put your DLLs in
place of ours: the program loads Qt's DLLs by name from its folder and checks nothing else.

Our scripts are under the MIT licence (LICENSE); Qt, and our patches to it, under Qt's licences
(qt-source/, LICENSES/ in its tarball).
"""


def patch_notice(path: pathlib.Path) -> str:
    header = path.read_text().split("\n---", 1)[0]
    fields = dict(re.findall(r"^(Description|Author|Last-Update): (.*)$", header, re.M))
    missing = {"Description", "Author", "Last-Update"} - fields.keys()
    if missing:
        raise SystemExit(f"make-qt-source: {path.name} does not say its {', '.join(missing)}")
    return (f"  tools/qt-windows/{path.name}, {fields['Last-Update']}, by {fields['Author']}:\n"
            f"    {fields['Description']}\n")


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--qt-prefix", type=pathlib.Path, required=True)
    parser.add_argument("--project", type=pathlib.Path, required=True)
    parser.add_argument("--name", required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--epoch", type=int, required=True)
    parser.add_argument("--output", type=pathlib.Path, required=True)
    args = parser.parse_args()

    kept = args.qt_prefix / "mirovane"
    built_with = (kept / "built-with.txt").read_text()
    debian_version = dict(line.split(" ", 1) for line in built_with.splitlines())[
        "qt6-base-dev-tools"]
    patches = sorted((args.project / "tools" / "qt-windows").glob("*.patch"))
    members = {f"qt-source/{p.name}": p.read_bytes() for p in sorted((kept / "source").iterdir())}
    for relative in ["tools/build-qt-windows", "tools/install-dependencies",
                     "tools/qt-windows/compiled-from.py", "cmake/mingw-w64-x86_64.cmake",
                     "LICENSE", *(f"tools/qt-windows/{p.name}" for p in patches)]:
        members[relative] = (args.project / relative).read_bytes()
    members["built-with.txt"] = built_with.encode()
    members["README.txt"] = README.format(
        qt_version=re.sub(r"[+~-].*$", "", debian_version), version=args.version,
        debian_version=debian_version, patches="".join(patch_notice(p) for p in patches),
        built_with="".join(f"    {line}\n" for line in built_with.splitlines()),
        epoch=args.epoch).encode()

    def entry(name: str, size: int = 0, directory: bool = False) -> tarfile.TarInfo:
        info = tarfile.TarInfo(f"{args.name}/{name}" if name else args.name)
        info.mtime, info.uid, info.gid, info.uname, info.gname = args.epoch, 0, 0, "root", "root"
        info.type = tarfile.DIRTYPE if directory else tarfile.REGTYPE
        executable = directory or name.startswith("tools/") and not name.endswith(".patch")
        info.mode, info.size = (0o755 if executable else 0o644), size
        return info

    folders = sorted({str(pathlib.PurePath(n).parent) for n in members} - {"."})
    buffer = io.BytesIO()
    with tarfile.open(fileobj=buffer, mode="w", format=tarfile.GNU_FORMAT) as archive:
        archive.addfile(entry("", directory=True))
        for folder in folders:
            archive.addfile(entry(folder, directory=True))
        for name in sorted(members):
            archive.addfile(entry(name, len(members[name])), io.BytesIO(members[name]))
    # The source package's tarballs are compressed already: xz's fastest level loses nothing.
    args.output.write_bytes(lzma.compress(buffer.getvalue(), preset=0))


if __name__ == "__main__":
    main()
