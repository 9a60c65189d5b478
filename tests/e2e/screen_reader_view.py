#!/usr/bin/python3
"""What a screen reader sees of the running program, through AT-SPI: the boxes named after their
captions and labelled by them, the outputs' values, the CLEAR button, and the error notice when the input overflows;
and that a megabyte written into the input keeps only what fits.

Usage: with_xvfb.py dbus-run-session -- screen_reader_view.py PROGRAM [ARGUMENT...]
(an emulator with its options, then the program, for a cross-built one)
"""

import os
import subprocess
import sys
import time

import pyatspi

TIMEOUT_S = 20


def nodes(accessible):
    """Every accessible object below `accessible`, itself included."""
    pending = [accessible]
    while pending:
        node = pending.pop()
        if node is None:
            continue
        yield node
        pending.extend(node[i] for i in range(node.childCount))


def find_application(name):
    desktop = pyatspi.Registry.getDesktop(0)
    # Without a main loop no change event reaches the cached list of applications: ask again.
    desktop.clearCache()
    for i in range(desktop.childCount):
        application = desktop[i]
        if application is not None and application.name == name:
            return application
    return None


def text_of(node):
    try:
        return node.queryText().getText(0, -1)
    except NotImplementedError:
        return None


def labels_of(node):
    """The captions that label `node`: the labels its labelled-by relation names."""
    return [(target.getRole(), target.name)
            for relation in node.getRelationSet()
            if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY
            for target in (relation.getTarget(i) for i in range(relation.getNTargets()))]


def wait_for(describe, condition):
    deadline = time.monotonic() + TIMEOUT_S
    while time.monotonic() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(0.1)
    sys.exit("FAIL: " + describe)


def named(application, role, name):
    application.clearCache()
    for node in nodes(application):
        if node.getRole() == role and node.name == name:
            return node
    return None


def main():
    environment = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    program = subprocess.Popen(sys.argv[1:], env=environment,
                               stdout=subprocess.DEVNULL)
    try:
        def running_application():
            if program.poll() is not None:
                sys.exit(f"FAIL: the program ended with status {program.returncode}")
            return find_application("mirovane")

        application = wait_for("the program on the accessibility bus", running_application)
        fahrenheit = wait_for("a text named 'Degrees in  Fahrenheit'", lambda: named(
            application, pyatspi.ROLE_TEXT, "Degrees in  Fahrenheit"))
        celsius = named(application, pyatspi.ROLE_TEXT, "Degrees in Celsius")
        wait_for("32.00 read from the Fahrenheit box", lambda: text_of(fahrenheit) == "32.00")
        assert text_of(celsius) == "-17.78", text_of(celsius)
        assert named(application, pyatspi.ROLE_PUSH_BUTTON, "CLEAR") is not None
        field = named(application, pyatspi.ROLE_TEXT, "Enter a Temperature to Convert")
        assert field is not None, "no text named after the input's caption"
        for box in (field, fahrenheit, celsius):
            assert labels_of(box) == [(pyatspi.ROLE_LABEL, box.name)], (box.name, labels_of(box))

        field.queryEditableText().setTextContents("1e400")
        wait_for("the notice 'Overflow'", lambda: named(application, pyatspi.ROLE_LABEL,
                                                         "Overflow"))
        assert text_of(fahrenheit) == "32.00", text_of(fahrenheit)
        field.queryEditableText().setTextContents("100")
        wait_for("212.00 read from the Fahrenheit box", lambda: text_of(fahrenheit) == "212.00")
        assert text_of(celsius) == "37.78", text_of(celsius)

        megabyte = "100x" + "0" * 999_996
        field.queryEditableText().setTextContents(megabyte)
        kept = field.queryText().characterCount
        assert kept == 32_767, kept
        assert text_of(field) == megabyte[:kept], text_of(field)[:20]
        print("PASS: names, labels, values, button and error notice read through AT-SPI; "
              "a megabyte written through it keeps 32,767 characters")
    finally:
        program.terminate()
        program.wait()


if __name__ == "__main__":
    main()
