#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright The Vornic developers
#
# e2e.sh VORNIC LOCALES - the real program in scratch working directories,
# driven from outside with xdotool and read with xprop as a user's desktop
# would, its standard output read through a pipe.  It catches what only the
# program as a whole shows: the order of start-up, the catalogue taken from
# the working directory, the toolkit's options, the exit statuses, and the
# delete line reaching a pipe at once.  Run it under with-display.sh.
set -uo pipefail
vornic=$1 locales=$2 failed=0
work=$(mktemp -d "${TMPDIR:-/tmp}/vornic-e2e.XXXXXX")
trap 'pkill -P $$; rm -rf "$work"' EXIT
export ASAN_OPTIONS=detect_leaks=0
# The folder chooser opens on the working directory, so its Open takes that.
mkdir -p "$HOME/.config/gtk-2.0"
printf '[Filechooser Settings]\nStartupMode=cwd\n' >"$HOME/.config/gtk-2.0/gtkfilechooser.ini"

fail() { echo "FAIL: $*"; failed=$((failed + 1)); }
# run DIR [ARGS...]: vornic in the working directory DIR, its output through
# a pipe into DIR.out, its exit status into DIR.status.
run() { (cd "$1" && { timeout 60 "$vornic" "${@:2}"; echo $? >"$1.status"; } | cat >"$1.out") & }
win() { timeout 10 xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1; }
focus() { xdotool windowfocus --sync "$(win "$1")" && sleep 0.3; }
gone() { for _ in $(seq 50); do xdotool search --onlyvisible --name "^$1\$" >/dev/null || return; sleep 0.1; done; }
keys() { xdotool key --delay 80 "$@"; sleep 0.2; }
say() { xdotool type --delay 20 "$1"; }
# ended DIR STATUS [OUTPUT]: the run's exit status and its whole output.
ended() {
    for _ in $(seq 100); do [[ -s $1.status ]] && break; sleep 0.1; done
    [[ $(cat "$1.status") == "$2" ]] || fail "exit status $(cat "$1.status"), not $2"
    [[ $(cat "$1.out") == "${3:-}" ]] || fail "standard output '$(cat "$1.out")'"
}

# A whole application through the keyboard: its folder, its general
# information and runtime data, then an en_US entry added and deleted.
# The main window closes while an editing window is still open.
mkdir "$work/session" && cp "$locales" "$work/session" && : >"$work/session/bin"
run "$work/session"
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
[[ $(cat "$work/session.out") == "Free() did okay..." ]] || fail "before the end the pipe holds '$(cat "$work/session.out")'"
xdotool windowclose "$(win Vornic)"
ended "$work/session" 0 "Free() did okay..."

# Without a catalogue: the error over the main window, which is up already,
# and status 254 once it is dismissed.  The toolkit takes its own options;
# anything else is ignored.
mkdir "$work/missing"
run "$work/missing" --class=Foo --name=bar extra
[[ $(xprop -id "$(win Vornic)" WM_CLASS) == 'WM_CLASS(STRING) = "bar", "Foo"' ]] || fail "WM_CLASS"
[[ $(xprop -id "$(win 'Fatal error')" WM_TRANSIENT_FOR) == *" $(printf '%#x' "$(win Vornic)")" ]] ||
    fail "the dialog is not over the main window"
focus 'Fatal error'; keys Return
ended "$work/missing" 254

echo "e2e: $failed failed"
[[ $failed == 0 ]]
