#!/usr/bin/env bash
# Compiles the Windows version resource with the MinGW resource compiler, decompiles the result
# and checks that it carries exactly the version strings of the game, nothing else.
# Usage: version_resource_test.sh PATH_TO_RC VERSION
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

x86_64-w64-mingw32-windres --preprocessor=cpp -i "$1" -O res -o "$work/zintu.res"
x86_64-w64-mingw32-windres -i "$work/zintu.res" -O rc -o "$work/decompiled.rc"

strings=$(grep -E '^ *VALUE "[A-Za-z]+", "' "$work/decompiled.rc" | sed -E 's/^ *VALUE //')
version=$2
expected='"FileVersion", "'$version'"
"ProductVersion", "'$version'"
"ProductName", "Zintu"
"InternalName", "zintu"
"OriginalFilename", "zintu.exe"'
if [ "$strings" != "$expected" ]; then
    echo "version resource: FAILED: the compiled strings are"
    echo "$strings"
    exit 1
fi
numbers="$((10#${version%%.*})), $((10#${version#*.})), 0, 0"
grep -q "FILEVERSION $numbers" "$work/decompiled.rc" || { echo "version resource: FAILED: FILEVERSION"; exit 1; }
echo "version resource: file and product version $version, Zintu, zintu, zintu.exe and nothing else"
echo "6 passed, 0 failed"
