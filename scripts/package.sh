#!/bin/sh
# Builds the Debian package from the source package in debian/ as Debian does
# (dpkg-buildpackage), twice from copies of the tree in different folders, and checks it:
# every installed file is packaged where XScreenSaver, the desktop and man look for it, the
# binaries carry the hardening flags and no build path, lintian (pedantic) finds no error or
# warning, the autopkgtest passes on this machine, and the two builds are byte-identical.
#
# usage: scripts/package.sh [BUILD_FOLDER]     (default: build-deb beside this script's folder)
# The package and the source package end up in BUILD_FOLDER/one/. KINETORA_CCACHE=no builds
# without ccache. The last line is "Package tests: N passed, M failed".
# shellcheck disable=SC2317 # the checks are functions run through timed
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-deb}
mkdir -p "$build" && build=$(cd "$build" && pwd)
start=$(date +%s)
sudo=${SUDO:-$([ "$(id -u)" = 0 ] || echo sudo)}

apt_install() {
    echo "package.sh: installing $*" >&2
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
        -o DPkg::Lock::Timeout=900 "$@" >/dev/null
}
need() { command -v "$1" >/dev/null 2>&1 || apt_install "$2"; }
need dpkg-buildpackage dpkg-dev
need dh debhelper
need lintian lintian
need autopkgtest autopkgtest
need readelf binutils
# What the package needs to build, from its own Build-Depends.
if ! (cd "$root" && dpkg-checkbuilddeps -P nocheck) 2>/dev/null; then
    echo "package.sh: installing the build dependencies" >&2
    (cd "$root" && DEBIAN_FRONTEND=noninteractive $sudo apt-get build-dep -y -qq \
        -o DPkg::Lock::Timeout=900 ./ >/dev/null)
fi

version=$(cd "$root" && dpkg-parsechangelog -S Version)
arch=$(dpkg --print-architecture)
gnu_type=$(dpkg-architecture -qDEB_HOST_GNU_TYPE)

passed=0
failed=0
pass() { passed=$((passed + 1)); echo "ok: $1"; }
fail() { failed=$((failed + 1)); echo "FAILED: $1" >&2; }
finish() {
    echo "package.sh: $(($(date +%s) - start)) s in all ($timings)"
    echo "Package tests: $passed passed, $failed failed"
    [ "$failed" = 0 ] && exit 0
    exit 1
}
timings=
timed() { # NAME COMMAND...: runs it and adds its time to the summary
    name=$1
    shift
    t0=$(date +%s)
    status=0
    "$@" || status=$?
    timings="${timings:+$timings, }$name $(($(date +%s) - t0)) s"
    return $status
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The tree as it stands (tracked and new files, not what .gitignore leaves out, so no build
# folder), or the whole folder outside a git checkout.
copy_tree() { # DESTINATION
    mkdir -p "$1"
    if git -C "$root" rev-parse --git-dir >/dev/null 2>&1; then
        (cd "$root" && git ls-files -z --cached --others --exclude-standard |
            tar --null --ignore-failed-read -T - -cf - 2>/dev/null) | tar -xf - -C "$1"
    else
        tar -C "$root" --exclude=./build-deb -cf - . | tar -xf - -C "$1"
    fi
}

# dpkg-buildpackage -b in SOURCE; the package lands in SOURCE's parent. ccache is handed in
# through the environment only: the package itself never depends on it. dh moves HOME, so
# the cache folder is named; paths below SOURCE are hashed relative to it, so the second
# build (another folder) reuses the first one's objects.
build_binary() { # SOURCE LOG
    (
        cd "$1"
        DEB_BUILD_OPTIONS="nocheck parallel=$(nproc)"
        export DEB_BUILD_OPTIONS DEB_BUILD_PROFILES=nocheck
        if [ "${KINETORA_CCACHE:-yes}" != no ] && command -v ccache >/dev/null 2>&1; then
            CCACHE_DIR=${CCACHE_DIR:-$(ccache -k cache_dir)}
            export CCACHE_DIR CCACHE_BASEDIR="$1" CCACHE_NOHASHDIR=1
            export DEB_CMAKE_EXTRA_FLAGS="-DCMAKE_C_COMPILER_LAUNCHER=ccache \
-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
        fi
        dpkg-buildpackage -us -uc -b
    ) >"$2" 2>&1 && return 0
    tail -n 40 "$2" >&2
    echo "package.sh: the build in $1 failed (log: $2)" >&2
    return 1
}

one=$build/one
two=$build/two/again
rm -rf "$build/one" "$build/two"
copy_tree "$one/kinetora-$version"
copy_tree "$two/kinetora"

# The source package, from the clean tree.
if (cd "$one" && dpkg-source --build "kinetora-$version" >"$build/source.log" 2>&1) &&
    [ -f "$one/kinetora_$version.dsc" ]; then
    pass "source package kinetora_$version.dsc"
else
    cat "$build/source.log" >&2
    fail "source package"
fi

deb=$one/kinetora_${version}_${arch}.deb
dbgsym=$one/kinetora-dbgsym_${version}_${arch}.deb
if timed "first build" build_binary "$one/kinetora-$version" "$build/build-one.log" &&
    [ -f "$deb" ]; then
    pass "dpkg-buildpackage -b in $one"
else
    fail "dpkg-buildpackage -b in $one"
    finish
fi

echo "== $deb"
dpkg-deb --field "$deb"
echo "== contents"
dpkg-deb --contents "$deb"
dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort >"$work/packaged.txt"

# Every file the install step puts down is in the package, under the same path, and sits
# where XScreenSaver, the desktop and man look for it.
contents_ok() {
    DESTDIR="$work/installed" cmake --install "$one/kinetora-$version/obj-$gnu_type" >/dev/null
    (cd "$work/installed" && find . ! -type d | sort) >"$work/installed.txt"
    missing=$(comm -23 "$work/installed.txt" "$work/packaged.txt")
    [ -z "$missing" ] || { echo "installed but not packaged:" >&2; echo "$missing" >&2; return 1; }
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
        grep -qx "$path" "$work/packaged.txt" || { echo "$path is not in the package" >&2; return 1; }
    done
    grep -q '^\./usr/lib/\(.*/\)\{0,1\}kinetora/kinetora-sheet\.so$' "$work/packaged.txt" ||
        { echo "the settings sheet's module is not in the package" >&2; return 1; }
    grep -q '^\./usr/lib/\(.*/\)\{0,1\}kinetora/kinetora-heif\.so$' "$work/packaged.txt" ||
        { echo "the HEIF decoder's module is not in the package" >&2; return 1; }
    # Found by dpkg-shlibdeps in the module alone: the program no longer links it.
    dpkg-deb --field "$deb" Depends | grep -q '\blibheif1\b' ||
        { echo "the package does not depend on libheif1" >&2; return 1; }
    if grep -v '^\./usr/' "$work/packaged.txt" | grep -q . ||
        grep -q '^\./usr/local/' "$work/packaged.txt"; then
        echo "files outside /usr (or in /usr/local) in the package" >&2
        return 1
    fi
}
if contents_ok; then pass "contents"; else fail "contents"; fi

# The Wayland host's libraries reach Depends through the computed shared-library list.
depends=$(dpkg-deb --field "$deb" Depends)
if echo "$depends" | grep -q 'libwayland-client0' && echo "$depends" | grep -q 'libwayland-egl1' &&
    echo "$depends" | grep -q 'libxkbcommon0'; then
    pass "Wayland libraries in Depends"
else
    fail "Wayland libraries in Depends: $depends"
fi

dpkg-deb -x "$deb" "$work/unpacked"
sheet=$(find "$work/unpacked/usr/lib" -name kinetora-sheet.so)
heif=$(find "$work/unpacked/usr/lib" -name kinetora-heif.so)

# Debian's hardening flags reached every binary: bind-now, PIE, read-only relocations,
# the stack protector and fortified libc calls.
hardened() { # ELF KIND(program|module)
    dynamic=$(readelf -dW "$1")
    echo "$dynamic" | grep -q 'FLAGS.*\bNOW\b' || { echo "$1: not bound now" >&2; return 1; }
    readelf -lW "$1" | grep -q GNU_RELRO || { echo "$1: no RELRO" >&2; return 1; }
    if [ "$2" = program ]; then
        if ! readelf -hW "$1" | grep -q 'Type:.*DYN' || ! echo "$dynamic" | grep -q 'FLAGS_1.*PIE'; then
            echo "$1: not a PIE" >&2
            return 1
        fi
    fi
    symbols=$(readelf --dyn-syms -W "$1")
    echo "$symbols" | grep -q '__stack_chk_fail' || { echo "$1: no stack protector" >&2; return 1; }
    # The sheet's module copies only sizes the compiler can check, so nothing in it needs a
    # fortified call; the program has to have them.
    [ "$2" = module ] || echo "$symbols" | grep -q '__[a-z_]*_chk@' ||
        { echo "$1: no fortified call" >&2; return 1; }
}
if hardened "$work/unpacked/usr/bin/kinetora" program &&
    hardened "$work/unpacked/usr/libexec/xscreensaver/kinetora" program &&
    hardened "$sheet" module && hardened "$heif" module; then
    pass "hardening (bind-now, PIE, RELRO, stack protector, fortify)"
else
    fail "hardening"
fi

# No build folder in any packaged byte, debug symbols included.
dpkg-deb -x "$dbgsym" "$work/unpacked-dbgsym"
leaks=$(grep -rlF -e "$build" -e "$root" "$work/unpacked" "$work/unpacked-dbgsym" || true)
if [ -z "$leaks" ]; then
    pass "no build path in the packages"
else
    echo "$leaks" | sed "s|$work/||" >&2
    fail "build paths in the packages"
fi

echo "== lintian --pedantic --info"
lintian_ok() {
    status=0
    lintian --pedantic --info --tag-display-limit 0 \
        "$one/kinetora_${version}_${arch}.changes" "$one/kinetora_$version.dsc" \
        >"$work/lintian.txt" 2>&1 || status=$?
    cat "$work/lintian.txt"
    ! grep -q '^[EW]:' "$work/lintian.txt" || { echo "lintian reports errors or warnings" >&2; return 1; }
    ! grep -qE 'hardening-no-(bindnow|fortify-functions|pie|relro)' "$work/lintian.txt" ||
        { echo "lintian reports missing hardening" >&2; return 1; }
    [ "$status" = 0 ] || { echo "lintian ended with status $status" >&2; return 1; }
}
if timed lintian lintian_ok; then pass "lintian"; else fail "lintian"; fi

# The autopkgtest installs the package on this machine (null testbed); it is removed again
# afterwards unless it was installed before.
echo "== autopkgtest"
installed_before=$(dpkg-query -W -f='${Status}' kinetora 2>/dev/null | grep -c 'ok installed' || true)
autopkgtest_ok() {
    autopkgtest --summary-file="$work/autopkgtest.summary" "$deb" "$one/kinetora_$version.dsc" \
        -- null >"$build/autopkgtest.log" 2>&1 || { tail -n 30 "$build/autopkgtest.log" >&2; return 1; }
    cat "$work/autopkgtest.summary"
    grep -q 'PASS' "$work/autopkgtest.summary" && ! grep -qv 'PASS' "$work/autopkgtest.summary"
}
if timed autopkgtest autopkgtest_ok; then pass "autopkgtest"; else fail "autopkgtest"; fi
if [ "$installed_before" = 0 ] && dpkg-query -W kinetora >/dev/null 2>&1; then
    $sudo dpkg --purge kinetora >/dev/null
fi

# Reproducible: a second build, later and from another folder, gives the same bytes. On a
# difference, the members (and the files inside them) that differ are named.
explain_difference() { # A B
    if command -v diffoscope >/dev/null 2>&1; then
        diffoscope --text - "$1" "$2" | head -n 60 >&2 || true
        return
    fi
    for side in a b; do
        [ $side = a ] && file=$1 || file=$2
        mkdir -p "$work/$side/members" "$work/$side/data" "$work/$side/control"
        (cd "$work/$side/members" && ar x "$file")
        tar -xf "$work/$side/members"/data.tar.* -C "$work/$side/data"
        tar -xf "$work/$side/members"/control.tar.* -C "$work/$side/control"
    done
    for member in $(ar t "$1"); do
        cmp -s "$work/a/members/$member" "$work/b/members/$member" ||
            echo "$(basename "$1"): member $member differs" >&2
    done
    diff -rq "$work/a/control" "$work/b/control" | sed "s|$work/[ab]/||g" >&2 || true
    diff -rq "$work/a/data" "$work/b/data" | sed "s|$work/[ab]/||g" >&2 || true
    dpkg-deb --contents "$1" >"$work/a.list"
    dpkg-deb --contents "$2" >"$work/b.list"
    diff "$work/a.list" "$work/b.list" >&2 || true
    rm -rf "$work/a" "$work/b"
}
if timed "second build" build_binary "$two/kinetora" "$build/build-two.log"; then
    same=yes
    for first in "$deb" "$dbgsym"; do
        second=$two/$(basename "$first")
        if ! cmp "$first" "$second"; then
            same=no
            explain_difference "$first" "$second"
        fi
    done
    if [ $same = yes ]; then
        pass "reproducible: $(basename "$deb") and $(basename "$dbgsym") identical from $one and $two"
    else
        fail "reproducible: the two builds differ"
    fi
else
    fail "second build in $two"
fi
finish
