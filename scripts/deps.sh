#!/usr/bin/env bash
# deps.sh - installs what Vornic needs on Debian 12, 13 or unstable, in one
# of two sets:
#
#   bash scripts/deps.sh run     building and running it (scripts/run.sh)
#   bash scripts/deps.sh test    that, and everything the tests, benchmarks
#                                and package checks use (the default;
#                                scripts/test.sh)
#
# Idempotent and quiet: when every package is installed already it does not
# touch apt at all, so repeated runs cost a fraction of a second.  Packages
# come without their Recommends, so whatever a test loads is named here.
#
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright The Vornic developers
set -euo pipefail

run_packages=(cmake g++ make pkg-config libgtk2.0-dev)
test_packages=(
    # the benchmark's own X client
    libx11-dev
    # tests: googletest, a virtual display, X clients to drive and read the
    # real program, screenshots, and fonts so that text renders
    libgtest-dev xvfb xauth x11-utils xdotool imagemagick fonts-dejavu-core
    # memory checks, and the reader of valgrind's report
    valgrind python3
    # checks of the installed files and of the package
    appstream dpkg-dev file lintian
)

case ${1:-test} in
    run) packages=("${run_packages[@]}") ;;
    test) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
    *) echo "usage: deps.sh [run|test]" >&2; exit 2 ;;
esac

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

# What a root shell must run when this script cannot do it itself.
tell_root() {
    echo "deps: $1; as root, run:" >&2
    echo "    apt-get update && apt-get install -y --no-install-recommends ${missing[*]}" >&2
    exit 1
}

sudo=()
if [[ $(id -u) != 0 ]]; then
    command -v sudo >/dev/null || tell_root "packages are missing and installing them needs root"
    sudo=(sudo)
fi

echo "deps: installing ${missing[*]}"
log=$(mktemp "${TMPDIR:-/tmp}/vornic-deps.XXXXXX")
trap 'rm -f "$log"' EXIT
apt=("${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -q)
if ! "${apt[@]}" update >"$log" 2>&1 ||
    ! "${apt[@]}" install -y --no-install-recommends "${missing[@]}" >>"$log" 2>&1; then
    cat "$log" >&2
    tell_root "installing packages failed"
fi
