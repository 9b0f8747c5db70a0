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

from Xlib import X

from xplayer import PAD_NAMES, Game, StepFailed, Xvfb


def rating(level):
    if level < 5:
        return f"You got to level {level}. You should practice more."
    if level < 10:
        return f"You reached level {level}. That's good, but you should try again."
    if level < 20:
        return f"You achieved level {level}! That's really good!"
    return f"Wow! Level {level} is really hard to get to!"


def distance(a, b):
    return abs(a[0] - b[0]) + abs(a[1] - b[1])


def normalised(text):
    return re.sub(r"[^a-z0-9]", "", text.lower())


checked = 0


def check(what, ok):
    global checked
    print(f"  {'ok' if ok else 'FAILED'}: {what}", flush=True)
    if not ok:
        raise StepFailed(what)
    checked += 1


OCR_SCALE = 3  # tesseract reads the box's small text reliably only when enlarged


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


def read_box(game, step):
    """The box's text, read from its pixels by OCR."""
    box = game.wait_for(step, game.message_box)
    time.sleep(0.1)  # let it paint
    geometry = box.get_geometry()
    image = box.get_image(0, 0, geometry.width, geometry.height, X.ZPixmap, 0xFFFFFFFF)
    with tempfile.TemporaryDirectory() as folder:
        picture = os.path.join(folder, "box.pgm")
        with open(picture, "wb") as out:
            out.write(enlarged_grey(image.data, geometry.width, geometry.height))
        text = subprocess.run(["tesseract", picture, "-", "--psm", "6"], capture_output=True,
                              text=True).stdout
    return box, text.strip()


def expect_box(game, step, expected):
    box, text = read_box(game, step)
    # The button's "OK" may be read too; everything else must be the text, letter for letter
    # and digit for digit (punctuation aside, where OCR is least sure).
    message = " ".join(line for line in text.splitlines() if normalised(line) not in ("", "ok"))
    check(f"{step}: box says {expected!r} (read {message!r})",
          normalised(message) == normalised(expected))
    return box


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
        box = expect_box(game, step + " GO", "GO!")
        check(f"{step}: the box is centred over the window",
              distance(game.centre(box), game.centre(window)) <= 2)
        game.answer_box(step, box)
        pattern, place = seen, game.origin(window)
        if level in wrong_at:
            wrong = (pattern[0] + 1) % 4
            game.click_pad(window, wrong)
            game.answer_box(step, expect_box(game, step + " wrong click", rating(level)))
        for pad in pattern:
            game.click_pad(window, pad)
        box = expect_box(game, step + " complete", f"Ready for level {level + 1}?")
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
    game.answer_box(step, expect_box(game, step, "GO!"))
    game.press_pad(window, 0)
    game.wait_for(step + " (pad held)", lambda: game.lit_pad(window) == 0)
    game.close(window)
    check(f"{step}: zintu ends with status 0", game.exit_status() == 0)


def close_over_message_box(game):
    step = "close over an open message box"
    window = game.game_window(step)
    box = expect_box(game, step, "GO!")
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
