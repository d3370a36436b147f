# shellcheck shell=bash disable=SC2154 # the driver sets the build's variables
# A user's session on a virtual display, the window program as the ZIP holds it: a part of
# tools/windows-gui-check.sh, sourced there, not run.

# shellcheck source=testing/x11_session.sh
. "$top/testing/x11_session.sh"

xvfb_pid='' program_pid=''
finish() {
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    true
}

# A virtual display of its own for the session, stopped on every way out with the program.
start_display() { # folder for the display's number
    at_exit finish
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$1/display" 2>/dev/null &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$1/display" ] && break
        sleep 0.1
    done
    [ -s "$1/display" ] || fail "Xvfb did not start"
}

# The message box's text, copied as Windows users copy it: Ctrl+C (the clipboard holds title,
# text and buttons between dashed lines). Then Enter closes the box.
message_text() { # title (default the message box's)
    local box text='' title=${1:-$window_message_caption}
    box=$(window_named "^$title\$")
    focus "$box"
    # Our own mark first: xclip holds it until the program takes the clipboard over.
    echo "no copy yet" | xclip -selection clipboard -i
    for _ in $(seq 20); do
        xdotool key ctrl+c
        sleep 0.3
        text=$(xclip -selection clipboard -o -t UTF8_STRING 2>/dev/null | tr -d '\r' || true)
        [ "$(sed -n 2p <<<"$text")" = "$title" ] && break
    done
    [ "$(sed -n 2p <<<"$text")" = "$title" ] || fail "Ctrl+C copied: $text"
    sed -n 4p <<<"$text"
    xdotool key Return
    gone "^$title\$"
}

# A click in the middle of a control; the client area ends at the window's bottom edge, below
# the menu bar.
click_on() { # the control's "x y width height" in the client area
    local x y
    read -r x y <<<"$(control_middle "$1")"
    xdotool mousemove --window "$main" "$x" $((HEIGHT - window_client_height + y))
    xdotool click 1
}

play_session() {
    # The program as the ZIP holds it, unpacked into its own folder, started in an empty working
    # folder; a fresh wine prefix whose drive C: receives the download script. From the ZIP for
    # units, the stand-in PortGate.dll goes beside vanter3.exe as a user puts the maker's there.
    session=$build/session
    rm -rf "$session"
    mkdir -p "$session/work" "$session/sim"
    program=$(unpack "$session_zip" "$session/zip")
    [ -f "$program/PortGate.dll" ] || cp "$build/bin/PortGate.dll" "$program/"
    echo "== What meets Qt's DLLs in $(basename "$session_zip")"
    check_runtime "$program"

    start_display "$session"
    DISPLAY=:$(cat "$session/display")
    export DISPLAY
    unset WAYLAND_DISPLAY QT_QPA_PLATFORM
    echo "== A user's session on display $DISPLAY"
    stage_started=$SECONDS
    start_wine "$session/wine" "$winearch" fresh
    unset WINEPATH # the program finds everything beside itself
    export VANTER_SIM_TRANSCRIPT VANTER_SIM_STATE_DIR
    VANTER_SIM_TRANSCRIPT=$(winepath -w "$session/sim/transcript.log")
    VANTER_SIM_STATE_DIR=$(winepath -w "$session/sim")
    unset VANTER_SIM_UNITS VANTER_SIM_NO_LPT VANTER_SIM_USB_FAIL VANTER_SIM_FAULT
    temp_script=$WINEPREFIX/drive_c/\$\$temp.in3

    # shellcheck disable=SC2034 # read by window_named
    [ "$through_qemu" = 1 ] && session_wait=180 || session_wait=60

    cd "$session/work" || exit
    started=$SECONDS
    "$wine_loader" "$program/vanter3.exe" >"$session/program.log" 2>&1 &
    program_pid=$!
    session_pid=$program_pid
    main=$(window_named "^$(literal_pattern "$window_untitled_caption")\$")
    echo "window up after $((SECONDS - started)) s, caption: \"$(xdotool getwindowname "$main")\""
    eval "$(xdotool getwindowgeometry --shell "$main")"
    echo "window $WIDTH x $HEIGHT"
    sleep 1 # let it paint
    import -window "$main" "$screenshot"
    echo "screenshot: $screenshot"
    focus "$main"

    # The client area ends at the window's bottom edge, below the menu bar.
    local client="$window_client_width x $window_client_height"
    [ "$WIDTH" -eq "$window_client_width" ] && [ "$HEIGHT" -gt "$window_client_height" ] ||
        fail "window $WIDTH x $HEIGHT: no $client client area below a menu"
    echo "client area $client below a menu bar of $((HEIGHT - window_client_height)) pixels"

    # A port typed that is no number: Enter shows the error box, and the program goes on. The port
    # box (PrinterCombo) gets the untitled window's port back afterwards.
    # From the keyboard: the port box holds the focus when the window opens.
    port=0x3BC
    xdotool key Home shift+End
    xdotool type --delay 30 lpt1
    xdotool key Return
    port_error=$(message_text "$window_error_caption")
    echo "Port 'lpt1' and Enter, error box: \"$port_error\""
    [ "$port_error" = "'lpt1' is not a valid integer value." ] || fail "typed port: $port_error"
    kill -0 "$program_pid" 2>/dev/null || fail "the program ended after the error box"
    focus "$main"
    xdotool key Home shift+End
    xdotool type --delay 30 "$port"
    echo "the program goes on; the port box holds \"$port\" again"

    # Enter downloads the untitled defaults: slot #0, its file name still empty. The stand-in
    # refuses a unit without an image, but the script is written first, where the maker's library
    # reads it.
    defaults=$(printf '1\r\n0\r\n0\r\n5\r\n1\r\n0\r\n\r\nN' | od -An -tx1)
    xdotool key Return
    echo "Download of the defaults, window: \"$(message_text)\""
    [ -f "$temp_script" ] || fail "no download script at C:\\\$\$temp.in3"
    [ "$(od -An -tx1 <"$temp_script")" = "$defaults" ] || fail "download script: $(od -c <"$temp_script")"
    grep -q '^SayHello() ' "$session/sim/transcript.log" || fail "transcript: $(cat "$session/sim/transcript.log")"
    echo "C:\\\$\$temp.in3 holds the defaults' exact bytes; transcript: $(head -n1 "$session/sim/transcript.log")"
    : >"$session/sim/transcript.log"
    focus "$main"

    # The user names an image for unit #0 (FilenameEdit1) and presses Enter.
    mkdir -p "$WINEPREFIX/drive_c/images"
    head -c 4096 /dev/urandom >"$WINEPREFIX/drive_c/images/rom.bin"
    click_on "$control_FilenameEdit1" # empty: no selecting (Ctrl+A is Save As here)
    xdotool type --delay 30 'C:\images\rom.bin'
    xdotool key Return
    download_message=$(message_text)
    echo "Download of C:\\images\\rom.bin, window: \"$download_message\""
    [ "$download_message" = "Download OK" ] || fail "download: $download_message"
    configured=$(printf '1\r\n0\r\n0\r\n5\r\n1\r\n0\r\nC:\\images\\rom.bin\r\nN' | od -An -tx1)
    [ "$(od -An -tx1 <"$temp_script")" = "$configured" ] || fail "download script: $(od -c <"$temp_script")"
    cmp -s -n 4096 "$WINEPREFIX/drive_c/images/rom.bin" "$session/sim/unit0.bin" ||
        fail "unit #0 of the simulated chain does not hold the image"
    echo "unit #0 of the simulated chain holds the image"
    focus "$main"

    # Check: the button, clicked where it sits.
    click_on "$control_Check"
    check_message=$(message_text)
    echo "Check, window: \"$check_message\""
    focus "$main"

    # Ctrl+S in the untitled window asks for a file name.
    main=$(save_as board.in3)
    [ -f board.in3 ] || fail "board.in3 was not saved in the working folder: $(ls -A)"
    [ "$(od -An -tx1 <board.in3)" = "$configured" ] || fail "board.in3 holds: $(od -c <board.in3)"
    echo "Ctrl+S: board.in3 saved with the exact bytes, caption \"$(xdotool getwindowname "$main")\""

    # IniFile > Exit.
    exit_by_menu "$main"
    status=0
    wait "$program_pid" || status=$?
    program_pid=
    [ "$status" -eq 0 ] || fail "the program ended with $status"
    [ "$(ls -A)" = board.in3 ] || fail "the working folder holds: $(ls -A)"

    # The command-line program on the saved file: the same script, the same driver results.
    rm -f "$temp_script"
    cp "$session/sim/transcript.log" "$session/window-transcript.log"
    : >"$session/sim/transcript.log"
    cli() { wine "$program/vanter3-cli.exe" "$@" 2>&1 | tr -d '\r'; }
    cli_download=$(cli download board.in3) || fail "vanter3-cli download: $cli_download"
    cli_check=$(cli check board.in3) || fail "vanter3-cli check: $cli_check"
    echo "vanter3-cli download: $(echo "$cli_download" | tr '\n' ' ')"
    echo "vanter3-cli check: $(echo "$cli_check" | tr '\n' ' ')"
    [ "$(od -An -tx1 <"$temp_script")" = "$configured" ] || fail "CLI download script: $(od -c <"$temp_script")"
    echo "$cli_download" | grep -qxF "$download_message" || fail "the CLI's download differs from the window's"
    echo "$cli_check" | grep -qxF "$check_message" || fail "the CLI's check differs from the window's"
    # The driver saw the same calls with the same results.
    cmp -s <(grep -v '^ ' "$session/window-transcript.log") <(grep -v '^ ' "$session/sim/transcript.log") ||
        fail "transcripts differ: $(diff "$session/window-transcript.log" "$session/sim/transcript.log")"
    echo "transcript: $(grep -v '^ ' "$session/sim/transcript.log" | tr '\n' ' ')"
    echo "session: caption, screenshot, typed port, download, check, save and the CLI as expected ($arch under $winearch wine, $((SECONDS - stage_started)) s)"
    wineserver -k >/dev/null 2>&1 || true
}

play_cdecl_session() {
    # --- the same programs with a library built cdecl ------------------------------------------
    # Nobody here knows the maker's convention: the same vanter3.exe and vanter3-cli.exe, as
    # the ZIP holds them, download and check through the stand-in built cdecl too.
    echo "== The same vanter3.exe and vanter3-cli.exe with the stand-in PortGate.dll built cdecl"
    stage_started=$SECONDS
    cdecl=$build/cdecl-standin
    cmake -S "$top" --preset mingw-i686 -B "$cdecl" -DVANTER_WERROR="${VANTER_WERROR:-ON}" \
        -DVANTER_BUILD_TESTS=OFF -DVANTER_PORTGATE_CALLCONV=cdecl >/dev/null
    cmake --build "$cdecl" -j"$jobs" --target PortGateStandin >/dev/null
    # Its CheckVT leaves the arguments to the caller (a plain ret, where stdcall has ret $0x10).
    # (grep reads all: with -q, objdump's broken pipe would fail the pipeline.)
    "$objdump" -d --disassemble=_CheckVT "$cdecl/bin/PortGate.dll" | grep -P '\tret\s*$' >/dev/null ||
        fail "the cdecl stand-in's CheckVT does not return as cdecl"
    "$objdump" -d --disassemble=_CheckVT@16 "$program/PortGate.dll" | grep -P '\tret\s+\$0x10' >/dev/null ||
        fail "the stdcall stand-in's CheckVT does not return as stdcall"
    cp "$cdecl/bin/PortGate.dll" "$program/PortGate.dll"
    # The session's prefix, with its image; no script and no unit memories yet.
    rm -f "$temp_script" "$session/sim"/unit*
    mkdir -p "$session/work-cdecl"
    : >"$session/sim/transcript.log"
    # The saved file as the one the program opens at start.
    cp "$session/work/board.in3" "$session/work-cdecl/Vanter.in3"
    cd "$session/work-cdecl" || exit
    "$wine_loader" "$program/vanter3.exe" >"$session/program-cdecl.log" 2>&1 &
    program_pid=$!
    session_pid=$program_pid
    main=$(window_named "^$(literal_pattern "$window_caption_prefix")")
    eval "$(xdotool getwindowgeometry --shell "$main")"
    focus "$main"
    xdotool key Return
    answer=$(message_text)
    [ "$answer" = "$download_message" ] || fail "download with the cdecl library: $answer"
    [ "$(od -An -tx1 <"$temp_script")" = "$configured" ] || fail "download script: $(od -c <"$temp_script")"
    cmp -s -n 4096 "$WINEPREFIX/drive_c/images/rom.bin" "$session/sim/unit0.bin" ||
        fail "unit #0 of the simulated chain does not hold the image (cdecl)"
    focus "$main"
    click_on "$control_Check"
    answer=$(message_text)
    [ "$answer" = "$check_message" ] || fail "check with the cdecl library: $answer"
    exit_by_menu "$main"
    status=0
    wait "$program_pid" || status=$?
    program_pid=
    [ "$status" -eq 0 ] || fail "the program ended with $status (cdecl)"
    cli_download=$(cli download Vanter.in3) || fail "vanter3-cli download (cdecl): $cli_download"
    cli_check=$(cli check Vanter.in3) || fail "vanter3-cli check (cdecl): $cli_check"
    echo "$cli_download" | grep -qxF "$download_message" || fail "the CLI's download (cdecl): $cli_download"
    echo "$cli_check" | grep -qxF "$check_message" || fail "the CLI's check (cdecl): $cli_check"
    # Window and CLI made the calls and got the results of the stdcall session, twice.
    cmp -s <(cat "$session/window-transcript.log" "$session/window-transcript.log" | grep -v '^ ') \
        <(grep -v '^ ' "$session/sim/transcript.log") ||
        fail "transcripts differ: $(cat "$session/sim/transcript.log")"
    wineserver -k >/dev/null 2>&1 || true
    echo "cdecl: window \"$download_message\", \"$check_message\"; the CLI the same ($((SECONDS - stage_started)) s)"
}
