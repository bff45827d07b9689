#!/usr/bin/env bash
# The bash completion of pcw, driven as bash drives it, and held against
# `pcw --help` in both directions: the commands, each command's options and the
# kinds of --format that it offers are those that the help lists, no more and
# no fewer.
# Usage: completion-test.sh COMPLETION PCW
set -uo pipefail
completion=$(realpath "$1") pcw=$(realpath "$2")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# shellcheck source=/dev/null
source "$completion"

failed=0
# complete WORD... : the completions of the last word of "pcw WORD...".
complete_line() {
    COMP_WORDS=(pcw "$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _pcw
    printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ' | sed 's/ $//'
}
expect() {
    local wanted=$1
    shift
    local got
    got=$(complete_line "$@")
    if [ "$got" != "$wanted" ]; then
        echo "pcw $*: got [$got], expected [$wanted]" >&2
        failed=1
    fi
}

expect "info" i
expect "convert" co
expect "--help --version" --
expect "easysplit" join a.001 --format e
expect "easysplit" join a.001 --format = e
expect "1048576 16384" split f --buffer 1
expect "" split f --size ""

cd "$scratch" || exit 1
mkdir -p "Mes films/vieux" dossier
touch "Mes films/a b.avi.001.pcw" "Mes films/a b.avi.002.pcw" "Mes films/clip.001" notes.txt
expect "Mes films/" join M
# Any part without --format, since pcw finds the kind; a native set's first part with it.
expect "Mes films/a b.avi.001.pcw Mes films/a b.avi.002.pcw Mes films/clip.001 Mes films/vieux/" \
    join "Mes films/"
expect "Mes films/a b.avi.001.pcw Mes films/vieux/" join --format native "Mes films/"
expect "Mes films/a b.avi.001.pcw Mes films/vieux/" verify --format = native "Mes films/"
expect "Mes films/a b.avi.001.pcw Mes films/a b.avi.002.pcw Mes films/clip.001 Mes films/vieux/" \
    join --format generic "Mes films/"
expect "Mes films/a b.avi.001.pcw Mes films/vieux/" convert "Mes films/"
expect "Mes films/a b.avi.001.pcw Mes films/a b.avi.002.pcw Mes films/clip.001 Mes films/vieux/" \
    split "Mes films/"
expect "dossier/" split notes.txt --folder d
expect "--no-verify" join a.001.pcw --no
expect "" join -- --n

# What the completion offers against what `pcw --help` lists, each list sorted
# and on one line; a word in one and not the other fails.
synopsis=$("$pcw" --help)
words() { tr -s ', ' '\n' | grep -v '^$' | sort -u | tr '\n' ' ' | sed 's/ $//'; }
same() {
    if [ "$2" != "$3" ]; then
        echo "$1: completion offers [$2], pcw --help lists [$3]" >&2
        failed=1
    fi
}
# Commands: the second word of each synopsis line; options of pcw alone: the
# "--" words of its own line ("pcw --help | --version").
commands=$(printf '%s\n' "$synopsis" | awk '$1 == "pcw" && $2 !~ /^-/ { print $2 }' | words)
alone=$(printf '%s\n' "$synopsis" | awk '$1 == "pcw" && $2 ~ /^-/' | grep -o -- '--[a-z0-9-]*' | words)
[ -n "$commands" ] || { echo "no command found in pcw --help" >&2; exit 1; }
same "commands" "$(complete_line "" | words)" "$(printf '%s %s' "$commands" "$alone" | words)"
# Each command's options: those of its synopsis lines, --help aside.
for command in $commands; do
    listed=$(printf '%s\n' "$synopsis" | awk -v c="$command" '
        $1 == "pcw" { on = ($2 == c) } on' | grep -o -- '--[a-z0-9-]*' | words)
    same "pcw $command" "$(complete_line "$command" x -- | tr ' ' '\n' | grep -v '^--help$' | words)" \
        "$listed"
done
# Kinds: the list after "--format TYPE" and its continuation lines.
kinds=$(printf '%s\n' "$synopsis" | awk '
    /^  --format / { on = 1; sub(/^[^:]*: */, ""); print; next }
    on && /^    / { print; next }
    { on = 0 }' | words)
[ -n "$kinds" ] || { echo "no kind found in pcw --help" >&2; exit 1; }
same "--format" "$(complete_line info x --format "" | words)" "$kinds"
for kind in $(complete_line info x --format ""); do
    if [[ $("$pcw" info missing.001 --format "$kind" 2>&1) == *"type de jeu inconnu"* ]]; then
        echo "pcw does not know the kind $kind" >&2
        failed=1
    fi
done
for size in $(complete_line join x --buffer ""); do
    if [[ $("$pcw" join missing.001.pcw --buffer "$size" 2>&1) == *"--buffer attend"* ]]; then
        echo "pcw does not take the buffer $size" >&2
        failed=1
    fi
done
exit $failed
