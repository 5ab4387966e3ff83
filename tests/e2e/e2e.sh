#!/usr/bin/env bash
# e2e.sh CASE VORNIC XWIN LOCALES - runs the real vornic binary in a fresh
# working directory and drives its windows from outside with xwin, as a user
# with a window manager would.  Runs under tests/support/with-display.sh.
#
# Every wait is bounded: xwin gives up after $wait seconds, and vornic itself
# runs under timeout, so a window that never appears or a process that does
# not end fails the case instead of hanging it.  Status 77 means skipped.
set -uo pipefail

case=$1 vornic=$2 xwin=$3 locales=$4
wait=20     # seconds for a window to appear
limit=60    # seconds for the whole vornic run

# Nothing is released at the end by design, and the toolkit's libraries keep
# allocations until exit; a leak report would only replace the exit status.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

work=$(mktemp -d "${TMPDIR:-/tmp}/vornic-e2e.XXXXXX")
pid=
as_user=()
cleanup() {
    [[ -n $pid ]] && kill "$pid" 2>/dev/null
    chmod -R u+rwx "$work" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL [$case]: $*" >&2
    echo "--- windows:" >&2
    "$xwin" list >&2
    echo "--- vornic stdout:" >&2
    cat "$work/stdout" >&2 2>/dev/null
    echo "--- vornic stderr:" >&2
    cat "$work/stderr" >&2 2>/dev/null
    exit 1
}

# Starts vornic in $work/run with the given arguments; output goes to files
# outside its working directory.
start() {
    (cd "$work/run" && exec timeout -k 5 "$limit" "${as_user[@]}" "$vornic" "$@" \
        >"$work/stdout" 2>"$work/stderr" </dev/null) &
    pid=$!
}

window() {
    "$xwin" wait "$1" "$wait" || fail "no window \"$1\""
}

close() {
    "$xwin" close "$1" "$wait" || fail "could not close \"$1\""
}

# Waits for vornic to end and checks its exit status.
expect_status() {
    local status
    wait "$pid"
    status=$?
    pid=
    [[ $status == 124 || $status == 137 ]] && fail "vornic did not end within $limit s"
    [[ $status == "$1" ]] || fail "exit status $status, expected $1"
}

# Standard output carries only deleted-entry notices, so a run that deletes
# nothing prints nothing; any toolkit warning on standard error is a bug.
expect_quiet() {
    [[ -s $work/stdout ]] && fail "unexpected standard output"
    [[ -s $work/stderr ]] && fail "unexpected standard error"
    return 0
}

# The main window appears and closing it ends the program with status 0.
run_to_main_window() {
    start "$@"
    window Vornic >/dev/null
    close Vornic
    expect_status 0
    expect_quiet
}

# Without a readable catalogue the error dialog sits over the main window, and
# dismissing it ends the program with status 254.
run_to_fatal_error() {
    local main owner
    start
    main=$("$xwin" wait Vornic "$wait") || fail "no window \"Vornic\""
    window "Fatal error" >/dev/null
    owner=$("$xwin" transient-for "Fatal error" "$wait") || fail "dialog vanished"
    [[ $owner == "$main" ]] || fail "dialog is transient for $owner, not the main window $main"
    # The program must wait for the user: it is still there with the dialog up.
    kill -0 "$pid" 2>/dev/null || fail "vornic ended before the dialog was dismissed"
    close "Fatal error"
    expect_status 254
    [[ -s $work/stdout ]] && fail "unexpected standard output"
    return 0
}

mkdir "$work/run"
case $case in
catalogue)
    cp "$locales" "$work/run/locales"
    run_to_main_window
    ;;
empty-catalogue)
    : >"$work/run/locales"
    run_to_main_window
    ;;
toolkit-options)
    # The toolkit takes its own options out of the command line; the program
    # has none and ignores what is left.  The window's class proves that
    # --class and --name reached the toolkit rather than being dropped.
    cp "$locales" "$work/run/locales"
    start --sync --g-fatal-warnings --class=Foo --name=bar extra
    window Vornic >/dev/null
    class=$("$xwin" class Vornic "$wait") || fail "no WM_CLASS"
    [[ $class == "bar Foo" ]] || fail "WM_CLASS is \"$class\", expected \"bar Foo\""
    close Vornic
    expect_status 0
    expect_quiet
    ;;
missing-catalogue)
    run_to_fatal_error
    ;;
catalogue-directory)
    mkdir "$work/run/locales"
    run_to_fatal_error
    ;;
unreadable-catalogue)
    # Root reads any file, so root runs this case as an unprivileged user.
    if [[ $(id -u) == 0 ]]; then
        command -v setpriv >/dev/null || { echo "skipped: root without setpriv"; exit 77; }
        as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
        chmod 755 "$work" "$work/run"
    fi
    cp "$locales" "$work/run/locales"
    chmod 000 "$work/run/locales"
    run_to_fatal_error
    ;;
*)
    echo "e2e.sh: unknown case $case" >&2
    exit 2
    ;;
esac
echo "ok [$case]"
