"""The player's eyes ahead of the load on the machine.

On a busy machine the player's looks, starved of the processor, came too late to see a pad that
the screen showed for its whole time. The player raises its own priority where it may, and
starts everything it tests, the program and its desktop alike, at the priority it had itself,
so that the load still falls on them as on a player's machine."""

import os

ORIGINAL = os.getpriority(os.PRIO_PROCESS, 0)
RAISED = -10


def raise_the_players():
    try:
        os.setpriority(os.PRIO_PROCESS, 0, RAISED)
    except PermissionError:
        pass


def as_tested():
    """For the processes the player starts: the priority it had itself."""
    os.setpriority(os.PRIO_PROCESS, 0, ORIGINAL)
