#!/usr/bin/env bash
# Builds the Debian package and checks that lintian finds neither error nor warning in it, then
# checks its files, its dependencies and that its zintu opens a window under Xvfb.
#
# It changes nothing on the tester's machine unless asked: with ZINTU_PACKAGE_TEST_INSTALL=1
# (CI sets it) and root or password-less sudo, it installs the package with apt-get, checks the
# installed game and removes it again, checking that nothing is left. Where Zintu is installed
# already, or nobody asked, it checks the package unpacked into a folder of its own instead, and
# runs the game from there. It says which it did.
#
# A package cross-built against a sysroot is installed with dpkg into a throwaway root whose
# database lists the sysroot's packages, which checks that its dependencies are met there, and
# its game runs from there under the emulator. Nothing of it reaches the tester's dpkg.
# Usage: package_test.sh BUILD_DIR VERSION [SYSROOT EMULATOR...]
set -euo pipefail
build_dir=$1
version=$2
sysroot=${3:-}
emulator=("${@:4}")
architecture=$(dpkg --print-architecture)
[ -z "$sysroot" ] || architecture=$(head -n 1 "$sysroot/var/lib/dpkg/arch")

step() { echo "package: $*"; }
fail() { echo "package: FAILED: $*"; exit 1; }

cd "$build_dir"
rm -f zintu_*.deb
cpack -G DEB >/dev/null
package=$(ls zintu_*.deb)
[ "$package" = "zintu_${version}_$architecture.deb" ] || fail "package named $package"
step "built $package"

# Root is where CI builds; lintian's warning about it says nothing of the package.
findings=$(lintian --fail-on none "$package" 2>/dev/null | grep -E '^[EW]: ' || true)
[ -z "$findings" ] || fail "lintian: $findings"
step "lintian finds no error and no warning"

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo -n)
install=false
if [ -n "$sysroot" ]; then
    install=throwaway
elif [ "${ZINTU_PACKAGE_TEST_INSTALL:-}" = 1 ]; then
    if dpkg-query -W -f='${Status}' zintu 2>/dev/null | grep -q 'install ok installed'; then
        step "Zintu is installed on this machine: left as it is, the package checked unpacked"
    elif [ ${#as_root[@]} -eq 0 ] || sudo -n true 2>/dev/null; then
        install=apt
    else
        step "installing needs root or password-less sudo: the package checked unpacked"
    fi
fi

if [ $install = throwaway ]; then
    root=$(mktemp -d)
    trap 'rm -rf "$root"' EXIT
    database=$root/var/lib/dpkg
    mkdir -p "$database/info" "$database/updates" "$database/triggers"
    cp "$sysroot/var/lib/dpkg/status" "$sysroot/var/lib/dpkg/arch" "$database/"
    # The sysroot's packages are listed as installed; their files are the sysroot's, not here.
    sed -n 's/^Package: //p' "$database/status" | while read -r name; do
        touch "$database/info/$name.list"
    done
    dpkg_here=(dpkg --root="$root")
    [ "$(id -u)" -eq 0 ] || dpkg_here+=(--force-not-root)
    "${dpkg_here[@]}" --install "$package" >/dev/null
    step "installed with dpkg into a throwaway $architecture root; nothing installed here"
    installed=(dpkg-query --root="$root")
    remove() { "${dpkg_here[@]}" --purge zintu; }
elif [ $install = apt ]; then
    root=
    remove() { "${as_root[@]}" apt-get remove --purge -y zintu; }
    trap 'remove >/dev/null 2>&1 || true' EXIT
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "./$package" >/dev/null
    step "installed with apt-get"
    installed=(dpkg-query)
else
    root=$(mktemp -d)
    trap 'rm -rf "$root"' EXIT
    dpkg-deb -x "$package" "$root"
    step "unpacked into a folder of its own; nothing installed"
    listed=$(dpkg-deb -c "$package" | awk '{print $6}' | sed 's|^\./|/|; s|/$||')
    control() { dpkg-deb -f "$package" "$1"; }
fi
if [ $install != false ]; then
    listed=$("${installed[@]}" -L zintu)
    control() { "${installed[@]}" -W -f="\${$1}" zintu; }
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
for library in libc6 libstdc++6 libqt6widgets6; do
    grep -q "$library" <<<"$depends" || fail "no computed $library dependency in: $depends"
done
step "depends on: $depends"

recommends=$(control Recommends)
grep -q qt6-wayland <<<"$recommends" || fail "does not recommend the Wayland platform: $recommends"
step "recommends: $recommends"

xvfb-run -a sh -c '
    "$@" & game=$!
    for _ in $(seq 300); do
        xwininfo -root -tree | grep -q "\"Zintu!\"" && { kill $game; exit 0; }
        sleep 0.1
    done
    kill $game; exit 1' sh "${emulator[@]}" "$root/usr/games/zintu" || fail "$root/usr/games/zintu opened no window"
step "$root/usr/games/zintu opens its window"

if [ $install != false ]; then
    remove >/dev/null
    [ $install = throwaway ] || trap - EXIT
    if "${installed[@]}" -W -f='${Status}' zintu 2>/dev/null | grep -q installed; then
        fail "still installed after removal"
    fi
    for file in $listed; do
        [ -d "$root$file" ] || [ ! -e "$root$file" ] || fail "$root$file left behind"
    done
    step "removed cleanly"
    echo "9 passed, 0 failed"
else
    echo "8 passed, 0 failed"
fi
