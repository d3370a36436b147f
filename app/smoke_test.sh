#!/usr/bin/env bash
# Starts the real program on an X display (run it under `xvfb-run -a`), waits for its window,
# takes a screenshot, and quits through IniFile > Exit. Fails if the window does not appear
# or the program does not end with result 0.
#   smoke_test.sh PROGRAM SCREENSHOT.png
set -euo pipefail
program=$1
screenshot=$2

# Our own working folder (no Vanter.in3: the defaults) and a private runtime folder.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -m 700 "$work/run"
cd "$work"
export XDG_RUNTIME_DIR=$work/run
export QT_QPA_PLATFORM=xcb

fail() {
    echo "$*" >&2
    exit 1
}
# shellcheck source=testing/x11_session.sh
. "$(dirname "$0")/../testing/x11_session.sh"

"$program" &
pid=$!
session_pid=$pid

window=
for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --name "^$(literal_pattern "$window_untitled_caption")\$" 2>/dev/null |
        head -n 1 || true)
    [ -n "$window" ] && break
    if ! kill -0 "$pid" 2>/dev/null; then
        echo "the program ended before its window appeared" >&2
        exit 1
    fi
    sleep 0.1
done
if [ -z "$window" ]; then
    echo "no window appeared" >&2
    kill "$pid" 2>/dev/null || true
    exit 1
fi

info=$(xwininfo -id "$window")
echo "$info" | grep -q 'Map State: IsViewable' || { echo "window not viewable" >&2; exit 1; }
width=$(echo "$info" | awk '/Width:/ {print $2}')
[ "$width" -eq "$window_client_width" ] ||
    { echo "window width $width, expected $window_client_width" >&2; exit 1; }

sleep 0.5 # let it paint
import -window root "$screenshot"

# Quit as a user does: IniFile > Exit from the keyboard.
exit_by_menu "$window"
wait "$pid"
echo "window $window shown, screenshot $screenshot, program ended with 0"
