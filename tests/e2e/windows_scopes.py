#!/usr/bin/python3
"""The installer's two scopes under Wine, on a new prefix: the installer's script compiled around
a one-file payload (seconds, where the downloads' installer takes a minute to compress), and once
more as it runs for a person without an administrator's rights (Wine runs an installer that asks
for them as an administrator; this copy does not ask, and its token is then a limited one). Step
by step, each step's copies checked: the entry in its scope's hive naming the folder, the file
there, the shortcut in that scope's Start menu; no other copy, no folder left of a removed one.

A dialog, where a silent run must show none, would wait for an answer: every run has a time
limit, and fails the test when it runs out.

Usage: with_xvfb.py windows_scopes.py MAKENSIS INSTALLER_NSI ICON LICENSE
"""

import pathlib
import subprocess
import sys
import tempfile

import wine_prefix
from wine_prefix import UNINSTALL, fail, reg_values, unix_path, wine

PRODUCT = "My Mirovane"
HIVES = {"user": "HKCU", "machine": "HKLM"}
MENUS = {"user": r"%APPDATA%\Microsoft\Windows\Start Menu\Programs",
         "machine": r"%ProgramData%\Microsoft\Windows\Start Menu\Programs"}
DEFAULT_USER = r"%LOCALAPPDATA%\Programs\My Mirovane"
ERROR_ELEVATION_REQUIRED = 740
REFUSAL = "needs an administrator's rights"

# (what, program, arguments, exit code, the user's copy, the machine's copy): "full" and
# "limited" are the installer as it asks for rights and as it runs without them; a copy is its
# folder, or None for none.
STEPS = [
    ("just for me, /D= given", "full", ["/S", "/CurrentUser", r"/D=C:\Mine"], 0,
     r"C:\Mine", None),
    ("for everyone beside it, /D= given", "full", ["/S", "/AllUsers", r"/D=C:\Ours"], 0,
     r"C:\Mine", r"C:\Ours"),
    ("just for me again, where its entry says", "full", ["/S", "/CurrentUser"], 0,
     r"C:\Mine", r"C:\Ours"),
    ("for everyone again, over it", "full", ["/S"], 0, r"C:\Mine", r"C:\Ours"),
    ("the copy just for me uninstalled", r"C:\Mine\uninstall.exe", ["/S"], 0,
     None, r"C:\Ours"),
    ("without rights, for everyone: refused", "limited", ["/S", "/AllUsers"],
     ERROR_ELEVATION_REQUIRED, None, r"C:\Ours"),
    ("without rights, no scope: just for me", "limited", ["/S"], 0, DEFAULT_USER, r"C:\Ours"),
    ("that copy uninstalled", DEFAULT_USER + r"\uninstall.exe", ["/S"], 0, None, r"C:\Ours"),
    ("the copy for everyone uninstalled", r"C:\Ours\uninstall.exe", ["/S"], 0, None, None),
]


def build(makensis, script, icon, licence, work, limited):
    """The installer around payload.txt; limited, without asking Windows for rights."""
    payload = work / "payload.txt"
    payload.write_text("payload\n")
    (work / "files.nsh").write_text(f'SetOutPath "$INSTDIR"\nFile "{payload}"\n')
    (work / "remove.nsh").write_text('Delete "$INSTDIR\\payload.txt"\n')
    text = script.read_text()
    name = "limited" if limited else "full"
    if limited:
        # After MultiUser.nsh's own request, which the last one overrides.
        marker = "!include MUI2.nsh\n"
        if marker not in text:
            fail(f"{script} has no line {marker.strip()!r} to ask for no rights after")
        text = text.replace(marker, marker + "RequestExecutionLevel user\n", 1)
    (work / f"{name}.nsi").write_text(text)
    defines = {"VERSION_TEXT": "1.03", "VERSION_NUMBERS": "1.3.0.0", "ICON": icon,
               "LICENSE": licence, "FILES": work / "files.nsh", "REMOVE": work / "remove.nsh",
               "SIZE_KB": 1, "OUTFILE": work / f"{name}-setup.exe"}
    subprocess.run([makensis, "-V1", *(f"-D{k}={v}" for k, v in defines.items()),
                    str(work / f"{name}.nsi")], check=True)
    return work / f"{name}-setup.exe"


def copies():
    """{scope: (the folder its entry names, or None; whether its shortcut is there)}."""
    found = {}
    for scope, hive in HIVES.items():
        values = reg_values(f"{hive}\\{UNINSTALL}\\Mirovane")
        shortcut = unix_path(wine_prefix.expand(MENUS[scope]) + f"\\{PRODUCT}.lnk")
        found[scope] = (values and values.get("InstallLocation"), shortcut.exists())
    return found


def differences(expected, folders):
    """What differs from the copies expected ({scope: folder or None}): entries, shortcuts, the
    payload in each copy's folder, and any folder used before that is not a copy's now."""
    wrong = []
    for scope, (entry, shortcut) in copies().items():
        folder = expected[scope]
        if (entry, shortcut) != (folder, folder is not None):
            wrong.append(f"{scope}: entry {entry!r} and shortcut {shortcut}, not {folder!r}")
        if folder and not unix_path(folder + r"\payload.txt").is_file():
            wrong.append(f"{scope}: no payload.txt in {folder}")
    for folder in folders - set(expected.values()):
        if unix_path(folder).exists():
            wrong.append(f"{folder} is left")
    return wrong


def main():
    makensis, script, icon, licence = sys.argv[1:5]
    with tempfile.TemporaryDirectory() as work, wine_prefix.new():
        work = pathlib.Path(work)
        installers = {limited: build(makensis, pathlib.Path(script), icon, licence, work,
                                     limited) for limited in (False, True)}
        default_user = wine_prefix.expand(DEFAULT_USER)
        folders = set()
        for what, program, arguments, code, user, machine in STEPS:
            expected = {"user": user and user.replace(DEFAULT_USER, default_user),
                        "machine": machine}
            folders.update(f for f in expected.values() if f)
            if program in ("full", "limited"):
                program = str(installers[program == "limited"])
            program = program.replace(DEFAULT_USER, default_user)
            result = wine(program, *arguments, check=False)
            # A Windows exit code reaches Linux as its low byte.
            if result.returncode != code % 256:
                fail(f"{what}: exit code {result.returncode}, not {code} % 256\n{result.stderr}")
            if code == ERROR_ELEVATION_REQUIRED and REFUSAL not in result.stderr:
                fail(f"{what}: standard error does not say why: {result.stderr!r}")
            wine_prefix.wait_until(lambda: not differences(expected, folders),
                                   lambda: f"{what}: {differences(expected, folders)}")
            said = f", saying {result.stderr.strip()!r}" if code else ""
            print(f"PASS: {what} ({' '.join(arguments)}): exit code {code}{said}; "
                  f"just for me {expected['user']}, for everyone {expected['machine']}")


if __name__ == "__main__":
    main()
