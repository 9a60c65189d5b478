#!/usr/bin/python3
"""The Windows downloads under Wine, used as a person on Windows would use them, on a new Wine
prefix of the test's own (a machine that never saw the program): the installer run silently for
everyone (/S alone, as an administrator's scripts have run it), then just for the user beside it
and again for everyone over the first copy, each with the switches that the winget manifests give
its scope; each time the entry in that scope's hive must be what the manifests claim, in the
folder they name, with the shortcut in that scope's Start menu, and the other copy untouched;
the installed program started from each copy, 100 typed and the two outputs read (copied to the
clipboard, as a person would copy them), the window closed with Alt+F4; each copy uninstalled
silently, the other left whole, and at the end nothing left; the portable zip unpacked and run
the same way; at 144 dpi the window 1.5 times as large; on Windows 11's dark mode, dark. The installed
program is also run under Wine's relay trace: it must never make Windows' clock tick faster (for
a timer of its own or of Qt's, the style's animations of the button under the pointer among
them), and screen readers must be told each settled result once, about a second after typing,
and an error at once; what they find through UI Automation (each box named and labelled by its
caption) is read with the client UIA_TREE.

Wine is not Windows: this proves the files, the registry entries, the shortcut and that the
program runs, converts and scales with the Windows platform plugin, not how real Windows draws
it or reads it aloud, nor how UAC treats the installer (Wine runs it as an administrator).

Usage: with_xvfb.py windows_installed.py SETUP_EXE ZIP UIA_TREE MANIFESTS [SCREENSHOT_DIR]
MANIFESTS: the folder that tools/winget-manifests wrote the installer's winget manifests in.
With SCREENSHOT_DIR, the window at 96 and at 144 dpi and in dark mode is saved there
(windows-96dpi.png, windows-144dpi.png, windows-dark.png).
"""

import json
import pathlib
import shlex
import subprocess
import sys
import tempfile
import time
import zipfile

import yaml
from Xlib import display

import wine_prefix
import wine_trace
from wine_prefix import ENVIRONMENT, TIMEOUT_S, UNINSTALL, fail, reg_values, unix_path, wine
from x11windows import find_window

TITLE = "My Mirovane"
# Each scope's hive and Start menu.
HIVES = {"machine": "HKLM", "user": "HKCU"}
MENUS = {"machine": r"%ProgramData%\Microsoft\Windows\Start Menu\Programs",
         "user": r"%APPDATA%\Microsoft\Windows\Start Menu\Programs"}
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

class Scope:
    """A scope as the winget manifests describe its installer: its switches, the folder it
    installs in, and the entry it leaves (key, display name, version, publisher)."""

    def __init__(self, installer, manifest):
        self.name = installer["Scope"]
        self.switches = ["/S", installer["InstallerSwitches"]["Custom"]]
        self.folder = wine_prefix.expand(
            installer["InstallationMetadata"]["DefaultInstallLocation"])
        (entry,) = manifest["AppsAndFeaturesEntries"]
        self.key = f"{HIVES[self.name]}\\{UNINSTALL}\\{entry['ProductCode']}"
        self.claims = {name: entry[name] for name in ("DisplayName", "DisplayVersion",
                                                      "Publisher")}
        self.claims["InstallLocation"] = self.folder
        self.shortcut = wine_prefix.expand(MENUS[self.name]) + f"\\{TITLE}.lnk"

    def files(self):
        return wine_prefix.files_in(unix_path(self.folder))

    def left(self):
        """What is left of this scope's copy: files, the entry, the shortcut."""
        folder = unix_path(self.folder)
        return ([str(p) for p in folder.rglob("*")] if folder.exists() else [],
                reg_values(self.key), unix_path(self.shortcut).exists())


def read_scopes(manifests):
    """{scope name: Scope} from the installer manifest in the folder given."""
    (path,) = pathlib.Path(manifests).rglob("*.installer.yaml")
    manifest = yaml.safe_load(path.read_text(encoding="utf-8"))
    return {installer["Scope"]: Scope(installer, manifest)
            for installer in manifest["Installers"]}


def install(setup, scope, switches):
    """Installs silently with the switches given, into the scope expected; checks the entry
    against the manifests' claims, and the shortcut; returns the entry's values."""
    wine(str(setup), *switches)
    values = reg_values(scope.key)
    if values is None:
        fail(f"{' '.join(switches)}: no Apps & features entry {scope.key}")
    for name in ("DisplayIcon", "UninstallString", "QuietUninstallString", "EstimatedSize"):
        if not values.get(name):
            fail(f"the Apps & features entry has no {name}: {values}")
    claimed = {name: values.get(name) for name in scope.claims}
    if claimed != scope.claims:
        fail(f"{' '.join(switches)}: the entry says {claimed}, the manifests {scope.claims}")
    if not unix_path(scope.shortcut).is_file():
        fail("no Start-menu shortcut " + scope.shortcut)
    print(f"PASS: {' '.join(switches)} installed {len(scope.files())} files for {scope.name} "
          f"scope, its entry as the manifests claim: {claimed}")
    return values


def uninstall(scope, other):
    """Uninstalls a scope's copy with its entry's quiet command: nothing of it may be left, and
    the other copy's files, entry and shortcut must be as they were."""
    before = other.left()
    quiet_uninstall = shlex.split(reg_values(scope.key)["QuietUninstallString"], posix=False)
    wine(*(part.strip('"') for part in quiet_uninstall))
    wine_prefix.wait_until(lambda: scope.left() == ([], None, False),
                           lambda: f"uninstalling {scope.name}'s copy left {scope.left()}")
    if other.left() != before:
        fail(f"uninstalling {scope.name}'s copy changed {other.name}'s: {other.left()}")
    print(f"PASS: {scope.name}'s copy uninstalled silently: no file, shortcut or entry left, "
          f"{other.name}'s as it was")


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
    setup, archive, client, manifests = (pathlib.Path(a).resolve() for a in sys.argv[1:5])
    screenshots = pathlib.Path(sys.argv[5]).resolve() if len(sys.argv) > 5 else None
    with wine_prefix.new():
        use_downloads(setup, archive, client, read_scopes(manifests), screenshots)


def use_downloads(setup, archive, client, scopes, screenshots):
    machine, user = scopes["machine"], scopes["user"]
    # For everyone, as an administrator's scripts have installed it before there were scopes.
    install(setup, machine, ["/S"])
    files = machine.files()
    convert_and_close(unix_path(machine.folder) / "mirovane.exe")
    traced_run(unix_path(machine.folder) / "mirovane.exe", client)

    # Just for the user, beside it.
    install(setup, user, user.switches)
    if machine.files() != files:
        fail("installing just for the user changed the copy for everyone")
    convert_and_close(unix_path(user.folder) / "mirovane.exe")

    # For everyone again, over the first copy: one copy, the same files and one entry.
    user_before = user.left()
    install(setup, machine, machine.switches)
    if machine.files() != files:
        fail(f"installing again changed the files: {sorted(set(machine.files()) ^ set(files))}")
    keys = wine("reg", "query", machine.key.rsplit("\\", 1)[0], "/reg:64").stdout
    if keys.count("\\Mirovane") != 1:
        fail("installing again left more than one entry")
    if user.left() != user_before:
        fail("installing for everyone again changed the copy just for the user")
    convert_and_close(unix_path(machine.folder) / "mirovane.exe")

    uninstall(user, machine)
    uninstall(machine, user)

    with tempfile.TemporaryDirectory() as unpacked:
        with zipfile.ZipFile(archive) as content:
            content.extractall(unpacked)
        (top,) = pathlib.Path(unpacked).iterdir()
        program = top / "mirovane.exe"
        size = convert_and_close(program, screenshots and screenshots / "windows-96dpi.png")
        # As on Windows, a new scale takes effect at the next sign-in: Wine's next start.
        wine("reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD",
             "/d", "144", "/f")
        wine_prefix.restart_wine()
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
        wine_prefix.restart_wine()
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
