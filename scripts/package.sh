#!/bin/sh
# Builds the Debian package with CMake's packager, lists its contents, checks that every
# installed file is in it at the place XScreenSaver and the desktop look for it, simulates its
# installation, runs the packaged program, and runs lintian (any error fails the script).
#
# usage: scripts/package.sh [BUILD_FOLDER]     (default: build-deb beside this script's folder)
# The folder is configured for /usr, so the program looks for its help page there.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-deb}
# apt-get reads a relative .deb path as a package name.
mkdir -p "$build" && build=$(cd "$build" && pwd)
start=$(date +%s)

need() {
    command -v "$1" >/dev/null 2>&1 && return 0
    echo "package.sh: installing $2" >&2
    ${SUDO:-$( [ "$(id -u)" = 0 ] || echo sudo)} apt-get install -y "$2" >/dev/null
}
need lintian lintian
need dpkg-shlibdeps dpkg-dev

launcher=
command -v ccache >/dev/null 2>&1 &&
    launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache"
# shellcheck disable=SC2086
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_INSTALL_PREFIX=/usr \
    -DKINETORA_DATA_DIR=/usr/share/kinetora -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON \
    $launcher >/dev/null
cmake --build "$build" -j2 --target kinetora kinetora_docs

version=$(sed -n 's/^project(Kinetora VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
arch=$(dpkg --print-architecture)
deb="$build/kinetora_${version}_${arch}.deb"
rm -f "$deb"
(cd "$build" && cpack -G DEB >/dev/null)
[ -f "$deb" ] || { echo "package.sh: $deb was not made" >&2; exit 1; }

echo "== $deb"
dpkg-deb --field "$deb"
echo "== contents"
dpkg-deb --contents "$deb"

# Every file the install step puts down is in the package, under the same path.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
DESTDIR="$work/installed" cmake --install "$build" >/dev/null
(cd "$work/installed" && find . ! -type d | sort) > "$work/installed.txt"
dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort > "$work/packaged.txt"
missing=$(comm -23 "$work/installed.txt" "$work/packaged.txt")
[ -z "$missing" ] || { echo "package.sh: installed but not packaged:" >&2; echo "$missing" >&2; exit 1; }

# The places XScreenSaver, the desktop and man look in.
for path in \
    ./usr/bin/kinetora \
    ./usr/bin/kinetora-xscreensaver-add \
    ./usr/libexec/xscreensaver/kinetora \
    ./usr/share/xscreensaver/config/kinetora.xml \
    ./usr/share/applications/kinetora.desktop \
    ./usr/share/icons/hicolor/scalable/apps/kinetora.svg \
    ./usr/share/man/man6/kinetora.6.gz \
    ./usr/share/man/man1/kinetora-xscreensaver-add.1.gz \
    ./usr/share/kinetora/Kinetora.htm \
    ./usr/share/doc/kinetora/copyright \
    ./usr/share/doc/kinetora/changelog.gz; do
    grep -qx "$path" "$work/packaged.txt" || { echo "package.sh: $path is not in the package" >&2; exit 1; }
done
grep -q '^\./usr/lib/\(.*/\)\{0,1\}kinetora/kinetora-sheet\.so$' "$work/packaged.txt" ||
    { echo "package.sh: the settings sheet's module is not in the package" >&2; exit 1; }
if grep -v '^\./usr/' "$work/packaged.txt" | grep -q . || grep -q '^\./usr/local/' "$work/packaged.txt"; then
    echo "package.sh: files outside /usr (or in /usr/local) in the package" >&2
    exit 1
fi

# Its dependencies resolve on this system, and the packaged program runs.
echo "== apt-get install --simulate"
apt-get install --simulate "$deb" 2>&1 | grep -E '^(Inst|Conf) kinetora|^E:' || true
apt-get install --simulate "$deb" >/dev/null 2>&1 ||
    { echo "package.sh: the package would not install" >&2; exit 1; }
dpkg-deb -x "$deb" "$work/unpacked"
"$work/unpacked/usr/bin/kinetora" --version

echo "== lintian"
status=0
lintian --tag-display-limit 0 "$deb" > "$work/lintian.txt" 2>&1 || status=$?
cat "$work/lintian.txt"
if grep -q '^E:' "$work/lintian.txt"; then
    echo "package.sh: lintian reports errors" >&2
    exit 1
fi
echo "package.sh: $deb ($(($(date +%s) - start)) s, lintian status $status, no errors)"
