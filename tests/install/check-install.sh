#!/usr/bin/env bash
# Checks what `cmake --install` and `cpack -G DEB` produce from a built tree.
#
#   check-install.sh files|validators|start|deb BUILD_DIR SOURCE_DIR VERSION [WITH_DISPLAY]
#
# Every check installs into its own temporary directory and leaves the build
# tree as it was.  Exit status 77 means a tool the check needs is missing.
set -euo pipefail

mode=$1 build=$2 source=$3 version=$4 with_display=${5:-}

if [ "$mode" = start-inner ]; then
    work=$VORNIC_INSTALL_WORK # the outer run's directory, which it removes
else
    work=$(mktemp -d "${TMPDIR:-/tmp}/vornic-install.XXXXXX")
    trap 'rm -rf "$work"' EXIT
fi

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

need() {
    local tool
    for tool in "$@"; do
        if ! command -v "$tool" >/dev/null; then
            echo "SKIP: $tool is not installed (scripts/deps.sh installs it)"
            exit 77
        fi
    done
}

# Installs the build for PREFIX (staged under DESTDIR when that is set).
install_prefix() {
    "${CMAKE:-cmake}" --install "$build" --prefix "$1" >"$work/install.log" || { cat "$work/install.log" >&2; fail "install failed"; }
}

# The value of KEY= in a desktop entry.
entry_value() {
    sed -n "s/^$2=//p" "$1"
}

# Checks the tree under ROOT that was installed for PREFIX.
check_tree() {
    local root=$1 prefix=$2
    local entry=$root$prefix/share/applications/vornic.desktop
    [ -x "$root$prefix/bin/vornic" ] || fail "no executable bin/vornic under $root$prefix"
    cmp "$source/data/locales" "$root$prefix/share/vornic/locales" || fail "installed locales differ from data/locales"
    cmp "$source/docs/vornic.1" "$root$prefix/share/man/man1/vornic.1" || fail "installed manual page differs"
    cmp "$source/data/io.github.vornic.Vornic.metainfo.xml" \
        "$root$prefix/share/metainfo/io.github.vornic.Vornic.metainfo.xml" || fail "installed metainfo differs"
    [ -f "$entry" ] || fail "no desktop entry $entry"
    # The entry names the final place, never the staging root.
    [ "$(entry_value "$entry" Path)" = "$prefix/share/vornic" ] || fail "Path= is '$(entry_value "$entry" Path)', not $prefix/share/vornic"
    [ "$(entry_value "$entry" Exec)" = "$prefix/bin/vornic" ] || fail "Exec= is '$(entry_value "$entry" Exec)', not $prefix/bin/vornic"
    if grep -n '@' "$entry"; then fail "unsubstituted placeholder in $entry"; fi
}

check_files() {
    install_prefix "$work/prefix"
    check_tree "" "$work/prefix"
    # A second install to another prefix from the same build must not carry
    # the first one's paths.
    install_prefix "$work/other"
    check_tree "" "$work/other"
    DESTDIR="$work/stage" install_prefix /opt/vornic
    check_tree "$work/stage" /opt/vornic
}

check_validators() {
    need desktop-file-validate appstreamcli man lexgrog
    local prefix=$work/prefix
    install_prefix "$prefix"

    desktop-file-validate "$prefix/share/applications/vornic.desktop" || fail "desktop-file-validate"
    appstreamcli validate --no-net "$prefix/share/metainfo/io.github.vornic.Vornic.metainfo.xml" || fail "appstreamcli validate"
    local metainfo=$prefix/share/metainfo/io.github.vornic.Vornic.metainfo.xml
    grep -q '<id>io.github.vornic.Vornic</id>' "$metainfo" || fail "metainfo id does not match its file name"
    grep -q '<launchable type="desktop-id">vornic.desktop</launchable>' "$metainfo" || fail "metainfo does not launch vornic.desktop"

    local page=$prefix/share/man/man1/vornic.1
    # groff reports its warnings on standard error and still exits 0.
    LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" >"$work/page.txt" 2>"$work/man.err" || fail "man failed"
    if [ -s "$work/man.err" ]; then cat "$work/man.err" >&2; fail "man --warnings reported problems"; fi
    lexgrog "$page" >/dev/null || fail "lexgrog finds no NAME section"
    grep -q "^\.TH VORNIC 1 \"[0-9-]*\" \"Vornic $version\"" "$page" || fail "manual page is not for version $version"
    local text
    for text in 'Free() did okay...' 'at most 18 characters' 'current working directory' \
                '^ *0  ' '^ *2  ' '^ *254  ' '^ *255  '; do
        grep -q -- "$text" "$work/page.txt" || fail "manual page lacks '$text'"
    done
}

# Waits up to 20 seconds for a viewable window titled $1.
wait_window() {
    for _ in $(seq 200); do
        if xwininfo -name "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; then return 0; fi
        sleep 0.1
    done
    return 1
}

# Runs under the private display: starts the installed program the way the
# desktop entry does, and sees its main window come up with the catalogue read.
check_start_inner() {
    local entry=$1 pid
    # A control: without "locales" in its working directory the program puts
    # up its error dialog, so the absence of that dialog below means something.
    (cd "$work" && exec "$(entry_value "$entry" Exec)") 2>"$work/control.err" &
    pid=$!
    wait_window "Fatal error" || { kill "$pid"; fail "no error dialog without a catalogue"; }
    kill "$pid"; wait "$pid" || true

    (cd "$(entry_value "$entry" Path)" && exec "$(entry_value "$entry" Exec)") 2>"$work/vornic.err" &
    pid=$!
    wait_window Vornic || { kill "$pid"; fail "the main window never appeared"; }
    # The catalogue is read right after the main window is shown; give a
    # failure time to show its dialog.
    sleep 1
    if xwininfo -name "Fatal error" >/dev/null 2>&1; then kill "$pid"; fail "the installed program did not find its catalogue"; fi
    kill -0 "$pid" 2>/dev/null || fail "the installed program ended by itself"
    kill "$pid"; wait "$pid" || true
    if [ -s "$work/vornic.err" ]; then cat "$work/vornic.err" >&2; fail "the program wrote to standard error"; fi
}

check_start() {
    need xwininfo
    [ -n "$with_display" ] || fail "no display runner given"
    install_prefix "$work/prefix"
    VORNIC_INSTALL_WORK=$work "$with_display" "$0" start-inner "$build" "$source" "$version" \
        "$work/prefix/share/applications/vornic.desktop"
}

check_deb() {
    need "${CPACK:-cpack}" dpkg-deb dpkg-shlibdeps file
    "${CPACK:-cpack}" -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log" >&2; fail "cpack failed"; }
    local debs=("$work"/pkg/vornic_"$version"-*_"$(dpkg --print-architecture)".deb)
    [ -f "${debs[0]}" ] || { ls "$work/pkg" >&2; fail "no vornic_${version}-*.deb"; }
    local deb=${debs[0]}

    dpkg-deb -I "$deb" >"$work/info"
    grep -q '^ Package: vornic$' "$work/info" || fail "package is not named vornic"
    grep -q "^ Version: $version-" "$work/info" || fail "package version is not $version"
    grep -q '^ Depends:.*libgtk2\.0-0' "$work/info" || { cat "$work/info" >&2; fail "Depends lacks libgtk2.0-0"; }

    dpkg-deb -c "$deb" | awk '{ print $NF }' >"$work/list"
    local path
    for path in ./usr/bin/vornic ./usr/share/vornic/locales ./usr/share/applications/vornic.desktop \
                ./usr/share/man/man1/vornic.1 ./usr/share/metainfo/io.github.vornic.Vornic.metainfo.xml; do
        grep -qx -- "$path" "$work/list" || { cat "$work/list" >&2; fail "package lacks $path"; }
    done

    # The entry in the package names /usr, not cpack's staging directory.
    mkdir "$work/unpacked"
    dpkg-deb -x "$deb" "$work/unpacked"
    check_tree "$work/unpacked" /usr
}

case $mode in
    files | validators | start | deb) "check_$mode"; echo "PASS: $mode" ;;
    start-inner) check_start_inner "$5" ;;
    *) fail "unknown check $mode" ;;
esac
