#!/usr/bin/env bash
# `make package-check`: the .deb as Debian checks packages and as a user gets
# it, which takes minutes.
#   1. lintian reports no error and no warning, and no other informational tag
#      than those the README lists and explains (kAllowedInfo below);
#   2. hardening-check finds every hardening feature in both programs;
#   3. the AppStream metainfo validates, with its network checks;
#   4. the .deb installs with apt into a bare Debian root made by debootstrap
#      (kept in DEB_BUILD/bookworm-root between runs), which then holds the
#      package and its dependencies and nothing else; there pcw splits a file
#      and the window opens the set under Xvfb, and the text of each place of
#      the main window, read from a screenshot by tesseract, is what the place
#      should show, whole: a font that draws wider cuts it. Where debootstrap
#      cannot run, the .deb is unpacked with dpkg -x and run with the
#      machine's libraries instead, and the check says so;
#   5. the package tests of the release build (ctest -R '^package\.'), among
#      them an install from the sources into a home's ~/.local after which
#      xdg-mime gives the parts their type.
# Usage: package-check.sh DEB_BUILD BUILD
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
deb_build=$(realpath "$1") build=$(realpath "$2")
deb=$deb_build/parcelwise_$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$deb_build/CMakeCache.txt")_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { echo "package-check: no $deb (make package makes it)" >&2; exit 1; }

# Informational tags that stay, each explained in the README ("Installer").
kAllowedInfo=(spelling-error-in-binary typo-in-manual-page)

scratch=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$scratch"
}
trap cleanup EXIT

failed=0
fail() { echo "FAILED: $*" >&2; failed=1; }
step() { echo "== $*"; }

step "lintian $(basename "$deb")"
lintian --display-info "$deb" >"$scratch/lintian" 2>"$scratch/lintian.err"
status=$?
grep -E '^[EWIXP]: ' "$scratch/lintian" | sed 's/^/   /'
if [ $status -ne 0 ] && ! grep -qE '^[EW]: ' "$scratch/lintian"; then
    fail "lintian failed ($status): $(cat "$scratch/lintian.err")"
fi
grep -qE '^[EW]: ' "$scratch/lintian" && fail "lintian reports errors or warnings"
while read -r tag; do
    [[ " ${kAllowedInfo[*]} " == *" $tag "* ]] || fail "lintian: informational tag $tag, not explained in the README"
done < <(sed -n 's/^I: [^ ]*: \([^ ]*\).*/\1/p' "$scratch/lintian" | sort -u)

unpacked=$scratch/unpacked
dpkg -x "$deb" "$unpacked"
step "hardening-check usr/bin/pcw usr/bin/parcelwise"
# Bookworm's C library links start files without the control flow marks, so
# no program of bookworm carries them: that check is left out (see README).
hardening-check --nocfprotection "$unpacked/usr/bin/pcw" "$unpacked/usr/bin/parcelwise" |
    sed 's/^/   /'
[ "${PIPESTATUS[0]}" -eq 0 ] || fail "hardening-check"

step "appstreamcli validate --strict (with its network checks)"
appstreamcli validate --strict "$unpacked/usr/share/metainfo/org.parcelwise.Parcelwise.metainfo.xml" 2>&1 |
    sed 's/^/   /'
[ "${PIPESTATUS[0]}" -eq 0 ] || fail "appstreamcli validate"

# A bare Debian root with the package installed by apt, which resolves its
# dependencies from Debian's archive alone.
root=$scratch/root
pristine=$deb_build/bookworm-root
bare=no
if [ ! -x "$pristine/usr/bin/apt-get" ]; then
    step "debootstrap --variant=minbase bookworm (once, kept in $pristine)"
    rm -rf "$pristine.new"
    if debootstrap --variant=minbase bookworm "$pristine.new" http://deb.debian.org/debian \
        >"$scratch/debootstrap.log" 2>&1; then
        mv "$pristine.new" "$pristine"
    else
        echo "   debootstrap failed: $(tail -n 1 "$scratch/debootstrap.log")"
        rm -rf "$pristine.new"
    fi
fi
if [ -x "$pristine/usr/bin/apt-get" ]; then
    step "apt-get install ./$(basename "$deb") into a copy of the bare root"
    cp -a "$pristine" "$root"
    cp /etc/resolv.conf "$root/etc/resolv.conf"
    cp "$deb" "$root/tmp/"
    if chroot "$root" apt-get update -qq >"$scratch/apt.log" 2>&1 &&
        chroot "$root" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
            --no-install-recommends "/tmp/$(basename "$deb")" >>"$scratch/apt.log" 2>&1; then
        bare=yes
        echo "   $(chroot "$root" dpkg-query -W -f='${Package}\n' | wc -l) packages in the root"
    else
        fail "apt-get install: $(tail -n 5 "$scratch/apt.log")"
    fi
fi
if [ $bare = yes ]; then
    inside() { chroot "$root" env -i PATH=/usr/bin:/bin HOME=/root LANG=C.UTF-8 "$@"; }
    place=/root/jeu
else
    step "no bare root: the unpacked package, with this machine's libraries"
    inside() {
        env -i PATH="$unpacked/usr/bin:/usr/bin:/bin" HOME="$scratch/home" LANG=C.UTF-8 \
            XDG_DATA_DIRS="$unpacked/usr/share:/usr/share" "$@"
    }
    root=""
    place=$scratch/jeu
    mkdir -p "$scratch/home"
fi

step "pcw split, then the window on the set, under Xvfb"
mkdir -p "$root$place"
head -c 3000000 /dev/urandom >"$root$place/film.avi"
inside pcw split "$place/film.avi" --count 3 --md5 >"$scratch/split.log" 2>&1 ||
    fail "pcw split: $(cat "$scratch/split.log")"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$scratch/display" 2>"$scratch/xvfb.log" &
pids+=($!)
for _ in $(seq 50); do [ -s "$scratch/display" ] && break; sleep 0.1; done
[ -s "$scratch/display" ] || { fail "Xvfb did not start: $(tail -n 1 "$scratch/xvfb.log")"; exit 1; }
display=":$(cat "$scratch/display")"
# The root reaches the server by its abstract socket, which a chroot shares.
inside DISPLAY="$display" parcelwise "$place/film.avi.001.pcw" >"$scratch/window.log" 2>&1 &
pids+=($!)
window=$(DISPLAY=$display timeout 30 xdotool search --sync --onlyvisible --name '^Parcelwise v1.1$' |
    head -n 1)
if [ -z "$window" ]; then
    fail "no window: $(cat "$scratch/window.log")"
    exit 1
fi
sleep 2  # its first paint
eval "$(DISPLAY=$display xdotool getwindowgeometry --shell "$window")"
DISPLAY=$display import -window root "$scratch/screen.png"
convert "$scratch/screen.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$scratch/main.png"
cp "$scratch/main.png" "$deb_build/package-check-main.png"
echo "   screenshot: $deb_build/package-check-main.png"

# Each place of the main window (ui/MainWindow.cpp, the captions of
# ui/artwork/main.svg) and the text it must show whole. The folder's slashes
# are too thin for tesseract at this size: it is left out.
today=$(inside date +%d/%m/%Y)
places=(
    "80 10 110 26|Parcelwise"
    "12 95 138 17|Fichier source :"
    "12 125 138 17|Fichier de destination :"
    "12 151 138 17|Dossier de destination :"
    "155 57 55 17|Couper"
    "262 57 51 17|Coller"
    "363 59 68 14|Paramètres"
    "157 97 234 14|film.avi.001.pcw"
    "157 127 234 14|film.avi"
    "218 196 62 15|$today"
    "318 195 114 15|Vérifier Hash MD5"
    "179 237 113 17|COLLER"
    "15 238 73 14|Convertir"
)
step "the texts in their places, read by tesseract"
for entry in "${places[@]}"; do
    read -r x y w h <<<"${entry%%|*}"
    wanted=${entry#*|}
    shot=$scratch/place.png
    convert "$scratch/main.png" -crop "${w}x${h}+${x}+${y}" +repage -colorspace Gray "$shot"
    # Light text on a dark field reads better turned dark on light.
    if [ "$(convert "$shot" -format '%[fx:mean < 0.5]' info:)" = 1 ]; then
        convert "$shot" -negate "$shot"
    fi
    convert "$shot" -filter Lanczos -resize 500% -level 20%,80% -bordercolor white -border 20 "$shot"
    read_text=$(tesseract "$shot" - --psm 7 2>/dev/null | head -n 1)
    if python3 "$here/same-text.py" "$wanted" "$read_text"; then
        echo "   ok   $x,$y ${w}x$h: $wanted"
    else
        fail "$x,$y ${w}x$h shows [$read_text], not [$wanted]"
    fi
done

step "ctest -R '^package\\.' in $build"
(cd "$build" && ctest --output-on-failure -R '^package\.') | sed 's/^/   /'
[ "${PIPESTATUS[0]}" -eq 0 ] || fail "the package tests of $build"

if [ $failed -eq 0 ]; then
    echo "package-check: all passed$([ $bare = yes ] || echo ", without a bare root")"
fi
exit $failed
