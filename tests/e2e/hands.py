"""What the player does alike on every back-end, over the few things each back-end supplies:
`looks`, `message_box`, `origin`, `press_at`, `release` and `still_running`."""

import time

from .design import PAD_CENTRES
from .report import TIMEOUT, fail


def lit_among(shown):
    """Which pad of those shown (pad by pad, whether each shows the lit colour) is lit: None
    for none, -1 for more than one."""
    lit = [pad for pad, is_lit in enumerate(shown) if is_lit]
    return lit[0] if len(lit) == 1 else (None if not lit else -1)


class Hands:
    POLL = 0.005

    def still_running(self, step):
        """Fails the step if the program has ended."""

    def wait_for(self, step, condition, timeout=TIMEOUT):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            result = condition()
            if result:
                return result
            self.still_running(step)
            time.sleep(self.POLL)
        fail(step, f"nothing after {timeout} s")

    def watch_playback(self, step, view, timeout):
        """The pads lit one after another, until a message box opens."""
        seen, previous = [], None
        deadline = time.monotonic() + timeout
        while True:
            if time.monotonic() >= deadline:
                fail(step, f"no box after {timeout} s of playback")
            box_open = self.message_box() is not None
            for lit in self.looks(view, box_open):
                if lit == -1:
                    fail(step, "two pads lit at once")
                if lit is not None and lit != previous:
                    seen.append(lit)
                previous = lit
            if box_open:
                return seen
            self.still_running(step)
            time.sleep(self.POLL)

    def box_gone(self, timeout=TIMEOUT):
        deadline = time.monotonic() + timeout
        while self.message_box() is not None:
            if time.monotonic() >= deadline:
                return False
            time.sleep(self.POLL)
        return True

    def pad_centre(self, view, pad):
        left, top = self.origin(view)
        return left + PAD_CENTRES[pad][0], top + PAD_CENTRES[pad][1]

    def press_pad(self, view, pad):
        self.press_at(*self.pad_centre(view, pad))

    def click_at(self, x, y, pause=0.05):
        """A click as a hand makes it: the button held for a moment."""
        self.press_at(x, y)
        time.sleep(pause)
        self.release()

    def click_pad(self, view, pad, pause=0.05):
        self.click_at(*self.pad_centre(view, pad), pause=pause / 2)
        time.sleep(pause / 2)
