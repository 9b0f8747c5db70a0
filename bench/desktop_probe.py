"""The benchmark's probe of a desktop program: the game against the bare-toolkit reference,
measured from outside both processes.

On a private Xvfb server it runs game and reference alternately and takes, for each run,
start-up (spawn to the first complete frame of the top-level window, from X damage events),
memory (resident set 1.5 s after start, and its peak) and waiting cost (CPU time and voluntary
context switches of all threads over the player's turn). One longer game is then played to
level 20, whose playback is timed change by change from damage events, followed by the input
latency from an XTest mouse-down on a pad to the pad painted white.
"""

import os
import platform
import select
import statistics
import subprocess
import time

from Xlib import X, display
from Xlib.ext import damage, xtest

from e2e.design import FORM_COLOUR, LIGHT_UP_INTERVAL_MS, OFF_PADS, PAD_CENTRES, PAD_COLOURS, \
    WHITE
from e2e.desktop import Desktop
from e2e.player import Game

PHASE_MS = float(LIGHT_UP_INTERVAL_MS)
# Level 20 plays for 24 s.
PLAYBACK_S = 90.0
SETTLE_S = 0.5
MEMORY_AT_S = 1.5


def is_damage(event):
    # python-xlib registers a copy of the extension's event class, so isinstance fails.
    return type(event).__name__ == "DamageNotify"


class Watcher:
    """An X connection that hears top-level windows appear and their contents change."""

    def __init__(self, name):
        self.x = display.Display(name)
        self.root = self.x.screen().root
        self.root.change_attributes(event_mask=X.SubstructureNotifyMask)
        self.x.damage_query_version()
        self.x.sync()

    def next_event(self, deadline):
        """The next event and when it arrived; blocks on the connection rather than polling,
        which would add its own jitter to every time taken."""
        while not self.x.pending_events():
            left = deadline - time.monotonic()
            if left <= 0:
                raise TimeoutError("no X event before the deadline")
            select.select([self.x.fileno()], [], [], left)
        return self.x.next_event(), time.monotonic()

    def watch(self, window):
        handle = window.damage_create(damage.DamageReportNonEmpty)
        self.x.sync()
        return handle

    def rearm(self, handle):
        """Empties the damage so that the next change reports again. The round trip makes sure
        the server has emptied it before anything the caller does next."""
        self.x.damage_subtract(handle)
        self.x.sync()

    def caption(self, window):
        try:
            return window.get_wm_name()
        except Exception:
            return None

    def titled(self, window, caption):
        """The window with this caption that a top-level window shows: the window itself, or
        under a window manager the client inside the manager's frame."""
        if self.caption(window) == caption:
            return window
        try:
            children = window.query_tree().children
        except Exception:
            return None
        return next((child for child in children if self.caption(child) == caption), None)

    def pixel(self, window, point):
        data = window.get_image(point[0], point[1], 1, 1, X.ZPixmap, 0xFFFFFFFF).data
        return (data[2], data[1], data[0])

    def close(self):
        self.x.close()


def game_frame_complete(watcher, window):
    return (watcher.pixel(window, PAD_CENTRES[0]) == PAD_COLOURS[0]
            and watcher.pixel(window, OFF_PADS) == FORM_COLOUR)


def reference_frame_complete(watcher, window):
    # Painted when the background is no longer the unpainted black and the label's text shows:
    # two requests, as cheap as the game's check, so neither program's time is inflated.
    if watcher.pixel(window, (2, 2)) == (0, 0, 0):
        return False
    geometry = window.get_geometry()
    row = window.get_image(0, geometry.height // 2, geometry.width, 1, X.ZPixmap, 0xFFFFFFFF).data
    return b"\x00\x00\x00" in row


def start_up(program, desktop, watcher, frame_complete, caption="Zintu!"):
    """Spawns the program; returns it with the seconds to its first complete frame."""
    spawned = time.monotonic()
    process = subprocess.Popen(program, env=desktop.client_env(),
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    deadline = spawned + 20
    window = None
    while True:
        event, received = watcher.next_event(deadline)
        if event.type == X.MapNotify and window is None and watcher.titled(event.window, caption):
            window = watcher.titled(event.window, caption)
            handle = watcher.watch(window)
            if frame_complete(watcher, window):
                return process, window, received - spawned, handle
        elif window is not None and is_damage(event):
            watcher.rearm(handle)
            if frame_complete(watcher, window):
                return process, window, received - spawned, handle


def memory_kib(pid):
    fields = {}
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            name, _, value = line.partition(":")
            fields[name] = value.split()[0] if value.split() else ""
    return int(fields["VmRSS"]), int(fields["VmHWM"])


def cpu_and_wakeups(pid):
    """CPU seconds and voluntary context switches of all the process's threads so far; the
    scheduler's own nanosecond count, not the 10 ms ticks of /proc/PID/stat."""
    cpu_ns, wakeups = 0, 0
    for task in os.listdir(f"/proc/{pid}/task"):
        with open(f"/proc/{pid}/task/{task}/schedstat") as schedstat:
            cpu_ns += int(schedstat.read().split()[0])
        with open(f"/proc/{pid}/task/{task}/status") as status:
            for line in status:
                if line.startswith("voluntary_ctxt_switches"):
                    wakeups += int(line.split()[1])
    return cpu_ns / 1e9, wakeups


def waiting_cost(pid, seconds):
    cpu0, wake0 = cpu_and_wakeups(pid)
    time.sleep(seconds)
    cpu1, wake1 = cpu_and_wakeups(pid)
    return cpu1 - cpu0, (wake1 - wake0) / seconds


def answer_go(game):
    box = game.wait_for("GO!", game.message_box)
    game.answer_box("GO!", box)


def one_run(kind, program, desktop, wait_s):
    watcher = Watcher(desktop.display)
    frame_complete = game_frame_complete if kind == "game" else reference_frame_complete
    process, _, startup_s, _ = start_up(program, desktop, watcher, frame_complete)
    time.sleep(max(0.0, MEMORY_AT_S - startup_s))
    rss, peak = memory_kib(process.pid)
    if kind == "game":
        attached = Game.attach(process, desktop)
        answer_go(attached)
        attached.x.close()
    time.sleep(SETTLE_S)
    cpu, wakeups = waiting_cost(process.pid, wait_s)
    process.terminate()
    process.wait()
    watcher.close()
    return {"startup_ms": startup_s * 1000, "rss_kib": rss, "peak_kib": peak,
            "wait_cpu_s": cpu, "wakeups_per_s": wakeups}


def quick_start_up(kind, program, desktop):
    """Start-up alone: spawn, first complete frame, end."""
    watcher = Watcher(desktop.display)
    frame_complete = game_frame_complete if kind == "game" else reference_frame_complete
    process, _, startup_s, _ = start_up(program, desktop, watcher, frame_complete)
    process.terminate()
    process.wait()
    watcher.close()
    return startup_s * 1000


def play_to(game, level):
    """Watches and clicks back every round up to `level`; returns the window of that level."""
    window = game.game_window("start")
    for reached in range(1, level):
        pattern = game.watch_playback(f"level {reached}", window, PLAYBACK_S)
        game.answer_box(f"level {reached}", game.wait_for("GO!", game.message_box))
        for pad in pattern:
            game.click_pad(window, pad, pause=0.02)
        game.answer_box(f"level {reached}", game.wait_for("ready", game.message_box))
    return window


def lit_pad(watcher, window):
    lit = [pad for pad, centre in enumerate(PAD_CENTRES) if watcher.pixel(window, centre) == WHITE]
    return lit[0] if lit else None


def rhythm_and_latency(program, desktop, level):
    game = Game(program, desktop)
    watcher = Watcher(desktop.display)
    try:
        # Play until the last box before the measured level, then watch its playback.
        window = play_to(game, level - 1)
        pattern = game.watch_playback(f"level {level - 1}", window, PLAYBACK_S)
        game.answer_box("GO!", game.wait_for("GO!", game.message_box))
        for pad in pattern:
            game.click_pad(window, pad, pause=0.02)
        ready = game.wait_for("ready", game.message_box)
        view = window
        window = watcher.x.create_resource_object("window", view.window.id)
        handle = watcher.watch(window)
        while watcher.x.pending_events():
            watcher.x.next_event()
        watcher.rearm(handle)
        game.answer_box("ready", ready)

        deadline = time.monotonic() + level * 0.6 + 10
        go = None
        moments, server_moments, lit = [], [], None
        # Until GO! is up and the last pad has gone dark, which may paint just after the box.
        while go is None or lit is not None:
            event, received = watcher.next_event(deadline)
            if event.type == X.MapNotify and watcher.titled(event.window, "Zintu"):
                go = received
            elif is_damage(event):
                watcher.rearm(handle)
                # A change is a pad lighting or going dark; other repaints do not count.
                now_lit = lit_pad(watcher, window)
                if now_lit != lit:
                    moments.append(received)
                    server_moments.append(event.timestamp)
                    lit = now_lit
        phases = [(b - a) * 1000 for a, b in zip(moments, moments[1:])]
        # The X server's own millisecond stamps of the same changes: they tell a late paint
        # (late on both clocks) from a late observer (late only on ours).
        server_phases = [b - a for a, b in zip(server_moments, server_moments[1:])]
        go_from_timer_start = (go - moments[0]) * 1000 + PHASE_MS

        game.answer_box("GO!", game.wait_for("GO!", game.message_box))
        latencies = input_latencies(game, watcher, view, handle)
        return {"level": level, "changes": len(moments), "phases_ms": phases,
                "server_phases_ms": server_phases,
                "go_after_timer_start_ms": go_from_timer_start,
                "input_latency_ms": latencies}
    finally:
        watcher.close()
        game.stop()


def input_latencies(game, watcher, view, handle, presses=20):
    latencies = []
    window = watcher.x.create_resource_object("window", view.window.id)
    left, top = game.origin(view)
    for press in range(presses):
        x, y = PAD_CENTRES[press % 4]
        game.move_to(left + x, top + y)
        time.sleep(0.05)
        while watcher.x.pending_events():
            watcher.x.next_event()
        watcher.rearm(handle)
        pressed = time.monotonic()
        xtest.fake_input(game.x, X.ButtonPress, 1)
        game.x.sync()
        while True:
            event, received = watcher.next_event(pressed + 5)
            if is_damage(event):
                watcher.rearm(handle)
                if watcher.pixel(window, (x, y)) == WHITE:
                    latencies.append((received - pressed) * 1000)
                    break
        # Released off the pad: the pad is restored and no click is judged.
        game.move_to(left + OFF_PADS[0], top + OFF_PADS[1])
        xtest.fake_input(game.x, X.ButtonRelease, 1)
        game.x.sync()
        time.sleep(0.1)
    return latencies


def summary(values):
    return {"median": statistics.median(values), "min": min(values), "max": max(values)}


def machine(wine):
    model = "unknown processor"
    with open("/proc/cpuinfo") as info:
        for line in info:
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    def version(package):
        return subprocess.run(["dpkg-query", "-W", "-f=${Version}", package],
                              capture_output=True, text=True).stdout

    common = f"{model}, {os.cpu_count()} cores, Linux {platform.release()}"
    if wine:
        return (f"{common}, Wine {version('wine64')} on Xvfb with openbox, mingw-w64 "
                f"{version('g++-mingw-w64-x86-64-posix')}")
    return f"{common}, Qt {version('libqt6core6')}, Xvfb"


def measure(game, reference, wine=False, runs=10, startup_runs=40, wait=10.0, rhythm_level=20):
    """Every figure of the game against its yardstick, with the raw samples."""
    def program(path):
        return ["wine", path] if wine else [path]

    programs = {"game": program(game), "reference": program(reference)}
    # Wine without a window manager stalls whenever a window hides.
    desktop = Desktop("openbox" if wine else "bare", wine=wine)
    try:
        samples = {"game": [], "reference": []}
        for run in range(runs):
            for kind, command in programs.items():
                samples[kind].append(one_run(kind, command, desktop, wait))
                print(f"run {run + 1} {kind}: {samples[kind][-1]}", flush=True)
        startups = {kind: [r["startup_ms"] for r in samples[kind]] for kind in samples}
        for run in range(startup_runs):
            for kind, command in programs.items():
                startups[kind].append(quick_start_up(kind, command, desktop))
        print(f"{startup_runs} more start-up pairs done", flush=True)
        rhythm = rhythm_and_latency(programs["game"], desktop, rhythm_level)
    finally:
        desktop.stop()

    def ratios(field):
        return [g[field] / r[field] for g, r in zip(samples["game"], samples["reference"])]

    deviations = [abs(phase - PHASE_MS) for phase in rhythm["phases_ms"]]
    return {
        "machine": machine(wine),
        "program_bytes": {"game": os.path.getsize(game), "reference": os.path.getsize(reference)},
        "runs": runs,
        "startup_runs": len(startups["game"]),
        "startup_ms": {kind: summary(startups[kind]) for kind in startups},
        "startup_ratio": summary([g / r for g, r in zip(startups["game"],
                                                        startups["reference"])]),
        "rss_ratio": summary(ratios("rss_kib")),
        "peak_ratio": summary(ratios("peak_kib")),
        "waiting_cpu_s": {kind: summary([r["wait_cpu_s"] for r in samples[kind]])
                          for kind in samples},
        "waiting_wakeups_per_s": {kind: summary([r["wakeups_per_s"] for r in samples[kind]])
                                  for kind in samples},
        "rhythm": {"level": rhythm_level, "phases": len(rhythm["phases_ms"]),
                   "median_deviation_ms": statistics.median(deviations),
                   "worst_deviation_ms": max(deviations),
                   "worst_server_deviation_ms": max(abs(phase - PHASE_MS)
                                                    for phase in rhythm["server_phases_ms"]),
                   "go_late_ms": rhythm["go_after_timer_start_ms"] - rhythm_level * 2 * PHASE_MS},
        "input_latency_ms": summary(rhythm["input_latency_ms"]),
        "raw": {"runs": samples, "startup_ms": startups, "phases_ms": rhythm["phases_ms"],
                "server_phases_ms": rhythm["server_phases_ms"]},
    }
