#!/usr/bin/python3
"""Runs a command on an Xvfb server of its own and returns its status.

The server chooses a free display itself and names it only once it accepts connections
(-displayfd), so two tests or two builds started at the same moment never pick the same display,
and the command never starts before its display is ready. (xvfb-run -a looks for a free number
and starts the server in two steps: another run could take the number in between, and the command
then ran against a display that was not its own, or was gone.)

Usage: with_xvfb.py COMMAND [ARGS...]
The screen is 1024x768 at 24 bits unless XVFB_SCREEN gives another (e.g. 2000x1200x24).
"""

import os
import subprocess
import sys


def main():
    ready_read, ready_write = os.pipe()
    server = subprocess.Popen(
        ["Xvfb", "-displayfd", str(ready_write), "-screen", "0",
         os.environ.get("XVFB_SCREEN", "1024x768x24"),
         "-nolisten", "tcp", "-noreset"],
        pass_fds=[ready_write], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(ready_write)
    with os.fdopen(ready_read) as ready:
        display = ready.readline().strip()
    if not display:
        server.wait()
        sys.exit("FAIL: Xvfb did not start (status %d)" % server.returncode)
    try:
        environment = dict(os.environ, DISPLAY=":" + display)
        return subprocess.run(sys.argv[1:], env=environment, check=False).returncode
    finally:
        server.terminate()
        server.wait(timeout=10)


if __name__ == "__main__":
    sys.exit(main())
