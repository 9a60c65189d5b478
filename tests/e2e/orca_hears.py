#!/usr/bin/python3
"""What the Orca screen reader says while a person types into the running program: the results
of typing 100, with the focus still in the input, and an overflow's error.

Orca runs headless, with braille off and its speech pointed at a speech server that is not
there, so that nothing is heard; it still writes every utterance to its debug log as SPEECH
OUTPUT, which is read once Orca has ended (it writes the log in blocks). Prints all that Orca
said, then PASS or FAIL.

Usage: with_xvfb.py dbus-run-session -- orca_hears.py PROGRAM [ARGUMENT...]
(an emulator with its options, then the program, for a cross-built one)
Orca's whole log is kept where ORCA_LOG names, if set.
"""

import os
import re
import signal
import subprocess
import sys
import tempfile
import time

import pyatspi

import screen_reader_view as reader
from screen_reader_view import TIMEOUT_S, find_application, wait_for

# Longer than the program's pause before it says the results, with room for a loaded machine.
SETTLE_S = 3
SPEECH = re.compile(r"SPEECH OUTPUT: '(.*?)'")


def focused_name(application):
    application.clearCache()
    for node in reader.nodes(application):
        if node.getState().contains(pyatspi.STATE_FOCUSED):
            return node.name
    return None


def xdotool(*arguments):
    subprocess.run(["xdotool", *arguments], check=True, timeout=TIMEOUT_S)


def main():
    work = tempfile.TemporaryDirectory(prefix="orca-hears-")
    log = os.environ.get("ORCA_LOG") or os.path.join(work.name, "orca.log")
    # Orca's settings of its own, not the person's who runs the test, and no sound.
    home = dict(HOME=work.name, XDG_CONFIG_HOME=os.path.join(work.name, "config"),
                XDG_DATA_HOME=os.path.join(work.name, "data"), GSETTINGS_BACKEND="memory",
                SPEECHD_ADDRESS="unix_socket:" + os.path.join(work.name, "no-speech-server"))
    orca = subprocess.Popen(["orca", "--debug-file", log, "--enable", "speech",
                             "--disable", "braille"], env=dict(os.environ, **home),
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    program = None
    try:
        def orca_running():
            if orca.poll() is not None:
                sys.exit(f"FAIL: Orca ended with status {orca.returncode}")
            return find_application("orca")

        wait_for("Orca on the accessibility bus", orca_running)
        program = subprocess.Popen(sys.argv[1:], stdout=subprocess.DEVNULL,
                                   env=dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1"))
        application = wait_for("the program on the accessibility bus",
                               lambda: find_application("mirovane"))
        window = wait_for("the program's window", lambda: subprocess.run(
            ["xdotool", "search", "--onlyvisible", "--name", "My Mirovane"],
            capture_output=True, text=True, timeout=TIMEOUT_S).stdout.split())[0]
        xdotool("windowfocus", "--sync", window)
        wait_for("the focus in the input", lambda: focused_name(application)
                 == "Enter a Temperature to Convert")
        xdotool("type", "--delay", "100", "100")
        time.sleep(SETTLE_S)
        focus_after_results = focused_name(application)
        xdotool("key", "ctrl+a")
        xdotool("type", "--delay", "100", "1e999")
        time.sleep(SETTLE_S)
    finally:
        # Orca ends cleanly on SIGTERM, and writes out its log, once an event wakes it up: the
        # program's window going away is one.
        orca.send_signal(signal.SIGTERM)
        if program is not None:
            program.terminate()
            program.wait(timeout=TIMEOUT_S)
        orca.wait(timeout=TIMEOUT_S)

    with open(log, errors="replace") as f:
        said = SPEECH.findall(f.read())
    print("Orca said:")
    for line in said:
        print(f"  '{line}'")
    results = [line for line in said if "212.00" in line and "37.78" in line]
    errors = [line for line in said if "Overflow" in line]
    if len(results) != 1 or "Fahrenheit" not in results[0] or "Celsius" not in results[0]:
        sys.exit("FAIL: the results of 100 were not said once, with their units")
    if focus_after_results != "Enter a Temperature to Convert":
        sys.exit(f"FAIL: the focus moved to {focus_after_results!r}")
    if len(errors) != 1:
        sys.exit("FAIL: the overflow was not said once")
    print("PASS: Orca said the results once, the focus stayed in the input, and said the error")


if __name__ == "__main__":
    main()
