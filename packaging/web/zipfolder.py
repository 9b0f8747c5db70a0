#!/usr/bin/env python3
"""Zips a folder's files, sorted by name, each dated SOURCE_DATE_EPOCH where it is set (now
otherwise), with the same permissions whoever built them: the same files give the same bytes.

Usage: zipfolder.py OUTPUT FOLDER
"""
import os
import sys
import time
import zipfile

# rw-r--r--, as a regular file.
PERMISSIONS = 0o100644 << 16


def main():
    output, folder = sys.argv[1:]
    when = time.gmtime(int(os.environ.get("SOURCE_DATE_EPOCH", time.time())))[:6]
    names = sorted(os.path.relpath(os.path.join(directory, file), folder)
                   for directory, _, files in os.walk(folder) for file in files)
    with zipfile.ZipFile(output, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
        for name in names:
            entry = zipfile.ZipInfo(name, date_time=when)
            entry.external_attr = PERMISSIONS
            entry.compress_type = zipfile.ZIP_DEFLATED
            with open(os.path.join(folder, name), "rb") as file:
                archive.writestr(entry, file.read())


if __name__ == "__main__":
    main()
