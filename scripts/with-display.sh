#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright The Vornic developers
#
# with-display.sh COMMAND... - runs a command under an Xvfb of its own, which
# picks a free display (-displayfd) so that tests run side by side, with a
# private HOME (the file chooser keeps its state there, and Vornic's tests
# must not see the desktop's modules or settings) and LC_ALL=C.UTF-8.
set -euo pipefail
home=$(mktemp -d "${TMPDIR:-/tmp}/vornic-home.XXXXXX")
mkdir -p "$home/.config" "$home/.local/share" "$home/.cache"
mkfifo "$home/fd"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$home/fd" 2>"$home/xvfb.log" &
trap 'kill $!; rm -rf "$home"' EXIT
read -r -t 30 display <"$home/fd" || { cat "$home/xvfb.log" >&2; exit 1; }
unset GTK_MODULES SESSION_MANAGER XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME
DISPLAY=:$display HOME=$home LC_ALL=C.UTF-8 NO_AT_BRIDGE=1 "$@"
