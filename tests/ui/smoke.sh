#!/usr/bin/env bash
# Drives the built program under a real X server and window manager, with the
# mouse, as a user does: a split with a pause and a resume, the clock's menu,
# a minimise and a restore from the task bar, the conversion window, a second
# split, a cancelled third, and a part of a set dropped from another program
# (PCW_DRAG_SOURCE names it). Clicks go to positions of the windows' fixed layout, measured
# from each window's place on the screen.
#
#   smoke.sh PROGRAM [SHOTS_FOLDER | --docs]
#
# The windows speak French (PCW_SMOKE_LANGUAGE=en: English), as on a French
# system; a short pass in English follows: a split by clicks and its end
# message, read back from the screen. With SHOTS_FOLDER, screenshots of every
# window are left there; with --docs, the screenshots of the README are taken
# again in both languages and replace docs/*.png (French) and docs/en/*.png,
# which needs PCW_DRAG_SOURCE for the drop. Exits 77 (skipped) with the
# reason when no X server or window manager can start.
set -uo pipefail

app=$1
shots=${2:-}
if [ "$shots" = --docs ] && [ -z "${PCW_SMOKE_LANGUAGE:-}" ]; then
    PCW_SMOKE_LANGUAGE=fr "$0" "$@" && PCW_SMOKE_LANGUAGE=en "$0" "$@"
    exit
fi
language=${PCW_SMOKE_LANGUAGE:-fr}
texts_folder=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../texts" && pwd)
case $language in
    fr) catalogue=$texts_folder/French.cpp locale=C.UTF-8 docs_folder=docs ;;
    en) catalogue=$texts_folder/English.cpp locale=en_US.UTF-8 docs_folder=docs/en ;;
    *) echo "PCW_SMOKE_LANGUAGE is fr or en"; exit 2 ;;
esac
# The program's language follows the locale, and LANGUAGE only beside a locale
# that is not C: the machine's own settings stay out of it.
# The program gets its locale through env, which keeps this shell from looking
# for a locale that the machine may not have generated.
unset LANGUAGE LC_MESSAGES LANG
export LC_ALL=C.UTF-8
# Run in the background, it is the program itself: its pid is $!.
launch() { exec env LC_ALL="${1:-$locale}" "$app"; }

# shellcheck source=../support/catalogue-texts.sh
. "$(dirname "${BASH_SOURCE[0]}")/../support/catalogue-texts.sh"
main_title=$(title_of TitleMainWindow)
convert_title=$(title_of TitleConvertWindow)
settings_title=$(title_of TitleSettings)
# Qt's own dialogs speak the windows' language.
open_title='^Ouvrir$'
[ "$language" = en ] && open_title='^Open$'

skip() {
    echo "SKIPPED: $*"
    exit 77
}
for tool in Xvfb openbox xdotool xwininfo xprop import tesseract; do
    command -v "$tool" >/dev/null || skip "$tool is not installed (scripts/install-deps installs it)"
done

tmp=$(mktemp -d)
docs=
if [ "$shots" = --docs ]; then
    docs=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && mkdir -p "$docs_folder" && cd "$docs_folder" && pwd)
    [ -n "${PCW_DRAG_SOURCE:-}" ] || { echo "--docs needs PCW_DRAG_SOURCE"; exit 2; }
    shots=$tmp/shots
    mkdir -p "$shots"
fi
# shellcheck source=../support/x-session.sh
. "$(dirname "${BASH_SOURCE[0]}")/../support/x-session.sh"

fail() {
    echo "FAILED: $*"
    [ -n "${DISPLAY:-}" ] && command -v import >/dev/null && import -window root "$tmp/failure.png" 2>/dev/null &&
        cp "$tmp/failure.png" "${shots:-/tmp}/parcelwise-smoke-failure.png" &&
        echo "screen: ${shots:-/tmp}/parcelwise-smoke-failure.png"
    exit 1
}

start_x_session

# A home of its own: settings, association and sources.
export HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/home/.config" XDG_DATA_HOME="$tmp/home/.local/share"
export XDG_RUNTIME_DIR="$tmp/run" QT_QPA_PLATFORM=xcb
unset PARCELWISE_REGISTRY_DIR QT_QPA_PLATFORMTHEME
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
src="$HOME/film.bin"
truncate -s 400M "$src"
second="$HOME/second.bin"
truncate -s 40M "$second"
# Big enough that no machine splits it before Pause is clicked: it is never
# split to its end, and the parts it starts are taken back.
third="$HOME/third.bin"
truncate -s 2G "$third"

parts_size() { cat "$HOME"/${1:-}*.pcw 2>/dev/null | wc -c; }
# Pauses the split of the third file from its progress window, and makes sure
# it is paused halfway: the parts stop growing short of the whole file.
pause_third() {
    local held
    progress=$(window '^Parcelwise$' 5) || fail "the progress window did not appear"
    click "$progress" 328 39
    sleep 0.5
    held=$(parts_size third.bin)
    sleep 0.5
    [ "$(parts_size third.bin)" = "$held" ] || fail "the third split kept growing after Pause"
    ((held > 0 && held < 2 << 30)) || fail "the third split was not paused halfway ($held bytes written)"
}
shot() { [ -n "$shots" ] && command -v import >/dev/null && import -window "$1" "$shots/$2.png"; }


# Chooses a file in the open dialog: a click in its name field, the path, Enter.
open_file() { # path
    click "$main" 417 104 || fail "no main window"
    local dialog
    dialog=$(window "$open_title") || fail "the open dialog did not appear (as $open_title)"
    shot "$dialog" open-dialog
    place "$dialog"
    xdotool mousemove $((WX + WW / 2)) $((WY + WH - 59)) click 1
    sleep 0.2
    xdotool type --delay 2 "$1"
    xdotool key Return
    sleep 0.3
    xdotool search --onlyvisible --name "$open_title" >/dev/null && xdotool key Return
    for _ in $(seq 50); do xdotool search --onlyvisible --name "$open_title" >/dev/null || return 0; sleep 0.1; done
    fail "the open dialog did not close"
}

# Dismisses the result box of a job with Enter, once it has the focus.
dismiss_result() { # expected text, for the log
    local box
    box=$(window '^-=Parcelwise=-$' 40) || fail "no result message ($1)"
    click "$box" 20 15
    xdotool key Return
    for _ in $(seq 50); do xdotool search --onlyvisible --name '^-=Parcelwise=-$' >/dev/null || return 0; sleep 0.1; done
    fail "the result message did not close"
}

# --- Fresh starts: the first box opens over the main window, and the first drag of the
# background moves it by exactly the pointer's motion. A window placed by the window
# manager once failed either in about half of the starts.
for start in 1 2 3 4; do
    launch >"$tmp/app.log" 2>&1 &
    app_pid=$!
    main=$(window "$main_title" 15) || fail "start $start: the main window did not appear: $(cat "$tmp/app.log")"
    sleep 0.3
    click "$main" 235 245 # the action, with no file opened
    box=$(window '^-=Parcelwise=-$' 5) || fail "start $start: the action without a file said nothing"
    place "$main"
    mx=$((WX + WW / 2)) my=$((WY + WH / 2))
    place "$box"
    bx=$((WX + WW / 2)) by=$((WY + WH / 2))
    ((bx - mx <= 40 && mx - bx <= 40 && by - my <= 40 && my - by <= 40)) ||
        fail "start $start: the box opened at $bx,$by, away from its window at $mx,$my"
    xdotool key Return
    for _ in $(seq 50); do viewable "$box" || break; sleep 0.1; done
    place "$main"
    before="$WX,$WY" want="$((WX + 40)),$((WY + 30))"
    xdotool mousemove $((WX + 300)) $((WY + 230))
    sleep 0.1
    xdotool mousedown 1
    for step in $(seq 10); do
        xdotool mousemove $((WX + 300 + 4 * step)) $((WY + 230 + 3 * step))
        sleep 0.03
    done
    sleep 0.2
    xdotool mouseup 1
    sleep 0.3
    place "$main"
    [ "$WX,$WY" = "$want" ] || fail "start $start: a drag by 40,30 from $before left the window at $WX,$WY"
    kill "$app_pid"
    wait "$app_pid" 2>/dev/null
done

launch >"$tmp/app.log" 2>&1 &
app_pid=$!
pids+=($app_pid)
main=$(window "$main_title" 15) || fail "the main window did not appear: $(cat "$tmp/app.log")"
sleep 0.5
place "$main"
home_place="$WX,$WY"
shot "$main" main

# --- A split, paused and resumed.
open_file "$src"
shot "$main" main-source
click "$main" 235 245
progress=$(window '^Parcelwise$' 5) || fail "the progress window did not appear"
click "$progress" 328 39
sleep 0.6
held=$(parts_size)
sleep 1
[ "$(parts_size)" = "$held" ] || fail "the parts kept growing after Pause ($held, then $(parts_size) bytes)"
((held < 400 << 20)) || fail "the split ended before Pause could be tried"
shot "$progress" progress-paused

# The clock's menu: a new popup window of the program, closed by Escape.
before=$(xdotool search --onlyvisible --class parcelwise 2>/dev/null | sort)
click "$progress" 149 39 3
sleep 0.5
after=$(xdotool search --onlyvisible --class parcelwise 2>/dev/null | sort)
menu=$(comm -13 <(echo "$before") <(echo "$after") | head -n 1)
[ -n "$menu" ] || fail "right-clicking the clock opened no menu"
[ -n "$shots" ] && import -window root "$shots/clock-menu-screen.png"
xdotool key Escape
sleep 0.3
viewable "$menu" && fail "the clock's menu stayed open after Escape"

click "$progress" 328 39
sleep 0.3
shot "$progress" progress
sleep 0.7
(($(parts_size) > held)) || fail "the parts did not grow after Continuer"
dismiss_result "split"
main_is_back || fail "the main window did not come back after the split"
[ "$(parts_size)" = $(((400 << 20) + 104)) ] || fail "the parts hold $(parts_size) bytes"

# --- Minimise, restore as a task bar does, then the conversion window.
click "$main" 409 17
for _ in $(seq 30); do [ "$(state "$main")" = Iconic ] && break; sleep 0.1; done
[ "$(state "$main")" = Iconic ] || fail "'-' did not minimise the window"
xdotool windowactivate "$main"
main_is_back || fail "the task bar did not restore the window"
click "$main" 50 245
convert=$(window "$convert_title" 5) || fail "the conversion window did not appear"
shot "$convert" convert
click "$convert" 354 134
main_is_back || fail "the main window did not come back after the conversion window"

# --- Minimise and restore again, then a second split.
click "$main" 409 17
for _ in $(seq 30); do [ "$(state "$main")" = Iconic ] && break; sleep 0.1; done
xdotool windowactivate "$main"
main_is_back || fail "the task bar did not restore the window"
open_file "$second"
click "$main" 306 202 # with digests
click "$main" 235 245
dismiss_result "second split"
main_is_back || fail "the main window did not come back after the second split"
[ -f "$HOME/second.bin.001.pcw" ] || fail "the second split wrote no part"

# --- A third split, paused then cancelled from the progress window: the question, "Oui",
# then the report, and none of its parts are left.
open_file "$third"
click "$main" 235 245
pause_third # first, so that no busy machine ends the split before the cancel
click "$progress" 367 40
question=$(window '^-=Parcelwise=-$' 5) || fail "the cancel control asked nothing"
shot "$question" cancel-question
xdotool key shift+Tab space # from the default "Non" to "Oui"
for _ in $(seq 50); do viewable "$question" || break; sleep 0.1; done
dismiss_result "cancelled split"
main_is_back || fail "the main window did not come back after the cancel"
ls "$HOME"/third.bin.*.pcw >/dev/null 2>&1 && fail "the cancelled split left parts behind"

# --- A part of the second set dragged from another program and dropped on the main
# window: its set opens in join mode, and joins.
if [ -n "${PCW_DRAG_SOURCE:-}" ]; then
    rm -f "$second"
    "$PCW_DRAG_SOURCE" "$second.002.pcw" >"$tmp/drag.log" 2>&1 &
    pids+=($!)
    source=$(window '^Glisser$' 10) || fail "the drag source did not appear"
    xdotool windowmove "$source" 10 10
    sleep 0.3
    place "$source"
    sx=$((WX + 60)) sy=$((WY + 40))
    place "$main"
    tx=$((WX + 235)) ty=$((WY + 110))
    xdotool mousemove $sx $sy mousedown 1
    for i in $(seq 1 12); do
        xdotool mousemove $((sx + (tx - sx) * i / 12)) $((sy + (ty - sy) * i / 12))
        sleep 0.05
    done
    sleep 0.3
    xdotool mouseup 1
    for _ in $(seq 50); do grep -q . "$tmp/drag.log" && break; sleep 0.1; done
    grep -q dropped "$tmp/drag.log" || fail "the main window refused the drop: $(cat "$tmp/drag.log")"
    sleep 0.5
    shot "$main" main-drop
    click "$main" 235 245
    dismiss_result "join of the dropped set"
    main_is_back || fail "the main window did not come back after the join"
    [ "$(wc -c <"$second" 2>/dev/null)" = $((40 << 20)) ] || fail "the dropped set did not join"
fi

if [ -n "$shots" ]; then
    click "$main" 397 66
    settings=$(window "$settings_title" 5) && shot "$settings" settings && click "$settings" 270 264
    click "$main" 279 65
    open_file "$second.001.pcw"
    shot "$main" main-join
fi
# --- A logout during a split: SIGTERM cancels the job, which takes back its parts, and
# the program ends with the signal's status, as pcw does.
click "$main" 150 65 # split mode
open_file "$third"
click "$main" 235 245
pause_third # so that the split is still running when the signal comes
kill -TERM "$app_pid"
for _ in $(seq 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app_pid" 2>/dev/null && fail "SIGTERM did not end the program"
wait "$app_pid"
status=$?
((status == 143)) || fail "the program stopped by SIGTERM exited with $status"
ls "$HOME"/third.bin.*.pcw >/dev/null 2>&1 && fail "SIGTERM left parts of the split behind"
grep -qF "$(text_of "$catalogue" JobCancelled)" "$tmp/app.log" || fail "the cancel went unsaid: $(cat "$tmp/app.log")"

# --- The windows in English, as on an English-speaking system: a split by clicks,
# and its end message in English, read from the screen.
if [ "$language" = fr ] && [ -z "$docs" ]; then
    catalogue=$texts_folder/English.cpp open_title='^Open$'
    launch en_US.UTF-8 >"$tmp/app.log" 2>&1 &
    app_pid=$!
    pids+=($app_pid)
    main=$(window "$(title_of TitleMainWindow)" 15) || fail "the English window did not appear: $(cat "$tmp/app.log")"
    sleep 0.5
    place "$main"
    home_place="$WX,$WY"
    shot "$main" main-english
    english_source="$HOME/english.bin"
    truncate -s 40M "$english_source"
    open_file "$english_source"
    click "$main" 235 245
    box=$(window '^-=Parcelwise=-$' 40) || fail "no result message in English"
    sleep 0.3
    import -window "$box" "$tmp/end.png" && convert "$tmp/end.png" -resize 300% "$tmp/end-large.png"
    words() { tr -cs '[:alpha:]' ' ' | tr '[:upper:]' '[:lower:]'; }
    read_back=" $(tesseract "$tmp/end-large.png" - 2>/dev/null | words) "
    expected=$(text_of "$catalogue" SplitSucceeded)
    [ -n "$expected" ] || fail "no SplitSucceeded row in $catalogue"
    for word in $(words <<<"$expected"); do
        [[ $read_back == *" $word "* ]] || fail "the end message reads \"$read_back\", not \"$expected\""
    done
    dismiss_result "English split"
    main_is_back || fail "the English window did not come back after the split"
    [ -f "$english_source.001.pcw" ] || fail "the English split wrote no part"
    kill "$app_pid"
    wait "$app_pid" 2>/dev/null
fi

if [ -n "$docs" ]; then
    # The pictures of the README, the same names in every language.
    for picture in "$texts_folder"/../docs/*.png; do
        [ -s "$shots/${picture##*/}" ] || fail "no new ${picture##*/} for $docs_folder/"
        cp "$shots/${picture##*/}" "$docs/${picture##*/}"
    done
fi
echo "passed in ${SECONDS}s"
