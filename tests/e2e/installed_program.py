#!/usr/bin/python3
"""The installed program used as a person uses it: started as the desktop starts it, 100 typed
into its input, 212.00 and 37.78 read from its outputs through AT-SPI (as a screen reader reads
them), and its window closed the way a window manager closes it (a WM_DELETE_WINDOW client
message), after which it must end with status 0.

Usage: with_xvfb.py dbus-run-session -- installed_program.py PROGRAM [ARGUMENT...]
(an emulator with its options, then the program, for a cross-built one)
"""

import os
import subprocess
import sys

import pyatspi
from Xlib import X, display, protocol

from screen_reader_view import TIMEOUT_S, find_application, named, text_of, wait_for
from x11windows import find_window

TITLE = "My Mirovane"


def main():
    environment = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    program = subprocess.Popen(sys.argv[1:], env=environment, stdout=subprocess.DEVNULL)
    try:
        screen = display.Display()

        def shown():
            if program.poll() is not None:
                sys.exit(f"FAIL: the program ended with status {program.returncode}")
            return find_window(screen, TITLE)

        window = wait_for("a window titled " + TITLE, shown)
        application = wait_for("the program on the accessibility bus",
                               lambda: find_application("mirovane"))
        fahrenheit = wait_for("a text named 'Degrees in  Fahrenheit'", lambda: named(
            application, pyatspi.ROLE_TEXT, "Degrees in  Fahrenheit"))
        celsius = named(application, pyatspi.ROLE_TEXT, "Degrees in Celsius")

        subprocess.run(["xdotool", "windowfocus", "--sync", str(window.id)], check=True,
                       timeout=TIMEOUT_S)
        subprocess.run(["xdotool", "type", "100"], check=True, timeout=TIMEOUT_S)
        wait_for("212.00 read from the Fahrenheit box", lambda: text_of(fahrenheit) == "212.00")
        assert text_of(celsius) == "37.78", text_of(celsius)

        atoms = {name: screen.intern_atom(name) for name in ("WM_PROTOCOLS", "WM_DELETE_WINDOW")}
        window.send_event(protocol.event.ClientMessage(
            window=window, client_type=atoms["WM_PROTOCOLS"],
            data=(32, [atoms["WM_DELETE_WINDOW"], X.CurrentTime, 0, 0, 0])))
        screen.flush()
        status = program.wait(timeout=TIMEOUT_S)
        if status != 0:
            sys.exit(f"FAIL: exit status {status} after the window was closed")
        print("PASS: 100 typed, 212.00 and 37.78 read through AT-SPI, the window closed,"
              " exit status 0")
    finally:
        if program.poll() is None:
            program.kill()
            program.wait()


if __name__ == "__main__":
    main()
