#!/usr/bin/env bash
# deps.sh - installs what building, running and testing Vornic needs on
# Debian 12.  Idempotent and quiet: when every package is installed already it
# does not touch apt at all, so repeated runs cost a fraction of a second.
#
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright The Vornic developers
set -euo pipefail

packages=(
    # build
    cmake g++ make pkg-config libgtk2.0-dev libx11-dev
    # tests: googletest, a virtual display, X clients, screenshots and fonts
    # so that text renders in them
    libgtest-dev xvfb xauth x11-utils xdotool imagemagick fonts-dejavu-core
    # fuzzing (clang's libFuzzer) and memory checks
    clang libclang-rt-14-dev valgrind
    # checks of the installed files and of the package
    desktop-file-utils appstream man-db dpkg-dev file
)

# One dpkg-query for all: it names the installed ones, the rest are missing.
declare -A installed=()
while read -r status package; do
    [[ $status == installed ]] && installed[$package]=1
done < <(dpkg-query -W -f='${db:Status-Status} ${Package}\n' "${packages[@]}" 2>/dev/null || true)
missing=()
for package in "${packages[@]}"; do
    [[ -n ${installed[$package]:-} ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=()
if [[ $(id -u) != 0 ]]; then
    if ! command -v sudo >/dev/null; then
        echo "deps: these packages are missing and installing them needs root:" >&2
        echo "  ${missing[*]}" >&2
        exit 1
    fi
    sudo=(sudo)
fi

echo "deps: installing ${missing[*]}"
log=$(mktemp "${TMPDIR:-/tmp}/vornic-deps.XXXXXX")
trap 'rm -f "$log"' EXIT
apt=("${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -q)
if ! "${apt[@]}" update >"$log" 2>&1 ||
    ! "${apt[@]}" install -y --no-install-recommends "${missing[@]}" >>"$log" 2>&1; then
    cat "$log" >&2
    echo "deps: installing packages failed" >&2
    exit 1
fi
