#!/usr/bin/env bash
# screenshots.sh - takes the pictures of the four windows in docs/ from the
# real windows under a private Xvfb, filled in for an example project (the
# application "Frogger"), and writes them over the committed ones:
#
#   docs/main-window.png           docs/general-information.png
#   docs/runtime-settings.png      docs/name-and-description.png
#
#   bash scripts/screenshots.sh [BUILD-DIR]     default: build/
#
# The pictures come from the test program docs_screenshots (ctest label
# "docs"), built here if needed; with the same fonts (fonts-dejavu-core, from
# scripts/deps.sh) the same pictures come out byte for byte, so "git status"
# shows whether a change to a window changed its picture.
#
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright The Vornic developers
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

bash scripts/deps.sh
if ! log=$(cmake -S . -B "$build" -DVORNIC_TESTS=ON 2>&1); then
    echo "$log" >&2
    exit 1
fi
cmake --build "$build" -j2 --target docs_screenshots

# Through ctest, so that the test runs exactly as registered (its private
# display, and its environment in a sanitizer build too).
if ! log=$(VORNIC_SCREENSHOT_DIR="$PWD/docs" \
    ctest --test-dir "$build" -R '^docs_screenshots$' --no-tests=error --output-on-failure 2>&1); then
    echo "$log" >&2
    echo "screenshots: taking the pictures failed" >&2
    exit 1
fi
ls -l docs/*.png
