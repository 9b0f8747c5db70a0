"""Private desktops for a program under test: an Xvfb server, with the openbox window manager or
a nested weston where a test needs a desktop, and Wine's server ended with them."""

import os
import shutil
import subprocess
import tempfile

from Xlib import X, display
from Xlib.ext import xtest

from .report import TIMEOUT, wait_until


class Xvfb:
    # -noreset: by default the server resets when its last client leaves, which refuses the
    # next game's connection for a moment.
    def __init__(self, size="800x600"):
        read, write = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", f"{size}x24", "-nolisten", "tcp",
             "-noreset"],
            pass_fds=[write], stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as numbers:
            self.name = ":" + numbers.readline().strip()

    def stop(self):
        self.process.terminate()
        self.process.wait()


class Openbox:
    """A window manager, as players have one: it reparents, decorates and keeps the windows'
    states. Wine without one waits two seconds every time a window is hidden."""

    def __init__(self, display_name):
        self.process = subprocess.Popen(["openbox", "--sm-disable"],
                                        env={**os.environ, "DISPLAY": display_name},
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        x = display.Display(display_name)
        check = x.intern_atom("_NET_SUPPORTING_WM_CHECK")
        try:
            wait_until(lambda: x.screen().root.get_full_property(check, X.AnyPropertyType),
                       TIMEOUT, "openbox")
        finally:
            x.close()

    def stop(self):
        self.process.terminate()
        self.process.wait()


class Weston:
    """A Wayland desktop: weston's X11 backend in a window of the X server, so that the player
    reads its pixels and its XTest input reaches the Wayland clients inside. Its background is
    one flat colour and it has no panel, so that anything else on it is a window."""

    BACKGROUND = (0x40, 0x40, 0x40)
    SIZE = (1000, 700)

    def __init__(self, display_name):
        # Weston gives the pointer to its clients only once it has seen the pointer enter its
        # window: park it outside, so that the first move in brings it in.
        x = display.Display(display_name)
        screen = x.screen()
        xtest.fake_input(x, X.MotionNotify, x=screen.width_in_pixels - 1,
                         y=screen.height_in_pixels - 1)
        x.sync()
        x.close()
        self.runtime_dir = tempfile.mkdtemp(prefix="zintu-weston-")
        os.chmod(self.runtime_dir, 0o700)
        config = os.path.join(self.runtime_dir, "weston.ini")
        with open(config, "w") as out:
            out.write("[core]\nidle-time=0\n[shell]\npanel-position=none\nlocking=false\n"
                      "animation=none\nstartup-animation=none\n"
                      "background-color=0xff%02x%02x%02x\n" % self.BACKGROUND)
        self.socket = "wayland-zintu"
        self.process = subprocess.Popen(
            ["weston", "--backend=x11-backend.so", "--use-pixman", "--config", config,
             f"--socket={self.socket}", f"--width={self.SIZE[0]}", f"--height={self.SIZE[1]}"],
            env={**os.environ, "DISPLAY": display_name, "XDG_RUNTIME_DIR": self.runtime_dir},
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_until(lambda: os.path.exists(os.path.join(self.runtime_dir, self.socket)), TIMEOUT,
                   "weston")
        x = display.Display(display_name)
        try:
            def output():
                for window in x.screen().root.query_tree().children:
                    geometry = window.get_geometry()
                    if (geometry.width, geometry.height) == self.SIZE:
                        return window.id
                return None
            wait_until(output, TIMEOUT, "weston's output window")
            self.output_id = output()
            # The shell paints its background a moment after the socket opens.
            wait_until(lambda: self._pixel(x, 5, 5) == self.BACKGROUND, TIMEOUT, "weston's shell")
        finally:
            x.close()

    def _pixel(self, x, px, py):
        data = x.create_resource_object("window", self.output_id).get_image(
            px, py, 1, 1, X.ZPixmap, 0xFFFFFFFF).data
        return (data[2], data[1], data[0])

    def client_env(self):
        environment = {**os.environ, "WAYLAND_DISPLAY": self.socket,
                       "XDG_RUNTIME_DIR": self.runtime_dir, "QT_QPA_PLATFORM": "wayland"}
        environment.pop("DISPLAY", None)
        return environment

    def stop(self):
        self.process.terminate()
        self.process.wait()
        shutil.rmtree(self.runtime_dir, ignore_errors=True)


class Desktop:
    """Where a program runs: a private X server with what the desktop needs on it, "bare",
    "openbox" or "wayland" (weston nested in it). With `wine`, Wine's own processes are ended
    with the display they drew on, so that none outlives it. Stops on leaving a `with`."""

    def __init__(self, kind="bare", wine=False):
        self.kind, self.wine = kind, wine
        self.server = Xvfb("1024x768" if kind == "wayland" else "800x600")
        self.window_manager = Openbox(self.server.name) if kind == "openbox" else None
        self.weston = Weston(self.server.name) if kind == "wayland" else None

    @property
    def display(self):
        """The X server's name, where the desktop is read and driven."""
        return self.server.name

    def client_env(self):
        """The environment of a program that shows its windows on this desktop."""
        if self.weston:
            return self.weston.client_env()
        return {**os.environ, "DISPLAY": self.server.name}

    def stop(self):
        if self.wine:
            subprocess.run(["wineserver", "--kill"])
        for part in (self.weston, self.window_manager, self.server):
            if part:
                part.stop()

    def __enter__(self):
        return self

    def __exit__(self, *exception):
        self.stop()
