"""A program on a private X server, seen and driven only through that server.

Shared by the end-to-end tests and the benchmark: the servers (Xvfb, with openbox or a nested
weston where a test needs a desktop), windows found by caption or, under Wayland, by their
pixels, pixels read from the screen, XTest mouse and keyboard input, and the window manager's
close request.
"""

import os
import re
import shutil
import subprocess
import tempfile
import time

from Xlib import X, XK, display, protocol
from Xlib.ext import xtest

WHITE = (255, 255, 255)
PAD_NAMES = ["red", "yellow", "green", "blue"]
PAD_COLOURS = [(255, 0, 0), (255, 255, 0), (0, 255, 0), (0, 0, 255)]
# Pad centres in the form's pixels: the pads tile a 133 x 133 square in a 2 x 2 grid.
PAD_CENTRES = [(33, 33), (100, 33), (100, 100), (33, 100)]
# Where a pad's colour is read: up and left of its centre, clear of the pointer that clicked
# it, which a Wayland compositor draws into the picture, below and right of the click.
PAD_SAMPLES = [(x - 16, y - 16) for x, y in PAD_CENTRES]
PAD_PITCH = 67
FORM_SIZE = (321, 133)
# A point of the window's orange background, off every pad.
OFF_PADS = (250, 120)
GAME_CAPTION = "Zintu!"
# The caption bar the game draws itself on Wayland.
CAPTION_BAR_HEIGHT = 28
MESSAGE_CAPTION = "Zintu"
TIMEOUT = 10.0
POLL = 0.005
REACTION = 0.05


class StepFailed(Exception):
    pass


def fail(step, why):
    raise StepFailed(f"{step}: {why}")


class Checks:
    """Prints each check on a line of its own; the first that fails ends the run."""

    def __init__(self):
        self.passed = 0

    def __call__(self, what, ok):
        print(f"  {'ok' if ok else 'FAILED'}: {what}", flush=True)
        if not ok:
            raise StepFailed(what)
        self.passed += 1

    def summary(self, failure=None):
        """Prints the last lines of a run and returns its exit status."""
        if failure is not None:
            print(f"FAILED at {failure}", flush=True)
        print(f"{self.passed} passed, {0 if failure is None else 1} failed", flush=True)
        return 0 if failure is None else 1


def wait_until(condition, timeout, what):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if condition():
            return
        time.sleep(0.02)
    raise StepFailed(f"{what}: nothing after {timeout} s")


class Xvfb:
    # -noreset: by default the server resets when its last client leaves, which refuses the
    # next game's connection for a moment.
    def __init__(self, size="800x600"):
        read, write = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", f"{size}x24", "-nolisten", "tcp",
             "-noreset"],
            pass_fds=[write], stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as numbers:
            self.name = ":" + numbers.readline().strip()

    def stop(self):
        self.process.terminate()
        self.process.wait()


class Openbox:
    """A window manager, as players have one: it reparents, decorates and keeps the windows'
    states. Wine without one waits two seconds every time a window is hidden."""

    def __init__(self, display_name):
        self.process = subprocess.Popen(["openbox", "--sm-disable"],
                                        env={**os.environ, "DISPLAY": display_name},
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        x = display.Display(display_name)
        check = x.intern_atom("_NET_SUPPORTING_WM_CHECK")
        try:
            wait_until(lambda: x.screen().root.get_full_property(check, X.AnyPropertyType),
                       TIMEOUT, "openbox")
        finally:
            x.close()

    def stop(self):
        self.process.terminate()
        self.process.wait()


class Weston:
    """A Wayland desktop: weston's X11 backend in a window of the X server, so that the player
    reads its pixels and its XTest input reaches the Wayland clients inside. Its background is
    one flat colour and it has no panel, so that anything else on it is a window."""

    BACKGROUND = (0x40, 0x40, 0x40)
    SIZE = (1000, 700)

    def __init__(self, display_name):
        # Weston gives the pointer to its clients only once it has seen the pointer enter its
        # window: park it outside, so that the first move in brings it in.
        x = display.Display(display_name)
        screen = x.screen()
        xtest.fake_input(x, X.MotionNotify, x=screen.width_in_pixels - 1,
                         y=screen.height_in_pixels - 1)
        x.sync()
        x.close()
        self.runtime_dir = tempfile.mkdtemp(prefix="zintu-weston-")
        os.chmod(self.runtime_dir, 0o700)
        config = os.path.join(self.runtime_dir, "weston.ini")
        with open(config, "w") as out:
            out.write("[core]\nidle-time=0\n[shell]\npanel-position=none\nlocking=false\n"
                      "animation=none\nstartup-animation=none\n"
                      "background-color=0xff%02x%02x%02x\n" % self.BACKGROUND)
        self.socket = "wayland-zintu"
        self.process = subprocess.Popen(
            ["weston", "--backend=x11-backend.so", "--use-pixman", "--config", config,
             f"--socket={self.socket}", f"--width={self.SIZE[0]}", f"--height={self.SIZE[1]}"],
            env={**os.environ, "DISPLAY": display_name, "XDG_RUNTIME_DIR": self.runtime_dir},
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_until(lambda: os.path.exists(os.path.join(self.runtime_dir, self.socket)), TIMEOUT,
                   "weston")
        x = display.Display(display_name)
        try:
            def output():
                for window in x.screen().root.query_tree().children:
                    geometry = window.get_geometry()
                    if (geometry.width, geometry.height) == self.SIZE:
                        return window.id
                return None
            wait_until(output, TIMEOUT, "weston's output window")
            self.output_id = output()
            # The shell paints its background a moment after the socket opens.
            wait_until(lambda: self._pixel(x, 5, 5) == self.BACKGROUND, TIMEOUT, "weston's shell")
        finally:
            x.close()

    def _pixel(self, x, px, py):
        data = x.create_resource_object("window", self.output_id).get_image(
            px, py, 1, 1, X.ZPixmap, 0xFFFFFFFF).data
        return (data[2], data[1], data[0])

    def client_env(self):
        environment = {**os.environ, "WAYLAND_DISPLAY": self.socket,
                       "XDG_RUNTIME_DIR": self.runtime_dir, "QT_QPA_PLATFORM": "wayland"}
        environment.pop("DISPLAY", None)
        return environment

    def stop(self):
        self.process.terminate()
        self.process.wait()
        shutil.rmtree(self.runtime_dir, ignore_errors=True)


class View:
    """The part of an X window that shows one window of the program: the whole of it on X11,
    a rectangle of weston's output under Wayland."""

    def __init__(self, window, left, top, width, height, ident):
        self.window, self.left, self.top = window, left, top
        self.width, self.height, self.ident = width, height, ident

    def pixel(self, x, y):
        data = self.window.get_image(self.left + x, self.top + y, 1, 1, X.ZPixmap,
                                     0xFFFFFFFF).data
        return (data[2], data[1], data[0])

    def split(self, height):
        """The top `height` rows, and the rest."""
        return (View(self.window, self.left, self.top, self.width, height, self.ident),
                View(self.window, self.left, self.top + height, self.width, self.height - height,
                     self.ident))

    def image(self):
        """32-bit pixels, blue first, and the size."""
        return (self.window.get_image(self.left, self.top, self.width, self.height, X.ZPixmap,
                                      0xFFFFFFFF).data, self.width, self.height)


class X11Windows:
    """Top-level windows found by caption: the window manager's client list where one runs,
    else the root's children."""

    def __init__(self, x):
        self.x = x
        self.root = x.screen().root
        self.client_list = x.intern_atom("_NET_CLIENT_LIST")

    def top_level(self, caption):
        listed = self.root.get_full_property(self.client_list, X.AnyPropertyType)
        candidates = ([self.x.create_resource_object("window", w) for w in listed.value]
                      if listed else self.root.query_tree().children)
        for window in candidates:
            try:
                if (window.get_wm_name() == caption
                        and window.get_attributes().map_state == X.IsViewable):
                    geometry = window.get_geometry()
                    return View(window, 0, 0, geometry.width, geometry.height, window.id)
            except Exception:  # a window may vanish while we look at it
                continue
        return None


class WaylandWindows:
    """Windows of a Wayland client found by their pixels on weston's output: the game's form by
    its pads, a message box as the light grey of a dialog anywhere else."""

    SAMPLE = 6

    def __init__(self, x, weston):
        self.output = x.create_resource_object("window", weston.output_id)
        self.width, self.height = weston.SIZE
        self.game = None

    def _screen(self):
        return self.output.get_image(0, 0, self.width, self.height, X.ZPixmap, 0xFFFFFFFF).data

    def _rgb(self, data, x, y):
        at = 4 * (y * self.width + x)
        return (data[at + 2], data[at + 1], data[at])

    def _find_form(self, data):
        # Runs of a pad's colour as wide as a pad, at the pixel grid's 4-byte steps.
        for colour, pad in zip(PAD_COLOURS, range(4)):
            run = re.escape(bytes([colour[2], colour[1], colour[0]])) + b"."
            for found in re.finditer(b"(?:" + run + b"){%d}" % (PAD_PITCH - 2), data, re.S):
                if found.start() % 4:
                    continue
                x, y = (found.start() // 4) % self.width, (found.start() // 4) // self.width
                while x > 0 and self._rgb(data, x - 1, y) == colour:
                    x -= 1
                while y > 0 and self._rgb(data, x, y - 1) == colour:
                    y -= 1
                left = x - (PAD_CENTRES[pad][0] - PAD_CENTRES[0][0])
                top = y - (PAD_CENTRES[pad][1] - PAD_CENTRES[0][1])
                matches = sum(self._rgb(data, left + cx, top + cy) == PAD_COLOURS[i]
                              for i, (cx, cy) in enumerate(PAD_SAMPLES))
                if matches >= 3:
                    return left, top
        return None

    def top_level(self, caption):
        data = self._screen()
        if caption == GAME_CAPTION:
            found = self._find_form(data)
            if found is None:
                return None
            self.game = View(self.output, *found, *FORM_SIZE, "game")
            return self.game
        return self._find_box(data)

    def _find_box(self, data):
        def dialog_grey(x, y):
            red, green, blue = self._rgb(data, x, y)
            return red == green == blue and 200 <= red <= 250

        def in_game(x, y):
            game = self.game
            # The caption bar above the form is the game window's too.
            return (game is not None and game.left <= x < game.left + game.width
                    and game.top - CAPTION_BAR_HEIGHT <= y < game.top + game.height)

        grey = {(x, y) for y in range(0, self.height, self.SAMPLE)
                for x in range(0, self.width, self.SAMPLE)
                if dialog_grey(x, y) and not in_game(x, y)}
        points = self._largest_patch(grey)
        if len(points) < 20:  # the pointer's outline is grey too, but small
            return None
        left = min(x for x, _ in points)
        top = min(y for _, y in points)
        right = max(x for x, _ in points)
        bottom = max(y for _, y in points)
        while left > 0 and dialog_grey(left - 1, top + 1):
            left -= 1
        while top > 0 and dialog_grey(left + 1, top - 1):
            top -= 1
        while right < self.width - 1 and dialog_grey(right + 1, bottom - 1):
            right += 1
        while bottom < self.height - 1 and dialog_grey(right - 1, bottom + 1):
            bottom += 1
        return View(self.output, left, top, right - left + 1, bottom - top + 1, "box")


    def _largest_patch(self, samples):
        patches = []
        while samples:
            patch, edge = set(), [samples.pop()]
            while edge:
                x, y = edge.pop()
                patch.add((x, y))
                for step in ((self.SAMPLE, 0), (-self.SAMPLE, 0), (0, self.SAMPLE),
                             (0, -self.SAMPLE)):
                    neighbour = (x + step[0], y + step[1])
                    if neighbour in samples:
                        samples.remove(neighbour)
                        edge.append(neighbour)
            patches.append(patch)
        return max(patches, key=len, default=set())


class Game:
    """One run of a program, seen only through the X server."""

    def __init__(self, command, display_name, weston=None, env=None):
        command = [command] if isinstance(command, str) else command
        environment = weston.client_env() if weston else {**os.environ, "DISPLAY": display_name}
        environment.update(env or {})
        process = subprocess.Popen(command, env=environment, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        self._connect(process, display_name, weston)

    @classmethod
    def attach(cls, process, display_name):
        """Drives a program that was started elsewhere."""
        game = cls.__new__(cls)
        game._connect(process, display_name, None)
        return game

    def _connect(self, process, display_name, weston):
        self.process = process
        self.x = display.Display(display_name)
        self.root = self.x.screen().root
        self.windows = WaylandWindows(self.x, weston) if weston else X11Windows(self.x)
        self.wayland = weston is not None
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

    def watch_playback(self, step, view):
        """The pads lit one after another, until a message box opens."""
        seen, previous = [], None
        while True:
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
        keycode = self.x.keysym_to_keycode(XK.XK_Return)
        xtest.fake_input(self.x, X.KeyPress, keycode)
        xtest.fake_input(self.x, X.KeyRelease, keycode)
        self.x.sync()
        self.wait_for(step + " (answering the box)", lambda: self.message_box() is None)
        # A player's eyes take far longer than the game's few milliseconds between the box
        # leaving the screen and the turn handed over; input sooner is dropped with the box.
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
