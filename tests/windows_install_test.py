#!/usr/bin/python3
"""Builds the Windows ZIP and installer with CPack, checks the ZIP's contents, installs the game
silently under Wine, checks its files, Start-menu entry and uninstall entry, starts the
installed game until its window shows, uninstalls it silently and checks nothing is left.

Usage: windows_install_test.py BUILD_DIR VERSION      ($WINEPREFIX names the Wine prefix)
"""

import os
import subprocess
import sys
import zipfile

from e2e.design import FORM_SIZE
from e2e.desktop import Desktop
from e2e.player import Game
from e2e.report import Checks, StepFailed

INSTALLED = ["zintu.exe", "README.txt", "LICENSE.txt", "Blankenburg-LICENSE.txt"]
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Zintu"
INSTALL_DIR = r"C:\Program Files\Zintu"

check = Checks()


def on_drive_c(*parts):
    return os.path.join(os.environ["WINEPREFIX"], "drive_c", *parts)


START_MENU = on_drive_c("ProgramData", "Microsoft", "Windows", "Start Menu", "Programs", "Zintu!")


def wine(*command, desktop):
    """Runs a Windows command to its end, and every process it started with it."""
    run = subprocess.run(["wine", *command], env=desktop.client_env(), capture_output=True,
                         text=True)
    subprocess.run(["wineserver", "--wait"])
    return run


def uninstall_entry(desktop):
    listed = wine("reg", "query", UNINSTALL_KEY, desktop=desktop)
    values = {}
    for line in listed.stdout.splitlines():
        fields = line.split(None, 2)
        if len(fields) == 3 and fields[1].startswith("REG_"):
            values[fields[0]] = fields[2]
    return values if listed.returncode == 0 else None


def main():
    build_dir = os.path.abspath(sys.argv[1])
    version = sys.argv[2]
    name = f"zintu-{version}-win64"
    subprocess.run(["cpack", "-G", "ZIP;NSIS"], cwd=build_dir, check=True,
                   stdout=subprocess.DEVNULL)
    with zipfile.ZipFile(os.path.join(build_dir, name + ".zip")) as archive:
        listed = sorted(archive.namelist())
    check(f"the ZIP holds {listed}", listed == sorted(f"{name}/{file}" for file in INSTALLED))

    desktop = Desktop("openbox", wine=True)
    try:
        installer = os.path.join(build_dir, name + "-setup.exe")
        check("the installer runs silently",
              wine(installer, "/S", desktop=desktop).returncode == 0)
        program_dir = on_drive_c("Program Files", "Zintu")
        present = sorted(os.listdir(program_dir))
        check(f"installed under Program Files: {present}",
              set(INSTALLED) | {"Uninstall.exe"} == set(present))
        link = os.path.join(START_MENU, "Zintu!.lnk")
        with open(link, "rb") as shortcut:
            # The shortcut's target path, as its link information holds it.
            target = (INSTALL_DIR + r"\zintu.exe").encode() in shortcut.read()
        check("a Start-menu entry starts the installed zintu.exe", target)
        entry = uninstall_entry(desktop)
        check(f"an uninstall entry: {entry}", entry is not None
              and entry.get("DisplayVersion") == version and entry.get("Publisher") == "Zintu"
              and entry.get("DisplayIcon") == INSTALL_DIR + r"\zintu.exe")

        game = Game(["wine", INSTALL_DIR + r"\zintu.exe"], desktop)
        try:
            window = game.game_window("the installed game")
            check("the installed game opens its Zintu! window, "
                  f"{FORM_SIZE[0]} x {FORM_SIZE[1]} inside", (window.width, window.height) == FORM_SIZE)
            game.close(window)
            check("and closes with status 0", game.exit_status() == 0)
        finally:
            game.stop()

        uninstalled = wine(INSTALL_DIR + r"\Uninstall.exe", "/S", desktop=desktop)
        check("the uninstaller runs silently", uninstalled.returncode == 0)
        check("nothing is left: no folder, no Start-menu entry, no uninstall entry",
              not os.path.exists(program_dir) and not os.path.exists(START_MENU)
              and uninstall_entry(desktop) is None)
    except StepFailed as failure:
        return check.summary(failure)
    finally:
        desktop.stop()
    return check.summary()


if __name__ == "__main__":
    sys.exit(main())
