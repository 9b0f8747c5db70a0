"""The page played in a browser: what the page paints, the browser's pointer, touch and keyboard
input, and the box as it stands on the page. Chromium and Firefox are tests/web/bridge.mjs, which
answers one request a line; WebKit is webkit.py, which answers the same requests."""

import base64
import json
import subprocess
import time
from pathlib import Path

from .design import PAD_SAMPLES, WHITE
from .hands import Hands, lit_among
from .priority import ORIGINAL
from .report import TIMEOUT
from .screen import View

BRIDGE = Path(__file__).resolve().parent.parent / "web" / "bridge.mjs"

KEYS = {"Return": "Enter", "space": " ", "Escape": "Escape"}

WINDOW = """(() => {
  const frame = document.getElementById('zintu-window');
  if (!frame || getComputedStyle(frame).display === 'none') return null;
  frame.zintuIdent = frame.zintuIdent || (window.zintuIdents = (window.zintuIdents || 0) + 1);
  const place = (id) => { const r = document.getElementById(id).getBoundingClientRect();
                          return [r.left, r.top, r.width, r.height]; };
  const outer = frame.getBoundingClientRect();
  return { client: place('zintu-client'), close: place('zintu-close'),
           frame: [outer.left, outer.top, outer.width, outer.height], ident: frame.zintuIdent };
})()"""

BOX = """(() => {
  const box = document.getElementById('zintu-box');
  if (!box.open) return null;
  const place = box.getBoundingClientRect();
  return { caption: box.querySelector('.caption').textContent,
           text: box.querySelector('p').textContent,
           buttons: Array.from(box.querySelectorAll('button'), (button) => button.textContent),
           focused: document.activeElement ? document.activeElement.textContent : '',
           place: [place.left, place.top, place.width, place.height] };
})()"""

ENDED = """(() => {
  const line = document.getElementById('zintu-ended');
  return getComputedStyle(line).display !== 'none' ? line.textContent : '';
})()"""


class BridgeFailed(Exception):
    pass


class Bridge:
    def __init__(self):
        self.process = subprocess.Popen(["/usr/bin/node", str(BRIDGE)], stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, text=True)

    def __call__(self, op, **arguments):
        self.process.stdin.write(json.dumps({"op": op, **arguments}) + "\n")
        self.process.stdin.flush()
        reply = json.loads(self.process.stdout.readline() or '{"error": "the bridge ended"}')
        if "error" in reply:
            raise BridgeFailed(f"{op}: {reply['error']}")
        return reply.get("value")

    def close(self):
        try:
            self("quit")
        except (BridgeFailed, BrokenPipeError):
            pass
        self.process.stdin.close()
        self.process.wait()


def bridge_to(browser):
    if browser == "webkit":
        from .webkit import WebKit
        return WebKit()
    return Bridge()


def parse_css_colour(text):
    parts = text[text.find("(") + 1:text.find(")")].replace(",", " ").split()
    return tuple(int(float(part)) for part in parts[:3]) if len(parts) >= 3 else None


class BrowserGame(Hands):
    """One page in one browser. Looks follow the frames the page paints, so none is missed
    however late the player comes to look."""

    POLL = 0.02
    # The page's texts are read as they stand, not by OCR.
    exact_text = True
    wayland = False
    window_manager = None

    def __init__(self, browser, page, scale=1, java_script=True):
        self.bridge = bridge_to(browser)
        self.url = page if page.startswith("http") else Path(page).resolve().as_uri()
        self.watched = None
        self.shown = None
        self.pointer = (0, 0)
        self.held = False
        try:
            self.bridge("open", browser=browser, url=self.url, scale=scale,
                        javaScript=java_script, priority=ORIGINAL)
        except BaseException:
            self.bridge.close()
            raise

    def evaluate(self, script):
        return self.bridge("evaluate", script=script)

    def reload(self):
        """The page loaded again: a new document, whose frames nobody watches yet."""
        self.bridge("reload")
        self.watched = None

    # Windows

    def game_window(self, step):
        found = self.wait_for(step, lambda: self.evaluate(WINDOW))
        view = View(None, *found["client"], found["ident"])
        view.frame, view.close = found["frame"], found["close"]
        if self.watched != found["client"]:
            self.watched = found["client"]
            self.bridge("watch", points=[[view.left + x, view.top + y] for x, y in PAD_SAMPLES])
            self.shown = None
        return view

    def origin(self, view):
        return view.left, view.top

    def centre(self, view):
        return view.left + view.width / 2, view.top + view.height / 2

    def window_centre(self, view):
        left, top, width, height = view.frame
        return left + width / 2, top + height / 2

    # What the page paints

    def _lit(self, colours):
        return lit_among([parse_css_colour(colour) == WHITE for colour in colours])

    def painted(self):
        """Which pad each frame painted since the last look showed lit."""
        frames = self.bridge("frames")
        if frames:
            self.shown = frames[-1]["colours"]
        return [self._lit(frame["colours"]) for frame in frames]

    def lit_pad(self, view):
        self.painted()
        return self._lit(self.shown) if self.shown else None

    def looks(self, view, box_open):
        """Every frame painted since the last look, up to the box's opening."""
        return self.painted()

    # Message boxes

    def message_box(self):
        box = self.evaluate(BOX)
        if box is None:
            return None
        view = View(None, *box["place"], "box")
        view.reading = box
        return view

    def read_box(self, step):
        """The box, its caption and text as they stand, and whether OK is its one button and
        has the focus, so that a key answers it."""
        box = self.wait_for(step, self.message_box)
        reading = box.reading
        return (box, reading["caption"], reading["text"],
                reading["buttons"] == ["OK"] and reading["focused"] == "OK")

    def answer_box(self, step, box, key="Return"):
        self.bridge("key", key=KEYS[key])
        self.wait_for(step + f" (answered with {key})", lambda: self.message_box() is None)
        # What was painted before is the player's own clicks, not the next playback.
        self.painted()

    def react(self):
        pass

    def park_pointer(self):
        pass

    # Input

    def _mouse(self, action, x=None, y=None):
        if x is not None:
            self.pointer = (x, y)
        if action != "move":
            self.held = action == "down"
        self.bridge("mouse", action=action, x=self.pointer[0], y=self.pointer[1])

    def move_to(self, x, y):
        self._mouse("move", x, y)

    def press_at(self, x, y):
        self._mouse("down", x, y)

    def release(self):
        self._mouse("up")

    def tap_pad(self, view, pad):
        x, y = self.pad_centre(view, pad)
        self.bridge("tap", x=x, y=y)

    def press_key(self, key):
        self.bridge("key", key=KEYS[key])

    # The end

    def close(self, view):
        """The window's own close button, clicked as quickly as a hand does."""
        left, top, width, height = view.close
        if self.held:
            # A pad held: the hand lets go of it over the close button, which clicks no pad.
            self._mouse("up", left + width / 2, top + height / 2)
        self.click_at(left + width / 2, top + height / 2, pause=0.01)

    def ended_line(self):
        return self.evaluate(ENDED)

    def exit_status(self, timeout=TIMEOUT):
        """0 once the page says the game has ended and its window is gone."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if self.ended_line() and self.evaluate(WINDOW) is None:
                return 0
            time.sleep(self.POLL)
        return None

    def screenshot(self, clip=None):
        """Device pixels: the width, the height and (red, green, blue) by row."""
        shot = self.bridge("screenshot", clip=clip)
        data = base64.b64decode(shot["pixels"])
        pixels = [tuple(data[at:at + 3]) for at in range(0, len(data), 3)]
        return shot["width"], shot["height"], pixels

    def log(self):
        return self.bridge("log")

    def stop(self):
        self.bridge.close()
