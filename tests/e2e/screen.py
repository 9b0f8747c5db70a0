"""The program's windows found on the X server: by caption on X11, by their pixels on a Wayland
compositor's output."""

import re

from Xlib import X

from .design import CAPTION_BAR_HEIGHT, FORM_SIZE, GAME_CAPTION, PAD_CENTRES, PAD_COLOURS, \
    PAD_PITCH, PAD_SAMPLES


class View:
    """The part of an X window that shows one window of the program: the whole of it on X11,
    a rectangle of the compositor's output under Wayland."""

    def __init__(self, window, left, top, width, height, ident, caption_height=0):
        self.window, self.left, self.top = window, left, top
        self.width, self.height, self.ident = width, height, ident
        # The rows at the top that are the window's title bar, where the view holds one.
        self.caption_height = caption_height

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
    """Windows of a Wayland client found by their pixels on the compositor's output: the game's form by
    its pads, a message box as the light grey of a dialog anywhere else."""

    SAMPLE = 6

    def __init__(self, x, compositor):
        self.output = x.create_resource_object("window", compositor.output_id)
        self.width, self.height = compositor.SIZE
        self.compositor = compositor
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

        def on_game_caption_bar(x, y):
            # The game's own caption bar is the toolkit's grey too; the form below it never is.
            game = self.game
            return (game is not None and game.left <= x < game.left + game.width
                    and game.top - CAPTION_BAR_HEIGHT <= y < game.top)

        grey = {(x, y) for y in range(0, self.height, self.SAMPLE)
                for x in range(0, self.width, self.SAMPLE)
                if dialog_grey(x, y) and not on_game_caption_bar(x, y)}
        points = self._largest_patch(grey)
        if len(points) < 20:  # the pointer's outline is grey too, but small
            return None
        left = min(x for x, _ in points)
        top = min(y for _, y in points)
        right = max(x for x, _ in points)
        bottom = max(y for _, y in points)
        while left > 0 and dialog_grey(left - 1, top + 1):
            left -= 1
        # A box attached below the game's own caption bar meets it in the same grey.
        while top > 0 and dialog_grey(left + 1, top - 1) and not on_game_caption_bar(left + 1,
                                                                                     top - 1):
            top -= 1
        while right < self.width - 1 and dialog_grey(right + 1, bottom - 1):
            right += 1
        while bottom < self.height - 1 and dialog_grey(right - 1, bottom + 1):
            bottom += 1
        caption_height = CAPTION_BAR_HEIGHT
        title_bar = self.compositor.TITLE_BAR
        if title_bar:
            # The compositor's title bar stands above the box, in a tint of its own; it ends at
            # its outline, short of anything behind the box.
            caption_height = 0
            while top > 0 and self._rgb(data, left + 3, top - 1) == title_bar:
                top -= 1
                caption_height += 1
        return View(self.output, left, top, right - left + 1, bottom - top + 1, "box",
                    caption_height)


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
