#!/usr/bin/env bash
# The bash completion of pcw, driven as bash drives it, and held against pcw
# itself: every option it offers is one that the command takes, and every
# option of the command's synopsis is offered.
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
expect "Mes films/a b.avi.001.pcw Mes films/vieux/" join "Mes films/"
expect "Mes films/a b.avi.001.pcw Mes films/a b.avi.002.pcw Mes films/clip.001 Mes films/vieux/" \
    join --format generic "Mes films/"
expect "Mes films/a b.avi.001.pcw Mes films/a b.avi.002.pcw Mes films/clip.001 Mes films/vieux/" \
    split "Mes films/"
expect "dossier/" split notes.txt --folder d
expect "--no-verify" join a.001.pcw --no
expect "" join -- --n

# The options against the program's own synopsis and parser.
synopsis=$("$pcw" --help)
for command in split join info convert; do
    offered=$(complete_line "$command" x -- | tr ' ' '\n' | grep -v '^--help$' | sort | tr '\n' ' ')
    listed=$(printf '%s\n' "$synopsis" | awk -v c="$command" '
        $1 == "pcw" { on = ($2 == c) } on' | grep -o -- '--[a-z0-9-]*' | sort -u | tr '\n' ' ')
    if [ "$offered" != "$listed" ]; then
        echo "pcw $command: completion offers [$offered], synopsis lists [$listed]" >&2
        failed=1
    fi
done
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
