"""Reading Wine's relay trace: the calls a Windows program makes into Wine's own libraries, one
line each, as `WINEDEBUG=+relay` writes them to standard error, for the functions
that the prefix's `HKCU\\Software\\Wine\\Debug` value `RelayInclude` names.

    0024:Call winmm.timeSetEvent(0000000a,00000001,...) ret=6ffff0a1b2c3
"""

import re

# Calls that make Windows' clock tick faster, for the whole system, while they are in force.
CLOCK_RAISERS = ("winmm.timeSetEvent", "winmm.timeBeginPeriod", "ntdll.NtSetTimerResolution")
# The ordinary timers, that tick at the clock's rate.
TIMERS = ("user32.SetTimer", "user32.SetCoalescableTimer")
NOTIFY = "uiautomationcore.UiaRaiseNotificationEvent"
TRACED = CLOCK_RAISERS + TIMERS + (NOTIFY,)

# How screen readers are to treat a notification (UIA's NotificationProcessing).
PROCESSING = {0: "ImportantAll", 1: "ImportantMostRecent", 2: "All", 3: "MostRecent",
              4: "CurrentThenMostRecent"}

_CALL = re.compile(r"^[0-9a-f]+:Call ([\w.]+)\((.*)\) ret=[0-9a-f]+$")
# provider, kind, processing, then the text as its address and its characters
_NOTIFICATION = re.compile(r'^[0-9a-f]+,([0-9a-f]+),([0-9a-f]+),(?:[0-9a-f]+ )?L"((?:[^"\\]|\\.)*)",')


def calls(trace):
    """The traced calls as (function, arguments), in order."""
    for line in trace.splitlines():
        match = _CALL.match(line.strip())
        if match:
            yield match.groups()


def notifications(trace):
    """What the program told screen readers: (text, processing name), in order."""
    for function, arguments in calls(trace):
        if function == NOTIFY:
            match = _NOTIFICATION.match(arguments)
            if not match:
                raise ValueError("a notification the trace does not show whole: " + arguments)
            processing = PROCESSING.get(int(match.group(2), 16), match.group(2))
            yield match.group(3), processing


def counts(trace):
    """How often each traced function was called."""
    tally = {}
    for function, _ in calls(trace):
        tally[function] = tally.get(function, 0) + 1
    return tally
