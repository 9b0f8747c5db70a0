#!/usr/bin/python3
"""Runs a test program compiled to a web page in WebKit, and exits with its status: what
pagetests.mjs does in Chromium and Firefox. WebDriver cannot answer the page's calls, so the
page queues its requests for real input and screen reads, and this runner takes them from the
queue and answers each through WebDriver, as a person's mouse and eyes would.

Usage: webkit_pagetests.py PAGE.html [TEST ARGUMENTS...]"""

import base64
import json
import sys
import time
from pathlib import Path

from e2e.webkit import WebKit, WebKitFailed

TIMEOUT_S = 240
POLL_S = 0.005

# Ahead of the page's own scripts: the calls the test program makes, queued for the runner, and
# what it prints, kept for it.
QUEUE = """(() => {
  window.zintuRequests = [];
  window.zintuOutput = [];
  const answers = new Map();
  let asked = 0;
  const queued = (op) => (...args) => new Promise((resolve) => {
    answers.set(++asked, resolve);
    window.zintuRequests.push({ id: asked, op, args });
  });
  window.zintuInput = queued('input');
  window.zintuPixel = queued('pixel');
  window.zintuAnswer = (id, value) => { answers.get(id)(value); answers.delete(id); };
  window.zintuTestsDone = (status) => { window.zintuStatus = status; };
  for (const stream of ['log', 'error', 'warn']) {
    const write = console[stream].bind(console);
    console[stream] = (...parts) => { window.zintuOutput.push(parts.join(' ')); write(...parts); };
  }
  window.Module = { arguments: %s };
})();"""

TAKE = """return window.zintuRequests && [window.zintuRequests.splice(0),
  window.zintuOutput.splice(0), window.zintuErrors.splice(0),
  window.zintuStatus === undefined ? null : window.zintuStatus];"""


def pixel(browser, x, y):
    """The colour on the screen at a CSS pixel, as the page's tests count it: 0xBBGGRR."""
    shot = browser.screenshot({"x": x, "y": y, "width": 1, "height": 1})
    red, green, blue = base64.b64decode(shot["pixels"])[:3]
    return red | green << 8 | blue << 16


def answer(browser, op, args):
    if op == "pixel":
        return pixel(browser, *args)
    action, x, y, button = args
    browser.mouse(action, x, y, button)
    return None


def run(browser):
    deadline = time.monotonic() + TIMEOUT_S
    while time.monotonic() < deadline:
        taken = browser.driver.execute_script(TAKE)
        if taken is None:
            raise WebKitFailed("the page's request queue is gone")
        requests, output, errors, status = taken
        for line in output:
            print(line, flush=True)
        if errors:
            print("page error: " + "; ".join(errors), file=sys.stderr)
            return 1
        if status is not None:
            return status
        for request in requests:
            browser.driver.execute_script("zintuAnswer(arguments[0], arguments[1]);",
                                          request["id"], answer(browser, request["op"],
                                                                request["args"]))
        time.sleep(POLL_S)
    print(f"no result after {TIMEOUT_S} s", file=sys.stderr)
    return 1


def main():
    page, *test_arguments = sys.argv[1:]
    browser = WebKit()
    try:
        browser.open(Path(page).resolve().as_uri(), prelude=QUEUE % json.dumps(test_arguments))
        return run(browser)
    finally:
        browser.close()


if __name__ == "__main__":
    sys.exit(main())
