#!/usr/bin/python3
# A split started, paused and cancelled through the accessibility tree alone,
# as a screen reader's user does it: every control is found by its role and
# name and pressed by its action; the file's name is typed into the open
# dialog's name field, which the tree gives the focus.
#
#   atspi-split.py SOURCE
#
# Exits 0 when the split was cancelled and its parts are gone, 1 otherwise.
import glob
import subprocess
import sys
import time

import pyatspi

source = sys.argv[1]


def fail(why):
    print("FAILED: " + why)
    sys.exit(1)


def app():
    for _ in range(100):
        for candidate in pyatspi.Registry.getDesktop(0):
            if candidate is not None and candidate.name.startswith("Parcelwise"):
                return candidate
        time.sleep(0.1)
    fail("parcelwise is not in the accessibility tree")


def dump(node, depth=0):
    """The tree as the reader has it, for the log of a failure."""
    print("  " * depth + "%s %r" % (node.getRoleName(), node.name))
    for child in node:
        if child is not None and depth < 6:
            dump(child, depth + 1)


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def wait_for(test, timeout=10):
    """The first visible node of the program's tree that passes `test`."""
    deadline = time.time() + timeout
    while time.time() < deadline:
        found = pyatspi.findDescendant(app(), lambda o: test(o) and showing(o))
        if found is not None:
            return found
        time.sleep(0.1)
    return None


def find(role, name, timeout=10):
    found = wait_for(lambda o: o.getRoleName() == role and o.name == name, timeout)
    if found is None:
        dump(app())
        fail("no %s named %r" % (role, name))
    return found


def press(role, name):
    control = find(role, name)
    actions = control.queryAction()
    for i in range(actions.nActions):
        if actions.getName(i) in ("Press", "press", "click"):
            actions.doAction(i)
            return
    fail("%s %r cannot be pressed" % (role, name))


press("push button", "Ouvrir un fichier")
name_field = wait_for(lambda o: o.getRoleName() == "text"
                      and o.getState().contains(pyatspi.STATE_EDITABLE))
if name_field is None:
    fail("the open dialog has no name field")
# The user types the name, as a screen reader's user types it.
name_field.queryComponent().grabFocus()
time.sleep(0.3)
subprocess.run(["xdotool", "type", "--delay", "2", source], check=True)
time.sleep(0.3)
press("push button", "Ouvrir")
deadline = time.time() + 10
while time.time() < deadline and showing(name_field):
    time.sleep(0.1)
if showing(name_field):
    fail("the open dialog did not take the file")
started = time.time()
press("push button", "COUPER")
press("push button", "Pause")
print("paused %.1f s after the start" % (time.time() - started))
find("push button", "Continuer")
press("push button", "Annuler")
press("push button", "Oui")
find("label", "Le processus a été annulé.", 30)
press("push button", "OK")
time.sleep(0.5)
left = glob.glob(source + ".*.pcw")
if left:
    fail("the cancelled split left %s" % " ".join(left))
print("split started, paused and cancelled through the accessibility tree")
