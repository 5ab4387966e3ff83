#!/usr/bin/env bash
# fuzz.sh - builds the libFuzzer targets (if needed), fuzzes each for a
# bounded time and replays the committed regression inputs.
#
#   bash scripts/fuzz.sh [SECONDS]      default: 60 seconds per target
#
# Environment: VORNIC_FUZZ_BUILD, the build directory (default build-fuzz/;
# configured with clang when it has no cache yet); VORNIC_FUZZ_TARGETS, the
# targets to run (default: catalogue forms table).
#
# Each target fuzzes a copy of fuzz/corpus/<target>/ in a scratch directory,
# so nothing new is ever written into the repository.  Any finding (crash,
# failed check, timeout, leak, memory limit) or a failing regression input
# makes the exit status non-zero; the inputs that failed are copied to
# <build>/fuzz-findings/<target>/ and their paths printed.  Commit a finding
# as fuzz/regressions/<target>/<what-it-found> together with its fix.
#
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright The Vornic developers
set -uo pipefail

seconds=${1:-60}
if ! [[ $seconds =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: $0 [SECONDS]" >&2
    exit 2
fi
repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${VORNIC_FUZZ_BUILD:-$repo/build-fuzz}")
read -r -a targets <<<"${VORNIC_FUZZ_TARGETS:-catalogue forms table}"
findings=$build/fuzz-findings

if [[ ! -f $build/CMakeCache.txt ]]; then
    CC=clang CXX=clang++ cmake -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DVORNIC_FUZZ=ON -DVORNIC_TESTS=OFF -DVORNIC_BENCH=OFF >/dev/null || exit 1
fi
cmake --build "$build" -j2 --target "${targets[@]/#/fuzz_}" >/dev/null || {
    echo "fuzz: build failed in $build" >&2
    exit 1
}

# The catalogue target writes a file per input: keep its scratch space in
# memory when the machine offers it.
scratch_base=${TMPDIR:-/tmp}
[[ -d /dev/shm && -w /dev/shm ]] && scratch_base=/dev/shm
work=$(mktemp -d "$scratch_base/vornic-fuzz.XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT

# Limits: an input may take 10 s, the process 2 GiB.  The lengths allow a
# few hundred operations or a dozen long strings per input.
declare -A max_len=([catalogue]=4096 [forms]=16384 [table]=4096)
limits=(-timeout=10 -rss_limit_mb=2048)

# keep_findings TARGET LOG FILE...: saves the inputs that failed and says
# where they are.
keep_findings() {
    local target=$1 log=$2 file
    shift 2
    mkdir -p "$findings/$target"
    tail -n 40 "$log" >&2
    for file in "$@"; do
        cp "$file" "$findings/$target/"
        echo "fuzz: $target: failing input: $findings/$target/$(basename "$file")" >&2
    done
}

failed=0
for target in "${targets[@]}"; do
    binary=$build/fuzz/fuzz_$target
    dir=$work/$target
    mkdir -p "$dir/corpus" "$dir/artifacts" "$dir/tmp"
    cp -r "$repo/fuzz/corpus/$target/." "$dir/corpus/" 2>/dev/null

    echo "fuzz: $target: ${seconds}s"
    # Paths are absolute: the catalogue target works in a directory of its own.
    if ! TMPDIR=$dir/tmp "$binary" -max_total_time="$seconds" -max_len="${max_len[$target]:-4096}" \
        "${limits[@]}" -artifact_prefix="$dir/artifacts/" "$dir/corpus" >"$dir/log" 2>&1; then
        keep_findings "$target" "$dir/log" "$dir"/artifacts/*
        failed=1
    fi
    grep -E '^#[0-9]+[[:space:]]+DONE' "$dir/log" | sed "s/^/fuzz: $target: /"

    mapfile -t inputs < <(find "$repo/fuzz/regressions/$target" -type f ! -name '.*' 2>/dev/null | sort)
    for input in "${inputs[@]}"; do
        if ! TMPDIR=$dir/tmp "$binary" "${limits[@]}" "$input" >"$dir/replay.log" 2>&1; then
            echo "fuzz: $target: regression input fails again: $input" >&2
            keep_findings "$target" "$dir/replay.log" "$input"
            failed=1
        fi
    done
    echo "fuzz: $target: ${#inputs[@]} regression inputs replayed"
done

if [[ $failed != 0 ]]; then
    echo "fuzz: FINDINGS (see above)" >&2
    exit 1
fi
echo "fuzz: no findings"
