"""A Wine prefix of a test's own, new (a machine that never saw the program), and what the tests
of the Windows downloads do in it: run a program, read a registry key's values, find a Windows
path's file, install and uninstall.

    with wine_prefix.new():
        wine("setup.exe", "/S")
        values = reg_values(r"HKCU\\Software\\...")
"""

import contextlib
import functools
import os
import pathlib
import re
import subprocess
import sys
import tempfile
import time

TIMEOUT_S = 60
UNINSTALL = r"Software\Microsoft\Windows\CurrentVersion\Uninstall"

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


@functools.cache
def unix_path(windows_path):
    """Where a Windows path of this prefix is (asked of Wine once)."""
    return pathlib.Path(wine("winepath", "-u", windows_path).stdout.strip())


@functools.cache
def expand(text):
    """A Windows path with each %VARIABLE% in it as this prefix's user has it."""
    return re.sub(r"%(\w+)%", lambda variable: wine("cmd", "/c", "echo", variable.group(0))
                  .stdout.strip(), text)


def reg_values(key):
    """The values of a registry key, HKLM's read in its 64-bit view; None when there is none."""
    result = wine("reg", "query", key, "/reg:64", check=False)
    if result.returncode != 0:
        return None
    values = {}
    for line in result.stdout.splitlines():
        parts = line.strip().split(None, 2)
        if len(parts) == 3 and parts[1].startswith("REG_"):
            values[parts[0]] = parts[2]
    return values


def files_in(folder):
    """The files under a folder (a Unix path), relative to it, sorted."""
    return sorted(p.relative_to(folder) for p in folder.rglob("*") if p.is_file())


def wait_until(done, describe):
    """Waits for done() to be true: NSIS's silent uninstaller runs a copy of itself and returns
    before that copy's work is done."""
    deadline = time.monotonic() + TIMEOUT_S
    while not done():
        if time.monotonic() > deadline:
            fail(describe())
        time.sleep(0.5)


def restart_wine():
    """Starts Wine's server and services (for the first time, or again after the server's end),
    with none of the test's output: they outlive each program and would keep its pipes open."""
    subprocess.run(["wineserver", "-k"], **QUIET)
    subprocess.run(["wineserver", "-w"], **QUIET)
    subprocess.run(["wineserver", "-p"], check=True, **QUIET)
    subprocess.run(["wine", "wineboot", "--init"], check=True, timeout=180, **QUIET)


@contextlib.contextmanager
def new():
    """A new prefix, its server running, for the block's programs; removed afterwards."""
    with tempfile.TemporaryDirectory(prefix="wine-") as prefix:
        ENVIRONMENT["WINEPREFIX"] = prefix
        unix_path.cache_clear()
        expand.cache_clear()
        try:
            restart_wine()
            yield prefix
        finally:
            subprocess.run(["wineserver", "-k"], **QUIET)
