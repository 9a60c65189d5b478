#!/usr/bin/python3
"""The program as a native Wayland client, under weston's headless backend: its window appears
with the application id that docks and task switchers look up, a screen reader reads the
outputs and can set the input through AT-SPI, and the program ends by itself, at once, when
the compositor goes away.

Weston's headless backend has no seat, and weston asks a window to close only when a person
does something (a key binding, a click on a title bar), so nothing here can make it send the
close request; ending the compositor is the nearest it allows.

Usage: dbus-run-session -- wayland_session.py PROGRAM [ARGUMENT...]
(an emulator with its options, then the program, for a cross-built one)
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

import screen_reader_view as reader

SOCKET = "mirovane-test"
TITLE_AND_ID = "top-level window 'My Mirovane' of net.mirovane.Mirovane"


def main():
    runtime_dir = tempfile.mkdtemp(prefix="mirovane-wayland-")
    environment = dict(os.environ, XDG_RUNTIME_DIR=runtime_dir, WAYLAND_DISPLAY=SOCKET)
    environment.pop("DISPLAY", None)
    compositor = subprocess.Popen(
        ["weston", "--backend=headless-backend.so", "--socket=" + SOCKET, "--idle-time=0",
         "--debug"], env=environment, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    program = None
    try:
        reader.wait_for("weston's socket", lambda: compositor.poll() is None and os.path.exists(
            os.path.join(runtime_dir, SOCKET)))
        program = subprocess.Popen(
            sys.argv[1:], stdout=subprocess.DEVNULL,
            env=dict(environment, QT_QPA_PLATFORM="wayland", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1"))

        def scene_graph():
            if program.poll() is not None:
                sys.exit(f"FAIL: the program ended with status {program.returncode}")
            return subprocess.run(["weston-debug", "scene-graph"], env=environment, text=True,
                                  capture_output=True, timeout=10, check=False).stdout

        reader.wait_for(f"a view of the {TITLE_AND_ID}",
                        lambda: re.search(r"role xdg_toplevel, .*" + re.escape(TITLE_AND_ID),
                                          scene_graph()))

        application = reader.wait_for("the program on the accessibility bus",
                                      lambda: reader.find_application("mirovane"))
        fahrenheit = reader.wait_for("the Fahrenheit box", lambda: reader.named(
            application, reader.pyatspi.ROLE_TEXT, "Degrees in  Fahrenheit"))
        celsius = reader.named(application, reader.pyatspi.ROLE_TEXT, "Degrees in Celsius")
        reader.wait_for("32.00", lambda: reader.text_of(fahrenheit) == "32.00")
        assert reader.text_of(celsius) == "-17.78", reader.text_of(celsius)
        field = reader.named(application, reader.pyatspi.ROLE_TEXT,
                             "Enter a Temperature to Convert")
        field.queryEditableText().setTextContents("100")
        reader.wait_for("212.00", lambda: reader.text_of(fahrenheit) == "212.00")
        assert reader.text_of(celsius) == "37.78", reader.text_of(celsius)

        compositor.terminate()
        compositor.wait(timeout=10)
        started = time.monotonic()
        try:
            status = program.wait(timeout=5)
        except subprocess.TimeoutExpired:
            sys.exit("FAIL: the program went on after the compositor had ended")
        if status < 0:
            sys.exit(f"FAIL: the program ended by signal {-status}")
        print(f"PASS: application id, outputs and input through AT-SPI under Wayland; the "
              f"program ended {time.monotonic() - started:.2f} s after the compositor "
              f"(status {status})")
    finally:
        for process in (program, compositor):
            if process is not None and process.poll() is None:
                process.kill()
                process.wait()
        shutil.rmtree(runtime_dir, ignore_errors=True)


if __name__ == "__main__":
    main()
