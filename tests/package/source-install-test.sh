#!/usr/bin/env bash
# An install from the build straight into a prefix, as a user makes it into
# ~/.local: right after it, with no start of the window, the desktop's tools
# give the parts their type (by name, and a first part by its content, even
# renamed) and the program as their opener. A staged install (DESTDIR) leaves
# the databases to whoever puts its files in place.
# Usage: source-install-test.sh BUILD_FOLDER
set -euo pipefail
build=$(realpath "$1")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

for tool in xdg-mime mimetype gio update-mime-database; do
    command -v "$tool" >/dev/null || { echo "$tool is missing (scripts/install-deps installs it)" >&2; exit 1; }
done

# A home of its own, with the default data folders.
export HOME=$scratch/home
unset XDG_DATA_HOME XDG_CONFIG_HOME XDG_DATA_DIRS DESTDIR PARCELWISE_REGISTRY_DIR
mkdir -p "$HOME"
failed=0
fail() { echo "$*" >&2; failed=1; }

cmake --install "$build" --prefix "$HOME/.local" >"$scratch/install.log" 2>&1 ||
    { cat "$scratch/install.log" >&2; exit 1; }
share=$HOME/.local/share
[ -s "$share/mime/globs2" ] || fail "no MIME database in $share/mime: $(cat "$scratch/install.log")"
[ -s "$share/applications/mimeinfo.cache" ] || fail "no desktop database in $share/applications"

head -c 3000000 /dev/urandom >"$scratch/film.avi"
"$HOME/.local/bin/pcw" split "$scratch/film.avi" --count 3 2>/dev/null
mv "$scratch/film.avi.001.pcw" "$scratch/renamed.bin"

# xdg-mime asks the desktop's own tool: gio under GNOME, elsewhere File::MimeInfo's.
for desktop in GNOME ""; do
    for part in renamed.bin film.avi.002.pcw film.avi.003.pcw; do
        type=$(XDG_CURRENT_DESKTOP=$desktop xdg-mime query filetype "$scratch/$part")
        [ "$type" = application/x-parcelwise ] ||
            fail "${desktop:-a generic desktop}: $part is $type"
    done
done
opener=$(xdg-mime query default application/x-parcelwise)
[ "$opener" = org.parcelwise.Parcelwise.desktop ] || fail "parts open with [$opener]"

# Staged: the files only.
stage=$scratch/stage
DESTDIR=$stage cmake --install "$build" --prefix /usr >"$scratch/staged.log" 2>&1 ||
    { cat "$scratch/staged.log" >&2; exit 1; }
[ -s "$stage/usr/share/mime/packages/org.parcelwise.Parcelwise.xml" ] || fail "the staged install lacks the MIME package"
for database in mime/globs2 mime/magic applications/mimeinfo.cache; do
    [ ! -e "$stage/usr/share/$database" ] || fail "the staged install wrote $database"
done
exit $failed
