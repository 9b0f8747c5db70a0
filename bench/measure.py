#!/usr/bin/python3
"""The benchmark: every platform's program measured against its yardstick, each figure judged
against its target.

Each platform has a probe: the Linux program and zintu.exe under Wine are measured from outside
on a private Xvfb server (bench/desktop_probe.py), the web page in headless browsers
(bench/web_probe.mjs). The harness prints every figure against its target, says which are met,
and writes all of it as JSON, from which bench/performance_tables.py writes the tables of
docs/performance.md.

Usage: measure.py [--linux GAME REFERENCE] [--windows GAME.exe REFERENCE.exe]
                  [--web PAGE.html LABEL-FONT.woff2] [--runs N] [--startup-runs N]
                  [--json FILE]
"""

import argparse
import json
import os
import subprocess
import sys
import tempfile

import desktop_probe
from e2e import design

FRAME_MS = 1000 / 60


class AtLeast(float):
    pass


# What we aim for. Each figure: what it is, where it is in the probe's results, the most it may
# be (None where it is recorded but not aimed at; AtLeast where it is the least), and how it is
# written.
DESKTOP_FIGURES = [
    ("start-up, game / yardstick", "startup_ratio.median", 1.05, "{:.2f}"),
    ("resident set 1.5 s after start, game / yardstick", "rss_ratio.median", None, "{:.2f}"),
    ("peak resident set, game / yardstick", "peak_ratio.median", None, "{:.2f}"),
    ("CPU over 10 s of the player's turn, s", "waiting_cpu_s.game.median", 0.001, "{:.4f}"),
    ("wake-ups a second over the player's turn", "waiting_wakeups_per_s.game.median", 0,
     "{:.2f}"),
    ("level-20 playback, median deviation of a phase, ms", "rhythm.median_deviation_ms", 1,
     "{:.2f}"),
    ("level-20 playback, worst deviation of a phase, ms", "rhythm.worst_deviation_ms", 4,
     "{:.2f}"),
    ('"GO!" late against level x 600 ms, ms', "rhythm.go_late_ms", 10, "{:.1f}"),
    ("mouse-down to white pad, median, ms", "input_latency_ms.median", FRAME_MS, "{:.2f}"),
    ("mouse-down to white pad, worst, ms", "input_latency_ms.max", FRAME_MS, "{:.2f}"),
    ("program size, kB", "program_kb", None, "{:.0f}"),
]
WEB_FIGURES = [
    ("first complete frame, game / bare page", "completeFrameMs.ratio", 1.2, "{:.2f}"),
    ("first complete frame, the shown game's page with no script / bare page",
     "completeFrameMs.scriptlessRatio", None, "{:.2f}"),
    ("bytes over the wire, gzipped, the font included, kB", "gzipped_kb", 32, "{:.1f}"),
    ("Lighthouse mobile, lowest performance score of three runs",
     "lighthouse.mobileWorstPerformance", AtLeast(100), "{:.0f}"),
    ("Lighthouse mobile, longest total blocking time of three runs, ms",
     "lighthouse.mobileWorstTotalBlockingTimeMs", 50, "{:.0f}"),
    ("Lighthouse desktop, lowest of its four scores", "lighthouse.desktopWorstScore",
     AtLeast(100), "{:.0f}"),
    ("JavaScript heap, game / bare page", "heap_ratio", None, "{:.2f}"),
    ("script run while waiting 10 s for the player, ms", "waiting.scriptMs", 0, "{:.1f}"),
    ("renderer's tasks while waiting 10 s, game, ms", "waiting.cpuMs", None, "{:.1f}"),
    ("renderer's tasks while waiting 10 s, bare page, ms", "referenceWaiting.cpuMs", None,
     "{:.1f}"),
    ("level-20 playback, median deviation of a phase, ms", "rhythm.medianDeviationMs", 1,
     "{:.2f}"),
    ("level-20 playback, worst deviation of a phase, ms", "rhythm.worstDeviationMs", 4,
     "{:.2f}"),
    ("every change painted by the first frame after it", "rhythm.paintedInItsFrame", True, ""),
    ('"GO!" late against level x 600 ms, ms', "rhythm.goLateMs", FRAME_MS, "{:.1f}"),
    ("level-5 playback behind another tab, Chromium, worst deviation, ms",
     "hidden.worstDeviationMs", None, "{:.1f}"),
    ("level-5 playback behind another tab, Firefox, worst deviation, ms",
     "hiddenInFirefox.worstDeviationMs", None, "{:.1f}"),
    ("pointer-down to the white pad painted, median, ms", "latency.medianMs", FRAME_MS,
     "{:.1f}"),
    ("pointer-down to the white pad painted, worst, ms", "latency.worstMs", FRAME_MS, "{:.1f}"),
]


def lookup(results, path):
    for key in path.split("."):
        results = results[key]
    return results


def judged(results, figures):
    """Each figure with its value, its target and whether it is met."""
    rows = []
    for label, path, most, form in figures:
        value = lookup(results, path)
        if most is None:
            met = None
        elif isinstance(most, bool):
            met = value == most
        elif isinstance(most, AtLeast):
            met = value >= most
        else:
            met = value <= most
        target = ("" if most is None else "yes" if most is True
                  else f"at least {most:.3g}" if isinstance(most, AtLeast)
                  else f"at most {most:.3g}")
        shown = ("yes" if value else "no") if isinstance(value, bool) else form.format(value)
        rows.append({"figure": label, "value": value, "shown": shown,
                     "target": target, "met": met})
    return rows


def print_figures(platform, rows):
    print(f"\n{platform}")
    for row in rows:
        verdict = "" if row["met"] is None else "met" if row["met"] else "MISSED"
        print(f"  {row['figure']:68} {row['shown']:>8}  {row['target']:>13}  {verdict}")


def desktop(game, reference, wine, options):
    results = desktop_probe.measure(game, reference, wine=wine, runs=options.runs,
                                    startup_runs=options.startup_runs)
    results["program_kb"] = results["program_bytes"]["game"] / 1000
    return results


def web(page, font, options):
    with tempfile.TemporaryDirectory() as folder:
        out = os.path.join(folder, "web.json")
        subprocess.run(["/usr/bin/node", os.path.join(os.path.dirname(__file__), "web_probe.mjs"),
                        page, font, "--design", json.dumps({
                            "PAD_CENTRES": design.PAD_CENTRES, "OFF_PADS": design.OFF_PADS,
                            "LIGHT_UP_INTERVAL_MS": design.LIGHT_UP_INTERVAL_MS}),
                        "--runs", str(options.runs), "--json", out], check=True)
        with open(out) as figures:
            results = json.load(figures)
        subprocess.run(["/usr/bin/node", os.path.join(os.path.dirname(__file__),
                                                      "lighthouse_probe.mjs"),
                        page, "--json", out], check=True)
        with open(out) as figures:
            results["lighthouse"] = json.load(figures)
    results["gzipped_kb"] = results["gzippedBytes"]["game"] / 1000
    results["heap_ratio"] = results["jsHeapBytes"]["game"] / results["jsHeapBytes"]["reference"]
    return results


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--linux", nargs=2, metavar=("GAME", "REFERENCE"))
    parser.add_argument("--windows", nargs=2, metavar=("GAME", "REFERENCE"))
    parser.add_argument("--web", nargs=2, metavar=("PAGE", "LABEL_FONT"))
    parser.add_argument("--runs", type=int, default=10)
    parser.add_argument("--startup-runs", type=int, default=40,
                        help="further start-up-only pairs on the desktops, to narrow that noisy "
                             "figure")
    parser.add_argument("--json", default="bench-results.json")
    options = parser.parse_args()

    measured = {}
    if options.linux:
        measured["linux"] = (desktop(*options.linux, False, options), DESKTOP_FIGURES)
    if options.windows:
        measured["windows"] = (desktop(*options.windows, True, options), DESKTOP_FIGURES)
    if options.web:
        measured["web"] = (web(*options.web, options), WEB_FIGURES)
    report = {}
    for platform, (results, figures) in measured.items():
        rows = judged(results, figures)
        print_figures(platform, rows)
        report[platform] = {"figures": rows, "results": results}
    with open(options.json, "w") as out:
        json.dump(report, out, indent=2)
    missed = sum(row["met"] is False for entry in report.values() for row in entry["figures"])
    print(f"\nfigures written to {options.json}; {missed} target(s) missed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
