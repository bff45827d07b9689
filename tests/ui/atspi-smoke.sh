#!/usr/bin/env bash
# The program under a real X server, window manager and accessibility bus,
# driven through the accessibility tree as a screen reader drives it (see
# atspi-split.py): a split started, paused and cancelled.
#
#   atspi-smoke.sh PROGRAM
#
# Exits 77 (skipped) with the reason when a tool is missing or will not start.
set -uo pipefail

app=$1
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
skip() {
    echo "SKIPPED: $*"
    exit 77
}
for tool in Xvfb openbox xdotool xprop dbus-run-session /usr/libexec/at-spi-bus-launcher; do
    command -v "$tool" >/dev/null || skip "$tool is not installed (scripts/install-deps installs it)"
done
/usr/bin/python3 -c "import pyatspi" 2>/dev/null || skip "python3-pyatspi is not installed"

tmp=$(mktemp -d)
# shellcheck source=../support/x-session.sh
. "$here/../support/x-session.sh"
start_x_session

export HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/home/.config" XDG_DATA_HOME="$tmp/home/.local/share"
export XDG_RUNTIME_DIR="$tmp/run" QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
unset PARCELWISE_REGISTRY_DIR QT_QPA_PLATFORMTHEME
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
truncate -s 2G "$HOME/big.bin"

# A session bus of its own, on which the accessibility bus and its registry start.
dbus-run-session -- bash -c '
    /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
    launcher=$!
    sleep 1
    "$1" >"$2/app.log" 2>&1 &
    app=$!
    sleep 2
    /usr/bin/python3 "$3/atspi-split.py" "$4"
    status=$?
    kill $app $launcher 2>/dev/null
    exit $status
' run "$app" "$tmp" "$here" "$HOME/big.bin" 2>"$tmp/bus.log"
status=$?
((status == 0)) || { echo "FAILED (program said: $(tail -n 3 "$tmp/app.log"))"; exit 1; }
