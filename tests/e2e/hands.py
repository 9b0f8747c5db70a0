"""What the player does alike on every back-end, over the few things each back-end supplies:
`message_box`, `move_to`, `press_at`, `press_pad`, `release`, and `still_running`."""

import time

from .design import PAD_CENTRES
from .report import TIMEOUT, fail


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
