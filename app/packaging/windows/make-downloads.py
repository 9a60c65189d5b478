#!/usr/bin/env python3
"""Makes the two Windows downloads from a Windows build folder.

The program's folder, as `cmake --install` lays it out (mirovane.exe beside the Qt libraries, the
MinGW runtime and the plugins' folders), stripped, becomes
  NAME.zip        that folder, which runs wherever it is unpacked, and
  NAME-setup.exe  the NSIS installer of the same files (installer.nsi beside this script).

The same sources give the same downloads, byte for byte: every file and archive entry carries the
time given as --source-date-epoch (the last commit's), in the order of their names, and nothing
of the build machine's owners, permissions or folders.
"""

import argparse
import os
import pathlib
import shutil
import subprocess
import time
import zipfile


def stage(build_dir: pathlib.Path, folder: pathlib.Path, strip: str, epoch: int) -> list:
    """Installs into folder, strips the programs and libraries and sets every time to epoch.
    Returns the files' paths relative to folder, sorted."""
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
        path.chmod(0o644)
    for path in [folder, *folder.rglob("*")]:
        os.utime(path, (epoch, epoch))
    return files


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
    directories = sorted({f.parent for f in files if f.parent != pathlib.Path(".")})
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
    parser.add_argument("--name", required=True, help="e.g. mirovane-1.02-windows-x64")
    parser.add_argument("--version-text", required=True, help='e.g. "1.02"')
    parser.add_argument("--version-numbers", required=True, help='e.g. "1.2.0.0"')
    parser.add_argument("--icon", type=pathlib.Path, required=True)
    parser.add_argument("--strip", required=True)
    parser.add_argument("--makensis", required=True)
    parser.add_argument("--nsis-script", type=pathlib.Path,
                        default=pathlib.Path(__file__).with_name("installer.nsi"))
    args = parser.parse_args()

    epoch = args.source_date_epoch
    folder = args.build_dir.resolve() / "packaging" / "windows" / args.name
    files = stage(args.build_dir, folder, args.strip, epoch)
    args.output_dir.mkdir(parents=True, exist_ok=True)
    make_zip(folder, files, args.output_dir / f"{args.name}.zip", epoch)
    make_installer(folder, files, (args.output_dir / f"{args.name}-setup.exe").resolve(), args,
                   epoch)


if __name__ == "__main__":
    main()
