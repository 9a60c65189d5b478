#!/usr/bin/python3
"""The Windows downloads under Wine, used as a person on Windows would use them, on a new Wine
prefix of the test's own (a machine that never saw the program): the installer run silently,
the installed program started from where the installer put it, 100 typed and the two outputs
read (copied to the clipboard, as a person would copy them), the window closed with Alt+F4;
installed again over itself; uninstalled silently; the portable zip unpacked and run the same
way; at 144 dpi the window 1.5 times as large; on Windows 11's dark mode, dark. The installed
program is also run under Wine's relay trace: it must never make Windows' clock tick faster (for
a timer of its own or of Qt's, the style's animations of the button under the pointer among
them), and screen readers must be told each settled result once, about a second after typing,
and an error at once; what they find through UI Automation (each box named and labelled by its
caption) is read with the client UIA_TREE.

Wine is not Windows: this proves the files, the registry entries, the shortcut and that the
program runs, converts and scales with the Windows platform plugin, not how real Windows draws
it or reads it aloud.

Usage: with_xvfb.py windows_installed.py SETUP_EXE ZIP UIA_TREE [SCREENSHOT_DIR]
With SCREENSHOT_DIR, the window at 96 and at 144 dpi and in dark mode is saved there
(windows-96dpi.png, windows-144dpi.png, windows-dark.png).
"""

import json
import os
import pathlib
import shlex
import subprocess
import sys
import tempfile
import time
import zipfile

from Xlib import display

import wine_trace
from x11windows import find_window

TITLE = "My Mirovane"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Mirovane"
INSTALL_DIR = r"C:\Program Files\My Mirovane"
SHORTCUT = r"C:\ProgramData\Microsoft\Windows\Start Menu\Programs\My Mirovane.lnk"
TIMEOUT_S = 60
CLOSE_S = 2
SCALE = 1.5  # 144 dpi over 96
SETTLED_S = (0.8, 3.0)  # when a result is said: a second after the last change, give or take
AT_ONCE_S = 0.6  # by when an error is said
CLEAR_MIDDLE = (156, 284)  # in the window at 96 dpi
# What UI Automation finds in the window: (control type, name, focusable, focused, read-only,
# labelled by). 50032 is a window, 50004 an edit, 50000 a button.
BOXES = ["Enter a Temperature to Convert", "Degrees in  Fahrenheit", "Degrees in Celsius"]
EXPECTED_TREE = [
    (50032, TITLE),
    (50004, BOXES[0], True, True, False, BOXES[0]),
    (50004, BOXES[1], True, False, True, BOXES[1]),
    (50004, BOXES[2], True, False, True, BOXES[2]),
    (50000, "CLEAR", True, False, None, None),
]

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


def start(program, environment=ENVIRONMENT, stderr=subprocess.DEVNULL):
    """Starts the program and waits for its window, focused; returns the process and window."""
    process = subprocess.Popen(["wine", str(program)], env=environment,
                               stdout=subprocess.DEVNULL, stderr=stderr)
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
    subprocess.run(["xdotool", "windowfocus", "--sync", str(window.id)], check=True)
    return process, window


def type_keys(text):
    subprocess.run(["xdotool", "type", "--delay", "50", text], check=True)


def read_outputs(process, program):
    """Copies both outputs, as a person would: Tab selects the whole of each read-only output box
    in turn, Ctrl+C copies it. They must be those of 100."""
    fahrenheit = clipboard_after(["Tab", "ctrl+c"])
    celsius = clipboard_after(["Tab", "ctrl+c"])
    if (fahrenheit, celsius) != ("212.00", "37.78"):
        process.kill()
        fail(f"{program}: 100 gave {fahrenheit!r} and {celsius!r}, not 212.00 and 37.78")


def close(process, program):
    """Closes the window with Alt+F4; the program must end at once, with status 0."""
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
    return took


def convert_and_close(program, screenshot=None):
    """Starts the program, types 100, reads both outputs and closes it with Alt+F4. Returns the
    window's size; saves a picture of it to `screenshot` if given."""
    process, window = start(program)
    geometry = window.get_geometry()
    type_keys("100")
    time.sleep(0.5)
    if screenshot:
        subprocess.run(["import", "-window", str(window.id), str(screenshot)], check=True)
    read_outputs(process, program)
    took = close(process, program)
    print(f"PASS: {program}: {geometry.width}x{geometry.height}, 100 gave 212.00 and 37.78; "
          f"Alt+F4 ended it in {took:.2f} s")
    return geometry.width, geometry.height


def wait_for_notification(trace_path, since, describe):
    """Waits for the next thing said to screen readers after the `since` ones; returns it and the
    seconds it took."""
    begun = time.monotonic()
    while time.monotonic() - begun < TIMEOUT_S / 4:
        said = list(wine_trace.notifications(trace_path.read_text(errors="replace")))
        if len(said) > since:
            return said[since], time.monotonic() - begun
        time.sleep(0.02)
    fail(f"screen readers were not told {describe}")


def uia_tree(client):
    """What UI Automation finds in the window, in EXPECTED_TREE's terms, window and controls
    only (the parts Qt makes of a box, its scroll bars, are left out)."""
    result = wine(str(client), TITLE)
    tree = []
    for element in map(json.loads, result.stdout.splitlines()):
        if element["depth"] == 0:
            tree.append((element["type"], element["name"]))
        elif element["type"] in (50004, 50000):
            # Only an edit has a value, and so a read-only state.
            read_only = element["readOnly"] if element["type"] == 50004 else None
            tree.append((element["type"], element["name"], element["focusable"],
                         element["focused"], read_only, element["labeledBy"]))
    return tree


def traced_run(program, client):
    """The installed program under Wine's relay trace of the calls that set timers or make the
    system's clock faster, and of what screen readers are told; and what they find in it."""
    wine("reg", "add", r"HKCU\Software\Wine\Debug", "/v", "RelayInclude", "/d",
         ";".join(wine_trace.TRACED), "/f")
    traced = dict(ENVIRONMENT, WINEDEBUG="+relay")
    with tempfile.NamedTemporaryFile(prefix="relay-", suffix=".log") as log:
        trace_path = pathlib.Path(log.name)
        process, window = start(program, traced, log)
        # Qt serves UI Automation from the first request of a client on, as Windows' screen
        # readers make it when the window appears: what they find, and then what they are told.
        tree = uia_tree(client)
        if tree != EXPECTED_TREE:
            fail(f"UI Automation finds {tree}, not {EXPECTED_TREE}")
        print(f"PASS: UI Automation finds {tree}")
        time.sleep(SETTLED_S[1])
        if list(wine_trace.notifications(trace_path.read_text(errors="replace"))):
            fail("screen readers were told of the outputs that the window first shows")

        type_keys("100")
        (text, processing), took = wait_for_notification(trace_path, 0, "the result of 100")
        expected = "212.00 Degrees in Fahrenheit, 37.78 Degrees in Celsius"
        if text != expected or processing != "All":
            fail(f"for 100 screen readers were told {text!r} ({processing}), not {expected!r} "
                 "(All, as Qt says something polite)")
        if not SETTLED_S[0] <= took <= SETTLED_S[1]:
            fail(f"the result of 100 was said {took:.2f} s after typing, not about a second")
        print(f"PASS: screen readers were told {text!r} ({processing}) {took:.2f} s after 100")

        read_outputs(process, program)
        # The pointer over CLEAR and off it, twice: the style animates the button each time.
        for _ in range(2):
            for x, y in (CLEAR_MIDDLE, (CLEAR_MIDDLE[0], 5)):
                subprocess.run(["xdotool", "mousemove", "--window", str(window.id), str(x),
                                str(y)], check=True)
                time.sleep(0.5)
        # Back to the input, and a number out of range typed over what is there.
        subprocess.run(["xdotool", "key", "--delay", "50", "shift+Tab", "shift+Tab", "ctrl+a"],
                       check=True)
        type_keys("1e400")
        (text, processing), took = wait_for_notification(trace_path, 1, "the error")
        if text != "Error: Overflow" or not processing.startswith("Important"):
            fail(f"for 1e400 screen readers were told {text!r} ({processing}), not "
                 "'Error: Overflow' as something important")
        if took > AT_ONCE_S:
            fail(f"the error was said {took:.2f} s after typing, not at once")
        print(f"PASS: screen readers were told {text!r} ({processing}) {took:.2f} s after 1e400")
        time.sleep(SETTLED_S[1])
        close(process, program)

        trace = trace_path.read_text(errors="replace")
        said = [text for text, _ in wine_trace.notifications(trace)]
        if len(said) != 2:
            fail(f"screen readers were told {said}, not the result of 100 once and the error")
        tally = wine_trace.counts(trace)
        raised = {name: tally[name] for name in wine_trace.CLOCK_RAISERS if name in tally}
        if raised:
            fail(f"the program made Windows' clock faster: {raised}")
        print(f"PASS: no call that makes Windows' clock faster, from start to close; {tally}")


def main():
    setup, archive, client = (pathlib.Path(argument).resolve() for argument in sys.argv[1:4])
    screenshots = pathlib.Path(sys.argv[4]).resolve() if len(sys.argv) > 4 else None
    with tempfile.TemporaryDirectory(prefix="wine-") as prefix:
        ENVIRONMENT["WINEPREFIX"] = prefix
        try:
            restart_wine()
            use_downloads(setup, archive, client, screenshots)
        finally:
            subprocess.run(["wineserver", "-k"], **QUIET)


def restart_wine():
    """Starts Wine's server and services (for the first time, or again after the server's end),
    with none of the test's output: they outlive each program and would keep its pipes open."""
    subprocess.run(["wineserver", "-k"], **QUIET)
    subprocess.run(["wineserver", "-w"], **QUIET)
    subprocess.run(["wineserver", "-p"], check=True, **QUIET)
    subprocess.run(["wine", "wineboot", "--init"], check=True, timeout=180, **QUIET)


def use_downloads(setup, archive, client, screenshots):
    values = install(setup)
    folder = unix_path(INSTALL_DIR)
    files = sorted(p.relative_to(folder) for p in folder.rglob("*") if p.is_file())
    print("PASS: installed", len(files), "files, entry", values)
    convert_and_close(folder / "mirovane.exe")
    traced_run(folder / "mirovane.exe", client)

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
