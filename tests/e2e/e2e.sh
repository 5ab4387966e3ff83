#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright The Vornic developers
#
# e2e.sh VORNIC LOCALES - the real program, run under with-display.sh in
# scratch working directories and driven from outside with xdotool and xprop
# the way a user's desktop would, its standard output read through a pipe.
set -uo pipefail
vornic=$1 locales=$2 failed=0
work=$(mktemp -d "${TMPDIR:-/tmp}/vornic-e2e.XXXXXX")
trap 'pkill -P $$; rm -rf "$work"' EXIT
export ASAN_OPTIONS=detect_leaks=0
# The folder chooser opens on the working directory, so its Open takes that.
mkdir -p "$HOME/.config/gtk-2.0"
printf '[Filechooser Settings]\nStartupMode=cwd\n' >"$HOME/.config/gtk-2.0/gtkfilechooser.ini"

fail() { echo "FAIL [$dir]: $*"; failed=$((failed + 1)); }
# run NAME [ARGS...]: vornic in the fresh working directory $dir, made by the
# caller; its output goes to $dir.out through a pipe, its status to $dir.status.
run() {
    dir=$work/$1
    (cd "$dir" && { timeout 60 "$vornic" "${@:2}"; echo $? >"$dir.status"; } 2>"$dir.err" | cat >"$dir.out") &
}
win() { timeout 10 xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1; }
focus() { xdotool windowfocus --sync "$(win "$1")" && sleep 0.3; }
gone() { for _ in $(seq 50); do xdotool search --onlyvisible --name "^$1\$" >/dev/null || return; sleep 0.1; done; }
keys() { xdotool key --delay 80 "$@"; sleep 0.2; }
say() { xdotool type --delay 20 "$1"; }
# ended STATUS [OUTPUT]: the status and the whole output of the run; on
# standard error only the toolkit's note that a window was destroyed from
# outside, which is how xdotool closes one.
ended() {
    for _ in $(seq 100); do [[ -s $dir.status ]] && break; sleep 0.1; done
    [[ $(cat "$dir.status" 2>/dev/null) == "$1" ]] || fail "exit status $(cat "$dir.status" 2>/dev/null), not $1"
    [[ $(cat "$dir.out") == "${2:-}" ]] || fail "standard output '$(cat "$dir.out")'"
    grep -v -e 'unexpectedly destroyed' -e '^$' "$dir.err" && fail "standard error"
}

# A whole application through the keyboard, with the catalogue from the
# working directory: its directory, general information and runtime data,
# then an en_US entry added and deleted, whose line reaches the pipe at once.
mkdir -p "$work/session" && cp "$locales" "$work/session/locales" && : >"$work/session/bin"
run session
focus Vornic; keys Tab space
focus 'Select directory'; keys alt+o; gone 'Select directory'
focus Vornic; keys Tab Tab; say App; keys Tab space Tab Tab Tab Tab Tab space Tab space
focus 'Vornic - General information'; say Ann; keys shift+Tab space; gone 'Vornic - General information'
focus Vornic; keys shift+Tab space
focus 'Vornic - Runtime settings'; say id; keys Tab Tab Tab Tab; say bin
keys Tab Tab Tab Tab Tab Tab Tab space; gone 'Vornic - Runtime settings'
focus Vornic; keys shift+Tab space
focus 'Vornic - Name and description'; say en_US; keys Tab; say Name; keys Tab; say Text
keys ctrl+Tab space Tab Tab Tab space shift+Tab space
sleep 0.5
[[ $(cat "$dir.out") == "Free() did okay..." ]] || fail "before the end the pipe holds '$(cat "$dir.out")'"
xdotool windowclose "$(win Vornic)" # an editing window is still open
ended 0 "Free() did okay..."

# Without "locales" in the working directory: the error over the main window,
# and status 254 once it is dismissed.  The toolkit takes its own options;
# anything else is ignored.
mkdir -p "$work/missing" && cp "$locales" "$work/locales"
run missing --class=Foo --name=bar extra
[[ $(xprop -id "$(win Vornic)" WM_CLASS) == 'WM_CLASS(STRING) = "bar", "Foo"' ]] || fail "WM_CLASS"
[[ $(xprop -id "$(win 'Fatal error')" WM_TRANSIENT_FOR) == *" $(printf '%#x' "$(win Vornic)")" ]] ||
    fail "the dialog is not over the main window"
focus 'Fatal error'; keys Return
ended 254

echo "e2e: $failed failed"
[[ $failed == 0 ]]
