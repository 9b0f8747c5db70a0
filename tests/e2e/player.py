"""One run of a program, seen and driven only through the X server: pixels read from the screen,
XTest mouse and keyboard input, and the window manager's requests."""

import os
import re
import subprocess
import tempfile
import time

from Xlib import X, XK, display, protocol
from Xlib.ext import xtest

from .design import GAME_CAPTION, MESSAGE_CAPTION, PAD_SAMPLES, WHITE
from .hands import Hands, lit_among
from .priority import as_tested
from .report import TIMEOUT, fail
from .screen import WaylandWindows, X11Windows

REACTION = 0.05
OCR_SCALE = 3  # tesseract reads the box's small text reliably only when enlarged
# Every character the boxes show: tesseract takes none else for them ("}" for "y").
BOX_CHARACTERS = ("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"
                  " !?.:'")


def normalised(text):
    return re.sub(r"[^a-z0-9]", "", text.lower())


def enlarged_grey(data, width, height):
    """The window's 32-bit pixels as a greyscale PGM enlarged OCR_SCALE times, with bilinear
    interpolation: repeated pixels leave steps that tesseract misreads ("?" as "7")."""
    grey = [[(data[4 * (y * width + x)] + data[4 * (y * width + x) + 1]
              + data[4 * (y * width + x) + 2]) // 3 for x in range(width)] for y in range(height)]
    out = bytearray()
    for big_y in range(height * OCR_SCALE):
        y = min(max((big_y + 0.5) / OCR_SCALE - 0.5, 0), height - 1)
        y0, fy = int(y), y - int(y)
        y1 = min(y0 + 1, height - 1)
        for big_x in range(width * OCR_SCALE):
            x = min(max((big_x + 0.5) / OCR_SCALE - 0.5, 0), width - 1)
            x0, fx = int(x), x - int(x)
            x1 = min(x0 + 1, width - 1)
            top = grey[y0][x0] * (1 - fx) + grey[y0][x1] * fx
            bottom = grey[y1][x0] * (1 - fx) + grey[y1][x1] * fx
            out.append(int(top * (1 - fy) + bottom * fy + 0.5))
    return f"P5 {width * OCR_SCALE} {height * OCR_SCALE} 255\n".encode() + bytes(out)


def settled_image(view):
    """The view's pixels once two looks 50 ms apart agree: the box may still be painting."""
    image = view.image()
    while True:
        time.sleep(0.05)
        again = view.image()
        if again == image:
            return image
        image = again


def read(view):
    """The lines of text on a view, read from its pixels by OCR."""
    with tempfile.TemporaryDirectory() as folder:
        picture = os.path.join(folder, "view.pgm")
        with open(picture, "wb") as out:
            out.write(enlarged_grey(*settled_image(view)))
        text = subprocess.run(["tesseract", picture, "-", "--psm", "6", "-c",
                               f"tessedit_char_whitelist={BOX_CHARACTERS}"],
                              capture_output=True, text=True).stdout
    return [line for line in text.splitlines() if normalised(line)]


class Game(Hands):
    """One run of a program, seen only through the X server."""

    # Texts are read by OCR, which is least sure of punctuation.
    exact_text = False

    def __init__(self, command, desktop, env=None):
        command = [command] if isinstance(command, str) else command
        environment = desktop.client_env()
        environment.update(env or {})
        process = subprocess.Popen(command, env=environment, preexec_fn=as_tested,
                                   stdout=subprocess.DEVNULL,
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
        self.window_manager = desktop.window_manager
        self.wm_delete = self.x.intern_atom("WM_DELETE_WINDOW")
        self.wm_protocols = self.x.intern_atom("WM_PROTOCOLS")
        self.wm_state = self.x.intern_atom("_NET_WM_STATE")
        self.wm_state_above = self.x.intern_atom("_NET_WM_STATE_ABOVE")

    # Windows

    def top_level(self, caption):
        return self.windows.top_level(caption)

    def still_running(self, step):
        if self.process.poll() is not None:
            fail(step, f"zintu ended with status {self.process.returncode}")

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

    def window_centre(self, view):
        return self.centre(view)

    # Pixels

    def lit_pad(self, view):
        return lit_among([view.pixel(x, y) == WHITE for x, y in PAD_SAMPLES])

    def looks(self, view, box_open):
        """What the pads show now; nothing once a box is open, which may cover them."""
        if box_open:
            return []
        try:
            return [self.lit_pad(view)]
        except Exception:  # the window may be going while we look
            return [None]

    # Message boxes

    def settled_box(self, step):
        """The open box once two looks 50 ms apart agree on where it is: under Wayland it is
        found by its pixels, which may still be arriving."""
        box = self.wait_for(step, self.message_box)
        while True:
            time.sleep(0.05)
            again = self.wait_for(step, self.message_box)
            if (again.left, again.top, again.width, again.height) == (box.left, box.top,
                                                                       box.width, box.height):
                return again
            box = again

    def read_box(self, step):
        """The box, its caption where the view holds its title bar (else None), and its text:
        read by OCR, the button's "OK" left out. Whether OK has the focus is not seen here."""
        self.park_pointer()
        box = self.settled_box(step)
        body, caption = box, None
        if box.caption_height:
            # Read apart from the text, which OCR reads less surely beside the title bar's
            # glyphs (a cross, a chevron), which it may read as trailing letters.
            caption_bar, body = box.split(box.caption_height)
            caption = re.sub("[vx]+$", "", normalised(" ".join(read(caption_bar))))
        text = " ".join(line for line in read(body) if normalised(line) != "ok")
        return box, caption, text, None

    def answer_box(self, step, box, key="Return"):
        if not self.wayland:
            # Without a window manager, the keyboard goes to the window under the pointer.
            self.move_to(*self.centre(box))
        self.press_key(key)
        self.wait_for(step + " (answering the box)", lambda: self.message_box() is None)
        self.react()

    def press_key(self, key):
        keycode = self.x.keysym_to_keycode(XK.string_to_keysym(key))
        xtest.fake_input(self.x, X.KeyPress, keycode)
        xtest.fake_input(self.x, X.KeyRelease, keycode)
        self.x.sync()

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

    def press_at(self, x, y):
        self.move_to(x, y)
        xtest.fake_input(self.x, X.ButtonPress, 1)
        self.x.sync()

    def release(self):
        xtest.fake_input(self.x, X.ButtonRelease, 1)
        self.x.sync()

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
