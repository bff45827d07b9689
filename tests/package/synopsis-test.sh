#!/usr/bin/env bash
# The manual against pcw's own help: its SYNOPSIS has the same commands with
# the same options and arguments, in the same order, and its OPTIONS give each
# of these options an entry of its own. pcw speaks the language that the
# caller's environment chooses, which must be the manual's: the arguments'
# names are words of that language.
# Usage: synopsis-test.sh MANUAL PCW
set -euo pipefail
manual=$1 pcw=$2
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
failed=0

# One command a line, blanks collapsed: from the first line that starts pcw
# to the blank line after it, whatever the heading above says.
from_help=$(HOME=$home XDG_CONFIG_HOME=$home "$pcw" --help |
    awk '/^  pcw / { on = 1 } on && /^$/ { on = 0; done = 1 } on && !done' |
    awk '$1 == "pcw" && NR > 1 { print "" } { printf "%s ", $0 } END { print "" }' |
    tr -s ' ' | sed 's/^ //; s/ $//')
[ -n "$from_help" ] || { echo "no synopsis in pcw --help" >&2; exit 1; }
page=$(MANWIDTH=1000 LC_ALL=C.UTF-8 man -E UTF-8 -l "$manual" 2>/dev/null |
    sed 's/\xe2\x80\x90/-/g; s/\xe2\x88\x92/-/g')
# The lines of a section, up to the next heading.
section() { printf '%s\n' "$page" | awk -v s="$1" '$0 == s { on = 1; next } on && /^[^ ]/ { exit } on'; }

from_manual=$(section SYNOPSIS | awk NF | tr -s ' ' | sed 's/^ //; s/ $//')
if [ "$from_help" != "$from_manual" ]; then
    echo "$manual: its SYNOPSIS differs from pcw --help:" >&2
    diff <(printf '%s\n' "$from_help") <(printf '%s\n' "$from_manual") >&2 || true
    failed=1
fi

# The entries' tags stand at the section's first indent, their text further
# in, or on the same line after two blanks at least.
options() { grep -o -- '--[a-z0-9-]*' | sort -u; }
undescribed=$(comm -23 <(printf '%s\n' "$from_help" | options) \
    <(section OPTIONS | grep -E '^ {7}-' | sed -E 's/^ +//; s/  .*//' | options))
if [ -n "$undescribed" ]; then
    echo "$manual: OPTIONS has no entry for" $undescribed >&2
    failed=1
fi
exit $failed
