"""WebKit, the engine of Safari and of every browser on an iPhone or iPad, as the tests' browser:
Debian's WebKitGTK MiniBrowser driven over classic WebDriver, on a private X server.

It answers the same requests as tests/web/bridge.mjs, so the player and the scenarios stay as
they are. WebDriver tells nothing of the page's errors and runs nothing before the page's own
scripts, so the page is opened as a copy with tests/web/recorders.js in its head: written next
to nothing else from disk, and put in by a proxy in front of a web host."""

import atexit
import base64
import functools
import http.server
import io
import os
import socket
import subprocess
import tempfile
import threading
import time
import urllib.error
import urllib.parse
import urllib.request
from pathlib import Path

from PIL import Image
from selenium import webdriver
from selenium.common.exceptions import WebDriverException
from selenium.webdriver.common.actions import interaction
from selenium.webdriver.common.actions.action_builder import ActionBuilder
from selenium.webdriver.common.actions.pointer_input import PointerInput
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.webkitgtk.options import Options

from .desktop import Xvfb
from .priority import as_tested
from .report import TIMEOUT

WEB_TESTS = Path(__file__).resolve().parent.parent / "web"
RECORDERS = (WEB_TESTS / "recorders.js").read_text(encoding="utf-8")
AXE = WEB_TESTS / "node_modules" / "axe-core" / "axe.min.js"
MINIBROWSER = "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser"
# MiniBrowser keeps its view at least 447 CSS pixels wide; the page needs no more than this.
WINDOW_SIZE = (640, 480)
# Room for that window at three screen pixels a CSS pixel, the largest scale the tests take.
SCREEN = "1920x1440"
# puppeteer's names for the keys the player presses.
KEYS = {"Enter": Keys.ENTER, " ": " ", "Escape": Keys.ESCAPE}
MOUSE_BUTTONS = {1: 0, 2: 1, 3: 2, "left": 0, "middle": 1, "right": 2}

# Two animation frames: a screenshot taken sooner may show the frame before the last change.
AFTER_TWO_FRAMES = """const done = arguments[arguments.length - 1];
requestAnimationFrame(() => requestAnimationFrame(() => done()));"""


# The body's elements that may have a role, in document order, each with its parent's place in the
# list, its own text, what its aria-describedby names, whether it has the focus and whether it is
# shown at all.
ELEMENTS = """const elements = [document.body,
  ...document.body.querySelectorAll(':not(script, noscript, style, template)')];
return elements.map((element) => [element, elements.indexOf(element.parentElement),
  Array.from(element.childNodes).filter((node) => node.nodeType === Node.TEXT_NODE &&
    node.textContent.trim()).map((node) => node.textContent.trim()),
  (element.getAttribute('aria-describedby') || '').split(' ').filter(Boolean)
    .map((id) => document.getElementById(id).textContent).join(' '),
  element === document.activeElement, element.checkVisibility()]);"""


# Whether the page's beforeunload handlers would have the browser ask before the tab closes.
ASKS_BEFORE_UNLOAD = """const event = document.createEvent('BeforeUnloadEvent');
event.initEvent('beforeunload', false, true);
window.dispatchEvent(event);
return event.defaultPrevented || Boolean(event.returnValue);"""


class WebKitFailed(Exception):
    pass


@functools.cache
def display():
    """One X server for every WebKit this process opens: MiniBrowser needs a display."""
    server = Xvfb(SCREEN)
    atexit.register(server.stop)
    return server.name


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def listening(port):
    deadline = time.monotonic() + TIMEOUT
    while True:
        try:
            socket.create_connection(("127.0.0.1", port)).close()
            return
        except ConnectionRefusedError:
            if time.monotonic() > deadline:
                raise WebKitFailed(f"no WebDriver on port {port} after {TIMEOUT} s")
            time.sleep(0.02)


def with_head_script(html, script):
    """The page with the script first in its head, ahead of its own policy and scripts."""
    at = html.index("<head>") + len("<head>")
    return f"{html[:at]}\n<script>{script}</script>{html[at:]}"


class PageProxy:
    """A web host seen through a proxy on 127.0.0.1, which gives the pages a browser navigates
    to the head script and hands everything else, the service worker's own fetches included, on
    byte for byte."""

    def __init__(self, upstream, script):
        parts = urllib.parse.urlsplit(upstream)
        origin = f"{parts.scheme}://{parts.netloc}"

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                try:
                    with urllib.request.urlopen(origin + self.path) as answer:
                        status, body = answer.status, answer.read()
                        kind = answer.headers.get("Content-Type", "")
                except urllib.error.HTTPError as error:
                    status, body = error.code, error.read()
                    kind = error.headers.get("Content-Type", "")
                if self.headers.get("Sec-Fetch-Dest") == "document" and "html" in kind:
                    body = with_head_script(body.decode("utf-8"), script).encode("utf-8")
                self.send_response(status)
                self.send_header("Content-Type", kind)
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body)

            def log_message(self, *arguments):
                pass

        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        threading.Thread(target=self.server.serve_forever, daemon=True).start()
        self.origin, self.upstream = f"http://127.0.0.1:{self.server.server_address[1]}", origin

    def stop(self):
        self.server.shutdown()
        self.server.server_close()


class WebKit:
    """One page in one MiniBrowser, answering bridge.mjs's requests by name."""

    def __init__(self):
        self.driver = self.service = self.proxy = self.copies = None
        self.errors, self.dialogs = [], []
        self.shown_as, self.closed = None, False

    def __call__(self, op, **arguments):
        try:
            return getattr(self, op)(**arguments)
        except WebDriverException as error:
            raise WebKitFailed(f"{op}: {error.msg or error}") from error

    def open(self, url, scale=1, javaScript=True, prelude="", **_):
        """`scale`: a whole number, as GTK scales; `prelude`: more of the head script."""
        port = free_port()
        self.service = subprocess.Popen(
            ["WebKitWebDriver", f"--port={port}"], stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL, preexec_fn=as_tested,
            env={**os.environ, "DISPLAY": display(), "GDK_SCALE": str(scale)})
        options = Options()
        options.binary_location = MINIBROWSER
        options.add_argument("--automation")
        if not javaScript:
            # As a browser's setting turns them off: WebDriver's own scripts still run.
            options.add_argument("--enable-javascript=false")
        listening(port)
        self.driver = webdriver.Remote(f"http://127.0.0.1:{port}", options=options)
        self.driver.set_script_timeout(TIMEOUT)
        self.driver.set_window_rect(width=WINDOW_SIZE[0], height=WINDOW_SIZE[1])
        script = f"{RECORDERS}\nrecordErrors();\nrecordPressedChanges();\n{prelude}"
        self.driver.get(self._with_recorders(url, script))

    def _with_recorders(self, url, script):
        if url.startswith("file:"):
            page = Path(urllib.request.url2pathname(urllib.parse.urlsplit(url).path))
            self.copies = tempfile.TemporaryDirectory()
            copy = Path(self.copies.name) / page.name
            copy.write_text(with_head_script(page.read_text(encoding="utf-8"), script),
                            encoding="utf-8")
            self.shown_as = (copy.as_uri(), url)
            return copy.as_uri()
        self.proxy = PageProxy(url, script)
        self.shown_as = (self.proxy.origin, self.proxy.upstream)
        return url.replace(self.proxy.upstream, self.proxy.origin, 1)

    def _as_asked(self, url):
        return url.replace(*self.shown_as)

    def evaluate(self, script):
        """The value of a script's expression, awaited when it is a promise."""
        answer = self.driver.execute_async_script(f"""const done = arguments[0];
Promise.resolve().then(() => ({script})).then((value) => done({{ value }}),
  (error) => done({{ error: String(error && error.message || error) }}));""")
        if "error" in answer:
            raise WebKitFailed(f"evaluate: {answer['error']}")
        return answer.get("value")

    def watch(self, points):
        self.driver.execute_script(f"{RECORDERS}\nrecordFrames(arguments[0]);", points)

    def frames(self):
        return self.driver.execute_script("return window.zintuFrames.splice(0);")

    def pressedChanges(self):
        return self.driver.execute_script("return window.zintuPressed.splice(0);")

    # Input

    def _act(self, kind, name, moves):
        builder = ActionBuilder(self.driver, mouse=PointerInput(kind, name), duration=0)
        moves(builder.pointer_action)
        builder.perform()

    def mouse(self, action, x, y, button=1):
        def moves(pointer):
            pointer.move_to_location(round(x), round(y))
            if action == "down":
                pointer.pointer_down(MOUSE_BUTTONS[button])
            elif action == "up":
                pointer.pointer_up(MOUSE_BUTTONS[button])
            elif action in ("click", "double"):
                for _ in range(2 if action == "double" else 1):
                    pointer.click()
        self._act(interaction.POINTER_MOUSE, "mouse", moves)

    def tap(self, x, y):
        """WebKitGTK delivers a touch as the mouse."""
        self._act(interaction.POINTER_TOUCH, "finger",
                  lambda finger: finger.move_to_location(round(x), round(y)).click())

    def key(self, key):
        builder = ActionBuilder(self.driver, duration=0)
        builder.key_action.key_down(KEYS[key]).key_up(KEYS[key])
        builder.perform()

    # What the page shows

    def screenshot(self, clip=None):
        """Device pixels as RGB bytes, in base64, as bridge.mjs gives them."""
        self.driver.execute_async_script(AFTER_TWO_FRAMES)
        shot = Image.open(io.BytesIO(self.driver.get_screenshot_as_png())).convert("RGB")
        if clip:
            ratio = shot.width / self.driver.execute_script("return innerWidth;")
            shot = shot.crop(tuple(round(ratio * edge) for edge in (
                clip["x"], clip["y"], clip["x"] + clip["width"], clip["y"] + clip["height"])))
        return {"width": shot.width, "height": shot.height,
                "pixels": base64.b64encode(shot.tobytes()).decode("ascii")}

    def accessibilityTree(self):
        """The page's elements with the role and name WebKit's accessibility computes for each,
        which WebDriver reads out, shaped as Chromium's tree: WebKit gives WebDriver no tree."""
        elements = self.driver.execute_script(ELEMENTS)
        nodes = []
        for element, parent, texts, description, focused, shown in elements:
            role, name = (element.aria_role, element.accessible_name) if shown else (None, None)
            node = {"role": role, "name": name,
                    "children": [{"role": "StaticText", "name": text, "children": []}
                                 for text in texts],
                    "description": description, "focused": focused, "element": element}
            nodes.append(node)
            if parent >= 0 and role is not None:
                nodes[parent]["children"].append(node)
        return nodes[0]

    def pressAccessible(self, role, name):
        """Assistive technology's activation of a button: a click with no pointer behind it."""
        def find(node):
            if node["role"] == role and node["name"] == name:
                return node
            return next(filter(None, map(find, node["children"])), None)
        self.driver.execute_script("arguments[0].click();",
                                   find(self.accessibilityTree())["element"])

    def accessibilityViolations(self):
        self.driver.execute_script(AXE.read_text(encoding="utf-8"))
        return self.evaluate(f"(() => {{ {RECORDERS}; return accessibilityViolations(); }})()")

    # The page's life

    def _keep_errors(self):
        errors = self.driver.execute_script(
            "return window.zintuErrors ? window.zintuErrors.splice(0) : null;")
        if errors is None:
            raise WebKitFailed("the page has no error recorder: its errors would go unseen")
        self.errors += errors

    def reload(self):
        self._keep_errors()
        self.driver.refresh()

    def closeTab(self, timeoutMs):
        """WebDriver closes a tab without asking the page, so the page is asked first, as a
        browser asks it: whether its beforeunload would hold the closing up."""
        if self.driver.execute_script(ASKS_BEFORE_UNLOAD):
            self.dialogs.append("beforeunload")
        self._keep_errors()
        self.driver.close()
        self.closed = True
        return True

    def log(self):
        """The page's errors since it opened, and what it requested, as the page counts them."""
        requests = []
        if not self.closed:
            self._keep_errors()
            requests = self.driver.execute_script("""return [location.href].concat(
  performance.getEntriesByType('resource').map((entry) => entry.name));""")
        return {"errors": self.errors, "dialogs": self.dialogs,
                "requests": [self._as_asked(url) for url in requests]}

    def close(self):
        for stop in (self.driver and self.driver.quit, self.service and self.service.terminate,
                     self.proxy and self.proxy.stop, self.copies and self.copies.cleanup):
            if stop:
                try:
                    stop()
                except (WebDriverException, OSError):
                    pass
        if self.service:
            self.service.wait()
