#!/usr/bin/env python3
"""Writes the Debian changelog from CHANGELOG.md: an entry for every release, newest first.

Usage: changelog.py CHANGELOG.md OUTPUT
"""
import datetime
import re
import sys
import textwrap

MAINTAINER = "Zintu developers <developers@zintu.invalid>"
RELEASE = re.compile(r"^## \[(?P<version>[^\]]+)\] - (?P<date>\d{4}-\d{2}-\d{2})$")
PLATFORM = re.compile(r"^### (?P<platform>.+)$")
ITEM = re.compile(r"^- (?P<text>.*)$")
CONTINUED = re.compile(r"^  +(?P<text>\S.*)$")


def releases(lines):
    """(version, date, items) for each release, an item's lines joined and led by its platform."""
    release = None
    platform = None
    for line in lines:
        line = line.rstrip("\n")
        if match := RELEASE.match(line):
            if release:
                yield release
            release = (match["version"], match["date"], [])
            platform = None
        elif release and (match := PLATFORM.match(line)):
            platform = match["platform"]
        elif release and (match := ITEM.match(line)):
            release[2].append(f"{platform}: {match['text']}" if platform else match["text"])
        elif release and release[2] and (match := CONTINUED.match(line)):
            release[2][-1] += " " + match["text"]
    if release:
        yield release


def entry(version, date, items):
    # Noon UTC on the release's day: the changelog gives a day, Debian's format wants a time.
    when = datetime.datetime.fromisoformat(date).replace(hour=12, tzinfo=datetime.timezone.utc)
    body = "\n".join(textwrap.fill(item, width=78, initial_indent="  * ",
                                   subsequent_indent="    ") for item in items)
    return (f"zintu ({version}) unstable; urgency=medium\n\n{body}\n\n"
            f" -- {MAINTAINER}  {when.strftime('%a, %d %b %Y %H:%M:%S +0000')}\n")


def main():
    source, output = sys.argv[1:]
    with open(source, encoding="utf-8") as changelog:
        entries = [entry(*release) for release in releases(changelog)]
    if not entries:
        sys.exit(f"{source} has no release")
    with open(output, "w", encoding="utf-8") as debian:
        debian.write("\n".join(entries))


if __name__ == "__main__":
    main()
