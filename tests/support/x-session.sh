# What the tests that drive a program under a real X server share: a server
# and a window manager of their own, and the windows found by their names and
# clicked at places of their fixed layouts. Sourced, after `tmp` names the
# test's scratch folder; the caller's `skip` says why a tool is missing.
#
#   start_x_session      Xvfb on a free display, openbox on it; exports DISPLAY
#   window NAME [SECS]   the id of the visible window whose name matches
#   place ID             sets WX, WY, WW, WH to the window's place and size
#   click ID X Y [BTN]   a click at X,Y of the window
#   state ID / viewable ID
#   main_is_back         whether the window $main is back on screen, restored,
#                        at $home_place, within 5 seconds (main_is_back_within S)

# Processes started here, killed last first when the test exits.
pids=()
cleanup() {
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$tmp"
}
trap cleanup EXIT

start_x_session() {
    # Xvfb chooses a free display itself and writes its number.
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$tmp/display" 2>"$tmp/xvfb.log" &
    pids+=($!)
    for _ in $(seq 50); do [ -s "$tmp/display" ] && break; sleep 0.1; done
    [ -s "$tmp/display" ] || skip "Xvfb did not start: $(tail -n 1 "$tmp/xvfb.log")"
    export DISPLAY=":$(cat "$tmp/display")"
    openbox --sm-disable >"$tmp/openbox.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 50); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break; sleep 0.1; done
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" || skip "openbox did not start"
}

window() {
    local deadline=$((SECONDS + ${2:-10})) id
    while ((SECONDS <= deadline)); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -n 1)
        [ -n "$id" ] && echo "$id" && return 0
        sleep 0.05
    done
    return 1
}
place() {
    local X Y WIDTH HEIGHT WINDOW SCREEN
    eval "$(xdotool getwindowgeometry --shell "$1")" || return 1
    WX=$X WY=$Y WW=$WIDTH WH=$HEIGHT
}
click() {
    place "$1"
    xdotool mousemove $((WX + $2)) $((WY + $3)) click "${4:-1}"
}
state() { xprop -id "$1" WM_STATE 2>/dev/null | sed -n 's/.*window state: //p'; }
viewable() { xwininfo -id "$1" 2>/dev/null | grep -q "IsViewable"; }

main_is_back_within() {
    local deadline=$((SECONDS + $1))
    while ((SECONDS <= deadline)); do
        if viewable "$main" && [ "$(state "$main")" = Normal ]; then
            place "$main"
            [ "$WX,$WY" = "$home_place" ] && return 0
        fi
        sleep 0.1
    done
    return 1
}
main_is_back() { main_is_back_within 5; }
