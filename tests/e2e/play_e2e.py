#!/usr/bin/python3
"""Plays the real game on a private X server as a person would.

It learns each pattern by watching the pads' pixels, answers every message box with the
keyboard after reading its text by OCR, clicks with XTest, and closes the window at the
moments a player can. Every check prints a line; a failure names the step that went wrong.

The desktop is a bare X server, the openbox window manager on it, or a Wayland desktop nested
in it: weston, GNOME Shell or KDE's kwin. The program is the Linux binary or, under Wine,
zintu.exe.

Usage: play_e2e.py [--desktop bare|openbox|wayland|gnome|kde] [--scenarios all|level-ups]
                   COMMAND...
"""

import argparse
import os
import re
import subprocess
import sys
import tempfile
import time

from e2e.design import CAPTION_BAR_COLOUR, CAPTION_BAR_HEIGHT, MESSAGE_CAPTION, OFF_PADS, \
    PAD_COLOURS, PAD_NAMES, PAD_SAMPLES
from e2e.desktop import Desktop, GnomeShell
from e2e.player import Game
from e2e.report import Checks, StepFailed


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


check = Checks()

LOOK_BACK_S = 0.3


OCR_SCALE = 3  # tesseract reads the box's small text reliably only when enlarged
# Every character the boxes show: tesseract takes none else for them ("}" for "y").
BOX_CHARACTERS = ("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"
                  " !?.:'")


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


def settled_box(game, step):
    """The open box once two looks 50 ms apart agree on where it is: under Wayland it is found
    by its pixels, which may still be arriving."""
    box = game.wait_for(step, game.message_box)
    while True:
        time.sleep(0.05)
        again = game.wait_for(step, game.message_box)
        if (again.left, again.top, again.width, again.height) == (box.left, box.top, box.width,
                                                                   box.height):
            return again
        box = again


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


def expect_box(game, step, expected):
    game.park_pointer()
    box = settled_box(game, step)
    body = box
    if box.caption_height:
        # The box's title bar, its own or the compositor's: its caption must read whole, beside
        # the buttons' glyphs (a cross, a chevron). Read apart from the text, which OCR reads
        # less surely beside it.
        caption_bar, body = box.split(box.caption_height)
        caption = " ".join(read(caption_bar))
        check(f"{step}: the box's caption reads {MESSAGE_CAPTION!r} (read {caption!r})",
              re.sub("[vx]+$", "", normalised(caption)) == normalised(MESSAGE_CAPTION))
    # The button's "OK" may be read too; everything else must be the text, letter for letter
    # and digit for digit (punctuation aside, where OCR is least sure).
    message = " ".join(line for line in read(body) if normalised(line) != "ok")
    check(f"{step}: box says {expected!r} (read {message!r})",
          normalised(message) == normalised(expected))
    return box


def play_round(game, window, step, pattern, level, wrong=False, double=False):
    """Clicks back one round's pattern; a wrong click first, or the first pad clicked twice
    quickly, where asked."""
    if wrong:
        game.click_pad(window, (pattern[0] + 1) % 4)
        game.answer_box(step, expect_box(game, step + " wrong click", rating(level)))
    remaining = pattern
    if double:
        # Two clicks within a double-click's time, and both are judged: the second is right
        # where the pattern repeats its first pad, and earns the rating otherwise.
        game.click_pad(window, pattern[0], pause=0.04)
        game.click_pad(window, pattern[0], pause=0.04)
        if pattern[1] == pattern[0]:
            remaining = pattern[2:]
        else:
            game.answer_box(step, expect_box(game, step + " quick second click", rating(level)))
            remaining = pattern[1:]
    for pad in remaining:
        game.click_pad(window, pad)


def check_decorations(game, window):
    """The compositor's own title bar where it offers one, else the game's own."""
    title_bar = game.windows.compositor.TITLE_BAR
    above = window.pixel(window.width // 2, -3)
    if title_bar:
        check(f"the compositor decorates the window: its title bar above the form {above}",
              above == title_bar)
    else:
        check(f"the game draws its own caption bar above the form {above}",
              above == CAPTION_BAR_COLOUR)


def box_near_window(game, box, window):
    """Over the window or beside it, within a few pixels of its frame."""
    margin = 40
    (bx, by), (wx, wy) = game.origin(box), game.origin(window)
    return (bx < wx + window.width + margin and wx < bx + box.width + margin
            and by < wy + window.height + margin and wy < by + box.height + margin)


def box_over_window(game, box, window):
    """Inside the window, its caption bar included, and centred across it."""
    (bx, by), (wx, wy) = game.origin(box), game.origin(window)
    return (wx <= bx and bx + box.width <= wx + window.width
            and wy - CAPTION_BAR_HEIGHT <= by and by + box.height <= wy + window.height
            and abs(game.centre(box)[0] - game.centre(window)[0]) <= 2)


def click_window_then_answer(game, step, window):
    """Activates the game window as a player who clicks it does, then answers with Return:
    the box must have the keyboard again."""
    left, top = game.origin(window)
    game.click_at(left + OFF_PADS[0], top + OFF_PADS[1])
    # A player looks from the window to the box before pressing the key.
    time.sleep(LOOK_BACK_S)
    game.press_return()
    check(f"{step}: after a click on the game window, Return answers the box", game.box_gone())
    game.react()


def play_levels(game, levels, wrong_at=(), double_at=(), above_at=None, box_placed="centred",
                click_under_box=False):
    """Plays from level 1, clicking back each pattern at 20 clicks a second."""
    earlier = []
    window = game.game_window("start")
    if game.wayland:
        check_decorations(game, window)
    for level in range(1, levels + 1):
        step = f"level {level}"
        if level == above_at:
            game.set_above(window)
            game.wait_for(step + " (keep above)", lambda: game.is_above(window))
        seen = game.watch_playback(step + " playback", window)
        check(f"{step}: {len(seen)} pads played, {', '.join(PAD_NAMES[p] for p in seen)}",
              len(seen) == level)
        check(f"{step}: the pattern starts as the last level's did", seen[:-1] == earlier)
        earlier = seen
        box = expect_box(game, step + " GO", "GO!")
        if box_placed == "centred":
            check(f"{step}: the box is centred over the window",
                  distance(game.centre(box), game.centre(window)) <= 2)
        elif box_placed == "over":
            check(f"{step}: the box is over the window, centred across it",
                  box_over_window(game, box, window))
        elif box_placed == "near":
            check(f"{step}: the box is over the window or beside it",
                  box_near_window(game, box, window))
        if click_under_box and level == 1:
            click_window_then_answer(game, step, window)
        else:
            game.answer_box(step, box)
        place = game.origin(window)
        play_round(game, window, step, seen, level, wrong=level in wrong_at,
                   double=level in double_at)
        box = expect_box(game, step + " complete", f"Ready for level {level + 1}?")
        game.answer_box(step, box)
        after = game.game_window(step + " reload")
        check(f"{step}: the next level plays in the same window, in the same place",
              after.ident == window.ident and game.origin(after) == place)
        if above_at is not None and level >= above_at:
            check(f"{step}: the window is still kept above the others", game.is_above(after))
        window = after


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


def toolkit_options_ignored(desktop, command):
    """The game takes no arguments: an option of the toolkit's that would read a style sheet
    turning the pads black changes nothing."""
    step = "started with -stylesheet FILE"
    with tempfile.NamedTemporaryFile("w", suffix=".qss") as sheet:
        sheet.write("QLabel { background-color: black; }\n")
        sheet.flush()
        game = Game(command + ["-stylesheet", sheet.name], desktop)
        try:
            window = game.game_window(step)
            # Before the first pad lights up.
            deadline = time.monotonic() + 0.25
            while True:
                colours = [window.pixel(*sample) for sample in PAD_SAMPLES]
                if colours == PAD_COLOURS or time.monotonic() >= deadline:
                    break
            check(f"{step}: the pads keep their colours {colours}", colours == PAD_COLOURS)
        finally:
            game.stop()


def without_display(command):
    step = "start without a display"
    environment = {name: value for name, value in os.environ.items()
                   if name not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    run = subprocess.run(command, env=environment, capture_output=True, text=True, timeout=30)
    lines = run.stderr.strip().splitlines()
    check(f"{step}: status {run.returncode}, says {lines!r}",
          run.returncode != 0 and len(lines) == 1 and "xvfb-run" in lines[0])


def in_a_game(desktop, command, scenario):
    game = Game(command, desktop)
    try:
        scenario(game)
    finally:
        game.stop()


def run_scenarios(desktop, command, which, linux):
    if which == "level-ups":
        # What a desktop adds: the window manager's states, the compositor's placement.
        above = 2 if desktop.kind == "openbox" else None
        # X11 window managers let the game centre its boxes; GNOME and KDE place them by the
        # window they belong to, GNOME over it where it can be told the box is modal; weston
        # puts them where it likes.
        gnome = "over" if desktop.kind == "gnome" and GnomeShell.attaches_modal_boxes() else "near"
        placed = {"gnome": gnome, "kde": "near", "wayland": None}.get(desktop.kind, "centred")
        in_a_game(desktop, command, lambda game: play_levels(
            game, 3, above_at=above, box_placed=placed, click_under_box=True))
        return
    in_a_game(desktop, command, lambda game: play_levels(
        game, 6, wrong_at={2, 6}, double_at={4}, above_at=3 if desktop.window_manager else None,
        click_under_box=desktop.window_manager is not None))
    in_a_game(desktop, command, close_during_playback)
    in_a_game(desktop, command, close_during_players_turn)
    in_a_game(desktop, command, close_over_message_box)
    if linux:
        toolkit_options_ignored(desktop, command)
        without_display(command)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--desktop", choices=Desktop.KINDS, default="bare")
    parser.add_argument("--scenarios", choices=["all", "level-ups"], default="all")
    parser.add_argument("command", nargs="+")
    options = parser.parse_args()
    command = options.command
    command[-1] = os.path.abspath(command[-1])
    linux = not command[-1].endswith(".exe")
    desktop = Desktop(options.desktop, wine=command[0] == "wine")
    print(f"{options.desktop} desktop on {desktop.display}; playing {' '.join(command)}",
          flush=True)
    try:
        run_scenarios(desktop, command, options.scenarios, linux)
    except StepFailed as failure:
        return check.summary(failure)
    finally:
        desktop.stop()
    return check.summary()


if __name__ == "__main__":
    sys.exit(main())
