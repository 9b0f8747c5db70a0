"""Checks printed one a line, and the failure that names the step it happened in."""

import time

# How long any step may take before it has failed.
TIMEOUT = 10.0


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
