#!/usr/bin/env bash
# Builds the Debian package, checks that lintian finds neither error nor warning in it,
# installs it into this machine with apt-get, checks its files and that the installed zintu
# opens its window under Xvfb, then removes it and checks nothing is left. Needs root, or sudo
# without a password; skipped otherwise.
# Usage: package_test.sh BUILD_DIR
set -euo pipefail
build_dir=$1
skipped=77

as_root=()
if [ "$(id -u)" -ne 0 ]; then
    sudo -n true 2>/dev/null || { echo "package: skipped, needs root or sudo"; exit $skipped; }
    as_root=(sudo -n)
fi

step() { echo "package: $*"; }
fail() { echo "package: FAILED: $*"; exit 1; }

cd "$build_dir"
rm -f zintu_*.deb
cpack -G DEB >/dev/null
package=$(ls zintu_*.deb)
[ "$package" = "zintu_1.00_$(dpkg --print-architecture).deb" ] || fail "package named $package"
step "built $package"

# Root is where CI builds; lintian's warning about it says nothing of the package.
findings=$(lintian --fail-on none "$package" 2>/dev/null | grep -E '^[EW]: ' || true)
[ -z "$findings" ] || fail "lintian: $findings"
step "lintian finds no error and no warning"

cleanup() { "${as_root[@]}" apt-get remove --purge -y zintu >/dev/null 2>&1 || true; }
trap cleanup EXIT
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "./$package" >/dev/null
step "installed with apt-get"

listed=$(dpkg -L zintu)
for file in /usr/games/zintu /usr/share/applications/zintu.desktop \
    /usr/share/icons/hicolor/scalable/apps/zintu.svg \
    /usr/share/metainfo/io.zintu.Zintu.metainfo.xml /usr/share/man/man6/zintu.6.gz \
    /usr/share/doc/zintu/copyright /usr/share/doc/zintu/changelog.gz; do
    grep -qx "$file" <<<"$listed" || fail "dpkg -L does not list $file"
    [ -f "$file" ] || fail "$file is not installed"
done
step "dpkg -L lists the game, desktop entry, icon, metainfo, manual page, copyright, changelog"

grep -q '^License: MIT$' /usr/share/doc/zintu/copyright || fail "the copyright names no MIT licence"
zcat /usr/share/man/man6/zintu.6.gz | grep -q 'takes no options' ||
    fail "the manual page does not say that zintu takes no options"
step "the copyright file gives the MIT licence; the manual page says zintu takes no options"

depends=$(dpkg-query -W -f='${Depends}' zintu)
grep -q libqt6widgets6 <<<"$depends" || fail "no computed Qt dependency in: $depends"
step "depends on: $depends"

recommends=$(dpkg-query -W -f='${Recommends}' zintu)
grep -q qt6-wayland <<<"$recommends" || fail "does not recommend the Wayland platform: $recommends"
step "recommends: $recommends"

xvfb-run -a sh -c '
    /usr/games/zintu & game=$!
    for _ in $(seq 100); do
        xwininfo -root -tree | grep -q "\"Zintu!\"" && { kill $game; exit 0; }
        sleep 0.1
    done
    kill $game; exit 1' || fail "the installed zintu opened no window under Xvfb"
step "the installed zintu opens its window"

"${as_root[@]}" apt-get remove --purge -y zintu >/dev/null
trap - EXIT
if dpkg-query -W -f='${Status}' zintu 2>/dev/null | grep -q installed; then
    fail "still installed after removal"
fi
for file in $listed; do
    [ -d "$file" ] || [ ! -e "$file" ] || fail "$file left behind"
done
step "removed cleanly"
echo "8 passed, 0 failed"
