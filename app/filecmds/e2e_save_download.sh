#!/usr/bin/env bash
# The real program on an X display (run it under `xvfb-run -a`), driven with the keyboard as a
# user does: started in an empty folder, slot #0 set up with a real image file, saved with
# Ctrl+S through the file dialog, downloaded with Enter through the stand-in driver, ended with
# IniFile > Exit. Then checks the saved file's bytes, the download script, the driver's
# transcript and the unit memory.
#   e2e_save_download.sh PROGRAM
set -euo pipefail
program=$1

top=$(mktemp -d)
pid=
cleanup() {
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
        kill "$pid" 2>/dev/null || true
    fi
    rm -rf "$top"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

work=$top/work     # the working folder: empty, so the defaults apply
images=$top/images # the image file lives elsewhere
mkdir "$work" "$images"
mkdir -m 700 "$top/run"
export XDG_RUNTIME_DIR=$top/run
export VANTER_SIM_TRANSCRIPT=$top/sim/transcript.log
export VANTER_SIM_STATE_DIR=$top/sim/state
mkdir -p "$top/sim"
export QT_QPA_PLATFORM=xcb
unset VANTER_SIM_UNITS VANTER_SIM_NO_LPT VANTER_SIM_USB_FAIL VANTER_SIM_FAULT

image=$images/main.bin
head -c 4096 /dev/urandom >"$image"

# shellcheck source=testing/x11_session.sh
. "$(dirname "$0")/../../testing/x11_session.sh"

cd "$work"
"$program" &
pid=$!
session_pid=$pid
main=$(window_named "^$(literal_pattern "$window_untitled_caption")\$")
focus "$main"

# The focus starts in the port list. Slot #0 is checked: its memory type one up from "27010"
# to "27512", format "Binary" kept, offset 100 (typed over the selected text), the image.
xdotool key Tab Tab Tab
xdotool key Up
xdotool key Tab Tab
xdotool type --delay 30 '100'
xdotool key Tab
xdotool type --delay 30 "$image"
# Leaving the name runs its check: the file exists, so no message. The focus is on Browse.
xdotool key Tab
sleep 0.3

# No file is named yet: Save asks for one. Type the name into the dialog and press Enter.
main=$(save_as board.in3)
focus "$main"

# Back into the file name edit (Enter on Browse would press Browse), then Enter: Download.
xdotool key shift+Tab
xdotool key Return
box=$(window_named "^$window_message_caption\$")
focus "$box"
xdotool key Return
gone "^$window_message_caption\$"
focus "$main"

exit_by_menu "$main"
status=0
wait "$pid" || status=$?
pid=
[ "$status" -eq 0 ] || fail "the program ended with $status"

# The saved file: port "0x3BC", reset "Low", slot #0 with "27512", "Binary", 100, the image.
expected=$(printf '1\r\n0\r\n0\r\n4\r\n1\r\n100\r\n%s\r\nN' "$image" | od -An -tx1)
[ -f "$work/board.in3" ] || fail "board.in3 was not saved in the working folder"
[ "$(od -An -tx1 <"$work/board.in3")" = "$expected" ] ||
    fail "board.in3 holds: $(od -c <"$work/board.in3")"
[ "$(ls -A "$work")" = "board.in3" ] || fail "the working folder holds: $(ls -A "$work")"

# The download script: the same bytes.
script=$XDG_RUNTIME_DIR/vanter3/\$\$temp.in3
[ -f "$script" ] || fail "no download script at $script"
cmp -s "$script" "$work/board.in3" || fail "download script differs: $(od -c <"$script")"

# The driver was called once and succeeded.
[ -f "$VANTER_SIM_TRANSCRIPT" ] || fail "no transcript"
calls=$(grep -v '^ ' "$VANTER_SIM_TRANSCRIPT" || true)
[ "$calls" = "SayHello() script=$script -> 0" ] || fail "transcript: $(cat "$VANTER_SIM_TRANSCRIPT")"
grep -q '^  reason:' "$VANTER_SIM_TRANSCRIPT" && fail "transcript: $(cat "$VANTER_SIM_TRANSCRIPT")"

# Unit #0 holds the image at offset 100 of a 27512 (64 KiB).
memory=$VANTER_SIM_STATE_DIR/unit0.bin
[ "$(stat -c %s "$memory")" -eq 65536 ] || fail "unit #0 memory size $(stat -c %s "$memory")"
cmp -s <(tail -c +257 "$memory" | head -c 4096) "$image" || fail "unit #0 does not hold the image"

echo "saved $work/board.in3, downloaded through $script, transcript and unit memory as expected"
