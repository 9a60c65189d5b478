#!/usr/bin/python3
"""The Windows downloads under Wine, used as a person on Windows would use them, on a new Wine
prefix of the test's own (a machine that never saw the program): the installer run silently,
the installed program started from where the installer put it, 100 typed and the two outputs
read (copied to the clipboard, as a person would copy them), the window closed with Alt+F4;
installed again over itself; uninstalled silently; the portable zip unpacked and run the same
way; at 144 dpi the window 1.5 times as large; on Windows 11's dark mode, dark.

Wine is not Windows: this proves the files, the registry entries, the shortcut and that the
program runs, converts and scales with the Windows platform plugin, not how real Windows draws
it or reads it aloud.

Usage: with_xvfb.py windows_installed.py SETUP_EXE ZIP [SCREENSHOT_DIR]
With SCREENSHOT_DIR, the window at 96 and at 144 dpi and in dark mode is saved there
(windows-96dpi.png, windows-144dpi.png, windows-dark.png).
"""

import os
import pathlib
import shlex
import subprocess
import sys
import tempfile
import time
import zipfile

from Xlib import display

from x11windows import find_window

TITLE = "My Mirovane"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Mirovane"
INSTALL_DIR = r"C:\Program Files\My Mirovane"
SHORTCUT = r"C:\ProgramData\Microsoft\Windows\Start Menu\Programs\My Mirovane.lnk"
TIMEOUT_S = 60
CLOSE_S = 2
SCALE = 1.5  # 144 dpi over 96

# Windows programs find their libraries beside themselves, not through a build's search path.
ENVIRONMENT = {k: v for k, v in os.environ.items() if k not in ("WINEPATH", "WINEPREFIX")}
ENVIRONMENT.update(WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
QUIET = {"env": ENVIRONMENT, "stdin": subprocess.DEVNULL, "stdout": subprocess.DEVNULL,
         "stderr": subprocess.DEVNULL}


def fail(message):
    sys.exit("FAIL: " + message)


def wine(*arguments, check=True):
    result = subprocess.run(["wine", *arguments], env=ENVIRONMENT, capture_output=True,
                            text=True, timeout=TIMEOUT_S)
    if check and result.returncode != 0:
        fail(f"wine {' '.join(arguments)}: status {result.returncode}\n{result.stderr}")
    return result


def unix_path(windows_path):
    return pathlib.Path(wine("winepath", "-u", windows_path).stdout.strip())


def uninstall_entries():
    """The values of the program's "Apps & features" entry, or None when there is none."""
    result = wine("reg", "query", UNINSTALL_KEY, "/reg:64", check=False)
    if result.returncode != 0:
        return None
    values = {}
    for line in result.stdout.splitlines():
        parts = line.strip().split(None, 2)
        if len(parts) == 3 and parts[1].startswith("REG_"):
            values[parts[0]] = parts[2]
    return values


def install(setup):
    wine(str(setup), "/S")
    values = uninstall_entries()
    if values is None:
        fail("no Apps & features entry after installing")
    for name in ("DisplayName", "DisplayVersion", "Publisher", "DisplayIcon", "UninstallString",
                 "QuietUninstallString", "EstimatedSize"):
        if not values.get(name):
            fail(f"the Apps & features entry has no {name}: {values}")
    if values["DisplayName"] != TITLE:
        fail(f"DisplayName is {values['DisplayName']!r}")
    if not (unix_path(SHORTCUT)).is_file():
        fail("no Start-menu shortcut " + SHORTCUT)
    return values


def clipboard_after(keys):
    subprocess.run(["xdotool", "key", "--delay", "50", *keys], check=True)
    time.sleep(0.5)
    return subprocess.run(["xclip", "-o", "-selection", "clipboard"], capture_output=True,
                          text=True, timeout=10).stdout


def convert_and_close(program, screenshot=None):
    """Starts the program, types 100, reads both outputs and closes it with Alt+F4. Returns the
    window's size; saves a picture of it to `screenshot` if given."""
    process = subprocess.Popen(["wine", str(program)], env=ENVIRONMENT,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    screen = display.Display()
    deadline = time.monotonic() + TIMEOUT_S
    window = None
    while window is None:
        if process.poll() is not None:
            fail(f"{program} ended before showing its window ({process.returncode})")
        if time.monotonic() > deadline:
            process.kill()
            fail(f"{program}: no window titled {TITLE}")
        time.sleep(0.2)
        window = find_window(screen, TITLE)
    time.sleep(1)
    geometry = window.get_geometry()
    subprocess.run(["xdotool", "windowfocus", "--sync", str(window.id)], check=True)
    subprocess.run(["xdotool", "type", "--delay", "50", "100"], check=True)
    time.sleep(0.5)
    if screenshot:
        subprocess.run(["import", "-window", str(window.id), str(screenshot)], check=True)
    # Tab selects the whole of each read-only output box in turn; Ctrl+C copies it.
    fahrenheit = clipboard_after(["Tab", "ctrl+c"])
    celsius = clipboard_after(["Tab", "ctrl+c"])
    if (fahrenheit, celsius) != ("212.00", "37.78"):
        process.kill()
        fail(f"{program}: 100 gave {fahrenheit!r} and {celsius!r}, not 212.00 and 37.78")
    closed = time.monotonic()
    subprocess.run(["xdotool", "key", "alt+F4"], check=True)
    try:
        status = process.wait(timeout=TIMEOUT_S)
    except subprocess.TimeoutExpired:
        process.kill()
        fail(f"{program} did not end after Alt+F4")
    took = time.monotonic() - closed
    if status != 0:
        fail(f"{program} ended with status {status}")
    if took > CLOSE_S:
        fail(f"{program} took {took:.2f} s to end after Alt+F4")
    print(f"PASS: {program}: {geometry.width}x{geometry.height}, 100 gave 212.00 and 37.78; "
          f"Alt+F4 ended it in {took:.2f} s")
    return geometry.width, geometry.height


def main():
    setup, archive = (pathlib.Path(argument).resolve() for argument in sys.argv[1:3])
    screenshots = pathlib.Path(sys.argv[3]).resolve() if len(sys.argv) > 3 else None
    with tempfile.TemporaryDirectory(prefix="wine-") as prefix:
        ENVIRONMENT["WINEPREFIX"] = prefix
        try:
            restart_wine()
            use_downloads(setup, archive, screenshots)
        finally:
            subprocess.run(["wineserver", "-k"], **QUIET)


def restart_wine():
    """Starts Wine's server and services (for the first time, or again after the server's end),
    with none of the test's output: they outlive each program and would keep its pipes open."""
    subprocess.run(["wineserver", "-k"], **QUIET)
    subprocess.run(["wineserver", "-w"], **QUIET)
    subprocess.run(["wineserver", "-p"], check=True, **QUIET)
    subprocess.run(["wine", "wineboot", "--init"], check=True, timeout=180, **QUIET)


def use_downloads(setup, archive, screenshots):
    values = install(setup)
    folder = unix_path(INSTALL_DIR)
    files = sorted(p.relative_to(folder) for p in folder.rglob("*") if p.is_file())
    print("PASS: installed", len(files), "files, entry", values)
    convert_and_close(folder / "mirovane.exe")

    # Installing over the installed copy leaves one copy, the same files and one entry.
    install(setup)
    again = sorted(p.relative_to(folder) for p in folder.rglob("*") if p.is_file())
    if again != files:
        fail(f"installing again changed the files: {sorted(set(again) ^ set(files))}")
    keys = wine("reg", "query", UNINSTALL_KEY.rsplit("\\", 1)[0], "/reg:64").stdout
    if keys.count("\\Mirovane") != 1:
        fail("installing again left more than one entry")
    convert_and_close(folder / "mirovane.exe")

    # The silent uninstaller runs a copy of itself and returns: wait for its work to be done.
    quiet_uninstall = shlex.split(uninstall_entries()["QuietUninstallString"], posix=False)
    wine(*(part.strip('"') for part in quiet_uninstall))
    deadline = time.monotonic() + TIMEOUT_S
    while folder.exists() or uninstall_entries() is not None or unix_path(SHORTCUT).exists():
        if time.monotonic() > deadline:
            left = [str(p) for p in folder.rglob("*")] if folder.exists() else []
            fail(f"uninstalling left {left}, entry {uninstall_entries()}, "
                 f"shortcut {unix_path(SHORTCUT).exists()}")
        time.sleep(0.5)
    print("PASS: uninstalled silently: no file, shortcut or entry left")

    with tempfile.TemporaryDirectory() as unpacked:
        with zipfile.ZipFile(archive) as content:
            content.extractall(unpacked)
        (top,) = pathlib.Path(unpacked).iterdir()
        program = top / "mirovane.exe"
        size = convert_and_close(program, screenshots and screenshots / "windows-96dpi.png")
        # As on Windows, a new scale takes effect at the next sign-in: Wine's next start.
        wine("reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD",
             "/d", "144", "/f")
        restart_wine()
        scaled = convert_and_close(program, screenshots and screenshots / "windows-144dpi.png")
        ratios = [b / a for a, b in zip(size, scaled)]
        if any(abs(ratio - SCALE) > 0.05 for ratio in ratios):
            fail(f"at 144 dpi the window is {scaled}, at 96 dpi {size}: not {SCALE} times")
        print(f"PASS: at 144 dpi the window is {scaled[0]}x{scaled[1]}, {ratios[0]:.3f} and "
              f"{ratios[1]:.3f} times its size at 96 dpi")

        # Windows 11 in dark mode: Qt 6.8 takes its dark palette and the window follows it.
        # (Qt 6.8 keeps Windows 10's style light.)
        personalize = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Themes\Personalize"
        wine("reg", "add", personalize, "/v", "AppsUseLightTheme", "/t", "REG_DWORD", "/d", "0",
             "/f")
        wine("reg", "add", r"HKCU\Software\Wine", "/v", "Version", "/d", "win11", "/f")
        restart_wine()
        with tempfile.TemporaryDirectory() as pictures:
            dark = (screenshots or pathlib.Path(pictures)) / "windows-dark.png"
            convert_and_close(program, dark)
            mean = float(subprocess.run(
                ["convert", str(dark), "-colorspace", "Gray", "-format", "%[fx:mean]", "info:"],
                capture_output=True, text=True, check=True).stdout)
        if mean > 0.35:
            fail(f"on Windows 11's dark mode the window is light (mean grey {mean:.2f})")
        print(f"PASS: on Windows 11's dark mode the window is dark (mean grey {mean:.2f})")


if __name__ == "__main__":
    main()
