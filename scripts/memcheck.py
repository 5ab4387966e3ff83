#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright The Vornic developers
#
# memcheck.py SRC_DIR VALGRIND SUPPRESSIONS PROGRAM [ARGS...] - runs the
# program under valgrind's memcheck and fails (status 1) on:
#
#   - every error that is not a leak: an invalid read or write, a jump on an
#     uninitialised value, a bad free, wherever it happens;
#   - every block definitely lost whose allocation was made for Vornic's own
#     code: walked outward from the allocator, its stack reaches a frame
#     whose source file lies under SRC_DIR before it reaches a main loop.
#
# A block lost under a main loop was allocated by the toolkit for an event or
# callback of its own, even when the loop runs inside one of our calls (a
# dialog's nested loop under ours, say); the toolkit loses such blocks by
# itself, and which ones changes from one build of it to the next.  A
# callback of ours that the loop runs is a frame of ours nearer the allocator,
# so what it loses still counts.  The loop is known by GLib's exported entry
# points: a build without symbols names no other frame of it.
# Keying the rule to our source files, not to the toolkit's frames, keeps it
# valid across toolkit upgrades.  What the toolkit loses synchronously under
# a call of ours is left to SUPPRESSIONS, keyed to its libraries and entry
# points.  The program's own status counts too.
import os
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

LOOP = {"g_main_context_dispatch", "g_main_context_iteration", "g_main_loop_run"}


def ours(frame, src):
    where = os.path.realpath(frame.findtext("dir", ""))
    return frame.find("file") is not None and (where + "/").startswith(src + "/")


def blames_us(error, src):
    for frame in error.find("stack").findall("frame"):
        if ours(frame, src):
            return True
        if frame.findtext("fn") in LOOP:
            return False
    return False


def describe(error):
    lines = [error.findtext("kind") + ": " + (error.findtext("what") or error.findtext("xwhat/text") or "")]
    for frame in error.find("stack").findall("frame"):
        place = frame.findtext("file")
        place = "%s:%s" % (place, frame.findtext("line")) if place else frame.findtext("obj", "?")
        lines.append("    %s (%s)" % (frame.findtext("fn", "???"), place))
    return "\n".join(lines)


def main():
    src = os.path.realpath(sys.argv[1])
    valgrind, suppressions, program = sys.argv[2], sys.argv[3], sys.argv[4:]
    with tempfile.NamedTemporaryFile(suffix=".xml") as log:
        status = subprocess.call([valgrind, "--xml=yes", "--xml-file=" + log.name, "--leak-check=full",
                                  "--num-callers=200", "--suppressions=" + suppressions] + program)
        root = ET.parse(log.name).getroot()
    failed = 0
    for error in root.findall("error"):
        kind = error.findtext("kind")
        if not kind.startswith("Leak_") or (kind == "Leak_DefinitelyLost" and blames_us(error, src)):
            print("memcheck: " + describe(error), file=sys.stderr)
            failed += 1
    print("memcheck: %d error(s) of ours; the program's status %d" % (failed, status), file=sys.stderr)
    return 1 if failed or status else 0


if __name__ == "__main__":
    sys.exit(main())
