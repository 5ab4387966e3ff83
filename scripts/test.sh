#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright The Vornic developers
#
# test.sh [PHASE...] - installs what is missing, then builds Vornic and runs
# its tests, by default in two phases:
#
#   plain  build/       warnings are errors; every test
#   asan   build-asan/  AddressSanitizer and UndefinedBehaviorSanitizer; every
#                       test but the benchmarks, memcheck and the install checks
#
# It needs no display (each test that needs one starts its own Xvfb) and no
# input.  The last line is "N passed, N failed" over all phases, a build that
# fails counting as a failure; the status is non-zero when anything failed.
set -uo pipefail
cd "$(dirname "$0")/.."
passed=0 failed=0
# The metainfo and the package carry a homepage only when the builder names
# one (cmake/Install.cmake says why); the checks of them need one, so the
# tests build with this stand-in.
homepage=https://vornic.example.org/

# phase DIR TITLE CMAKE-ARGS... [-- CTEST-ARGS...]: configures (always with the
# tests and the stand-in homepage, whatever an earlier configure chose), builds and
# tests one build directory; the configure log is shown only on failure.
phase() {
    local dir=$1 title=$2 cmake_args=() log
    shift 2
    while [[ $# -gt 0 && $1 != -- ]]; do cmake_args+=("$1"); shift; done
    [[ $# -gt 0 ]] && shift
    printf '\n==== %s (%s) ====\n' "$title" "$dir"
    log=$(mktemp)
    if ! cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORNIC_TESTS=ON \
        -DVORNIC_HOMEPAGE="$homepage" "${cmake_args[@]}" >"$log" 2>&1 ||
        ! cmake --build "$dir" -j2 >>"$log" 2>&1; then
        cat "$log"; rm -f "$log"
        echo "test: building $dir failed"; failed=$((failed + 1))
        return
    fi
    ctest --test-dir "$dir" --output-on-failure -j2 "$@" </dev/null 2>&1 | tee "$log"
    passed=$((passed + $(grep -cE '^ *[0-9]+/[0-9]+ Test +#[0-9]+: .* Passed' "$log")))
    failed=$((failed + $(grep -cE '^ *[0-9]+/[0-9]+ Test +#[0-9]+: .*(Failed|Timeout|Not Run|Exception)' "$log")))
    rm -f "$log"
}

if ! bash scripts/deps.sh test; then
    echo "0 passed, 1 failed"
    exit 1
fi
phases=("${@:-plain asan}")
for name in ${phases[*]}; do
    case $name in
    plain) phase build "plain build, warnings are errors" -DVORNIC_WERROR=ON -DVORNIC_SANITIZE=OFF \
               -DVORNIC_BENCH=ON ;;
    asan) phase build-asan "AddressSanitizer and UndefinedBehaviorSanitizer" -DVORNIC_WERROR=OFF \
              -DVORNIC_SANITIZE=ON -DVORNIC_BENCH=OFF -- -LE 'bench|memcheck|install' ;;
    *) echo "test: no phase $name (plain, asan)"; failed=$((failed + 1)) ;;
    esac
done
printf '\n==== summary ====\n%d passed, %d failed\n' "$passed" "$failed"
[[ $failed == 0 && $passed -gt 0 ]]
