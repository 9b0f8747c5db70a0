#!/usr/bin/python3
"""Reads the built zintu.exe itself: its version fields, the DLLs it imports, and the resources
compiled into it (manifest, icon, the label's font).

Usage: windows_exe_test.py PATH_TO_ZINTU_EXE VERSION
"""

import struct
import sys

import pefile

from e2e.report import Checks, StepFailed

# Exactly these of Windows' own DLLs, as docs/windows.md promises: nothing else installed is needed,
# so no libstdc++, libgcc or winpthread DLL; and what only assistive technology uses (oleacc,
# ole32, oleaut32) is loaded on its first request, never at start-up.
IMPORTED_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "msvcrt.dll"}
FIXED_FIELDS = {"ProductName": "Zintu", "InternalName": "zintu", "OriginalFilename": "zintu.exe"}
RT_ICON, RT_RCDATA, RT_GROUP_ICON, RT_MANIFEST = 3, 10, 14, 24
GUI_SUBSYSTEM = 2

check = Checks()


def resources(exe, kind):
    for entry in exe.DIRECTORY_ENTRY_RESOURCE.entries:
        if entry.id == kind:
            for named in entry.directory.entries:
                for language in named.directory.entries:
                    data = language.data.struct
                    yield named.id, exe.get_data(data.OffsetToData, data.Size)


def icon_width(image):
    """An icon image is a PNG or a bitmap with its header."""
    if image.startswith(b"\x89PNG"):
        return struct.unpack(">I", image[16:20])[0]
    return struct.unpack("<i", image[4:8])[0]


def main():
    try:
        read_back(pefile.PE(sys.argv[1]), sys.argv[2])
    except StepFailed as failure:
        return check.summary(failure)
    return check.summary()


def read_back(exe, version):
    check("a 64-bit Windows GUI program",
          exe.FILE_HEADER.Machine == pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_AMD64"]
          and exe.OPTIONAL_HEADER.Subsystem == GUI_SUBSYSTEM)

    imported = {entry.dll.decode().lower() for entry in exe.DIRECTORY_ENTRY_IMPORT}
    check(f"imports KERNEL32, USER32, GDI32 and msvcrt alone: {sorted(imported)}",
          imported == IMPORTED_DLLS)

    strings = {}
    for info in exe.FileInfo[0]:
        for table in getattr(info, "StringTable", []):
            strings.update({key.decode(): value.decode() for key, value in table.entries.items()})
    check(f"version strings {strings}",
          strings == {"FileVersion": version, "ProductVersion": version, **FIXED_FIELDS})
    major, minor = (int(part) for part in version.split("."))
    fixed = exe.VS_FIXEDFILEINFO[0]
    check(f"file and product version numbers {major}.{minor}",
          (fixed.FileVersionMS, fixed.ProductVersionMS) == ((major << 16) | minor,) * 2)

    manifest = b"".join(data for _, data in resources(exe, RT_MANIFEST))
    check("manifest: per-monitor (v2) resolution awareness",
          b"PerMonitorV2" in manifest and b"true/pm" in manifest)
    check("manifest: common controls 6", b"Microsoft.Windows.Common-Controls" in manifest
          and b'version="6.0.0.0"' in manifest)

    sizes = sorted({icon_width(image) for _, image in resources(exe, RT_ICON)})
    check(f"icon in sizes {sizes}", {16, 32, 48, 256} <= set(sizes)
          and any(True for _ in resources(exe, RT_GROUP_ICON)))

    fonts = [data for _, data in resources(exe, RT_RCDATA)]
    check("the label's font, a TrueType face, is embedded",
          len(fonts) == 1 and fonts[0][:4] == b"\x00\x01\x00\x00")


if __name__ == "__main__":
    sys.exit(main())
