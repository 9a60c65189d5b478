#!/usr/bin/python3
"""Starts the program on the X display of the environment, waits for its window, closes it the
way a window manager does (a WM_DELETE_WINDOW client message) and expects exit status 0.

Usage: close_by_window_manager.py PROGRAM [ARGUMENT...]   (run under xvfb-run -a)
"""

import subprocess
import sys
import time

from Xlib import X, display, protocol

TITLE = "My Mirovane"
TIMEOUT_S = 20


def find_window(root, atoms):
    """The top-level window titled TITLE, searched through the whole tree."""
    pending = [root]
    while pending:
        window = pending.pop()
        name = window.get_full_property(atoms["_NET_WM_NAME"], atoms["UTF8_STRING"])
        if name is not None and name.value.decode("utf-8") == TITLE:
            attributes = window.get_attributes()
            if attributes.map_state == X.IsViewable:
                return window
        pending.extend(window.query_tree().children)
    return None


def main():
    program = subprocess.Popen(sys.argv[1:])
    screen = display.Display()
    atoms = {name: screen.intern_atom(name)
             for name in ("_NET_WM_NAME", "UTF8_STRING", "WM_PROTOCOLS", "WM_DELETE_WINDOW")}
    root = screen.screen().root

    deadline = time.monotonic() + TIMEOUT_S
    window = None
    while window is None:
        if program.poll() is not None:
            sys.exit(f"FAIL: the program ended before showing its window ({program.returncode})")
        if time.monotonic() > deadline:
            program.kill()
            sys.exit("FAIL: no window titled " + TITLE)
        time.sleep(0.1)
        window = find_window(root, atoms)

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
