#!/usr/bin/python3
"""Plays the real game as a person would, on a desktop or in a browser, written once over either.

It learns each pattern by watching the pads, reads every message box and answers it from the
keyboard, clicks with real input, and closes the window at the moments a player can. Every
check prints a line; a failure names the step that went wrong.

On a desktop the program is seen and driven through a private X server: pixels, XTest input,
boxes read by OCR. The desktop is a bare X server, the openbox window manager on it, or a
Wayland desktop nested in it: weston, GNOME Shell or KDE's kwin; the program is the Linux
binary or, under Wine, zintu.exe. In a browser the page is zintu.html, in headless Chromium or
Firefox ESR or in WebKit: what it paints, the browser's input, the box as it stands on the page.

Usage: play_e2e.py [--desktop bare|openbox|wayland|gnome|kde] [--scenarios all|level-ups]
                   COMMAND...
       play_e2e.py --browser chromium|firefox|webkit [--levels N] PAGE.html
"""

import argparse
import contextlib
import functools
import http.server
import os
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time

from e2e.browser import BrowserGame
from e2e.design import CAPTION_BAR_COLOUR, CAPTION_BAR_HEIGHT, FORM_SIZE, MESSAGE_CAPTION, \
    OFF_PADS, PAD_COLOURS, PAD_NAMES, PAD_SAMPLES, WHITE
from e2e.desktop import Desktop, GnomeShell
from e2e.player import Game, normalised
from e2e.priority import raise_the_players
from e2e.report import TIMEOUT, Checks, StepFailed

# The app's service worker as the build seals it, for the new builds the update scenarios make.
WEB_SOURCES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "window", "web")
SERVICE_WORKER = os.path.join(WEB_SOURCES, "sw.js")
sys.path.append(WEB_SOURCES)
import sealpage  # noqa: E402

# Level 99 plays for a minute.
PLAYBACK_TIMEOUT = 90.0


def rating(level):
    if level < 5:
        return f"You got to level {level}. You should practice more."
    if level < 10:
        return f"You reached level {level}. That's good, but you should try again."
    if level < 20:
        return f"You achieved level {level}! That's really good!"
    return f"Wow! Level {level} is really hard to get to!"


def distance(a, b):
    return abs(a[0] - b[0]) + abs(a[1] - b[1])


check = Checks()

LOOK_BACK_S = 0.3
# How long a page may take to lay itself out at its scale: a few frames.
SETTLE_S = 0.5
# Screen pixels to a CSS pixel. WebKitGTK takes only the whole numbers, as GTK scales a screen.
FRACTIONAL_SCALES = (1.25, 1.5)
WHOLE_SCALES = (2, 3)


def expect_box(game, step, expected):
    box, caption, text, ok_has_focus = game.read_box(step)
    same = (lambda a, b: a == b) if game.exact_text else \
        (lambda a, b: normalised(a) == normalised(b))
    if caption is not None:
        check(f"{step}: the box's caption reads {MESSAGE_CAPTION!r} (read {caption!r})",
              same(caption, MESSAGE_CAPTION))
    check(f"{step}: box says {expected!r} (read {text!r})", same(text, expected))
    if ok_has_focus is not None:
        check(f"{step}: its one button, OK, has the focus", ok_has_focus)
    return box


def play_round(game, window, step, pattern, level, wrong=False, double=False, touch=False,
               answer=None):
    """Clicks back one round's pattern; a wrong click first, or the first pad clicked twice
    quickly, where asked; with a finger, where asked."""
    if wrong:
        game.click_pad(window, (pattern[0] + 1) % 4)
        answer(step, expect_box(game, step + " wrong click", rating(level)))
    remaining = pattern
    if double:
        # Two clicks within a double-click's time, and both are judged: the second is right
        # where the pattern repeats its first pad, and earns the rating otherwise.
        game.click_pad(window, pattern[0], pause=0.04)
        game.click_pad(window, pattern[0], pause=0.04)
        if pattern[1] == pattern[0]:
            remaining = pattern[2:]
        else:
            answer(step, expect_box(game, step + " quick second click", rating(level)))
            remaining = pattern[1:]
    for pad in remaining:
        if touch:
            game.tap_pad(window, pad)
        else:
            game.click_pad(window, pad)


def check_decorations(game, window):
    """The compositor's own title bar where it offers one, else the game's own."""
    title_bar = game.windows.compositor.TITLE_BAR
    above = window.pixel(window.width // 2, -3)
    if title_bar:
        check(f"the compositor decorates the window: its title bar above the form {above}",
              above == title_bar)
    else:
        check(f"the game draws its own caption bar above the form {above}",
              above == CAPTION_BAR_COLOUR)


def box_near_window(game, box, window):
    """Over the window or beside it, within a few pixels of its frame."""
    margin = 40
    (bx, by), (wx, wy) = game.origin(box), game.origin(window)
    return (bx < wx + window.width + margin and wx < bx + box.width + margin
            and by < wy + window.height + margin and wy < by + box.height + margin)


def box_over_window(game, box, window):
    """Inside the window, its caption bar included, and centred across it."""
    (bx, by), (wx, wy) = game.origin(box), game.origin(window)
    return (wx <= bx and bx + box.width <= wx + window.width
            and wy - CAPTION_BAR_HEIGHT <= by and by + box.height <= wy + window.height
            and abs(game.centre(box)[0] - game.centre(window)[0]) <= 2)


def check_box_placed(game, step, box, window, placed):
    if placed == "centred":
        check(f"{step}: the box is centred over the window",
              distance(game.centre(box), game.window_centre(window)) <= 2)
    elif placed == "over":
        check(f"{step}: the box is over the window, centred across it",
              box_over_window(game, box, window))
    elif placed == "near":
        check(f"{step}: the box is over the window or beside it",
              box_near_window(game, box, window))


def click_window_then_answer(game, step, window):
    """Activates the game window as a player who clicks it does, then answers with Return:
    the box must have the keyboard again."""
    left, top = game.origin(window)
    game.click_at(left + OFF_PADS[0], top + OFF_PADS[1])
    # A player looks from the window to the box before pressing the key.
    time.sleep(LOOK_BACK_S)
    game.press_key("Return")
    check(f"{step}: after a click on the game window, Return answers the box", game.box_gone())
    game.react()


def play_levels(game, levels, wrong_at=(), double_at=(), above_at=None, box_placed="centred",
                click_under_box=False, touch_at=(), answer_keys=("Return",)):
    """Plays from level 1, clicking back each pattern at 20 clicks a second, and answering the
    boxes with each of `answer_keys` in turn."""
    keys = iter(answer_keys * (3 * levels))

    def answer(step, box):
        game.answer_box(step, box, next(keys))

    earlier = []
    window = game.game_window("start")
    if game.wayland:
        check_decorations(game, window)
    for level in range(1, levels + 1):
        step = f"level {level}"
        if level == above_at:
            game.set_above(window)
            game.wait_for(step + " (keep above)", lambda: game.is_above(window))
        seen = game.watch_playback(step + " playback", window, PLAYBACK_TIMEOUT)
        check(f"{step}: {len(seen)} pads played, {', '.join(PAD_NAMES[p] for p in seen)}",
              len(seen) == level)
        check(f"{step}: the pattern starts as the last level's did", seen[:-1] == earlier)
        earlier = seen
        box = expect_box(game, step + " GO", "GO!")
        check_box_placed(game, step, box, window, box_placed)
        if click_under_box and level == 1:
            click_window_then_answer(game, step, window)
        else:
            answer(step, box)
        place = game.origin(window)
        play_round(game, window, step, seen, level, wrong=level in wrong_at,
                   double=level in double_at, touch=level in touch_at, answer=answer)
        answer(step, expect_box(game, step + " complete", f"Ready for level {level + 1}?"))
        after = game.game_window(step + " reload")
        check(f"{step}: the next level plays in the same window, in the same place",
              after.ident == window.ident and game.origin(after) == place)
        if above_at is not None and level >= above_at:
            check(f"{step}: the window is still kept above the others", game.is_above(after))
        window = after


# The moments a player may close the game at; each leaves the game at that moment.

def during_playback(game, step):
    """Level 2's, whose first pad lit leaves the player more than the 300 ms of level 1's to
    close the window before the box opens."""
    play_levels(game, 1)
    window = game.game_window(step)
    game.wait_for(step, lambda: game.lit_pad(window) is not None)
    return window


def during_players_turn(game, step):
    window = game.game_window(step)
    game.answer_box(step, expect_box(game, step, "GO!"))
    game.press_pad(window, 0)
    game.wait_for(step + " (pad held)", lambda: game.lit_pad(window) == 0)
    return window


def over_message_box(game, step):
    window = game.game_window(step)
    expect_box(game, step, "GO!")
    return window


def closing_ends_the_game(game, step):
    status = game.exit_status()
    check(f"{step}: zintu ends with status 0 (ended with {status})", status == 0)


def close_during_playback(game):
    step = "close during playback"
    game.close(during_playback(game, step))
    closing_ends_the_game(game, step)


def close_during_players_turn(game):
    step = "close during the player's turn"
    game.close(during_players_turn(game, step))
    closing_ends_the_game(game, step)


def close_over_message_box(game):
    step = "close over an open message box"
    window = over_message_box(game, step)
    game.close(window)
    check(f"{step}: the close is refused while the box is open",
          game.exit_status(timeout=1.0) is None and game.message_box() is not None)
    game.answer_box(step, game.message_box())
    game.close(window)
    closing_ends_the_game(game, step + ", closed after the box")


# What only a desktop has.

def toolkit_options_ignored(desktop, command):
    """The game takes no arguments: an option of the toolkit's that would read a style sheet
    turning the pads black changes nothing."""
    step = "started with -stylesheet FILE"
    with tempfile.NamedTemporaryFile("w", suffix=".qss") as sheet:
        sheet.write("QLabel { background-color: black; }\n")
        sheet.flush()
        game = Game(command + ["-stylesheet", sheet.name], desktop)
        try:
            window = game.game_window(step)
            # Before the first pad lights up.
            deadline = time.monotonic() + 0.25
            while True:
                colours = [window.pixel(*sample) for sample in PAD_SAMPLES]
                if colours == PAD_COLOURS or time.monotonic() >= deadline:
                    break
            check(f"{step}: the pads keep their colours {colours}", colours == PAD_COLOURS)
        finally:
            game.stop()


def without_display(command):
    step = "start without a display"
    environment = {name: value for name, value in os.environ.items()
                   if name not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    run = subprocess.run(command, env=environment, capture_output=True, text=True, timeout=30)
    lines = run.stderr.strip().splitlines()
    check(f"{step}: status {run.returncode}, says {lines!r}",
          run.returncode != 0 and len(lines) == 1 and "xvfb-run" in lines[0])


def in_a_game(start, scenario):
    game = start()
    try:
        scenario(game)
    finally:
        game.stop()


def run_desktop_scenarios(desktop, command, which, linux):
    start = functools.partial(Game, command, desktop)
    if which == "level-ups":
        # What a desktop adds: the window manager's states, the compositor's placement.
        above = 2 if desktop.kind == "openbox" else None
        # X11 window managers let the game centre its boxes; GNOME and KDE place them by the
        # window they belong to, GNOME over it where it can be told the box is modal; weston
        # puts them where it likes.
        gnome = "over" if desktop.kind == "gnome" and GnomeShell.attaches_modal_boxes() else "near"
        placed = {"gnome": gnome, "kde": "near", "wayland": None}.get(desktop.kind, "centred")
        in_a_game(start, lambda game: play_levels(
            game, 3, above_at=above, box_placed=placed, click_under_box=True))
        return
    in_a_game(start, lambda game: play_levels(
        game, 6, wrong_at={2, 6}, double_at={4}, above_at=3 if desktop.window_manager else None,
        click_under_box=desktop.window_manager is not None))
    for scenario in (close_during_playback, close_during_players_turn, close_over_message_box):
        in_a_game(start, scenario)
    if linux:
        toolkit_options_ignored(desktop, command)
        without_display(command)


# What only a browser has.

def no_error_on_the_page(game, step):
    errors = game.log()["errors"]
    check(f"{step}: no error on the page ({'; '.join(errors) or 'none'})", not errors)


def nothing_fetched_or_stored(game):
    foreign = [url for url in game.log()["requests"]
               if url != game.url and not url.startswith(("data:", "blob:"))]
    check(f"no request beyond the page itself ({' '.join(foreign) or 'none'})", not foreign)
    stored = game.evaluate("""(async () => {
      const length = (name) => { try { return window[name].length; } catch { return 0; } };
      const databases = indexedDB.databases ? (await indexedDB.databases()).length : 0;
      return document.cookie.length + length('localStorage') + length('sessionStorage') +
        databases; })()""")
    check("nothing stored: no cookie, web storage or database", stored == 0)


def close_tab_at(moment):
    """Closing the tab is never held up, whatever the game is doing."""
    step = f"close the tab {moment.__name__.replace('_', ' ')}"

    def scenario(game):
        moment(game, step)
        closed = game.bridge("closeTab", timeoutMs=TIMEOUT * 1000)
        check(f"{step}: the tab closes, with no question asked",
              closed and not game.log()["dialogs"])
    return scenario


def ended_page_goes_quiet(game):
    step = "the window's close button"
    window = over_message_box(game, step)
    game.answer_box(step, game.message_box())
    game.close(window)
    check(f"{step}: the window goes and the page says {game.ended_line()!r}",
          game.exit_status() == 0)
    before = game.screenshot()
    time.sleep(0.9)
    check(f"{step}: nothing changes on the page afterwards", game.screenshot() == before)


def sharp_at_any_scale(browser, page):
    """At every zoom and device pixel ratio the pads tile their square edge to edge: across
    each boundary between pads, every screen pixel is one pad's colour or white, never a blend
    of two or the window's orange showing through. A browser's own rounding of a position to
    its sixty-fourth of a pixel may tint one by a few levels; the clip's outer pixels are left
    out. The game opens at each ratio; a change of ratio while it runs lays it out anew the
    same way."""
    allowed = PAD_COLOURS + [WHITE]
    square = FORM_SIZE[1]
    for scale in WHOLE_SCALES if browser == "webkit" else FRACTIONAL_SCALES + WHOLE_SCALES:
        game = BrowserGame(browser, page, scale=scale)
        try:
            # On the player's turn, with no box over the pads: a look at the page as it opened
            # came, on a busy machine, after the first box was already over them.
            step = f"at {scale} x"
            game.game_window(step)
            game.answer_box(step, game.read_box(step)[0])
            # As the page settles: on a busy machine a screenshot came before the page's own
            # layout had caught up with the window's place, which a person never sees.
            deadline = time.monotonic() + SETTLE_S
            while True:
                window = game.game_window(step)
                side, strays = stray_pixels(game, window, square, allowed)
                if strays == 0 or time.monotonic() >= deadline:
                    break
            check(f"at {scale} screen pixels a CSS pixel, the lines across the pads' {side} x "
                  f"{side} pixels show only pads ({strays} other)", strays == 0)
        finally:
            game.stop()


def stray_pixels(game, window, square, allowed):
    """The pads' square in screen pixels, and how many of the pixels on the lines across it are
    neither a pad's colour nor white."""
    def nearly(a, b):
        return all(abs(x - y) <= 8 for x, y in zip(a, b))

    side, _, pixels = game.screenshot(
        {"x": window.left, "y": window.top, "width": square, "height": square})
    middles = (side // 4, 3 * side // 4)
    return side, sum(
        not any(nearly(pixels[y * side + x], colour) for colour in allowed)
        for i in range(1, side - 1) for m in middles for x, y in ((i, m), (m, i)))


def axe_finds_nothing(game):
    """axe-core's WCAG rules and best practices, over the first box and then over the window on
    the player's turn. The page's own rules, such as its one main landmark, are checked only
    while no modal box is open."""
    def nothing_found(moment):
        found = game.bridge("accessibilityViolations")
        check(f"axe-core finds nothing over {moment} ({', '.join(found) or 'nothing'})",
              not found)
    game.game_window("axe-core")
    box = game.read_box("axe-core: the first box")[0]
    nothing_found("a box")
    game.answer_box("axe-core: the first box", box)
    nothing_found("the game window")


def without_java_script(game):
    line = game.evaluate("document.querySelector('noscript').textContent.trim()")
    shown = game.evaluate("document.body.innerText.trim()")
    check(f"without JavaScript the page says {shown!r}", shown == line and line != "")


class Served:
    """A folder served over HTTP on this machine, as a static web host serves it; stopped and
    started again at the same address."""

    def __init__(self, folder):
        self.folder, self.port, self.server = folder, 0, None
        self.requested = []
        self.start()

    def start(self):
        requested = self.requested

        class Quiet(http.server.SimpleHTTPRequestHandler):
            def do_GET(self):
                requested.append(self.path)
                super().do_GET()

            def log_message(self, *arguments):
                pass
        class Host(http.server.ThreadingHTTPServer):
            def handle_error(self, request, client_address):
                # A browser drops the requests it no longer needs, as a failed install does.
                if not isinstance(sys.exc_info()[1], ConnectionError):
                    super().handle_error(request, client_address)
        handler = functools.partial(Quiet, directory=self.folder)
        self.server = Host(("127.0.0.1", self.port), handler)
        self.port = self.server.server_address[1]
        threading.Thread(target=self.server.serve_forever, daemon=True).start()

    def url(self, name=""):
        return f"http://127.0.0.1:{self.port}/{name}"

    def stop(self):
        self.server.shutdown()
        self.server.server_close()


def plays_a_round(game, step):
    window = game.game_window(step)
    seen = game.watch_playback(step, window, PLAYBACK_TIMEOUT)
    game.answer_box(step, expect_box(game, step, "GO!"))
    game.click_pad(window, seen[0])
    game.answer_box(step, expect_box(game, step, "Ready for level 2?"))
    no_error_on_the_page(game, step)


def from_a_web_host(browser, page):
    """Served, as from disk: a level-up, and nothing fetched but the page."""
    step = "from a web host"
    folder, name = os.path.split(os.path.abspath(page))
    served = Served(folder)
    game = BrowserGame(browser, served.url(name))
    try:
        plays_a_round(game, step)
        fetched = [url for url in game.log()["requests"]
                   if not url.startswith(("data:", "blob:"))]
        check(f"{step}: only the page itself requested ({' '.join(fetched)})",
              fetched == [game.url])
    finally:
        game.stop()
        served.stop()


def app_folder(page):
    return os.path.join(os.path.dirname(os.path.abspath(page)), "app")


def kept_for_offline(game):
    """The names of the caches the app's service worker keeps, once it controls the page."""
    return game.evaluate("""navigator.serviceWorker.ready.then(async () => {
      while (!navigator.serviceWorker.controller) await new Promise((r) => setTimeout(r, 20));
      return caches.keys(); })""")


def cache_version(folder):
    with open(os.path.join(folder, "sw.js"), encoding="utf-8") as worker:
        return re.search(r"'(zintu-[0-9a-f]+)'", worker.read()).group(1)


@contextlib.contextmanager
def two_versions(page):
    """Two builds of the app, the first served from 127.0.0.1 and open in Chromium, installed."""
    with tempfile.TemporaryDirectory() as top:
        first, second, host = (os.path.join(top, name) for name in ("first", "second", "host"))
        shutil.copytree(app_folder(page), first)
        shutil.copytree(first, second)
        new_build(second)
        shutil.copytree(first, host)
        served = Served(host)
        game = BrowserGame("chromium", served.url())
        try:
            installs(game, "the first version", first)
            yield game, served, first, second
        finally:
            game.stop()
            served.stop()


def new_build(folder):
    """A new build: its page changed, and its service worker sealed again by the build's code."""
    index = os.path.join(folder, "index.html")
    with open(index, encoding="utf-8") as f:
        html = f.read()
    with open(index, "w", encoding="utf-8") as f:
        f.write(html.replace("</body>", "<!-- a new build -->\n</body>"))
    sealpage.write_worker(folder, SERVICE_WORKER)


def shows_new_build(game):
    return game.evaluate("document.documentElement.innerHTML.includes('a new build')")


def deploy(build, host, only=None):
    """The build's files copied onto the host with their own dates, as a deploy copies them."""
    for name in only or os.listdir(build):
        shutil.copy2(os.path.join(build, name), host)


def installs(game, step, build):
    game.wait_for(f"{step} installed", lambda: kept_for_offline(game) == [cache_version(build)])


def shown_then_played_offline(game, served, step, new):
    """The next load shows the installed build, which plays a round with the host stopped."""
    game.reload()
    check(f"{step}: the next load shows the {'new' if new else 'first'} build",
          shows_new_build(game) == new)
    served.stop()
    game.reload()
    plays_a_round(game, step + ", offline")
    served.start()


def update_installs_on_the_next_visit(page):
    step = "an update"
    with two_versions(page) as (game, served, first, second):
        errors = game.bridge("installabilityErrors")
        check(f"{step}: Chromium can install the app (errors: {errors or 'none'})", not errors)
        shown_then_played_offline(game, served, "the first version", new=False)
        deploy(second, served.folder)
        game.reload()
        installs(game, step, second)
        shown_then_played_offline(game, served, step, new=True)


def half_deploy_keeps_the_version_before(page):
    """The new service worker on the host before the files it keeps: its install fails whole."""
    step = "a half deploy"
    with two_versions(page) as (game, served, first, second):
        deploy(second, served.folder, only=["sw.js"])
        served.requested.clear()
        game.reload()
        # Only the new worker asks the host for the app's files; the page has them kept.
        game.wait_for(f"{step}: the new version's install begun",
                      lambda: any(path != "/sw.js" for path in served.requested))
        game.wait_for(f"{step}: the new version's install ended", lambda: game.evaluate(
            "navigator.serviceWorker.getRegistration()"
            ".then((r) => !r.installing && !r.waiting)"))
        kept = kept_for_offline(game)
        check(f"{step}: only the first version is kept ({kept})", kept == [cache_version(first)])
        shown_then_played_offline(game, served, step, new=False)
        deploy(second, served.folder)
        game.reload()
        installs(game, step + " completed", second)
        shown_then_played_offline(game, served, step + " completed", new=True)


def rollback_installs_like_any_version(page):
    """The first build deployed again over the second, with its older dates."""
    step = "a rollback"
    with two_versions(page) as (game, served, first, second):
        deploy(second, served.folder)
        game.reload()
        installs(game, "the second version", second)
        deploy(first, served.folder)
        game.reload()
        installs(game, step, first)
        shown_then_played_offline(game, served, step, new=False)


def served_app_plays(browser, page):
    served = Served(app_folder(page))
    game = BrowserGame(browser, served.url())
    try:
        plays_a_round(game, "the web app, served")
    finally:
        game.stop()
        served.stop()


def run_browser_scenarios(browser, page, levels):
    start = functools.partial(BrowserGame, browser, page)

    def checked(scenario, name=None):
        def run(game):
            scenario(game)
            no_error_on_the_page(game, name or scenario.__name__.replace("_", " "))
        return run

    # Wrong clicks at the levels that earn each rating within reach; a finger plays level 1.
    in_a_game(start, checked(lambda game: (play_levels(
        game, levels, wrong_at={2, 6, 10}, double_at={4}, touch_at={1},
        answer_keys=("Return", "space", "Escape")), nothing_fetched_or_stored(game)),
        "the levels"))
    for scenario in (close_during_playback, close_during_players_turn, close_over_message_box,
                     close_tab_at(during_playback), close_tab_at(during_players_turn),
                     close_tab_at(over_message_box), ended_page_goes_quiet):
        in_a_game(start, checked(scenario))
    in_a_game(start, checked(axe_finds_nothing, "axe-core"))
    sharp_at_any_scale(browser, page)
    in_a_game(functools.partial(BrowserGame, browser, page, java_script=False),
              without_java_script)
    from_a_web_host(browser, page)
    if browser == "chromium":
        update_installs_on_the_next_visit(page)
        half_deploy_keeps_the_version_before(page)
        rollback_installs_like_any_version(page)
    else:
        served_app_plays(browser, page)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--desktop", choices=Desktop.KINDS, default="bare")
    parser.add_argument("--scenarios", choices=["all", "level-ups"], default="all")
    parser.add_argument("--browser", choices=["chromium", "firefox", "webkit"])
    parser.add_argument("--levels", type=int, default=6)
    parser.add_argument("command", nargs="+")
    options = parser.parse_args()
    raise_the_players()
    command = options.command
    command[-1] = os.path.abspath(command[-1])
    if options.browser:
        print(f"playing {command[-1]} in {options.browser}, {options.levels} levels", flush=True)
        try:
            run_browser_scenarios(options.browser, command[-1], options.levels)
        except StepFailed as failure:
            return check.summary(failure)
        return check.summary()
    linux = not command[-1].endswith(".exe")
    desktop = Desktop(options.desktop, wine=command[0] == "wine")
    print(f"{options.desktop} desktop on {desktop.display}; playing {' '.join(command)}",
          flush=True)
    try:
        run_desktop_scenarios(desktop, command, options.scenarios, linux)
    except StepFailed as failure:
        return check.summary(failure)
    finally:
        desktop.stop()
    return check.summary()


if __name__ == "__main__":
    sys.exit(main())
