#!/usr/bin/env python3
"""Makes the two Windows downloads from a Windows build folder.

The program's folder, as `cmake --install` lays it out (mirovane.exe beside the Qt libraries, the
MinGW runtime and the plugins' folders), stripped, becomes
  NAME.zip        that folder, which runs wherever it is unpacked, and
  NAME-setup.exe  the NSIS installer of the same files (installer.nsi beside this script).

Beside the program, the folder holds what passing it on asks: LICENSE.txt (the program's),
THIRD-PARTY-NOTICES.txt (for each file, the components compiled into it, with their versions,
copyright, licences and identifiers: notices.py, from Qt's own data and Debian's) and licenses/
(the text of every licence they name). Beside the downloads it leaves
  NAME.zip.cdx.json, NAME-setup.exe.cdx.json   their bills of materials (CycloneDX 1.6), and
  NAME-qt-source.tar.xz                        the Corresponding Source of their Qt.

The same sources give the same downloads, byte for byte: every file and archive entry carries the
time given as --source-date-epoch (the last commit's), in the order of their names, and nothing
of the build machine's owners, permissions or folders.
"""

import argparse
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import notices  # noqa: E402

PREAMBLE = """\
My Mirovane {version} for Windows x64: the licences and notices of what this folder holds

mirovane.exe is My Mirovane, under the MIT licence: LICENSE.txt. The libraries beside it were
made by others, and each is passed on under its own licence, named below, file by file, with
every component compiled into it; the texts are in the folder licenses.

This program uses Qt {qt_version}, by The Qt Company Ltd. and others, under the GNU Lesser
General Public License version 3 (licenses\\LGPL-3.0-only.txt, which adds to the GNU General
Public License version 3, licenses\\GPL-3.0-only.txt). The Qt libraries and plugins here were
built from Debian's qt6-base {qt_debian_version} source, modified by us; their Corresponding
Source, with our changes, the dates we made them and the commands that build them, is the
download {qt_source}, offered beside this one for as long as this one is offered. You may put
your own build of Qt {qt_version} (from that source, changed as you like) in place of
Qt6Core.dll, Qt6Gui.dll, Qt6Widgets.dll, platforms\\qwindows.dll and
styles\\qmodernwindowsstyle.dll: the program loads them by name from its folder and checks
nothing else of them.

The GCC and MinGW-w64 runtime libraries are Debian's builds; their Debian copyright files, whole,
are in licenses\\debian. uninstall.exe, which the installer writes into the installed folder, is
NSIS's stub.
"""


def stage(build_dir: pathlib.Path, folder: pathlib.Path, strip: str, epoch: int) -> list:
    """Installs into folder and strips the programs and libraries. Returns the files' paths
    relative to folder, sorted."""
    shutil.rmtree(folder, ignore_errors=True)
    subprocess.run(["cmake", "--install", str(build_dir), "--prefix", str(folder)],
                   check=True, stdout=subprocess.DEVNULL)
    files = sorted(p.relative_to(folder) for p in folder.rglob("*") if p.is_file())
    # strip writes the time into each program's and library's header: SOURCE_DATE_EPOCH's, if set.
    environment = dict(os.environ, SOURCE_DATE_EPOCH=str(epoch))
    for relative in files:
        path = folder / relative
        if path.suffix in (".exe", ".dll"):
            subprocess.run([strip, "--strip-unneeded", str(path)], check=True, env=environment)
    return files


def finish(folder: pathlib.Path, epoch: int) -> list:
    """Every file's mode and time set; returns the files' paths relative to folder, sorted."""
    for path in folder.rglob("*"):
        if path.is_file():
            path.chmod(0o644)
    for path in [folder, *folder.rglob("*")]:
        os.utime(path, (epoch, epoch))
    return sorted(p.relative_to(folder) for p in folder.rglob("*") if p.is_file())


def components(folder: pathlib.Path, files: list, found: notices.Notices) -> dict:
    """The components of each program and library of the folder, by its path."""
    parts_of = {}
    for relative in files:
        name = relative.as_posix()
        if relative.suffix not in (".exe", ".dll"):
            continue
        if name == "mirovane.exe":
            parts_of[name] = found.program()
        elif name in notices.RUNTIME_LICENCES:
            parts_of[name] = found.runtime(name)
        elif found.qt.compiled_from(f"bin/{name}") is not None:
            parts_of[name] = found.qt_parts(f"bin/{name}", name)
        elif found.qt.compiled_from(f"plugins/{name}") is not None:
            parts_of[name] = found.qt_parts(f"plugins/{name}", f"the plugin {name}")
        else:
            raise SystemExit(f"make-downloads: nothing is known of what {name} holds")
    if found.nsis:
        parts_of["uninstall.exe"] = [found.nsis]
    return parts_of


def make_zip(folder: pathlib.Path, files: list, output: pathlib.Path, epoch: int) -> None:
    date_time = time.gmtime(epoch)[:6]
    with zipfile.ZipFile(output, "w") as archive:
        for relative in files:
            entry = zipfile.ZipInfo(f"{folder.name}/{relative.as_posix()}", date_time)
            entry.create_system = 0  # MS-DOS: no owner or Unix permissions recorded
            entry.external_attr = 0
            entry.compress_type = zipfile.ZIP_DEFLATED
            with open(folder / relative, "rb") as content:
                archive.writestr(entry, content.read(), compresslevel=9)


def make_installer(folder: pathlib.Path, files: list, output: pathlib.Path, args,
                   epoch: int) -> None:
    work = folder.parent
    install_lines, remove_lines = [], []
    # Every folder the files are in, and those above them (licenses\qt\src holds folders only).
    directories = sorted({folder for f in files for folder in f.parents
                          if folder != pathlib.Path(".")})
    for directory in [pathlib.Path("."), *directories]:
        windows_dir = "$INSTDIR" + "".join("\\" + part for part in directory.parts)
        install_lines.append(f'SetOutPath "{windows_dir}"')
        for relative in files:
            if relative.parent == directory:
                install_lines.append(f'File "{folder / relative}"')
    install_lines.append('SetOutPath "$INSTDIR"')
    for relative in files:
        remove_lines.append('Delete "$INSTDIR\\' + "\\".join(relative.parts) + '"')
    for directory in sorted(directories, key=lambda d: len(d.parts), reverse=True):
        remove_lines.append('RMDir "$INSTDIR\\' + "\\".join(directory.parts) + '"')
    (work / "install-files.nsh").write_text("\n".join(install_lines) + "\n")
    (work / "remove-files.nsh").write_text("\n".join(remove_lines) + "\n")
    size_kb = (sum((folder / f).stat().st_size for f in files) + 1023) // 1024
    defines = {
        "VERSION_TEXT": args.version_text,
        "VERSION_NUMBERS": args.version_numbers,
        "ICON": str(args.icon),
        "LICENSE": str(folder / "LICENSE.txt"),
        "FILES": str(work / "install-files.nsh"),
        "REMOVE": str(work / "remove-files.nsh"),
        "SIZE_KB": str(size_kb),
        "OUTFILE": str(output),
    }
    environment = dict(os.environ, SOURCE_DATE_EPOCH=str(epoch))
    subprocess.run([args.makensis, "-V2", "-NOCD"]
                   + [f"-D{name}={value}" for name, value in defines.items()]
                   + [str(args.nsis_script)], check=True, env=environment)


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build-dir", type=pathlib.Path, required=True)
    parser.add_argument("--source-date-epoch", type=int, required=True)
    parser.add_argument("--output-dir", type=pathlib.Path, required=True)
    parser.add_argument("--name", required=True, help="e.g. mirovane-1.03-windows-x64")
    parser.add_argument("--version-text", required=True, help='e.g. "1.03"')
    parser.add_argument("--version-numbers", required=True, help='e.g. "1.3.0.0"')
    parser.add_argument("--icon", type=pathlib.Path, required=True)
    parser.add_argument("--strip", required=True)
    parser.add_argument("--makensis", required=True)
    parser.add_argument("--nsis-script", type=pathlib.Path,
                        default=pathlib.Path(__file__).with_name("installer.nsi"))
    parser.add_argument("--objdump", required=True)
    parser.add_argument("--qt-prefix", type=pathlib.Path, required=True)
    parser.add_argument("--project", type=pathlib.Path, required=True)
    parser.add_argument("--runtime", type=pathlib.Path, action="append", default=[],
                        help="a library of the compiler's runtime that the folder carries")
    args = parser.parse_args()

    epoch = args.source_date_epoch
    folder = args.build_dir.resolve() / "packaging" / "windows" / args.name
    files = stage(args.build_dir, folder, args.strip, epoch)
    output = args.output_dir.resolve()
    output.mkdir(parents=True, exist_ok=True)
    qt_source = f"{args.name}-qt-source.tar.xz"
    with tempfile.TemporaryDirectory() as work:
        found = notices.Notices(args.qt_prefix, work, args.version_text,
                                args.project / "LICENSE", args.runtime, makensis=args.makensis)
        parts_of = components(folder, files, found)
        (folder / "LICENSE.txt").write_text((args.project / "LICENSE").read_text(),
                                            newline="\r\n")
        notices.write_notices(folder, parts_of, PREAMBLE.format(
            version=args.version_text, qt_version=found.qt.version,
            qt_debian_version=found.qt.debian_version, qt_source=qt_source))
        files = finish(folder, epoch)
        zip_path = output / f"{args.name}.zip"
        setup_path = output / f"{args.name}-setup.exe"
        make_zip(folder, files, zip_path, epoch)
        make_installer(folder, files, setup_path, args, epoch)
        for download, extra in ((zip_path, []), (setup_path, [uninstaller(parts_of)])):
            subject = {"type": "application", "bom-ref": download.name, "name": download.name,
                       "version": args.version_text, "supplier": {"name": "The Mirovane developers"},
                       "licenses": notices.cyclonedx.licences("MIT"),
                       "hashes": notices.cyclonedx.sha256(download.read_bytes())}
            if download == setup_path:
                subject["components"] = [found.nsis.cyclonedx()]
            (output / f"{download.name}.cdx.json").write_bytes(notices.bill(
                folder, files, parts_of, args.objdump, subject, epoch, extra))
    subprocess.run([sys.executable, str(pathlib.Path(__file__).with_name("make-qt-source.py")),
                    "--qt-prefix", str(args.qt_prefix), "--project", str(args.project),
                    "--name", qt_source.removesuffix(".tar.xz"), "--version", args.version_text,
                    "--epoch", str(epoch), "--output", str(output / qt_source)], check=True)


def uninstaller(parts_of: dict) -> dict:
    """What the installer writes beside the files at installation: NSIS's uninstaller."""
    part = parts_of["uninstall.exe"][0]
    return {"type": "application", "bom-ref": "file:uninstall.exe", "name": "uninstall.exe",
            "supplier": {"name": part.supplier}, "version": part.version,
            "licenses": notices.cyclonedx.licences(part.licence),
            "description": "written by the installer into the installed folder"}


if __name__ == "__main__":
    main()
