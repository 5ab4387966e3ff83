#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright The Vornic developers
#
# e2e.sh BUILD_DIR - the real program, installed from the build tree into a
# scratch prefix and started as its desktop entry says, read from outside
# with xdotool and xprop as a user's desktop would and its standard output
# through a pipe.  It catches what only the program as a whole shows: the
# order of start-up, the catalogue taken from the working directory, the
# toolkit's options, the icon on the window and the exit statuses.  Run it
# under with-display.sh.
set -uo pipefail
build=$1 failed=0
work=$(mktemp -d "${TMPDIR:-/tmp}/vornic-e2e.XXXXXX")
trap 'pkill -P $$; rm -rf "$work"' EXIT
export ASAN_OPTIONS=detect_leaks=0 XDG_DATA_DIRS=$work/p/share:/usr/share

fail() { echo "FAIL: $*"; failed=$((failed + 1)); }
win() {
    timeout 10 xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1 | grep . ||
        echo "FAIL: no window '$1' shown within 10 s" >&2
}
key() { sed -n "s/^$1=//p" "$work/p/share/applications/io.github.vornic.vornic.desktop"; }
# run DIR [ARGS...]: the installed program in the working directory DIR, in
# the background; ended DIR STATUS: it ended with that status and wrote
# nothing.
run() { (cd "$1" && { timeout 60 "$(key Exec)" "${@:2}"; echo $? >"$1.status"; } | cat >"$1.out") & }
ended() {
    for _ in $(seq 100); do [[ -s $1.status ]] && break; sleep 0.1; done
    [[ -s $1.status ]] || { fail "still running 10 s after it should have ended"; return; }
    [[ $(cat "$1.status") == "$2" ]] || fail "exit status $(cat "$1.status"), not $2"
    [[ ! -s $1.out ]] || fail "standard output '$(cat "$1.out")'"
}

"${CMAKE:-cmake}" --install "$build" --prefix "$work/p" >/dev/null || { echo "FAIL: install"; exit 1; }

# Where the entry starts it, the main window opens with the icon, named by
# the toolkit's options, and closing it ends the program with status 0.
run "$(key Path)" --class=Foo --name=bar
window=$(win Vornic)
[[ $(xprop -id "$window" WM_CLASS) == 'WM_CLASS(STRING) = "bar", "Foo"' ]] || fail "WM_CLASS"
[[ $(xprop -id "$window" _NET_WM_ICON) == *"Icon (48 x 48)"* ]] || fail "no 48x48 icon on the main window"
xdotool windowclose "$window"
ended "$(key Path)" 0

# Without a catalogue: the error over the main window, which is up already,
# and status 254 once it is dismissed.
mkdir "$work/missing"
run "$work/missing"
[[ $(xprop -id "$(win 'Fatal error')" WM_TRANSIENT_FOR) == *" $(printf '%#x' "$(win Vornic)")" ]] ||
    fail "the dialog is not over the main window"
xdotool windowfocus --sync "$(win 'Fatal error')" key Return
ended "$work/missing" 254

echo "e2e: $failed failed"
[[ $failed == 0 ]]
