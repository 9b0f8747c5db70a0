"""What the player knows of the game's window design, read once from the game's own design values
and turned into the form's pixels at the design's resolution."""

import os
import re

with open(os.path.join(os.path.dirname(__file__), "..", "..", "window", "design.h")) as header:
    _SOURCE = header.read()


def _number(name):
    return int(re.search(rf"\b{name} = (\d+);", _SOURCE).group(1))


def _text(name):
    return re.search(rf'\b{name} = "([^"]*)";', _SOURCE).group(1)


def _colour(name):
    return tuple(int(part) for part in
                 re.search(rf"\b{name} = rgb\((\d+), (\d+), (\d+)\)", _SOURCE).groups())


def to_pixels(twips):
    """Rounds to the nearest pixel, halves up, as the game does."""
    dpi, per_inch = _number("designDpi"), _number("twipsPerInch")
    return (2 * twips * dpi + per_inch) // (2 * per_inch)


_PADS = re.findall(r'\{"(\w+) pad", rgb\((\d+), (\d+), (\d+)\), (\d+), (\d+)\}', _SOURCE)
_PAD_SIZE = _number("padSize")

PAD_NAMES = [name.lower() for name, *_ in _PADS]
PAD_ACCESSIBLE_NAMES = [f"{name} pad" for name, *_ in _PADS]
PAD_COLOURS = [(int(r), int(g), int(b)) for _, r, g, b, _, _ in _PADS]
WHITE = _colour("litColour")
FORM_COLOUR = _colour("formBackColor")
LIGHT_UP_INTERVAL_MS = _number("lightUpIntervalMs")
# Each pad's middle, its edges rounded as the game rounds them.
PAD_CENTRES = [((to_pixels(int(left)) + to_pixels(int(left) + _PAD_SIZE)) // 2,
                (to_pixels(int(top)) + to_pixels(int(top) + _PAD_SIZE)) // 2)
               for *_, left, top in _PADS]
# Where a pad's colour is read: up and left of its centre, clear of the pointer that clicked
# it, which a Wayland compositor draws into the picture, below and right of the click.
PAD_SAMPLES = [(x - 16, y - 16) for x, y in PAD_CENTRES]
PAD_PITCH = PAD_CENTRES[1][0] - PAD_CENTRES[0][0]
FORM_SIZE = (to_pixels(_number("clientWidth")), to_pixels(_number("clientHeight")))
OFF_PADS = tuple(to_pixels(int(twips)) for twips in
                 re.search(r"offPadsPoint\{(\d+), (\d+)\}", _SOURCE).groups())
GAME_CAPTION = _text("formCaption")
MESSAGE_CAPTION = _text("messageCaption")
# The caption bar the game draws itself where a Wayland compositor leaves it to the program: the
# toolkit's window grey.
CAPTION_BAR_HEIGHT = 28
CAPTION_BAR_COLOUR = (239, 239, 239)

