#!/usr/bin/python3
"""Runs a command under valgrind's memcheck and fails on any error whose stack passes through
the game's own code. Errors wholly inside the toolkit and the system's libraries are counted
and shown, but are not ours to fix.

Usage: memcheck.py SOURCE_DIR COMMAND [ARGUMENT ...]
"""

import os
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

OWN_FOLDERS = ("game", "window", "app")


def own_frames(error, source_dir):
    frames = []
    for frame in error.iter("frame"):
        folder = frame.findtext("dir") or ""
        if any(folder.startswith(os.path.join(source_dir, own)) for own in OWN_FOLDERS):
            frames.append(f"{frame.findtext('fn')} ({frame.findtext('file')}:"
                          f"{frame.findtext('line')})")
    return frames


def main():
    source_dir = os.path.abspath(sys.argv[1])
    command = sys.argv[2:]
    with tempfile.TemporaryDirectory() as folder:
        report = os.path.join(folder, "memcheck.xml")
        run = subprocess.run(["valgrind", "--tool=memcheck", "--xml=yes", f"--xml-file={report}",
                              "--leak-check=full", "--show-leak-kinds=definite",
                              "--errors-for-leak-kinds=definite", "--track-origins=yes",
                              *command])
        errors = ElementTree.parse(report).getroot().findall("error")
    ours = [(error, frames) for error in errors
            if (frames := own_frames(error, source_dir))]
    for error, frames in ours:
        what = error.findtext("kind")
        text = error.findtext("what") or error.findtext("xwhat/text")
        print(f"memcheck: {what}: {text}\n    " + "\n    ".join(frames))
    print(f"memcheck: {len(ours)} errors in the game's code, "
          f"{len(errors) - len(ours)} inside the toolkit and system libraries")
    if run.returncode != 0:
        print(f"memcheck: the command itself failed with status {run.returncode}")
        return 1
    return 1 if ours else 0


if __name__ == "__main__":
    sys.exit(main())
