#!/usr/bin/python3
"""Start-up of the converter under X: the time from launching the program until the first
converted output (the red digits of 32.00) is on the screen, and the process's peak memory.

Usage, from the repository's root after building the "bench" preset:
    xvfb-run -a -s "-screen 0 1024x768x24" bench/startup.py [PROGRAM] [RUNS]
"""

import os
import statistics
import subprocess
import sys
import time

from Xlib import X, display

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from x11windows import find_window  # noqa: E402

TITLE = "My Mirovane"
# The Fahrenheit box, in window pixels: its digits are red on black.
BOX = (32, 128, 249, 44)
TIMEOUT_S = 10


def shows_red_digits(window):
    x, y, width, height = BOX
    try:
        image = window.get_image(x, y, width, height, X.ZPixmap, 0xFFFFFFFF)
    except Exception:  # the window may not be ready for drawing yet
        return False
    data = image.data
    # 32-bit pixels, blue green red pad: look for a clearly red one.
    for offset in range(0, len(data) - 3, 4):
        blue, green, red = data[offset], data[offset + 1], data[offset + 2]
        if red > 180 and green < 80 and blue < 80:
            return True
    return False


def peak_kilobytes(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    return -1


def one_run(program, screen):
    started = time.monotonic()
    process = subprocess.Popen([program], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    window = None
    try:
        while time.monotonic() - started < TIMEOUT_S:
            if window is None:
                window = find_window(screen, TITLE)
            elif shows_red_digits(window):
                elapsed = time.monotonic() - started
                time.sleep(2)
                return elapsed, peak_kilobytes(process.pid)
            time.sleep(0.001)
        raise SystemExit("FAIL: no converted output within %d s" % TIMEOUT_S)
    finally:
        process.terminate()
        process.wait()


def main():
    program = sys.argv[1] if len(sys.argv) > 1 else "build/bench/app/mirovane"
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 10
    screen = display.Display()
    results = [one_run(program, screen) for _ in range(runs)]
    times = sorted(1000 * elapsed for elapsed, _ in results)
    peaks = sorted(kb / 1024 for _, kb in results)
    print(f"launch to first converted output: median {statistics.median(times):.0f} ms "
          f"(min {times[0]:.0f}, max {times[-1]:.0f}, {runs} runs)")
    print(f"peak resident memory:             median {statistics.median(peaks):.1f} MiB "
          f"(min {peaks[0]:.1f}, max {peaks[-1]:.1f})")


if __name__ == "__main__":
    main()
