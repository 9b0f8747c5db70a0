"""Private desktops for a program under test: an Xvfb server, with the openbox window manager or
a nested weston where a test needs a desktop, and Wine's server ended with them."""

import os
import shutil
import signal
import subprocess
import tempfile
import time

from Xlib import XK, X, display, error
from Xlib.ext import xtest

from .priority import as_tested
from .report import TIMEOUT, wait_until

# A desktop shell takes longer to come up than a step of the game.
STARTUP_TIMEOUT = 30.0

# A system bus that lets its one user do anything: GNOME Shell's, for logind.
SYSTEM_BUS_CONFIG = """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path={socket}</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
"""


class Xvfb:
    # -noreset: by default the server resets when its last client leaves, which refuses the
    # next game's connection for a moment.
    def __init__(self, size="800x600"):
        read, write = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", f"{size}x24", "-nolisten", "tcp",
             "-noreset"],
            pass_fds=[write], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            preexec_fn=as_tested)
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
                                        preexec_fn=as_tested,
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


class NestedCompositor:
    """A Wayland desktop shown in a window of the X server, so that the player reads its pixels
    and its XTest input reaches the Wayland clients inside."""

    SIZE = (1000, 700)
    # The colour of the title bars the compositor draws itself; None where it leaves them to the
    # program.
    TITLE_BAR = None

    def __init__(self, display_name, command, env=None):
        # A compositor gives the pointer to its clients only once it has seen the pointer enter
        # its window: park it outside, so that the first move in brings it in.
        x = display.Display(display_name)
        screen = x.screen()
        xtest.fake_input(x, X.MotionNotify, x=screen.width_in_pixels - 1,
                         y=screen.height_in_pixels - 1)
        x.sync()
        x.close()
        self.runtime_dir = tempfile.mkdtemp(prefix="zintu-wayland-")
        os.chmod(self.runtime_dir, 0o700)
        self.socket = "wayland-zintu"
        environment = {**os.environ, "DISPLAY": display_name, "XDG_RUNTIME_DIR": self.runtime_dir,
                       **(env or {})}
        environment.pop("WAYLAND_DISPLAY", None)
        # A session of its own, so that everything it starts ends with it: a compositor under
        # dbus-run-session, or one that starts its own helpers, would outlive the process
        # that started it and spin once its X server is gone.
        self.process = subprocess.Popen(command(self), env=environment, start_new_session=True,
                                        preexec_fn=as_tested,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        x = display.Display(display_name)
        try:
            wait_until(lambda: os.path.exists(os.path.join(self.runtime_dir, self.socket)),
                       STARTUP_TIMEOUT, type(self).__name__)

            def output():
                for window in x.screen().root.query_tree().children:
                    geometry = window.get_geometry()
                    if (geometry.width, geometry.height) == self.SIZE:
                        return window.id
                return None
            wait_until(output, STARTUP_TIMEOUT, "the compositor's output window")
            self.output_id = output()
            wait_until(lambda: self.shows(x, self.CALM_POINT, self.BACKGROUND), STARTUP_TIMEOUT,
                       "the compositor's desktop")
            self.settle(x)
        except BaseException:
            self.stop()
            raise
        finally:
            x.close()

    def settle(self, x):
        """Whatever the desktop shows at start and a player would put away first."""

    def shows(self, x, point, colour):
        """Whether the output shows the colour there; not while the output is not mapped."""
        try:
            return self.pixel(x, *point) == colour
        except error.BadMatch:
            return False

    def pixel(self, x, px, py):
        data = x.create_resource_object("window", self.output_id).get_image(
            px, py, 1, 1, X.ZPixmap, 0xFFFFFFFF).data
        return (data[2], data[1], data[0])

    def client_env(self):
        environment = {**os.environ, "WAYLAND_DISPLAY": self.socket,
                       "XDG_RUNTIME_DIR": self.runtime_dir, "QT_QPA_PLATFORM": "wayland"}
        environment.pop("DISPLAY", None)
        return environment

    def stop(self):
        os.killpg(self.process.pid, signal.SIGTERM)
        self.process.wait()
        shutil.rmtree(self.runtime_dir, ignore_errors=True)


class Weston(NestedCompositor):
    """weston's X11 backend. Its background is one flat colour and it has no panel, so that
    anything else on it is a window."""

    BACKGROUND = (0x40, 0x40, 0x40)
    CALM_POINT = (5, 5)

    def __init__(self, display_name):
        def command(compositor):
            config = os.path.join(compositor.runtime_dir, "weston.ini")
            with open(config, "w") as out:
                out.write("[core]\nidle-time=0\n[shell]\npanel-position=none\nlocking=false\n"
                          "animation=none\nstartup-animation=none\n"
                          "background-color=0xff%02x%02x%02x\n" % self.BACKGROUND)
            return ["weston", "--backend=x11-backend.so", "--use-pixman", "--config", config,
                    f"--socket={compositor.socket}", f"--width={self.SIZE[0]}",
                    f"--height={self.SIZE[1]}"]
        super().__init__(display_name, command)


class GnomeShell(NestedCompositor):
    """GNOME Shell, nested. It asks logind on the system bus, so it gets a private one, and a
    session bus of its own. It starts in the overview, which a player leaves with Escape, and
    shows a notification or two, which go by themselves."""

    SIZE = (800, 600)
    # The wallpaper's one colour, which the overview's workspace shows too.
    BACKGROUND = (2, 60, 136)
    CALM_POINT = (400, 300)
    # Dark grey in the overview, the wallpaper on the desktop.
    OVERVIEW_POINT = (20, 100)
    # Where a notification shows, below the top bar.
    BANNER_POINT = (400, 60)
    # From GNOME Shell 47 on, a box that its toolkit says is modal (through xdg-dialog, as Qt
    # does from 6.8 on: Debian 13 has both) is attached over its window, below the title bar.
    # Before, nothing tells it the box is modal, and it puts the box beside the window.
    ATTACHES_MODAL_BOXES_FROM = 47

    def __init__(self, display_name):
        self.bus_dir = tempfile.mkdtemp(prefix="zintu-gnome-")
        bus = os.path.join(self.bus_dir, "system_bus_socket")
        config = os.path.join(self.bus_dir, "system.conf")
        with open(config, "w") as out:
            out.write(SYSTEM_BUS_CONFIG.format(socket=bus))
        self.bus = subprocess.Popen(["dbus-daemon", "--config-file", config, "--nofork"],
                                    preexec_fn=as_tested,
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_until(lambda: os.path.exists(bus), TIMEOUT, "a private system bus")

        # Settings of its own, in a key file: no animations, which would keep a window off
        # the screen for the first moments of its playback; a flat wallpaper, which the
        # release's own picture is not; and no notification banners, such as the one that
        # warns a root session and stays until it is closed.
        settings = os.path.join(self.bus_dir, "glib-2.0", "settings")
        os.makedirs(settings)
        with open(os.path.join(settings, "keyfile"), "w") as out:
            out.write("[org/gnome/desktop/interface]\nenable-animations=false\n"
                      "[org/gnome/desktop/background]\npicture-options='none'\n"
                      "primary-color='#%02x%02x%02x'\ncolor-shading-type='solid'\n"
                      "[org/gnome/desktop/notifications]\nshow-banners=false\n"
                      % self.BACKGROUND)

        def command(compositor):
            return ["dbus-run-session", "--", "gnome-shell", "--nested", "--wayland", "--no-x11",
                    f"--wayland-display={compositor.socket}"]
        super().__init__(display_name, command,
                         env={"DBUS_SYSTEM_BUS_ADDRESS": f"unix:path={bus}",
                              "GSETTINGS_BACKEND": "keyfile", "XDG_CONFIG_HOME": self.bus_dir})

    @staticmethod
    def attaches_modal_boxes():
        version = subprocess.run(["gnome-shell", "--version"], capture_output=True,
                                 text=True).stdout.split()[-1]
        return int(version.split(".")[0]) >= GnomeShell.ATTACHES_MODAL_BOXES_FROM

    def settle(self, x):
        output = x.create_resource_object("window", self.output_id)
        corner = x.screen().root.translate_coords(output, *self.CALM_POINT)
        xtest.fake_input(x, X.MotionNotify, x=corner.x, y=corner.y)
        escape = x.keysym_to_keycode(XK.XK_Escape)
        xtest.fake_input(x, X.KeyPress, escape)
        xtest.fake_input(x, X.KeyRelease, escape)
        x.sync()
        wait_until(lambda: self.shows(x, self.OVERVIEW_POINT, self.BACKGROUND),
                   STARTUP_TIMEOUT, "GNOME Shell leaving the overview")
        calm_since = [None]

        def no_banner_for_a_second():
            if not self.shows(x, self.BANNER_POINT, self.BACKGROUND):
                calm_since[0] = None
                return False
            calm_since[0] = calm_since[0] or time.monotonic()
            return time.monotonic() - calm_since[0] >= 1.0
        wait_until(no_banner_for_a_second, STARTUP_TIMEOUT, "GNOME Shell's notifications")

    def stop(self):
        super().stop()
        self.bus.terminate()
        self.bus.wait()
        shutil.rmtree(self.bus_dir, ignore_errors=True)


class KWin(NestedCompositor):
    """KDE Plasma's kwin, nested, with its Breeze decorations. A binary with file capabilities
    will not start where they are refused, as in a sandbox; a copy under the same name does."""

    BACKGROUND = (0, 0, 0)
    CALM_POINT = (5, 5)
    # Breeze's.
    TITLE_BAR = (239, 240, 241)

    def __init__(self, display_name):
        self.binary_dir = tempfile.mkdtemp(prefix="zintu-kwin-")
        binary = os.path.join(self.binary_dir, "kwin_wayland")
        shutil.copy("/usr/bin/kwin_wayland", binary)
        # Settings of its own: no animations. Its windows fade and grow in, and on a busy
        # machine the game's first beat came and went while its window was still arriving.
        with open(os.path.join(self.binary_dir, "kdeglobals"), "w") as out:
            out.write("[KDE]\nAnimationDurationFactor=0\n")
        with open(os.path.join(self.binary_dir, "kwinrc"), "w") as out:
            out.write("[Plugins]\nfadeEnabled=false\nscaleEnabled=false\n"
                      "glideEnabled=false\n")

        def command(compositor):
            return ["dbus-run-session", "--", binary, "--x11-display", display_name,
                    "--socket", compositor.socket, "--width", str(self.SIZE[0]), "--height",
                    str(self.SIZE[1])]
        super().__init__(display_name, command, env={"XDG_CONFIG_HOME": self.binary_dir})

    def stop(self):
        super().stop()
        shutil.rmtree(self.binary_dir, ignore_errors=True)


class Desktop:
    """Where a program runs: a private X server with what the desktop needs on it, "bare",
    "openbox", or a Wayland desktop nested in it: "wayland" (weston), "gnome" or "kde". With `wine`, Wine's own processes are ended
    with the display they drew on, so that none outlives it. Stops on leaving a `with`."""

    COMPOSITORS = {"wayland": Weston, "gnome": GnomeShell, "kde": KWin}
    KINDS = ["bare", "openbox", *COMPOSITORS]

    def __init__(self, kind="bare", wine=False):
        self.kind, self.wine = kind, wine
        compositor = self.COMPOSITORS.get(kind)
        self.window_manager = self.compositor = None
        self.server = Xvfb("1024x768" if compositor else "800x600")
        try:
            if kind == "openbox":
                self.window_manager = Openbox(self.server.name)
            if compositor:
                self.compositor = compositor(self.server.name)
        except BaseException:
            self.stop()
            raise

    @property
    def display(self):
        """The X server's name, where the desktop is read and driven."""
        return self.server.name

    def client_env(self):
        """The environment of a program that shows its windows on this desktop."""
        if self.compositor:
            return self.compositor.client_env()
        return {**os.environ, "DISPLAY": self.server.name}

    def stop(self):
        if self.wine:
            subprocess.run(["wineserver", "--kill"])
        for part in (self.compositor, self.window_manager, self.server):
            if part:
                part.stop()

    def __enter__(self):
        return self

    def __exit__(self, *exception):
        self.stop()
