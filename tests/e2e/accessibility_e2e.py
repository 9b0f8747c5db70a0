#!/usr/bin/python3
"""Plays the real game as a screen reader's user would: through AT-SPI alone.

It turns the desktop's accessibility on as a screen reader does when it starts, finds the game
on the accessibility bus, checks the names and roles it hears, follows playback by the pads'
checked state, reads every box and presses its OK, and plays a level-1 round, a wrong press
included, by the pads' Press actions. Runs inside its own D-Bus session (dbus-run-session).

Usage: dbus-run-session -- accessibility_e2e.py PATH_TO_ZINTU
"""

import os
import subprocess
import sys
import time

import pyatspi
from gi.repository import Gio, GLib

from e2e.design import PAD_NAMES
from e2e.desktop import Desktop
from e2e.report import TIMEOUT, Checks, StepFailed
PAD_ACCESSIBLE_NAMES = [f"{name.capitalize()} pad" for name in PAD_NAMES]

check = Checks()


def turn_on_screen_reader_support():
    bus = Gio.bus_get_sync(Gio.BusType.SESSION)
    bus.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties", "Set",
                  GLib.Variant("(ssv)", ("org.a11y.Status", "ScreenReaderEnabled",
                                         GLib.Variant("b", True))),
                  None, Gio.DBusCallFlags.NONE, -1, None)


def pump_until(what, condition, timeout=TIMEOUT):
    """Runs the accessibility events' main loop until the condition holds."""
    context = GLib.MainContext.default()
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        while context.iteration(False):
            pass
        try:
            result = condition()
        except GLib.Error:
            # An object went away while we looked: a box closing, a form rebuilt. Look again.
            result = None
        if result:
            return result
        time.sleep(0.005)
    raise StepFailed(f"{what}: nothing after {timeout} s")


def descendants(node):
    for index in range(node.childCount):
        child = node.getChildAtIndex(index)
        if child is not None:
            yield child
            yield from descendants(child)


def find(node, role, name=None):
    """By the role itself: its name changes between AT-SPI versions ("push button" became
    "button")."""
    for child in descendants(node):
        if child.getRole() == role and (name is None or child.name == name):
            return child
    return None


def application(process):
    desktop = pyatspi.Registry.getDesktop(0)
    for index in range(desktop.childCount):
        app = desktop.getChildAtIndex(index)
        if app is not None and app.get_process_id() == process.pid:
            return app
    return None


def action_names(node):
    action = node.queryAction()
    return [action.getName(index) for index in range(action.nActions)]


def press(node):
    action = node.queryAction()
    action.doAction(action_names(node).index("Press"))


def open_box(app):
    """The text of the open message box, and its OK button."""
    box = find(app, pyatspi.ROLE_DIALOG, "Zintu")
    if box is None:
        return None
    text = find(box, pyatspi.ROLE_LABEL)
    ok = find(box, pyatspi.ROLE_PUSH_BUTTON, "OK")
    return (text.name, ok) if text is not None and ok is not None else None


def answer(app, step, expected):
    text, ok = pump_until(step, lambda: open_box(app))
    check(f"{step}: a box named Zintu says {text!r}", text == expected)
    press(ok)
    pump_until(step + " (box closed)", lambda: open_box(app) is None)


def main():
    game_binary = os.path.abspath(sys.argv[1])
    desktop = Desktop()
    game = None
    try:
        turn_on_screen_reader_support()
        game = subprocess.Popen([game_binary], env=desktop.client_env(),
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        lit = []
        pyatspi.Registry.registerEventListener(
            lambda event: lit.append(event.source.name) if event.detail1 else None,
            "object:state-changed:checked")

        app = pump_until("the game on the accessibility bus", lambda: application(game))
        frame = pump_until("the game window", lambda: find(app, pyatspi.ROLE_FRAME))
        check(f"the game window is a frame named {frame.name!r}", frame.name == "Zintu!")
        pads = [find(frame, pyatspi.ROLE_PUSH_BUTTON, name) for name in PAD_ACCESSIBLE_NAMES]
        check("each pad is a push button named by its colour", None not in pads)
        for pad in pads:
            check(f"{pad.name} offers one action, {action_names(pad)}",
                  action_names(pad) == ["Press"])
        check("the level reads Level: 1", find(frame, pyatspi.ROLE_LABEL, "Level: 1") is not None)

        pump_until("GO!", lambda: open_box(app))
        check(f"playback was heard through the checked state: {lit}",
              len(lit) == 1 and lit[0] in PAD_ACCESSIBLE_NAMES)
        answer(app, "level 1", "GO!")
        expected = PAD_ACCESSIBLE_NAMES.index(lit[0])
        press(pads[(expected + 1) % len(pads)])
        answer(app, "a wrong press", "You got to level 1. You should practice more.")
        press(pads[expected])
        answer(app, "the right press", "Ready for level 2?")
        check("level 2 starts in the same frame",
              pump_until("level 2", lambda: find(frame, pyatspi.ROLE_LABEL, "Level: 2")) is not None)
    except StepFailed as failure:
        return check.summary(failure)
    finally:
        if game is not None:
            game.kill()
            game.wait()
        desktop.stop()
    return check.summary()


if __name__ == "__main__":
    sys.exit(main())
