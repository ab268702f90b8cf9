#!/usr/bin/python3
# Walks the accessibility (AT-SPI) tree of the running Tonequill, as a screen reader sees it, and
# fails on a focusable control without a name, a main window that is not a frame, a job list
# with another number of columns than six, or timeline markers that are not sliders with values.
# Prints the tree it walked.
import sys
import time

import pyatspi


def find_application(seconds):
    deadline = time.time() + seconds
    while time.time() < deadline:
        for application in pyatspi.Registry.getDesktop(0):
            if application is not None and application.name == "Tonequill":
                return application
        time.sleep(0.5)
    return None


def walk(node, depth, problems, found):
    state = node.getState()
    if not state.contains(pyatspi.STATE_SHOWING) and depth > 1:
        return
    role = node.getRoleName()
    name = node.name or ""
    print("  " * depth + '%s "%s"' % (role, name))
    if state.contains(pyatspi.STATE_FOCUSABLE) and not name.strip():
        problems.append("a focusable %s without a name" % role)
    if role == "slider":
        value = node.queryValue()
        found.setdefault("sliders", []).append((name, value.currentValue, value.maximumValue))
    if role == "table" and name == "File list":
        found["columns"] = node.queryTable().nColumns
    if depth == 1:
        found.setdefault("windows", []).append((role, name))
    for index in range(node.childCount):
        child = node.getChildAtIndex(index)
        if child is not None and role not in ("combo box",):
            walk(child, depth + 1, problems, found)


def main():
    application = find_application(30)
    if application is None:
        print("Tonequill does not show on the accessibility bus")
        return 1
    problems, found = [], {}
    walk(application, 0, problems, found)
    if ("frame", "Tonequill") not in found.get("windows", []):
        problems.append("the main window is not a frame named Tonequill")
    if found.get("columns") != 6:
        problems.append("the job list has %s columns, not 6" % found.get("columns"))
    names = sorted(name.split(" ")[0] for name, _, _ in found.get("sliders", []))
    if names != ["End", "Start"]:
        problems.append("the timeline markers are not two sliders: %s" % found.get("sliders"))
    for problem in problems:
        print("PROBLEM: " + problem)
    return 1 if problems else 0


sys.exit(main())
