#!/bin/sh
# make-locales.sh - writes the locale catalogue data/locales.
#
# The catalogue is the list of codes a localised name and description may be
# stored under.  It is made once from glibc's list of supported locales (the
# file SUPPORTED of Debian's "locales" package) and committed; the build never
# regenerates it, so the shipped list does not depend on the build machine.
#
#   sh scripts/make-locales.sh [SUPPORTED] [OUTPUT]
#
# SUPPORTED defaults to /usr/share/i18n/SUPPORTED, OUTPUT to data/locales next
# to this script.  How each line of SUPPORTED becomes a code:
#   - the first field is the locale name, e.g. "de_DE.UTF-8", "de_DE@euro";
#   - its charset (".UTF-8", ".ISO-8859-15", ...) is removed, a modifier
#     ("@euro", "@latin", ...) is kept;
#   - only language_TERRITORY names remain (two or three lower-case letters,
#     "_", two upper-case letters, then the optional modifier): "C", "eo" and
#     the like are not locales a package text would be written for;
#   - a code longer than 18 characters is dropped, since Vornic reads at
#     most 18 characters per catalogue line;
#   - duplicates go; "en_US" comes first (the entry every application
#     needs), the rest follow in byte order.
#
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright The Vornic developers
set -eu

here=$(cd "$(dirname "$0")" && pwd)
supported=${1:-/usr/share/i18n/SUPPORTED}
output=${2:-$(dirname "$here")/data/locales}

if [ ! -r "$supported" ]; then
    echo "make-locales: cannot read $supported (install the \"locales\" package)" >&2
    exit 1
fi

tmp=$(mktemp "${TMPDIR:-/tmp}/locales.XXXXXX")
trap 'rm -f "$tmp"' EXIT

# Plain awk regular expressions without {n,m}, so mawk reads them too.
LC_ALL=C awk '
    /^[ \t]*(#|$)/ { next }
    {
        code = $1
        modifier = ""
        at = index(code, "@")
        if (at > 0) {
            modifier = substr(code, at)
            code = substr(code, 1, at - 1)
        }
        dot = index(code, ".")
        if (dot > 0)
            code = substr(code, 1, dot - 1)
        code = code modifier
        if (code !~ /^[a-z][a-z][a-z]?_[A-Z][A-Z](@[a-z]+)?$/)
            next
        if (length(code) > 18)
            next
        if (code != "en_US")
            print code
    }
' "$supported" | LC_ALL=C sort -u >"$tmp"

count=$(wc -l <"$tmp")
if [ "$count" -lt 150 ]; then
    echo "make-locales: only $count codes in $supported; expected at least 150" >&2
    exit 1
fi

{
    echo en_US
    cat "$tmp"
} >"$output"
echo "make-locales: wrote $((count + 1)) codes to $output"
