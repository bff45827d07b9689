#!/usr/bin/env bash
# The MIME package as a file manager reads it: the first part of a set is ours
# by its content even renamed, the other parts by their names, and a file that
# merely looks alike is not.
# Usage: mime-test.sh MIME_PACKAGE PCW
set -euo pipefail
package=$1 pcw=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

mkdir -p "$scratch/share/mime/packages"
cp "$package" "$scratch/share/mime/packages/"
errors=$(XDG_DATA_HOME=$scratch/share update-mime-database "$scratch/share/mime" 2>&1)
if [ -n "$errors" ]; then
    echo "update-mime-database: $errors" >&2
    exit 1
fi

head -c 3000000 /dev/urandom >"$scratch/film.avi"
HOME=$scratch XDG_CONFIG_HOME=$scratch/config "$pcw" split "$scratch/film.avi" --count 3 2>/dev/null
mv "$scratch/film.avi.001.pcw" "$scratch/renamed.bin"
printf 'Parcelwise\n' >"$scratch/notes.txt"  # the word without the length byte before it

failed=0
expect() {
    local type
    type=$(XDG_DATA_HOME=$scratch/share XDG_DATA_DIRS=/usr/share gio info -a standard::content-type "$scratch/$1" |
        sed -n 's/^ *standard::content-type: //p')
    if [ "$type" != "$2" ]; then
        echo "$1: $type, expected $2" >&2
        failed=1
    fi
}
expect renamed.bin application/x-parcelwise
expect film.avi.002.pcw application/x-parcelwise
expect film.avi.003.pcw application/x-parcelwise
expect notes.txt text/plain
exit $failed
