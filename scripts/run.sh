#!/usr/bin/env bash
# run.sh - installs what is missing, builds Vornic (build/) and starts it with
# the shipped locale catalogue.  Arguments go to vornic (the toolkit's own
# options, such as --sync, are the only ones it takes).
#
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright The Vornic developers
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh run
# Only the program is built, so the configure step must not ask for the
# test and benchmark tools (scripts/test.sh configures them back on).
if ! log=$(cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORNIC_TESTS=OFF -DVORNIC_BENCH=OFF 2>&1); then
    echo "$log" >&2
    exit 1
fi
cmake --build build -j2 --target vornic

# Vornic is a desktop program; without a display the toolkit would only
# stop with a terse error, so say what to do instead.
if [[ -z ${DISPLAY:-} ]]; then
    cat >&2 <<'MSG'
run: Vornic needs a display, and $DISPLAY is not set.
Start it from a desktop session, or run it under a virtual display:
    xvfb-run -a bash scripts/run.sh
MSG
    exit 1
fi

# The program reads "locales" from its working directory, and finds its
# icon in data/icons/hicolor as it would in an installed share directory.
cd data
export XDG_DATA_DIRS="$PWD:${XDG_DATA_DIRS:-/usr/local/share:/usr/share}"
exec ../build/src/vornic "$@"
