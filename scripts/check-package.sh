#!/usr/bin/env bash
# Checks the packaging, what `cmake --install` and `cpack -G DEB` make of a
# built tree, as a packager would before an upload:
#
#   check-package.sh files|deb BUILD_DIR SOURCE_DIR VERSION HOMEPAGE
#
# It catches a file installed to the wrong place or left out, a desktop
# entry that starts the program where it cannot find its catalogue or names
# a staging root, and a package that lintian or the validators refuse.  It
# checks the install rules and data/, not the program: the e2e test runs the
# installed program.  The test command runs it as the ctest tests labelled
# install.
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
    # Everything the entry tells a launcher, as tests/install/desktop-entry
    # has it, and it names the final place, never a staging root.
    sed "s|@PREFIX@|$2|g" "$source/tests/install/desktop-entry" | diff - "$entry" || fail "$entry"
}

# The installed trees, for a prefix and under a staging root, and the
# validators on the first.
check_files() {
    install_to "$work/a"
    check_tree "" "$work/a" "COPYING:doc/vornic/COPYING"
    DESTDIR="$work/stage" install_to "/opt/vornic"
    check_tree "$work/stage" "/opt/vornic" "COPYING:doc/vornic/COPYING"
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
    # No homepage named at configure time, no Homepage field.
    grep -qE "^Package: vornic\|Version: $version-1\|Maintainer: Vornic install test <install-test@example.org>\|${homepage:+Homepage: $homepage\|}Depends:.*libgtk2\.0-0" \
        "$work/control" || { cat "$work/control" >&2; fail "control fields"; }
    dpkg-deb -x "$deb" "$work/root"
    check_tree "$work/root" /usr
    lintian --fail-on error,warning "$deb" >&2 || fail "lintian"
}

"check_$mode"
