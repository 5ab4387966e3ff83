#!/usr/bin/env bash
# Checks what `cmake --install` and `cpack -G DEB` make of a built tree:
#
#   check-install.sh files|deb BUILD_DIR SOURCE_DIR VERSION HOMEPAGE
#
# It catches a file installed to the wrong place or left out, a desktop
# entry that starts the program where it cannot find its catalogue or names
# a staging root, and a package that lintian or the validators refuse.  The
# e2e test runs the installed program.
#
# Every check installs into its own temporary directory and leaves the build
# tree as it was.  The tools they use come with scripts/deps.sh test.
#
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright The Vornic developers
set -euo pipefail

mode=$1 build=$2 source=$3 version=$4 homepage=$5
work=$(mktemp -d "${TMPDIR:-/tmp}/vornic-install.XXXXXX")
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }
install_to() { "${CMAKE:-cmake}" --install "$build" --prefix "$1" >&2 || fail "install to $1"; }

# check_tree ROOT PREFIX [SOURCE:INSTALLED...]: the tree installed for
# PREFIX, found under ROOT, holds these files and the icons as they are in
# the source, and the metainfo as it was configured.
check_tree() {
    local share="$1$2/share" pair entry="$1$2/share/applications/io.github.vornic.vornic.desktop"
    for pair in "data/locales:vornic/locales" "data/copyright:doc/vornic/copyright" "${@:3}"; do
        cmp "$source/${pair%%:*}" "$share/${pair#*:}"
    done
    diff -r "$source/data/icons" "$share/icons"
    cmp "$build/io.github.vornic.vornic.metainfo.xml" "$share/metainfo/io.github.vornic.vornic.metainfo.xml"
    zcat "$share/man/man1/vornic.1.gz" | cmp - "$source/docs/vornic.1"
    # Everything the entry tells a launcher, and it names the final place,
    # never a staging root.
    diff - "$entry" <<EOF || fail "$entry"
[Desktop Entry]
Type=Application
Name=Vornic
GenericName=PND Package Data Editor
Comment=Prepare the names, descriptions and runtime settings of applications for a PND package
Icon=io.github.vornic.vornic
Exec=$2/bin/vornic
Path=$2/share/vornic
Terminal=false
StartupWMClass=Vornic
Categories=Development;GTK;
Keywords=PND;package;locale;
EOF
}

# The installed trees, two prefixes (the second must not carry the first
# one's paths) and a staging root, and the validators on the first.
check_files() {
    for dest in "$work/a" "$work/b"; do install_to "$dest"; check_tree "" "$dest" "COPYING:doc/vornic/COPYING"; done
    DESTDIR="$work/stage" install_to "/opt/vornic"; check_tree "$work/stage" "/opt/vornic" "COPYING:doc/vornic/COPYING"
    # The tree's metainfo, desktop entry and icons.  --strict fails on any
    # error, warning or info, but not on a pedantic hint, which only shows.
    [ "$(appstreamcli validate-tree --no-net --pedantic --strict "$work/a" | tee /dev/stderr)" = "✔ Validation was successful." ] ||
        fail "appstreamcli validate-tree: not clean"
    # What the metainfo promises a software centre is installed.
    for named in $(sed -n 's|.*<binary>\(.*\)</binary>.*|bin/\1|p; s|.*<launchable type="desktop-id">\(.*\)<.*|share/applications/\1|p' \
        "$work/a/share/metainfo/"*.xml); do
        [ -f "$work/a/$named" ] || fail "the metainfo names $named"
    done
}

check_deb() {
    # The package's maintainer is whoever builds it: here, this test.
    DEBFULLNAME="Vornic install test" DEBEMAIL=install-test@example.org "${CPACK:-cpack}" -G DEB \
        --config "$build/CPackConfig.cmake" -B "$work/pkg" >&2 || fail "cpack"
    local deb="$work/pkg/vornic_$version-1_$(dpkg --print-architecture).deb"
    dpkg-deb -f "$deb" Package Version Maintainer Homepage Depends | tr '\n' '|' >"$work/control"
    grep -qE "^Package: vornic\|Version: $version-1\|Maintainer: Vornic install test <install-test@example.org>\|Homepage: $homepage\|Depends:.*libgtk2\.0-0" \
        "$work/control" || { cat "$work/control" >&2; fail "control fields"; }
    dpkg-deb -x "$deb" "$work/root"
    check_tree "$work/root" /usr
    zgrep -q '^ -- Vornic install test <install-test@example.org>  ' "$work/root/usr/share/doc/vornic/changelog.Debian.gz" ||
        fail "the changelog does not name the builder"
    lintian --fail-on error,warning "$deb" >&2 || fail "lintian"
}

"check_$mode"
