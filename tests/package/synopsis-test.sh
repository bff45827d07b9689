#!/usr/bin/env bash
# The manual's SYNOPSIS against pcw's own: the same commands with the same
# options and arguments, in the same order.
# Usage: synopsis-test.sh MANUAL PCW
set -euo pipefail
manual=$1 pcw=$2
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT

# One command a line, blanks collapsed.
from_help=$(HOME=$home XDG_CONFIG_HOME=$home "$pcw" --help |
    awk '/^Utilisation :/ { on = 1; next } on && /^$/ { on = 0; done = 1 } on && !done' |
    awk '$1 == "pcw" && NR > 1 { print "" } { printf "%s ", $0 } END { print "" }' |
    tr -s ' ' | sed 's/^ //; s/ $//')
from_manual=$(MANWIDTH=1000 LC_ALL=C.UTF-8 man -E UTF-8 -l "$manual" 2>/dev/null |
    sed 's/\xe2\x80\x90/-/g; s/\xe2\x88\x92/-/g' |
    awk '/^SYNOPSIS/ { on = 1; next } on && /^[^ ]/ { on = 0; done = 1 } on && !done && NF' |
    tr -s ' ' | sed 's/^ //; s/ $//')
if [ "$from_help" != "$from_manual" ]; then
    echo "the manual's SYNOPSIS differs from pcw --help:" >&2
    diff <(printf '%s\n' "$from_help") <(printf '%s\n' "$from_manual") >&2 || true
    exit 1
fi
