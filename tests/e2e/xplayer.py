"""A program on a private Xvfb server, seen and driven only through the X server.

Shared by the end-to-end test and the benchmark: window lookup by caption, pixels read from
the screen, XTest mouse and keyboard input, and the window manager's close request.
"""

import os
import subprocess
import time

from Xlib import X, XK, display, protocol
from Xlib.ext import xtest

WHITE = (255, 255, 255)
PAD_NAMES = ["red", "yellow", "green", "blue"]
# Pad centres in window pixels: the pads tile a 133 x 133 square in a 2 x 2 grid.
PAD_CENTRES = [(33, 33), (100, 33), (100, 100), (33, 100)]
# A point of the window's orange background, off every pad.
OFF_PADS = (250, 120)
GAME_CAPTION = "Zintu!"
MESSAGE_CAPTION = "Zintu"
TIMEOUT = 10.0
POLL = 0.005


class StepFailed(Exception):
    pass


def fail(step, why):
    raise StepFailed(f"{step}: {why}")


class Xvfb:
    # -noreset: by default the server resets when its last client leaves, which refuses the
    # next game's connection for a moment.
    def __init__(self):
        read, write = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", "800x600x24", "-nolisten", "tcp",
             "-noreset"],
            pass_fds=[write], stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as numbers:
            self.name = ":" + numbers.readline().strip()

    def stop(self):
        self.process.terminate()
        self.process.wait()


class Game:
    """One run of a program, seen only through the X server."""

    def __init__(self, binary, display_name):
        process = subprocess.Popen([binary], env={**os.environ, "DISPLAY": display_name},
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self._connect(process, display_name)

    @classmethod
    def attach(cls, process, display_name):
        """Drives a program that was started elsewhere."""
        game = cls.__new__(cls)
        game._connect(process, display_name)
        return game

    def _connect(self, process, display_name):
        self.process = process
        self.x = display.Display(display_name)
        self.root = self.x.screen().root
        self.wm_delete = self.x.intern_atom("WM_DELETE_WINDOW")
        self.wm_protocols = self.x.intern_atom("WM_PROTOCOLS")

    # Windows

    def top_level(self, caption):
        for window in self.root.query_tree().children:
            try:
                if (window.get_wm_name() == caption
                        and window.get_attributes().map_state == X.IsViewable):
                    return window
            except Exception:  # a window may vanish while we look at it
                continue
        return None

    def wait_for(self, step, condition, timeout=TIMEOUT):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            result = condition()
            if result:
                return result
            if self.process.poll() is not None:
                fail(step, f"zintu ended with status {self.process.returncode}")
            time.sleep(POLL)
        fail(step, f"nothing after {timeout} s")

    def game_window(self, step):
        return self.wait_for(step, lambda: self.top_level(GAME_CAPTION))

    def other_game_window(self, old):
        window = self.top_level(GAME_CAPTION)
        return window if window is not None and window.id != old.id else None

    def message_box(self):
        return self.top_level(MESSAGE_CAPTION)

    def origin(self, window):
        corner = self.root.translate_coords(window, 0, 0)
        return corner.x, corner.y

    def centre(self, window):
        left, top = self.origin(window)
        geometry = window.get_geometry()
        return left + geometry.width // 2, top + geometry.height // 2

    # Pixels

    def pixel(self, window, x, y):
        data = window.get_image(x, y, 1, 1, X.ZPixmap, 0xFFFFFFFF).data
        return (data[2], data[1], data[0])

    def lit_pad(self, window):
        lit = [pad for pad, (x, y) in enumerate(PAD_CENTRES) if self.pixel(window, x, y) == WHITE]
        return lit[0] if len(lit) == 1 else (None if not lit else -1)

    def watch_playback(self, step, window):
        """The pads lit one after another, until a message box opens."""
        seen, previous = [], None
        while True:
            if self.message_box():
                return seen
            try:
                lit = self.lit_pad(window)
            except Exception:
                lit = None
            if lit == -1:
                fail(step, "two pads lit at once")
            if lit is not None and lit != previous:
                seen.append(lit)
            previous = lit
            if self.process.poll() is not None:
                fail(step, f"zintu ended with status {self.process.returncode}")
            time.sleep(POLL)

    # Message boxes

    def answer_box(self, step, box):
        left, top = self.origin(box)
        geometry = box.get_geometry()
        self.move_to(left + geometry.width // 2, top + geometry.height // 2)
        keycode = self.x.keysym_to_keycode(XK.XK_Return)
        xtest.fake_input(self.x, X.KeyPress, keycode)
        xtest.fake_input(self.x, X.KeyRelease, keycode)
        self.x.sync()
        self.wait_for(step + " (answering the box)", lambda: self.message_box() is None)

    # Mouse and window manager

    def move_to(self, x, y):
        xtest.fake_input(self.x, X.MotionNotify, x=x, y=y)
        self.x.sync()

    def press_pad(self, window, pad):
        left, top = self.origin(window)
        x, y = PAD_CENTRES[pad]
        self.move_to(left + x, top + y)
        xtest.fake_input(self.x, X.ButtonPress, 1)
        self.x.sync()

    def click_pad(self, window, pad, pause=0.05):
        self.press_pad(window, pad)
        time.sleep(pause / 2)
        xtest.fake_input(self.x, X.ButtonRelease, 1)
        self.x.sync()
        time.sleep(pause / 2)

    def close(self, window):
        event = protocol.event.ClientMessage(window=window, client_type=self.wm_protocols,
                                             data=(32, [self.wm_delete, X.CurrentTime, 0, 0, 0]))
        window.send_event(event)
        self.x.sync()

    def exit_status(self, timeout=TIMEOUT):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        self.x.close()
