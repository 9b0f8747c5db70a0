#!/usr/bin/python3
"""Runs a Windows program under Wine on a display of its own: a private Xvfb with the openbox
window manager, without which Wine waits two seconds whenever a window is hidden. Wine's own
processes are ended with it, so that none outlives its display.

Usage: run.py PROGRAM.exe [ARGUMENT ...]     runs the program; its exit status is ours
       run.py --new-prefix                   makes $WINEPREFIX afresh
"""

import os
import shutil
import subprocess
import sys

from e2e.desktop import Desktop


def main():
    if sys.argv[1:] == ["--new-prefix"]:
        shutil.rmtree(os.environ["WINEPREFIX"], ignore_errors=True)
        status = subprocess.run(["wineboot", "--init"]).returncode
        subprocess.run(["wineserver", "--wait"])
        return status
    with Desktop("openbox", wine=True) as desktop:
        return subprocess.run(["wine", *sys.argv[1:]], env=desktop.client_env()).returncode


if __name__ == "__main__":
    sys.exit(main())
