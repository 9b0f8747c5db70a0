"""One run of a program, seen and driven only through the X server: pixels read from the screen,
XTest mouse and keyboard input, and the window manager's requests."""

import subprocess
import time

from Xlib import X, XK, display, protocol
from Xlib.ext import xtest

from .design import GAME_CAPTION, MESSAGE_CAPTION, PAD_CENTRES, PAD_SAMPLES, WHITE
from .report import TIMEOUT, fail
from .screen import WaylandWindows, X11Windows

POLL = 0.005
# Level 99 plays for a minute.
PLAYBACK_TIMEOUT = 90.0
REACTION = 0.05


class Game:
    """One run of a program, seen only through the X server."""

    def __init__(self, command, desktop, env=None):
        command = [command] if isinstance(command, str) else command
        environment = desktop.client_env()
        environment.update(env or {})
        process = subprocess.Popen(command, env=environment, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        self._connect(process, desktop)

    @classmethod
    def attach(cls, process, desktop):
        """Drives a program that was started elsewhere."""
        game = cls.__new__(cls)
        game._connect(process, desktop)
        return game

    def _connect(self, process, desktop):
        compositor = desktop.compositor
        self.process = process
        self.x = display.Display(desktop.display)
        self.root = self.x.screen().root
        self.windows = WaylandWindows(self.x, compositor) if compositor else X11Windows(self.x)
        self.wayland = compositor is not None
        self.wm_delete = self.x.intern_atom("WM_DELETE_WINDOW")
        self.wm_protocols = self.x.intern_atom("WM_PROTOCOLS")
        self.wm_state = self.x.intern_atom("_NET_WM_STATE")
        self.wm_state_above = self.x.intern_atom("_NET_WM_STATE_ABOVE")

    # Windows

    def top_level(self, caption):
        return self.windows.top_level(caption)

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

    def message_box(self):
        return self.top_level(MESSAGE_CAPTION)

    def origin(self, view):
        corner = self.root.translate_coords(view.window, view.left, view.top)
        return corner.x, corner.y

    def centre(self, view):
        left, top = self.origin(view)
        return left + view.width // 2, top + view.height // 2

    # Pixels

    def lit_pad(self, view):
        lit = [pad for pad, (x, y) in enumerate(PAD_SAMPLES) if view.pixel(x, y) == WHITE]
        return lit[0] if len(lit) == 1 else (None if not lit else -1)

    def watch_playback(self, step, view, timeout=PLAYBACK_TIMEOUT):
        """The pads lit one after another, until a message box opens."""
        seen, previous = [], None
        deadline = time.monotonic() + timeout
        while True:
            if time.monotonic() >= deadline:
                fail(step, f"no box after {timeout} s of playback")
            if self.message_box():
                return seen
            try:
                lit = self.lit_pad(view)
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
        if not self.wayland:
            # Without a window manager, the keyboard goes to the window under the pointer.
            self.move_to(*self.centre(box))
        self.press_return()
        self.wait_for(step + " (answering the box)", lambda: self.message_box() is None)
        self.react()

    def press_return(self):
        keycode = self.x.keysym_to_keycode(XK.XK_Return)
        xtest.fake_input(self.x, X.KeyPress, keycode)
        xtest.fake_input(self.x, X.KeyRelease, keycode)
        self.x.sync()

    def box_gone(self, timeout=TIMEOUT):
        deadline = time.monotonic() + timeout
        while self.message_box() is not None:
            if time.monotonic() >= deadline:
                return False
            time.sleep(POLL)
        return True

    def react(self):
        """A player's eyes take far longer than the game's few milliseconds between a box
        leaving the screen and the turn handed over; input sooner is dropped with the box."""
        time.sleep(REACTION)

    # Mouse and window manager

    def park_pointer(self):
        """Moves the pointer out of the pictures read: a Wayland compositor draws it into them.
        Its sprite hangs below and right of its tip, so in the output's corner it is all but
        hidden."""
        if self.wayland:
            output = self.windows.output
            corner = self.root.translate_coords(output, self.windows.width - 1,
                                                self.windows.height - 1)
            self.move_to(corner.x, corner.y)

    def move_to(self, x, y):
        xtest.fake_input(self.x, X.MotionNotify, x=x, y=y)
        self.x.sync()

    def press_pad(self, view, pad):
        left, top = self.origin(view)
        x, y = PAD_CENTRES[pad]
        self.move_to(left + x, top + y)
        xtest.fake_input(self.x, X.ButtonPress, 1)
        self.x.sync()

    def click_at(self, x, y, pause=0.05):
        """A click as a hand makes it: the button held for a moment."""
        self.move_to(x, y)
        xtest.fake_input(self.x, X.ButtonPress, 1)
        self.x.sync()
        time.sleep(pause)
        self.release()

    def release(self):
        xtest.fake_input(self.x, X.ButtonRelease, 1)
        self.x.sync()

    def click_pad(self, view, pad, pause=0.05):
        self.press_pad(view, pad)
        time.sleep(pause / 2)
        self.release()
        time.sleep(pause / 2)

    def close(self, view):
        event = protocol.event.ClientMessage(window=view.window, client_type=self.wm_protocols,
                                             data=(32, [self.wm_delete, X.CurrentTime, 0, 0, 0]))
        view.window.send_event(event)
        self.x.sync()

    def set_above(self, view):
        """Asks the window manager to keep the window above the others, as its menu does."""
        add = 1
        event = protocol.event.ClientMessage(
            window=view.window, client_type=self.wm_state,
            data=(32, [add, self.wm_state_above, 0, 1, 0]))
        self.root.send_event(event, event_mask=X.SubstructureRedirectMask
                             | X.SubstructureNotifyMask)
        self.x.sync()

    def is_above(self, view):
        states = view.window.get_full_property(self.wm_state, X.AnyPropertyType)
        return states is not None and self.wm_state_above in states.value

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
