#!/usr/bin/env bash
# Runs a command under its own Xvfb, with a private HOME (the file chooser
# keeps its state there) and LC_ALL=C.UTF-8 (stock labels follow the locale).
# Xvfb picks a free display itself (-displayfd), so runs can go side by side.
set -euo pipefail

home=$(mktemp -d "${TMPDIR:-/tmp}/vornic-home.XXXXXX")
fifo="$home/.displayfd"
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fifo" 2>"$home/.xvfb.log" &
xvfb=$!
cleanup() {
    kill "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
    rm -rf "$home"
}
trap cleanup EXIT

if ! read -r -t 30 number <"$fifo"; then
    echo "with-display: Xvfb did not start" >&2
    cat "$home/.xvfb.log" >&2
    exit 1
fi

export DISPLAY=":$number"
export HOME="$home"
export XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" XDG_CACHE_HOME="$home/.cache"
# GTK writes its recently-used list there: a missing folder is a warning.
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
export LC_ALL=C.UTF-8
export NO_AT_BRIDGE=1
# Modules from the desktop (an input method, a bridge to a session's
# accessibility bus) must not reach the tests; a test that needs one names it
# in VORNIC_TEST_GTK_MODULES.
unset GTK_MODULES SESSION_MANAGER
if [[ -n ${VORNIC_TEST_GTK_MODULES:-} ]]; then
    export GTK_MODULES=$VORNIC_TEST_GTK_MODULES
fi
"$@"
