#!/usr/bin/env bash
# screenshots.sh - takes the four pictures of the README again, from the real
# program driven from outside with the keyboard, and writes them over
# docs/main-window.png, general-information.png, runtime-settings.png and
# name-and-description.png, so that "git status" shows which window changed.
#
#   bash scripts/screenshots.sh
#
# Vornic runs under a private Xvfb without a window manager (so a picture is
# the window's contents, without a frame), in a scratch directory that is
# both its working directory (for the catalogue) and the project directory
# (for the icon and the binary of the example project).
#
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright The Vornic developers
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ ${1:-} != --on-display ]]; then
    bash scripts/deps.sh test
    if ! log=$({ cmake -S . -B build && cmake --build build -j2 --target vornic; } 2>&1); then
        echo "$log" >&2
        exit 1
    fi
    # Again, on the private display and HOME that with-display.sh gives it.
    exec scripts/with-display.sh bash "$0" --on-display
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/vornic-shots.XXXXXX")
trap 'kill "${pid:-}" 2>/dev/null || true; rm -rf "$work"' EXIT
cp data/locales "$work/locales"
cp data/icons/hicolor/32x32/apps/io.github.vornic.vornic.png "$work/frogger.png"
mkdir "$work/bin" && : >"$work/bin/frogger"
# The folder chooser opens on the working directory, so its Open takes that.
mkdir -p "$HOME/.config/gtk-2.0"
printf '[Filechooser Settings]\nStartupMode=cwd\n' >"$HOME/.config/gtk-2.0/gtkfilechooser.ini"

die() { echo "screenshots: $*" >&2; exit 1; }
win() {
    local id
    id=$(timeout 10 xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1) || true
    [[ -n $id ]] || die "no window \"$1\" appeared within 10 seconds"
    echo "$id"
}
focus() { local id; id=$(win "$1"); timeout 10 xdotool windowfocus --sync "$id"; sleep 0.3; }
gone() {
    for _ in $(seq 50); do xdotool search --onlyvisible --name "^$1\$" >/dev/null || return 0; sleep 0.1; done
    die "window \"$1\" did not close (were its values refused?)"
}
keys() { xdotool key --delay 80 "$@"; sleep 0.2; }
say() { xdotool type --delay 20 -- "$1"; }
# shot TITLE FILE: the window with the keyboard taken away to the root window,
# so that no text cursor, focus ring or focused selection colour shows, and
# taken until two pictures in a row agree, so that it is fully drawn.
shot() {
    local id
    id=$(win "$1")
    timeout 10 xdotool windowfocus --sync "$(xwininfo -root | awk '/Window id/ { print $4 }')"
    for _ in $(seq 20); do
        sleep 0.2
        import -window "$id" -strip "$work/shot.png"
        cmp -s "$work/shot.png" "$work/last.png" && break
        mv "$work/shot.png" "$work/last.png"
    done
    mv "$work/shot.png" "docs/$2.png" || die "$2.png: the window kept changing"
    rm -f "$work/last.png"
    focus "$1"
}

vornic=$PWD/build/src/vornic
(cd "$work" && exec timeout 300 "$vornic") 2>"$work/stderr" &
pid=$!

# The main window starts with the focus on "Select directory", keeps it on
# the control last used, and gives it back to the button that opened an
# editing window when that window closes.
focus Vornic; keys space
focus 'Select directory'; keys alt+o; gone 'Select directory'
focus Vornic; keys Tab; say Frogger; keys Tab space
keys shift+Tab; say 'Frogger Level Editor'; keys Tab space
# Tab from "Add app" past "Rename app" and "Remove app" into the list puts
# its cursor on the first row, Frogger, and space selects it; the next Tab
# reaches General information.
keys Tab Tab Tab space Tab space

# An editing window gives the keyboard to its first field.
focus 'Vornic - General information'
say 'Jane Doe'; keys Tab; say http://frogger.example.org; keys Tab; say jane.doe@example.org
keys Tab 1 Tab 2 Tab 0 Tab 7 Tab; say frogger.png
shot 'Vornic - General information' general-information
keys Tab Tab Tab space; gone 'Vornic - General information' # Browse, Cancel, OK

focus Vornic; keys Tab space # from General information to Runtime data
focus 'Vornic - Runtime settings'
say frogger-jdoe-01; keys Tab; say frogger; keys Tab; say bin
keys Tab Up Tab; say bin/frogger; keys Tab Tab; say --fullscreen # x11 mode: No X11
keys Tab Down Down Down Down # CPU frequency: 500; the switches keep their defaults
shot 'Vornic - Runtime settings' runtime-settings
keys Tab Tab Tab Tab space; gone 'Vornic - Runtime settings' # past the switches to OK

focus Vornic; keys Tab space # from Runtime data to Name and description
focus 'Vornic - Name and description'
# add CODE DESCRIPTION: from the locale field, then round to it again.
add() { say "$1"; keys Tab; say Frogger; keys Tab ctrl+a; say "$2"; keys ctrl+Tab space Tab Tab Tab Tab Tab; }
add en_US 'Guide the frog across a busy road and a fast river to its home on the far bank. Five homes to fill, three lives, and the traffic gets faster every level.'
add de_DE 'Bringe den Frosch über die Straße und den Fluss sicher nach Hause.'
add fr_FR 'Aidez la grenouille à traverser la route et la rivière.'
keys shift+Tab shift+Tab space # back past OK into the list: en_US
shot 'Vornic - Name and description' name-and-description
keys Tab space; gone 'Vornic - Name and description'

shot Vornic main-window
# Without a window manager to ask it to close, the main window is destroyed
# from outside, which the toolkit notes with one warning.
xdotool windowclose "$(win Vornic)"
status=0; wait "$pid" || status=$?
grep -v -e 'unexpectedly destroyed' -e '^$' "$work/stderr" >&2 || true
[[ $status == 0 ]] || die "vornic ended with status $status"
ls -l docs/{main-window,general-information,runtime-settings,name-and-description}.png
