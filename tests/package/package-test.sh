#!/usr/bin/env bash
# Builds the .deb into a scratch folder, unpacks it as dpkg would install it,
# and uses what came out: the programs start with the system's libraries
# alone, and the unpacked pcw splits and joins a file back to the same bytes.
# Usage: package-test.sh BUILD_FOLDER VERSION
set -euo pipefail
build=$1 version=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

cpack --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log" >&2; exit 1; }
deb=$scratch/out/parcelwise_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { echo "no $deb, only: $(ls "$scratch/out")" >&2; exit 1; }

failed=0
fail() { echo "$*" >&2; failed=1; }

field() { dpkg-deb --field "$deb" "$1"; }
depends=$(field Depends)
for needed in libc6 libqt6widgets6 qt6-translations-l10n fonts-liberation2; do
    [[ ", $depends," == *", $needed"[\ ,]* ]] || fail "Depends lacks $needed: $depends"
done
[ "$(field Section)" = utils ] || fail "Section: $(field Section)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -z "$(field Homepage)" ] || fail "Homepage: $(field Homepage), a placeholder"

root=$scratch/root
dpkg -x "$deb" "$root"
for file in usr/bin/pcw usr/bin/parcelwise \
    usr/share/applications/org.parcelwise.Parcelwise.desktop \
    usr/share/mime/packages/org.parcelwise.Parcelwise.xml \
    usr/share/metainfo/org.parcelwise.Parcelwise.metainfo.xml \
    usr/share/icons/hicolor/scalable/apps/org.parcelwise.Parcelwise.svg \
    usr/share/icons/hicolor/48x48/apps/org.parcelwise.Parcelwise.png \
    usr/share/icons/hicolor/128x128/apps/org.parcelwise.Parcelwise.png \
    usr/share/man/man1/pcw.1.gz usr/share/man/man1/parcelwise.1.gz \
    usr/share/man/fr/man1/pcw.1.gz usr/share/man/fr/man1/parcelwise.1.gz \
    usr/share/bash-completion/completions/pcw usr/share/doc/parcelwise/copyright \
    usr/share/doc/parcelwise/changelog.gz; do
    [ -s "$root/$file" ] || fail "the package lacks /$file"
done
# English is the page of every language without its own, French has its own.
manuals=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../man" && pwd)
for installed in "man1|en" "fr/man1|fr"; do
    for page in pcw parcelwise; do
        zcat "$root/usr/share/man/${installed%|*}/$page.1.gz" | cmp -s - "$manuals/${installed#*|}/$page.1" ||
            fail "/usr/share/man/${installed%|*}/$page.1.gz is not man/${installed#*|}/$page.1"
    done
done
# Nothing of the build folder may leak into the package: no test program, no
# path that leads back to where it was built.
unexpected=$(cd "$root" && find . -type f | grep -v -e '^./usr/bin/p' -e '^./usr/share/' || true)
[ -z "$unexpected" ] || fail "unexpected files: $unexpected"

for program in pcw parcelwise; do
    binary=$root/usr/bin/$program
    if readelf -d "$binary" | grep -E -q 'R(UN)?PATH'; then
        fail "$program carries a library path: $(readelf -d "$binary" | grep -E 'R(UN)?PATH')"
    fi
    while read -r line; do
        case $line in
            *"not found"*) fail "$program: $line" ;;
            *"=> /lib/"* | *"=> /usr/lib/"* | linux-vdso* | /lib*/ld-linux*) ;;
            *) fail "$program loads a library from outside the system: $line" ;;
        esac
    done < <(ldd "$binary")
done

pcw=$root/usr/bin/pcw
export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/home/config
mkdir -p "$HOME" "$scratch/parts" "$scratch/joined"
got=$("$pcw" --version)
[ "$got" = "Parcelwise $version" ] || fail "pcw --version: $got"
head -c 5000000 /dev/urandom >"$scratch/film.avi"
"$pcw" split "$scratch/film.avi" --count 3 --md5 --folder "$scratch/parts" 2>"$scratch/split.log" ||
    fail "split: $(cat "$scratch/split.log")"
"$pcw" join "$scratch/parts/film.avi.001.pcw" --folder "$scratch/joined" 2>"$scratch/join.log" ||
    fail "join: $(cat "$scratch/join.log")"
cmp "$scratch/film.avi" "$scratch/joined/film.avi" || fail "the joined file differs from the original"

# The installed window finds its own entry installed and writes none for the
# user, once the MIME database has taken the package in, as the trigger of
# shared-mime-info does on install. Without a display it would wait for ever:
# it is stopped once the association is written, which the classes hive,
# written last, tells.
update-mime-database "$root/usr/share/mime"
data=$scratch/home/data
XDG_DATA_HOME=$data XDG_DATA_DIRS=$root/usr/share PATH=$root/usr/bin:$PATH QT_QPA_PLATFORM=offscreen \
    "$root/usr/bin/parcelwise" >"$scratch/window.log" 2>&1 &
window=$!
classes=$XDG_CONFIG_HOME/parcelwise/HKEY_CLASSES_ROOT.reg
for _ in $(seq 150); do
    [ -f "$classes" ] && break
    sleep 0.1
done
kill "$window" 2>/dev/null
wait "$window" 2>/dev/null || true
if [ ! -f "$classes" ]; then
    fail "the window wrote no association: $(cat "$scratch/window.log")"
elif [ -e "$data/applications" ] || [ -e "$data/mime" ]; then
    fail "the installed window wrote for the user: $(cd "$data" && find . -type f)"
fi
exit $failed
