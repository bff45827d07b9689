#!/usr/bin/env bash
# parcelwise.exe under Wine with Windows' own platform, in a real X server and
# window manager, driven with the mouse as on Windows: a split paused and
# resumed, a set of the older format converted, a split paused then cancelled (Qt's French
# "Non" read from the screen), a join, the main window back after
# each; then a part opened through the association written under
# HKEY_CURRENT_USER\Software\Classes (`wine start` on a .pcw file), and sets
# traded with the Linux pcw both ways.
#
#   gui-smoke.sh PARCELWISE_EXE LINUX_PCW [SHOTS_FOLDER]
#
# Runs in $WINEPREFIX (the Windows build's prefix when make test-windows runs
# it). Clicks go to the places of the windows' fixed layout, as on Linux. With
# SHOTS_FOLDER, screenshots of every window are left there. Exits 77
# (skipped) with the reason when a tool is missing or will not start.
set -uo pipefail

exe=$1
linux_pcw=$2
shots=${3:-}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
catalogue=$here/../../texts/French.cpp

skip() {
    echo "SKIPPED: $*"
    exit 77
}
for tool in Xvfb openbox xdotool xwininfo xprop import tesseract wine winepath; do
    command -v "$tool" >/dev/null || skip "$tool is not installed (scripts/install-deps installs it)"
done
[ -x "$linux_pcw" ] || skip "no Linux pcw at $linux_pcw (make build)"
[ -n "${WINEPREFIX:-}" ] || skip "no WINEPREFIX: make test-windows runs this in the build's prefix"

tmp=$(mktemp -d)
# shellcheck source=../support/x-session.sh
. "$here/../support/x-session.sh"
fail() {
    echo "FAILED: $*"
    import -window root "${shots:-/tmp}/parcelwise-wine-smoke-failure.png" 2>/dev/null &&
        echo "screen: ${shots:-/tmp}/parcelwise-wine-smoke-failure.png"
    [ -s "$tmp/app.log" ] && echo "the program said: $(tail -n 5 "$tmp/app.log")"
    exit 1
}
shot() { [ -n "$shots" ] && import -window "$1" "$shots/$2.png"; }

start_x_session
# French, as on a French Windows: the environment's locale decides before
# Windows' own language, and the C locale speaks the reference texts.
export LC_ALL=C.UTF-8 WINEDEBUG=-all
unset LANGUAGE LC_MESSAGES LANG QT_QPA_PLATFORM PARCELWISE_REGISTRY_DIR
# The program's settings and association start afresh in the system registry.
wine reg delete 'HKCU\Software\Parcelwise' /f >/dev/null 2>&1
for root in HKCU HKLM; do
    wine reg delete "$root\\Software\\Classes\\.pcw" /f >/dev/null 2>&1
    wine reg delete "$root\\Software\\Classes\\Parcelwise_File" /f >/dev/null 2>&1
done

# shellcheck source=../support/catalogue-texts.sh
. "$here/../support/catalogue-texts.sh"
main_title=$(title_of TitleMainWindow)
convert_title=$(title_of TitleConvertWindow)
box_title='^-=Parcelwise=-$'

work="$tmp/files"
mkdir -p "$work"
winpath() { winepath -w "$1" 2>/dev/null; }
parts_size() { cat "$work"/"$1"*.pcw 2>/dev/null | wc -c; }
python3 - "$work/film.bin" <<'PY'
import os, sys
with open(sys.argv[1], "wb") as f:
    block = os.urandom(1 << 20)
    for i in range(300):
        f.write(block[i:] + block[:i])
PY
truncate -s 2G "$work/third.bin"

launch() { # [file]: the program, as Explorer starts it
    wine "$exe" "$@" >"$tmp/app.log" 2>&1 &
    app_pid=$!
    pids+=($app_pid)
    main=$(window "$main_title" 40) || fail "the main window did not appear"
    sleep 1
    place "$main"
    home_place="$WX,$WY"
}
# Wine takes longer to show a window again.
main_is_back() { main_is_back_within 10; }
# The open dialog is Windows' own: its name field has the focus.
open_file() { # path [window x y]: the file chosen from the dialog that a click opens
    click "${2:-$main}" "${3:-417}" "${4:-104}" || fail "no window to open a file from"
    local dialog
    dialog=$(window '^(Ouvrir|Open)$' 20) || fail "the open dialog did not appear"
    sleep 1
    shot "$dialog" open-dialog
    xdotool type --delay 5 "$(winpath "$1")"
    xdotool key Return
    for _ in $(seq 100); do viewable "$dialog" || return 0; sleep 0.1; done
    fail "the open dialog did not close"
}
# The words of a window as tesseract reads them, lower case.
# (Sparse text: the buttons' captions are apart from the message.)
words_of() { # window
    import -window "$1" "$tmp/read.png" && convert "$tmp/read.png" -resize 300% "$tmp/read-large.png"
    echo " $(tesseract "$tmp/read-large.png" - --psm 11 2>/dev/null | tr -cs '[:alpha:]' ' ' | tr '[:upper:]' '[:lower:]') "
}
dismiss_result() { # what ended, for the log
    local box
    box=$(window "$box_title" 60) || fail "no result message ($1)"
    sleep 0.3
    shot "$box" "result-${1// /-}"
    click "$box" 20 15
    xdotool key Return
    for _ in $(seq 100); do viewable "$box" || return 0; sleep 0.1; done
    fail "the result message did not close ($1)"
}
pause() { # prefix of the parts: pauses the running split and checks it holds
    local held
    progress=$(window '^Parcelwise$' 20) || fail "the progress window did not appear"
    click "$progress" 328 39
    sleep 1
    held=$(parts_size "$1")
    sleep 1
    [ "$(parts_size "$1")" = "$held" ] || fail "the parts of $1 kept growing after Pause"
    ((held > 0)) || fail "the split of $1 wrote nothing before Pause"
}

# --- A split by clicks, paused and resumed, with digests.
launch
shot "$main" main
open_file "$work/film.bin"
shot "$main" main-source
click "$main" 306 202 # with digests
click "$main" 235 245
pause film.bin
shot "$progress" progress-paused
held=$(parts_size film.bin)
((held < 300 << 20)) || fail "the split ended before Pause"
click "$progress" 328 39
sleep 1
(($(parts_size film.bin) > held)) || fail "the parts did not grow after Continuer"
dismiss_result "split"
main_is_back || fail "the main window did not come back after the split"
[ -f "$work/film.bin.001.pcw" ] || fail "the split wrote no first part"

# --- A set of the older format converted from its window, which the Linux pcw then joins.
python3 - "$here/../../fuzz/make-seeds" "$work" <<'PY'
import importlib.machinery, importlib.util, os, sys
loader = importlib.machinery.SourceFileLoader("seeds", sys.argv[1])
seeds = importlib.util.module_from_spec(importlib.util.spec_from_loader("seeds", loader))
loader.exec_module(seeds)
first, second = os.urandom(200000), os.urandom(200000)
with open(os.path.join(sys.argv[2], "old.bin.001.pcw"), "wb") as f:
    f.write(seeds.legacy_first("old.bin", 2, first))
with open(os.path.join(sys.argv[2], "old.bin.002.pcw"), "wb") as f:
    f.write(second)
with open(os.path.join(sys.argv[2], "old.expected"), "wb") as f:
    f.write(first + second)
PY
click "$main" 50 245
convert=$(window "$convert_title" 20) || fail "the conversion window did not appear"
sleep 0.5
open_file "$work/old.bin.001.pcw" "$convert" 358 52
sleep 0.5
shot "$convert" convert
click "$convert" 301 134
dismiss_result "conversion"
[ -f "$work/old.bin.001.pcw.ancien" ] || fail "the conversion kept no copy of the older part"
"$linux_pcw" join "$work/old.bin.001.pcw" >/dev/null 2>&1 || fail "the Linux pcw refused the converted set"
cmp -s "$work/old.expected" "$work/old.bin" || fail "the converted set joined into other bytes"
click "$convert" 354 134
main_is_back || fail "the main window did not come back after the conversion window"

# --- A split paused then cancelled: Qt's question in French, "Oui", none of its parts left.
open_file "$work/third.bin"
click "$main" 235 245
pause third.bin
click "$progress" 367 40
question=$(window "$box_title" 20) || fail "the cancel control asked nothing"
sleep 0.5
shot "$question" cancel-question
# Qt words the buttons of its boxes: "Non" is its French, where "No" would be its own.
read_back=$(words_of "$question")
[[ $read_back == *" non "* && $read_back != *" no "* ]] || fail "the question's buttons read \"$read_back\", not Oui and Non"
xdotool key shift+Tab space # from the default "Non" to "Oui"
for _ in $(seq 50); do viewable "$question" || break; sleep 0.1; done
dismiss_result "cancelled split"
main_is_back || fail "the main window did not come back after the cancel"
ls "$work"/third.bin.*.pcw >/dev/null 2>&1 && fail "the cancelled split left parts behind"

# --- The set joined by clicks, beside a source moved away.
mv "$work/film.bin" "$work/film.orig"
click "$main" 279 65 # join mode
open_file "$work/film.bin.001.pcw"
shot "$main" main-join
click "$main" 235 245
dismiss_result "join"
main_is_back || fail "the main window did not come back after the join"
cmp -s "$work/film.orig" "$work/film.bin" || fail "the join did not give back the source"
rm "$work/film.bin"

# --- The Linux pcw joins what parcelwise.exe split.
"$linux_pcw" join "$work/film.bin.001.pcw" --name film.linux >/dev/null 2>&1 ||
    fail "the Linux pcw refused the set of parcelwise.exe"
cmp -s "$work/film.orig" "$work/film.linux" || fail "the Linux pcw joined the set into other bytes"
quit() { # the program, by its own "x"
    click "$main" 432 15
    for _ in $(seq 100); do kill -0 "$app_pid" 2>/dev/null || return 0; sleep 0.1; done
    fail "the program did not end when its window was closed"
}
quit

# --- The association: a part of a set the Linux pcw split, opened as Explorer opens
# it, comes up in join mode and joins by one click. Windows reads the user's keys
# under HKEY_CURRENT_USER\Software\Classes through HKEY_CLASSES_ROOT; Wine 8 does
# not merge them there (its bug 14771), so the test copies the keys the program
# wrote into the machine's classes, which Wine does read, as Windows would see them.
file_type=$(wine reg query 'HKCU\Software\Classes\.pcw' /ve 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ *//p')
[ -n "$file_type" ] || fail "no association under HKCU\\Software\\Classes\\.pcw"
for key in .pcw "$file_type"; do
    wine reg export "HKCU\\Software\\Classes\\$key" "$(winpath "$tmp/user.reg")" /y >/dev/null 2>&1 ||
        fail "the association's key $key cannot be read"
    iconv -f UTF-16LE -t UTF-8 "$tmp/user.reg" |
        sed 's/^\[HKEY_CURRENT_USER\\Software\\Classes\\/[HKEY_LOCAL_MACHINE\\Software\\Classes\\/' |
        iconv -f UTF-8 -t UTF-16LE >"$tmp/machine.reg"
    wine reg import "$(winpath "$tmp/machine.reg")" >/dev/null 2>&1 || fail "the key $key cannot be copied"
done
mkdir "$work/linux"
cp "$work/film.orig" "$work/linux/clip.bin"
"$linux_pcw" split "$work/linux/clip.bin" --size 100 --md5 >/dev/null 2>&1 || fail "the Linux pcw could not split"
mv "$work/linux/clip.bin" "$work/linux/clip.orig"
# (A start that finds no program shows a box and waits: it runs in the background.)
wine start /unix "$work/linux/clip.bin.002.pcw" >"$tmp/start.log" 2>&1 &
pids+=($!)
main=$(window "$main_title" 40) || fail "wine start on a part opened no window"
app_pid=$(pgrep -n -f 'parcelwise\.exe')
pgrep -a -f 'parcelwise\.exe' | grep -q 'clip\.bin\.002\.pcw' || fail "the association did not hand the part to the program"
sleep 1
place "$main"
home_place="$WX,$WY"
shot "$main" main-association
click "$main" 235 245
dismiss_result "join of a Linux set"
main_is_back || fail "the main window did not come back after the join of the Linux set"
cmp -s "$work/linux/clip.orig" "$work/linux/clip.bin" || fail "the Linux set opened by the association did not join"
quit
echo "passed in ${SECONDS}s"
