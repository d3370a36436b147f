#!/usr/bin/python3
"""What a screen reader finds in the running program, through the AT-SPI bus.

Run by a11y_test.sh beside the program. Lists the window's controls by the names a reader
speaks, reads the status bar, runs Check (status and message box), unchecks VANTER #0, presses
Download and reads the refusal in its message box, then ends the program with IniFile > Exit.
Every wait is bounded; a failure prints what was found and exits 1.
"""

import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

import pyatspi  # noqa: E402

TITLE_PREFIX = "VANTER III  v3.b3  -- "
CAPTION = "VanterIII Message"
DEADLINE = time.monotonic() + 25


class ProbeFailure(Exception):
    pass


def pump():
    """Delivers the events the bus has for us."""
    context = GLib.MainContext.default()
    while context.iteration(False):
        pass


def wait_for(what, find, seconds=8.0):
    """Polls `find` until it returns something, within `seconds` and the overall deadline."""
    until = min(time.monotonic() + seconds, DEADLINE)
    while True:
        pump()
        try:
            found = find()
        except GLib.Error:
            found = None
        if found:
            return found
        if time.monotonic() > until:
            raise ProbeFailure("timed out waiting for " + what)
        time.sleep(0.05)


def children(acc):
    for i in range(acc.childCount):
        child = acc.getChildAtIndex(i)
        if child is not None:
            yield child


def descendants(acc):
    for child in children(acc):
        yield child
        yield from descendants(child)


def role(acc):
    return acc.getRoleName()


def actions(acc):
    try:
        action = acc.queryAction()
    except NotImplementedError:
        return {}
    return {action.getName(i): i for i in range(action.nActions)}


def act(acc, name):
    index = actions(acc).get(name)
    if index is None:
        raise ProbeFailure(f"{role(acc)} {acc.name!r} has no action {name!r}: {list(actions(acc))}")
    acc.queryAction().doAction(index)


def spoken_name(acc):
    """The name a reader speaks: the labelling object's name, else the object's own."""
    for relation in acc.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            return " ".join(relation.getTarget(i).name for i in range(relation.getNTargets()))
    return acc.name


def the_app():
    desktop = pyatspi.Registry.getDesktop(0)
    for app in children(desktop):
        if app.name == "VANTER III":
            return app
    return None


def main_window(app):
    for frame in children(app):
        if role(frame) == "frame" and frame.name.startswith(TITLE_PREFIX):
            return frame
    return None


def message_box(app, text):
    """The message box captioned CAPTION whose text is `text`, with its OK button."""
    for window in children(app):
        if window.name != CAPTION:
            continue
        texts = [acc for acc in descendants(window) if role(acc) == "label" and acc.name == text]
        buttons = [acc for acc in descendants(window) if role(acc) == "push button"]
        if texts:
            return window, buttons
    return None


def answer_box(app, text):
    window, buttons = wait_for(f"message box {text!r}", lambda: message_box(app, text))
    print(f"  {role(window)} {window.name!r}: label {text!r}, buttons {[b.name for b in buttons]}")
    ok = [b for b in buttons if b.name == "OK"]
    if len(ok) != 1:
        raise ProbeFailure(f"no single OK button in the box: {[b.name for b in buttons]}")
    act(ok[0], "Press")
    wait_for("the box to close", lambda: message_box(app, text) is None or None)


def status_label(window):
    bars = [acc for acc in descendants(window) if role(acc) == "status bar"]
    if len(bars) != 1:
        raise ProbeFailure(f"{len(bars)} status bars")
    labels = [acc for acc in children(bars[0]) if role(acc) == "label"]
    if len(labels) != 1:
        raise ProbeFailure(f"{len(labels)} labels in the status bar")
    return bars[0], labels[0]


def expected_controls():
    names = {"Printer/USB": "combo box", "Reset level": "combo box"}
    for slot in range(4):
        unit = f"VANTER #{slot}"
        names[unit] = "check box"
        names[f"{unit} EPROM"] = "combo box"
        names[f"{unit} File Format"] = "combo box"
        names[f"{unit} Loading offset at EPROM socket"] = "text"
        names[f"{unit} Filename"] = "text"
        names[f"{unit} Browse"] = "push button"
    names.update({"Download": "push button", "Check": "push button", "Close": "push button"})
    return names


def probe():
    Atspi.set_timeout(5000, 10000)
    app = wait_for("the program on the bus", the_app, seconds=15)
    window = wait_for("the main window", lambda: main_window(app))
    print(f"application {app.name!r}, {role(window)} {window.name!r}")

    # Every control that takes the focus, by the name a reader speaks.
    pane = next(acc for acc in children(window) if role(acc) == "filler")
    controls = {}
    for acc in children(pane):
        if acc.getState().contains(pyatspi.STATE_FOCUSABLE) or role(acc) in (
            "combo box",
            "text",
            "push button",
            "check box",
        ):
            name = spoken_name(acc)
            if name in controls:
                raise ProbeFailure(f"two controls speak {name!r}")
            controls[name] = role(acc)
    for name, kind in controls.items():
        print(f"  {kind:12} {name!r}")
    expected = expected_controls()
    if controls != expected:
        missing = sorted(set(expected.items()) - set(controls.items()))
        extra = sorted(set(controls.items()) - set(expected.items()))
        raise ProbeFailure(f"controls differ; missing {missing}, unexpected {extra}")

    # The status bar.
    bar, status = status_label(window)
    print(f"  {role(bar)} {bar.name!r}: {role(status)} {status.name!r}")
    if bar.name != "Status" or status.name != "hello":
        raise ProbeFailure("the status bar does not read 'hello'")

    # Check with slot #0 on: the reader is told of the new status text, then the box.
    changes = []

    def on_name_change(event):
        if event.source is not None and role(event.source) == "label":
            changes.append(event.source.name)

    pyatspi.Registry.registerEventListener(on_name_change, "object:property-change:accessible-name")
    buttons = {spoken_name(acc): acc for acc in children(pane) if role(acc) == "push button"}
    act(buttons["Check"], "Press")
    answer_box(app, "Check OK")
    wait_for("the status change event", lambda: "Checking Vanter OK" in changes)
    print(f"  status changes announced: {changes}")
    if status.name != "Checking Vanter OK":
        raise ProbeFailure(f"status bar reads {status.name!r}")
    pyatspi.Registry.deregisterEventListener(
        on_name_change, "object:property-change:accessible-name"
    )

    # Uncheck VANTER #0 and press Download: the refusal, read from the box.
    box = next(acc for acc in children(pane) if acc.name == "VANTER #0")
    act(box, "Toggle")
    wait_for("VANTER #0 unchecked", lambda: not box.getState().contains(pyatspi.STATE_CHECKED))
    print("  VANTER #0 unchecked")
    act(buttons["Download"], "Press")
    answer_box(app, "No Vanter is selected: Abort!!")
    if status.name != "Checking Vanter OK":
        raise ProbeFailure(f"the refusal changed the status bar to {status.name!r}")

    # IniFile > Exit.
    bar = next(acc for acc in children(window) if role(acc) == "menu bar")
    menu = next(acc for acc in children(bar) if acc.name == "IniFile")
    exit_item = next(acc for acc in descendants(menu) if acc.name == "Exit")
    act(exit_item, "Press")
    print("  IniFile > Exit pressed")


def main():
    try:
        probe()
    except (ProbeFailure, StopIteration, KeyError, GLib.Error) as error:
        print(f"a11y probe failed: {error!r}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
