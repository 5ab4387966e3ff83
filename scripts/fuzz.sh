#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright The Vornic developers
#
# fuzz.sh [SECONDS] [TARGET] - fuzzes the catalogue loader for SECONDS
# (default 60) over a scratch copy of fuzz/corpus/catalogue, so nothing is
# written into the repository.  TARGET is the fuzz_catalogue program; by
# default it is built in build-fuzz/ with clang.  A finding is copied to
# fuzz-findings/ in the working directory and the status is non-zero.
set -euo pipefail
seconds=${1:-60}
repo=$(cd "$(dirname "$0")/.." && pwd)
target=${2:-}
if [[ -z $target ]]; then
    [[ -f $repo/build-fuzz/CMakeCache.txt ]] ||
        CC=clang CXX=clang++ cmake -S "$repo" -B "$repo/build-fuzz" -DVORNIC_FUZZ=ON -DVORNIC_TESTS=OFF \
            -DVORNIC_BENCH=OFF >/dev/null
    cmake --build "$repo/build-fuzz" -j2 --target fuzz_catalogue >/dev/null
    target=$repo/build-fuzz/fuzz/fuzz_catalogue
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/vornic-fuzz.XXXXXX")
trap 'rm -rf "$work"' EXIT
cp -r "$repo/fuzz/corpus/catalogue" "$work/corpus"
mkdir -p "$work/findings"
if ! "$target" -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$work/findings/" "$work/corpus" >"$work/log" 2>&1; then
    tail -n 40 "$work/log" >&2
    mkdir -p fuzz-findings && cp "$work"/findings/* fuzz-findings/ 2>/dev/null
    echo "fuzz: a finding; its input is in $(pwd)/fuzz-findings" >&2
    exit 1
fi
grep -E '^#[0-9]+ +DONE' "$work/log" || tail -n 1 "$work/log"
