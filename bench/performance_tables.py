#!/usr/bin/python3
"""Writes the benchmark's figures into docs/performance.md: each platform's table goes between
its markers, <!-- bench NAME --> and <!-- /bench -->, replacing what stood there.

Usage: performance_tables.py RESULTS.json docs/performance.md
"""

import json
import re
import sys

SOURCES = {
    "linux": lambda r: f"{r['machine']}; {r['runs']} runs each, start-up from "
                       f"{r['startup_runs']} pairs; medians",
    "windows": lambda r: f"{r['machine']}; {r['runs']} runs each, start-up from "
                         f"{r['startup_runs']} pairs; medians",
    "web": lambda r: f"headless Chromium {r['browser'].split('/')[-1]}, Firefox ESR "
                     f"{r['hiddenInFirefox']['browser'].split('/')[-1]}; {r['runs']} runs each; "
                     "medians",
}


def table(platform, entry):
    verdicts = {None: "", True: "met", False: "**missed**"}
    lines = [f"Measured on {SOURCES[platform](entry['results'])}:", "",
             "| figure | measured | target | |", "| --- | --- | --- | --- |"]
    lines += [f"| {row['figure']} | {row['shown']} | {row['target']} | {verdicts[row['met']]} |"
              for row in entry["figures"]]
    return "\n".join(lines)


def main():
    results_path, page_path = sys.argv[1:]
    with open(results_path) as results:
        report = json.load(results)
    with open(page_path) as page:
        text = page.read()
    for platform, entry in report.items():
        marker = re.compile(rf"(<!-- bench {platform} -->\n)(?:.*?\n)??(<!-- /bench -->)", re.S)
        if not marker.search(text):
            sys.exit(f"{page_path} has no place for the {platform} table")
        text = marker.sub(lambda found: found.group(1) + table(platform, entry) + "\n"
                          + found.group(2), text, count=1)
    with open(page_path, "w") as page:
        page.write(text)


if __name__ == "__main__":
    main()
