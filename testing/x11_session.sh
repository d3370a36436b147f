# shellcheck shell=bash disable=SC2154 # the script sets session_pid
# What the scripts that drive a program on an X display share (the end-to-end tests, the
# Windows session under wine): sourced, not run. The script defines fail() and sets
# session_pid to the program's process.

# shellcheck source=testing/window_layout.sh
. "${BASH_SOURCE[0]%/*}/window_layout.sh"

# Waits for a visible window whose name matches, and prints its id: up to session_wait
# seconds (30 unless the script sets more, as for a program run through an emulator).
window_named() { # name pattern
    local id
    for _ in $(seq $((${session_wait:-30} * 10))); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        kill -0 "$session_pid" 2>/dev/null || fail "the program ended while waiting for '$1'"
        sleep 0.1
    done
    fail "no window '$1'"
}

gone() { # name pattern
    for _ in $(seq 100); do
        xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    fail "window '$1' did not close"
}

# With no window manager a window is not activated by itself: focus it.
focus() { # window
    xdotool windowfocus --sync "$1"
    sleep 0.3
}

# Quits as a user does, IniFile > Exit from the keyboard, and waits for the program to end.
exit_by_menu() { # window
    focus "$1"
    xdotool key --window "$1" alt+i
    sleep 0.3
    xdotool key x
    for _ in $(seq 100); do
        kill -0 "$session_pid" 2>/dev/null || return 0
        sleep 0.1
    done
    kill "$session_pid" 2>/dev/null || true
    fail "the program did not end after Exit"
}

# Ctrl+S in an untitled window: types the name into the Save As dialog and presses Enter, then
# prints the main window, found again by its caption that names the file.
save_as() { # file name
    local dialog
    xdotool key ctrl+s
    dialog=$(window_named '^Save As$')
    focus "$dialog"
    xdotool type --delay 30 "$1"
    xdotool key Return
    gone '^Save As$'
    window_named "^$(literal_pattern "$window_caption_prefix").*$(literal_pattern "$1")\$"
}
