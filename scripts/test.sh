#!/usr/bin/env bash
# test.sh - installs what is missing, builds Vornic and runs every test:
#
#   plain   build/       warnings are errors; all tests, every label
#   asan    build-asan/  AddressSanitizer + UndefinedBehaviorSanitizer; the
#                        same tests, less the labels in asan_skip_labels
#   fuzz    build-fuzz/  clang + libFuzzer; the fuzz smoke run (only when
#                        fuzz/ exists)
#
#   bash scripts/test.sh [PHASE...]     default: all phases, in that order
#
# Needs no display (each GUI test starts its own Xvfb, so ctest runs them side
# by side) and no input.  The last line is always "N passed, N failed", the
# totals over all runs; a build that fails counts as one failure.  The exit
# status is non-zero when anything failed.
#
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright The Vornic developers
set -uo pipefail
cd "$(dirname "$0")/.."

jobs=2
passed=0
failed=0

# Labels kept out of the sanitizer run: timings and instruction counts
# measure the sanitizer rather than Vornic, valgrind cannot run sanitized
# binaries, and the installed files do not change with the instrumentation.
asan_skip_labels='bench-smoke|memcheck|valgrind|install|no-asan'

phase() {
    printf '\n==== %s ====\n' "$*"
}

note_failure() {
    echo "test: FAILED: $*"
    failed=$((failed + 1))
}

# configure_and_build DIR CMAKE-ARGS...: configures DIR from this tree and
# builds everything in it.  The configure log is shown only when it fails.
# Each phase names every VORNIC_ option, so that a cache left by a hand-made
# configure cannot change what the phase builds and runs.
configure_and_build() {
    local dir=$1 log
    shift
    log=$(mktemp "${TMPDIR:-/tmp}/vornic-configure.XXXXXX")
    if ! cmake -S . -B "$dir" "$@" >"$log" 2>&1; then
        cat "$log"
        rm -f "$log"
        note_failure "configuring $dir"
        return 1
    fi
    rm -f "$log"
    if ! cmake --build "$dir" -j"$jobs"; then
        note_failure "building $dir"
        return 1
    fi
}

# run_ctest DIR CTEST-ARGS...: runs the tests of DIR and adds its counts to
# the totals.  Skipped tests count as neither.
run_ctest() {
    local dir=$1 log status ran bad
    shift
    log=$(mktemp "${TMPDIR:-/tmp}/vornic-ctest.XXXXXX")
    ctest --test-dir "$dir" --output-on-failure -j"$jobs" --no-tests=ignore "$@" \
        </dev/null 2>&1 | tee "$log"
    status=${PIPESTATUS[0]}
    ran=$(grep -cE '^ *[0-9]+/[0-9]+ Test +#[0-9]+: .* Passed +[0-9.]+ sec' "$log")
    bad=$(sed -nE 's/.*[0-9]+% tests passed, ([0-9]+) tests? failed out of [0-9]+.*/\1/p' "$log" | tail -n 1)
    rm -f "$log"
    passed=$((passed + ran))
    failed=$((failed + ${bad:-0}))
    if [[ $status != 0 && ${bad:-0} == 0 ]]; then
        note_failure "ctest in $dir ended with status $status"
    fi
}

# run_script SCRIPT ARGS...: a check that is one script counts as one test.
run_script() {
    if bash "$@" </dev/null; then
        passed=$((passed + 1))
    else
        note_failure "$1"
    fi
}

phase_plain() {
    phase "plain build (build/, warnings are errors)"
    configure_and_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORNIC_WERROR=ON \
        -DVORNIC_SANITIZE=OFF -DVORNIC_TESTS=ON -DVORNIC_BENCH=ON -DVORNIC_FUZZ=OFF || return
    phase "plain tests"
    run_ctest build
}

phase_asan() {
    phase "sanitizer build (build-asan/, ASan + UBSan)"
    configure_and_build build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORNIC_WERROR=OFF \
        -DVORNIC_SANITIZE=ON -DVORNIC_TESTS=ON -DVORNIC_BENCH=OFF -DVORNIC_FUZZ=OFF || return
    phase "sanitizer tests (without labels $asan_skip_labels)"
    run_ctest build-asan -LE "$asan_skip_labels"
}

# ---- Hook: fuzzing -------------------------------------------------------
# fuzz/ builds the libFuzzer targets with clang.  Its smoke run is the first
# of: the ctest label fuzz-smoke; a script fuzz/smoke.sh that gets the build
# directory as its argument; scripts/fuzz.sh for $fuzz_seconds per target.
# The exit status of a script is its result.
fuzz_seconds=15
phase_fuzz() {
    if [[ ! -f fuzz/CMakeLists.txt ]]; then
        phase "fuzz: no fuzz/ directory, nothing to do"
        return
    fi
    phase "fuzz build (build-fuzz/, clang + libFuzzer)"
    configure_and_build build-fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORNIC_FUZZ=ON -DVORNIC_TESTS=ON -DVORNIC_BENCH=OFF \
        -DVORNIC_SANITIZE=OFF -DVORNIC_WERROR=OFF || return
    if ctest --test-dir build-fuzz -N -L fuzz-smoke | grep -qE 'Total Tests: [1-9]'; then
        phase "fuzz smoke (ctest label fuzz-smoke)"
        run_ctest build-fuzz -L fuzz-smoke
    elif [[ -f fuzz/smoke.sh ]]; then
        phase "fuzz smoke (fuzz/smoke.sh)"
        run_script fuzz/smoke.sh build-fuzz
    elif [[ -f scripts/fuzz.sh ]]; then
        phase "fuzz smoke (scripts/fuzz.sh, $fuzz_seconds s per target)"
        VORNIC_FUZZ_BUILD=build-fuzz run_script scripts/fuzz.sh "$fuzz_seconds"
    else
        phase "fuzz: targets built; no fuzz-smoke label, fuzz/smoke.sh or scripts/fuzz.sh to run"
    fi
}

# ---- Hook: further phases ------------------------------------------------
# Every label runs in the plain phase.  A label that needs a build of its
# own gets a phase_NAME function here, built with configure_and_build and run
# with run_ctest DIR -L LABEL, and its name added to all_phases; a label
# that must stay out of the sanitizer run goes into asan_skip_labels above.
all_phases=(plain asan fuzz)

phase "dependencies"
if ! bash scripts/deps.sh test; then
    note_failure "installing dependencies"
    echo "$passed passed, $failed failed"
    exit 1
fi

phases=("$@")
[[ ${#phases[@]} -gt 0 ]] || phases=("${all_phases[@]}")
for name in "${phases[@]}"; do
    if ! declare -F "phase_$name" >/dev/null; then
        note_failure "unknown phase $name (phases: ${all_phases[*]})"
        continue
    fi
    "phase_$name"
done

phase "summary"
echo "$passed passed, $failed failed"
[[ $failed == 0 && $passed -gt 0 ]]
