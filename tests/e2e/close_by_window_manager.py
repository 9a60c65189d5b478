#!/usr/bin/python3
"""Starts the program on the X display of the environment, waits for its window, closes it the
way a window manager does (a WM_DELETE_WINDOW client message) and expects exit status 0.

Usage: close_by_window_manager.py PROGRAM [ARGUMENT...]   (run under with_xvfb.py)
"""

import subprocess
import sys
import time

from Xlib import X, display, protocol

from x11windows import find_window

TITLE = "My Mirovane"
TIMEOUT_S = 20


def main():
    program = subprocess.Popen(sys.argv[1:])
    screen = display.Display()
    atoms = {name: screen.intern_atom(name) for name in ("WM_PROTOCOLS", "WM_DELETE_WINDOW")}

    deadline = time.monotonic() + TIMEOUT_S
    window = None
    while window is None:
        if program.poll() is not None:
            sys.exit(f"FAIL: the program ended before showing its window ({program.returncode})")
        if time.monotonic() > deadline:
            program.kill()
            sys.exit("FAIL: no window titled " + TITLE)
        time.sleep(0.1)
        window = find_window(screen, TITLE)

    time.sleep(0.3)  # let a few refreshes run
    message = protocol.event.ClientMessage(
        window=window, client_type=atoms["WM_PROTOCOLS"],
        data=(32, [atoms["WM_DELETE_WINDOW"], X.CurrentTime, 0, 0, 0]))
    window.send_event(message)
    screen.flush()
    try:
        status = program.wait(timeout=TIMEOUT_S)
    except subprocess.TimeoutExpired:
        program.kill()
        sys.exit("FAIL: the program did not end after its window was closed")
    if status != 0:
        sys.exit(f"FAIL: exit status {status}")
    print("PASS: window shown, closed, exit status 0 with arguments", sys.argv[2:])


if __name__ == "__main__":
    main()
