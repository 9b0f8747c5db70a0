#!/usr/bin/python3
"""Plays a level-1 round of the real game as a screen reader's user would: through the
accessibility tree alone, written once over two of them.

It finds the game's window and pads by role and name, follows playback by the pads' pressed
(checked) state, reads every box and presses its OK, and plays the round, a wrong press
included, by the pads' press actions. On the desktop the tree is AT-SPI's: the round turns the
desktop's accessibility on as a screen reader does when it starts, inside its own D-Bus session
(dbus-run-session). In Chromium and WebKit it is the browser's accessibility tree of zintu.html.

Usage: dbus-run-session -- accessibility_e2e.py PATH_TO_ZINTU
       accessibility_e2e.py --browser chromium|webkit PAGE.html
"""

import argparse
import os
import subprocess
import sys
import time

import pyatspi
from gi.repository import Gio, GLib

from e2e.browser import BrowserGame
from e2e.design import GAME_CAPTION, MESSAGE_CAPTION, PAD_ACCESSIBLE_NAMES
from e2e.desktop import Desktop
from e2e.priority import as_tested, raise_the_players
from e2e.report import TIMEOUT, Checks, StepFailed

check = Checks()


def turn_on_screen_reader_support():
    bus = Gio.bus_get_sync(Gio.BusType.SESSION)
    bus.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties", "Set",
                  GLib.Variant("(ssv)", ("org.a11y.Status", "ScreenReaderEnabled",
                                         GLib.Variant("b", True))),
                  None, Gio.DBusCallFlags.NONE, -1, None)


def pump_until(what, condition, reader, timeout=TIMEOUT):
    """Lets the reader hear the tree's changes until the condition holds."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        result = reader.listen(condition)
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


class AtSpiReader:
    """The desktop's accessibility bus: the game's objects, and its checked-state events."""

    def __init__(self, binary):
        self.desktop = Desktop()
        self.game = None
        self.lit = []
        turn_on_screen_reader_support()
        self.game = subprocess.Popen([binary], env=self.desktop.client_env(), preexec_fn=as_tested,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        pyatspi.Registry.registerEventListener(
            lambda event: self.lit.append(event.source.name) if event.detail1 else None,
            "object:state-changed:checked")
        self.app = pump_until("the game on the accessibility bus",
                              lambda: application(self.game), self)
        self.frame = pump_until("the game window", lambda: find(self.app, pyatspi.ROLE_FRAME),
                                self)

    def listen(self, condition):
        context = GLib.MainContext.default()
        while context.iteration(False):
            pass
        try:
            return condition()
        except GLib.Error:
            # An object went away while we looked: a box closing, a form rebuilt. Look again.
            return None

    def window_name(self):
        return self.frame.name

    def pads(self):
        return [find(self.frame, pyatspi.ROLE_PUSH_BUTTON, name) for name in
                PAD_ACCESSIBLE_NAMES]

    def actions(self, pad):
        return action_names(pad)

    def shows_label(self, text):
        return find(self.frame, pyatspi.ROLE_LABEL, text) is not None

    def box(self):
        """The open box's caption and text, or None."""
        box = find(self.app, pyatspi.ROLE_DIALOG)
        text = box and find(box, pyatspi.ROLE_LABEL)
        return (box.name, text.name) if text is not None else None

    def press_ok(self):
        press(find(find(self.app, pyatspi.ROLE_DIALOG), pyatspi.ROLE_PUSH_BUTTON, "OK"))

    def press_pad(self, name):
        press(find(self.frame, pyatspi.ROLE_PUSH_BUTTON, name))

    def stop(self):
        if self.game is not None:
            self.game.kill()
            self.game.wait()
        self.desktop.stop()


class BrowserTreeReader:
    """The browser's accessibility tree of the page, read whole at every look: the game is a
    region, the pads buttons, the box an alert dialog. Playback is followed by the pads'
    pressed-state changes as they happen, since a look at the whole tree may take longer than a
    pad is lit. Chromium gives its tree; WebKit the role and name of each element, from which
    the tree is built; Firefox's tree is not reachable over WebDriver BiDi."""

    def __init__(self, page, browser):
        self.game = BrowserGame(browser, page)
        self.lit = []
        self.pressed = set()
        self.tree = None

    def _find(self, node, role, name=None):
        if node.get("role") == role and (name is None or node.get("name") == name):
            return node
        for child in node.get("children", []):
            found = self._find(child, role, name)
            if found:
                return found
        return None

    def listen(self, condition):
        for change in self.game.bridge("pressedChanges"):
            if change["pressed"] and change["name"] not in self.pressed:
                self.pressed.add(change["name"])
                if len(self.pressed) > 1:
                    raise StepFailed(f"two pads pressed at once: {sorted(self.pressed)}")
                self.lit.append(change["name"])
            elif not change["pressed"]:
                self.pressed.discard(change["name"])
        self.tree = self.game.bridge("accessibilityTree")
        return condition()

    def window(self):
        return self._find(self.tree, "region", GAME_CAPTION)

    def window_name(self):
        return self.window()["name"] if self.window() else None

    def pads(self):
        window = self.window()
        return [self._find(window, "button", name) if window else None
                for name in PAD_ACCESSIBLE_NAMES]

    def actions(self, pad):
        # A button's one action is its press.
        return ["Press"] if pad.get("role") == "button" else []

    def shows_label(self, text):
        return self._find(self.window(), "StaticText", text) is not None

    def box(self):
        box = self._find(self.tree, "alertdialog")
        if box is None:
            return None
        ok = self._find(box, "button", "OK")
        focused = ok is not None and ok.get("focused") is True
        return box["name"], box.get("description") if focused else "(OK has not the focus)"

    def press_ok(self):
        self.game.bridge("pressAccessible", role="button", name="OK")

    def press_pad(self, name):
        self.game.bridge("pressAccessible", role="button", name=name)

    def stop(self):
        self.game.stop()


def answer(reader, step, expected):
    caption, text = pump_until(step, reader.box, reader)
    check(f"{step}: a box named {caption!r} says {text!r}",
          caption == MESSAGE_CAPTION and text == expected)
    reader.press_ok()
    pump_until(step + " (box closed)", lambda: reader.box() is None, reader)


def play_a_round(reader):
    pump_until("the game window", reader.window_name, reader)
    check(f"the game window is named {reader.window_name()!r}",
          reader.window_name() == GAME_CAPTION)
    pads = reader.pads()
    check("each pad is a button named by its colour", None not in pads)
    for name, pad in zip(PAD_ACCESSIBLE_NAMES, pads):
        check(f"{name} offers one action, {reader.actions(pad)}", reader.actions(pad) == ["Press"])
    check("the level reads Level: 1", reader.shows_label("Level: 1"))

    pump_until("GO!", reader.box, reader)
    check(f"playback was heard through the pressed state: {reader.lit}",
          len(reader.lit) == 1 and reader.lit[0] in PAD_ACCESSIBLE_NAMES)
    answer(reader, "level 1", "GO!")
    expected = PAD_ACCESSIBLE_NAMES.index(reader.lit[0])
    reader.press_pad(PAD_ACCESSIBLE_NAMES[(expected + 1) % len(PAD_ACCESSIBLE_NAMES)])
    answer(reader, "a wrong press", "You got to level 1. You should practice more.")
    reader.press_pad(PAD_ACCESSIBLE_NAMES[expected])
    answer(reader, "the right press", "Ready for level 2?")
    check("level 2 starts in the same window",
          pump_until("level 2", lambda: reader.shows_label("Level: 2"), reader))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--browser", choices=["chromium", "webkit"])
    parser.add_argument("program")
    options = parser.parse_args()
    program = os.path.abspath(options.program)
    reader = None
    raise_the_players()
    try:
        reader = BrowserTreeReader(program, options.browser) if options.browser else \
            AtSpiReader(program)
        play_a_round(reader)
        if options.browser:
            errors = reader.game.log()["errors"]
            check(f"no error on the page ({'; '.join(errors) or 'none'})", not errors)
    except StepFailed as failure:
        return check.summary(failure)
    finally:
        if reader is not None:
            reader.stop()
    return check.summary()


if __name__ == "__main__":
    sys.exit(main())
