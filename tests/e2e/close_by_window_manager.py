#!/usr/bin/python3
"""Starts the program on the X display of the environment, waits for its window, closes it the
way a window manager does (a WM_DELETE_WINDOW client message) and expects exit status 0.

With --selection, text is selected in the input first (the program then owns the primary
selection) and the desktop has a clipboard manager that never answers; the program must still
end within 2 s.

Usage: close_by_window_manager.py [--selection] PROGRAM [ARGUMENT...]   (under with_xvfb.py)
"""

import subprocess
import sys
import time

from Xlib import X, display, protocol

from x11windows import find_window

TITLE = "My Mirovane"
TIMEOUT_S = 20
CLOSE_WITH_SELECTION_S = 2


def silent_clipboard_manager():
    """Owns CLIPBOARD_MANAGER, as a desktop's clipboard manager does, on a connection of its
    own, and answers nothing: a program that hands its selections over at exit waits for it."""
    connection = display.Display()
    window = connection.screen().root.create_window(0, 0, 1, 1, 0, X.CopyFromParent)
    window.set_selection_owner(connection.intern_atom("CLIPBOARD_MANAGER"), X.CurrentTime)
    connection.flush()
    return connection


def main():
    arguments = sys.argv[1:]
    with_selection = arguments[0] == "--selection"
    if with_selection:
        arguments = arguments[1:]
        manager = silent_clipboard_manager()  # noqa: F841 (kept open until the end)
    program = subprocess.Popen(arguments)
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
    if with_selection:
        subprocess.run(["xdotool", "windowfocus", "--sync", str(window.id)], check=True)
        subprocess.run(["xdotool", "type", "100"], check=True)
        subprocess.run(["xdotool", "key", "ctrl+a"], check=True)
        time.sleep(0.3)
    closed = time.monotonic()
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
    took = time.monotonic() - closed
    if status != 0:
        sys.exit(f"FAIL: exit status {status}")
    if with_selection and took > CLOSE_WITH_SELECTION_S:
        sys.exit(f"FAIL: the program took {took:.2f} s to end with text selected")
    print(f"PASS: window shown, closed, exit status 0 after {took:.2f} s with arguments",
          arguments[1:])


if __name__ == "__main__":
    main()
