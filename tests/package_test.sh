#!/usr/bin/env bash
# Builds the Debian package and checks that lintian finds neither error nor warning in it, then
# checks its files, its dependencies and that its zintu opens a window under Xvfb.
#
# It changes nothing on the tester's machine unless asked: with ZINTU_PACKAGE_TEST_INSTALL=1
# (CI sets it) and root or password-less sudo, it installs the package with apt-get, checks the
# installed game and removes it again, checking that nothing is left. Where Zintu is installed
# already, or nobody asked, it checks the package unpacked into a folder of its own instead, and
# runs the game from there. It says which it did.
# Usage: package_test.sh BUILD_DIR VERSION
set -euo pipefail
build_dir=$1
version=$2

step() { echo "package: $*"; }
fail() { echo "package: FAILED: $*"; exit 1; }

cd "$build_dir"
rm -f zintu_*.deb
cpack -G DEB >/dev/null
package=$(ls zintu_*.deb)
[ "$package" = "zintu_${version}_$(dpkg --print-architecture).deb" ] || fail "package named $package"
step "built $package"

# Root is where CI builds; lintian's warning about it says nothing of the package.
findings=$(lintian --fail-on none "$package" 2>/dev/null | grep -E '^[EW]: ' || true)
[ -z "$findings" ] || fail "lintian: $findings"
step "lintian finds no error and no warning"

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo -n)
install=false
if [ "${ZINTU_PACKAGE_TEST_INSTALL:-}" = 1 ]; then
    if dpkg-query -W -f='${Status}' zintu 2>/dev/null | grep -q 'install ok installed'; then
        step "Zintu is installed on this machine: left as it is, the package checked unpacked"
    elif [ ${#as_root[@]} -eq 0 ] || sudo -n true 2>/dev/null; then
        install=true
    else
        step "installing needs root or password-less sudo: the package checked unpacked"
    fi
fi

if $install; then
    root=
    cleanup() { "${as_root[@]}" apt-get remove --purge -y zintu >/dev/null 2>&1 || true; }
    trap cleanup EXIT
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "./$package" >/dev/null
    step "installed with apt-get"
    listed=$(dpkg -L zintu)
    control() { dpkg-query -W -f="\${$1}" zintu; }
else
    root=$(mktemp -d)
    trap 'rm -rf "$root"' EXIT
    dpkg-deb -x "$package" "$root"
    step "unpacked into a folder of its own; nothing installed"
    listed=$(dpkg-deb -c "$package" | awk '{print $6}' | sed 's|^\./|/|; s|/$||')
    control() { dpkg-deb -f "$package" "$1"; }
fi

for file in /usr/games/zintu /usr/share/applications/zintu.desktop \
    /usr/share/icons/hicolor/scalable/apps/zintu.svg \
    /usr/share/metainfo/io.zintu.Zintu.metainfo.xml /usr/share/man/man6/zintu.6.gz \
    /usr/share/doc/zintu/copyright /usr/share/doc/zintu/changelog.gz; do
    grep -qx "$file" <<<"$listed" || fail "the package does not list $file"
    [ -f "$root$file" ] || fail "$root$file is not there"
done
step "it holds the game, desktop entry, icon, metainfo, manual page, copyright, changelog"

grep -q '^License: MIT$' "$root/usr/share/doc/zintu/copyright" ||
    fail "the copyright names no MIT licence"
zcat "$root/usr/share/man/man6/zintu.6.gz" | grep -q 'takes no options' ||
    fail "the manual page does not say that zintu takes no options"
zcat "$root/usr/share/man/man6/zintu.6.gz" | grep -q "\"Zintu $version\"" ||
    fail "the manual page does not give version $version"
step "the copyright gives the MIT licence; the manual page, version $version and no options"

depends=$(control Depends)
grep -q libqt6widgets6 <<<"$depends" || fail "no computed Qt dependency in: $depends"
step "depends on: $depends"

recommends=$(control Recommends)
grep -q qt6-wayland <<<"$recommends" || fail "does not recommend the Wayland platform: $recommends"
step "recommends: $recommends"

xvfb-run -a sh -c '
    "$1" & game=$!
    for _ in $(seq 300); do
        xwininfo -root -tree | grep -q "\"Zintu!\"" && { kill $game; exit 0; }
        sleep 0.1
    done
    kill $game; exit 1' sh "$root/usr/games/zintu" || fail "$root/usr/games/zintu opened no window"
step "$root/usr/games/zintu opens its window"

if $install; then
    "${as_root[@]}" apt-get remove --purge -y zintu >/dev/null
    trap - EXIT
    if dpkg-query -W -f='${Status}' zintu 2>/dev/null | grep -q installed; then
        fail "still installed after removal"
    fi
    for file in $listed; do
        [ -d "$file" ] || [ ! -e "$file" ] || fail "$file left behind"
    done
    step "removed cleanly"
    echo "9 passed, 0 failed"
else
    echo "8 passed, 0 failed"
fi
