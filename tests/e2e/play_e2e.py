#!/usr/bin/python3
"""Plays the real zintu binary on a private Xvfb server as a person would.

It learns each pattern by watching the pads' pixels, answers every message box with the
keyboard after reading its text by OCR, clicks with XTest, and closes the window at the
moments a player can. Every check prints a line; a failure names the step that went wrong.

Usage: play_e2e.py PATH_TO_ZINTU
"""

import os
import re
import subprocess
import sys
import tempfile
import time

from Xlib import X, XK, Xatom, display, protocol
from Xlib.ext import xtest

WHITE = (255, 255, 255)
RESTING = [(255, 0, 0), (255, 255, 0), (0, 255, 0), (0, 0, 255)]
PAD_NAMES = ["red", "yellow", "green", "blue"]
# Pad centres in window pixels: the pads tile a 133 x 133 square in a 2 x 2 grid.
PAD_CENTRES = [(33, 33), (100, 33), (100, 100), (33, 100)]
GAME_CAPTION = "Zintu!"
MESSAGE_CAPTION = "Zintu"
TIMEOUT = 10.0
POLL = 0.005


class StepFailed(Exception):
    pass


def fail(step, why):
    raise StepFailed(f"{step}: {why}")


def rating(level):
    if level < 5:
        return f"You got to level {level}. You should practice more."
    if level < 10:
        return f"You reached level {level}. That's good, but you should try again."
    if level < 20:
        return f"You achieved level {level}! That's really good!"
    return f"Wow! Level {level} is really hard to get to!"


def normalised(text):
    return re.sub(r"[^a-z0-9]", "", text.lower())


checked = 0


def check(what, ok):
    global checked
    print(f"  {'ok' if ok else 'FAILED'}: {what}", flush=True)
    if not ok:
        raise StepFailed(what)
    checked += 1


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
    """One run of the binary, seen only through the X server."""

    def __init__(self, binary, display_name):
        self.process = subprocess.Popen([binary], env={**os.environ, "DISPLAY": display_name},
                                        stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
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

    def read_box(self, step):
        box = self.wait_for(step, self.message_box)
        time.sleep(0.1)  # let it paint
        geometry = box.get_geometry()
        image = box.get_image(0, 0, geometry.width, geometry.height, X.ZPixmap, 0xFFFFFFFF)
        with tempfile.TemporaryDirectory() as folder:
            raw = os.path.join(folder, "box.ppm")
            with open(raw, "wb") as out:
                out.write(f"P6 {geometry.width} {geometry.height} 255\n".encode())
                data = image.data
                out.write(bytes(b for i in range(0, len(data), 4)
                                for b in (data[i + 2], data[i + 1], data[i])))
            big = os.path.join(folder, "box.png")
            subprocess.run(["convert", raw, "-resize", "300%", "-colorspace", "Gray", big],
                           check=True)
            text = subprocess.run(["tesseract", big, "-", "--psm", "6"], capture_output=True,
                                  text=True).stdout
        return box, text.strip()

    def expect_box(self, step, expected):
        box, text = self.read_box(step)
        check(f"{step}: box says {expected!r} (read {text!r})",
              normalised(expected) in normalised(text))
        return box

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


def play_levels(game, levels, wrong_at):
    """Plays from level 1, clicking back each pattern at 20 clicks a second."""
    earlier = []
    window = game.game_window("start")
    for level in range(1, levels + 1):
        step = f"level {level}"
        seen = game.watch_playback(step + " playback", window)
        check(f"{step}: {len(seen)} pads played, {', '.join(PAD_NAMES[p] for p in seen)}",
              len(seen) == level)
        check(f"{step}: the pattern starts as the last level's did", seen[:-1] == earlier)
        earlier = seen
        game.answer_box(step, game.expect_box(step + " GO", "GO!"))
        pattern, place = seen, game.origin(window)
        if level in wrong_at:
            wrong = (pattern[0] + 1) % 4
            game.click_pad(window, wrong)
            game.answer_box(step, game.expect_box(step + " wrong click", rating(level)))
        for pad in pattern:
            game.click_pad(window, pad)
        box = game.expect_box(step + " complete", f"Ready for level {level + 1}?")
        game.answer_box(step, box)
        # The old window may still be on the screen for a moment after the box has gone.
        window = game.wait_for(step + " reload", lambda: game.other_game_window(window))
        check(f"{step}: the window is back in the same place", game.origin(window) == place)


def close_during_playback(game):
    step = "close during playback"
    window = game.game_window(step)
    game.wait_for(step, lambda: game.lit_pad(window) is not None)
    game.close(window)
    check(f"{step}: zintu ends with status 0", game.exit_status() == 0)


def close_during_players_turn(game):
    step = "close during the player's turn"
    window = game.game_window(step)
    game.answer_box(step, game.expect_box(step, "GO!"))
    game.press_pad(window, 0)
    game.wait_for(step + " (pad held)", lambda: game.lit_pad(window) == 0)
    game.close(window)
    check(f"{step}: zintu ends with status 0", game.exit_status() == 0)


def close_over_message_box(game):
    step = "close over an open message box"
    window = game.game_window(step)
    box = game.expect_box(step, "GO!")
    game.close(window)
    check(f"{step}: the close is refused while the box is open",
          game.exit_status(timeout=1.0) is None and game.message_box() is not None)
    game.answer_box(step, box)
    game.close(window)
    check(f"{step}: closed after the box, zintu ends with status 0", game.exit_status() == 0)


def without_display(binary):
    step = "start without a display"
    environment = {name: value for name, value in os.environ.items()
                   if name not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    run = subprocess.run([binary], env=environment, capture_output=True, text=True, timeout=30)
    lines = run.stderr.strip().splitlines()
    check(f"{step}: status {run.returncode}, says {lines!r}",
          run.returncode != 0 and len(lines) == 1 and "xvfb-run" in lines[0])


def in_a_game(binary, server, scenario):
    game = Game(binary, server.name)
    try:
        scenario(game)
    finally:
        game.stop()


def main():
    binary = os.path.abspath(sys.argv[1])
    server = Xvfb()
    print(f"Xvfb on {server.name}; playing {binary}", flush=True)
    try:
        in_a_game(binary, server, lambda game: play_levels(game, 6, wrong_at={2, 6}))
        in_a_game(binary, server, close_during_playback)
        in_a_game(binary, server, close_during_players_turn)
        in_a_game(binary, server, close_over_message_box)
        without_display(binary)
    except StepFailed as failure:
        print(f"FAILED at {failure}", flush=True)
        print(f"{checked} passed, 1 failed", flush=True)
        return 1
    finally:
        server.stop()
    print(f"{checked} passed, 0 failed", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
