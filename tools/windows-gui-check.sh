#!/usr/bin/env bash
# The window program for Windows, proven under wine. Cross-builds vanter3.exe, vanter3-cli.exe,
# the stand-in PortGate.dll and the window's Qt tests against Qt 5.15 for MinGW
# (tools/qt5-mingw.sh), runs the Qt tests under wine with the offscreen platform, then plays a
# user's session on a virtual display: the program starts in an empty folder, Enter downloads,
# Check checks, Ctrl+S saves through the file dialog; and vanter3-cli.exe downloads and checks
# the saved file with the same results. A screenshot of the window goes to
# docs/screenshot-windows.png.
# The build is 32-bit (i686), as the maker's library is, wherever this machine runs 32-bit
# programs; elsewhere it is 64-bit (x86_64) under wine64, with the stand-in (a 64-bit program
# can't load the maker's 32-bit library).
#   tools/windows-gui-check.sh        builds Qt first when the cache lacks it (long: see
#                                     tools/qt5-mingw.sh)
#   VANTER_WINDOWS_GUI_CACHED_ONLY=1  skip, saying so, when the cache lacks Qt (as CI does)
#   VANTER_QT5_MINGW=dir              a Qt for MinGW of the same architecture elsewhere
#   VANTER_MINGW_GUI_BUILD_DIR=dir    build folder (default build-mingw-gui-<arch>); the wine
#                                     prefixes are made inside it, afresh for each run
#   VANTER_WINDOWS_32BIT=0|1          take the 64-bit or the 32-bit way without probing
#   VANTER_WINDOWS_SCREENSHOT=file    where the screenshot goes (default
#                                     docs/screenshot-windows.png)
# Installs with apt-get (as root, or through sudo) what is missing: the MinGW-w64
# cross-compiler, wine (wine32 or wine64) and its fonts, Xvfb, xdotool, xclip, ImageMagick.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
jobs=$(nproc)

# shellcheck source=tools/windows-common.sh
. "$top/tools/windows-common.sh"

if runs_32bit "${TMPDIR:-/tmp}"; then
    arch=i686 winearch=win32 wine_package=wine32:i386
else
    arch=x86_64 winearch=win64 wine_package=wine64
fi
build=${VANTER_MINGW_GUI_BUILD_DIR:-$top/build-mingw-gui-$arch}
screenshot=${VANTER_WINDOWS_SCREENSHOT:-$top/docs/screenshot-windows.png}

# The Qt: from the cache, or built now.
if [ -n "${VANTER_QT5_MINGW:-}" ]; then
    qt=$VANTER_QT5_MINGW
elif [ "${VANTER_WINDOWS_GUI_CACHED_ONLY:-0}" = 1 ]; then
    qt=$("$top/tools/qt5-mingw.sh" --cached "$arch") || {
        echo "SKIPPED: the window program for Windows: no Qt 5 for $arch MinGW in the cache" \
            "(tools/qt5-mingw.sh $arch builds it)"
        exit 0
    }
else
    qt=$("$top/tools/qt5-mingw.sh" "$arch" | tail -n1)
fi
[ -f "$qt/lib/cmake/Qt5/Qt5Config.cmake" ] || {
    echo "No Qt 5 in $qt" >&2
    exit 1
}

packages=(cmake make "g++-mingw-w64-${arch//_/-}-posix" mingw-w64-tools googletest wine
    "$wine_package" fonts-wine xvfb xdotool xclip imagemagick x11-utils)
[ "$arch" = i686 ] && add_i386=1 || add_i386=0
install_missing "$add_i386" "${packages[@]}"

if [ "$arch" = x86_64 ]; then
    echo "NOTE: this machine runs no 32-bit programs: the window program is proven as a 64-bit"
    echo "NOTE: (x86_64) build under wine64, with the stand-in PortGate.dll."
fi
echo "== vanter3.exe for $arch against Qt in $qt, in $build"
cmake -S "$top" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/toolchain-mingw-$arch.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTER_WERROR="${VANTER_WERROR:-ON}" \
    -DVANTER_QT_MAJOR=5 -DCMAKE_PREFIX_PATH="$qt" -DVANTER_PORTGATE_STANDIN=ON >/dev/null
# The window's tests are the Qt Test programs (tst_*): the rest runs in tools/windows-check.sh.
mapfile -t qt_tests < <(ctest --test-dir "$build" -N -R '^tst_' | sed -n 's/^ *Test *#[0-9]*: //p')
cmake --build "$build" -j"$jobs" --target vanter3 vanter3-cli PortGateStandin "${qt_tests[@]}"

# Qt's DLLs and plugins for the programs in bin/: found through the path, as a developer's
# machine finds its Qt kit.
start_wine() { # prefix
    export WINEPREFIX=$1 WINEARCH=$winearch WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml=" # no .NET or HTML engine wanted, no prompts
    rm -rf "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 </dev/null
    wineserver -w
    WINEPATH=$(winepath -w "$qt/bin")
    export WINEPATH
}

echo "== The window's Qt tests under wine (offscreen)"
(
    unset DISPLAY WAYLAND_DISPLAY
    start_wine "$build/wine-tests"
    trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
    log=$build/windows-gui-tests.log
    # The download script is one fixed file on Windows: the tests can't run side by side.
    status=0
    ctest --test-dir "$build" -j1 --output-on-failure -R '^tst_' >"$log" 2>&1 || status=$?
    grep -E 'tests passed|Total Test time' "$log" || true
    # Qt Test's own totals per program, and every skip with its reason, from ctest's full log.
    awk '/^[0-9]+\/[0-9]+ Test: / { name = $3 }
         /^Totals: / { printf "  %-24s %s\n", name, $0 }
         /^SKIP / { skips[$0]++ }
         END { for (s in skips) print "  " s }' "$build/Testing/Temporary/LastTest.log"
    if [ "$status" -ne 0 ]; then
        sed -n '/The following tests FAILED/,$p' "$log"
        echo "See $log" >&2
        exit "$status"
    fi
)

# --- a user's session on a virtual display ---------------------------------------------------
# The program as the simulator ZIP holds it, unpacked into its own folder, started in an empty
# working folder; a fresh wine prefix whose drive C: receives the download script.
session=$build/session
rm -rf "$session"
mkdir -p "$session/work" "$session/sim"
cmake --install "$build" --prefix "$session/program" >/dev/null
program=$session/program

xvfb_pid='' program_pid=''
finish() {
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
    wineserver -k >/dev/null 2>&1 || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    true
}
trap finish EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$session/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$session/display" ] && break
    sleep 0.1
done
[ -s "$session/display" ] || fail "Xvfb did not start"
DISPLAY=:$(cat "$session/display")
export DISPLAY
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
echo "== A user's session on display $DISPLAY"
start_wine "$session/wine"
unset WINEPATH # the program finds everything beside itself
export VANTER_SIM_TRANSCRIPT VANTER_SIM_STATE_DIR
VANTER_SIM_TRANSCRIPT=$(winepath -w "$session/sim/transcript.log")
VANTER_SIM_STATE_DIR=$(winepath -w "$session/sim")
unset VANTER_SIM_UNITS VANTER_SIM_NO_LPT VANTER_SIM_USB_FAIL VANTER_SIM_FAULT
temp_script=$WINEPREFIX/drive_c/\$\$temp.in3

# Waits for a window whose name matches, and prints its id.
window_named() {
    local id
    for _ in $(seq 300); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        kill -0 "$program_pid" 2>/dev/null || fail "the program ended while waiting for '$1'"
        sleep 0.1
    done
    fail "no window '$1'"
}
gone() {
    for _ in $(seq 100); do
        xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    fail "window '$1' did not close"
}
focus() {
    xdotool windowfocus --sync "$1"
    sleep 0.3
}
# The message box's text, copied as Windows users copy it: Ctrl+C (the clipboard holds title,
# text and buttons between dashed lines). Then Enter closes the box.
message_text() {
    local box text=''
    box=$(window_named '^VanterIII Message$')
    focus "$box"
    # Our own mark first: xclip holds it until the program takes the clipboard over.
    echo "no copy yet" | xclip -selection clipboard -i
    for _ in $(seq 20); do
        xdotool key ctrl+c
        sleep 0.3
        text=$(xclip -selection clipboard -o -t UTF8_STRING 2>/dev/null | tr -d '\r' || true)
        [ "$(sed -n 2p <<<"$text")" = "VanterIII Message" ] && break
    done
    [ "$(sed -n 2p <<<"$text")" = "VanterIII Message" ] || fail "Ctrl+C copied: $text"
    sed -n 4p <<<"$text"
    xdotool key Return
    gone '^VanterIII Message$'
}

cd "$session/work"
started=$SECONDS
wine "$program/vanter3.exe" >"$session/program.log" 2>&1 &
program_pid=$!
caption='VANTER III  v3.b3  -- Untitled.in3'
main=$(window_named "^${caption//./\\.}\$")
echo "window up after $((SECONDS - started)) s, caption: \"$(xdotool getwindowname "$main")\""
eval "$(xdotool getwindowgeometry --shell "$main")"
echo "window $WIDTH x $HEIGHT"
sleep 1 # let it paint
import -window "$main" "$screenshot"
echo "screenshot: $screenshot"
focus "$main"

# Enter downloads the untitled defaults: slot #0 with no image.
defaults=$(printf '1\r\n0\r\n0\r\n5\r\n1\r\n0\r\n\r\nN' | od -An -tx1)
xdotool key Return
download_message=$(message_text)
echo "Download, window: \"$download_message\""
[ -f "$temp_script" ] || fail "no download script at C:\\\$\$temp.in3"
[ "$(od -An -tx1 <"$temp_script")" = "$defaults" ] || fail "download script: $(od -c <"$temp_script")"
grep -q '^SayHello() ' "$session/sim/transcript.log" || fail "transcript: $(cat "$session/sim/transcript.log")"
focus "$main"

# Check: the button, clicked where it sits (bottom row, 235..310 x 435..460 of the 553x498 client
# area, which ends at the window's bottom edge).
frame=$(((WIDTH - 553) / 2))
xdotool mousemove --window "$main" $((frame + 272)) $((HEIGHT - frame - 498 + 447))
xdotool click 1
check_message=$(message_text)
echo "Check, window: \"$check_message\""
focus "$main"

# Ctrl+S in the untitled window asks for a file name.
xdotool key ctrl+s
dialog=$(window_named '^Save As$')
focus "$dialog"
xdotool type --delay 30 'board.in3'
xdotool key Return
gone '^Save As$'
main=$(window_named '^VANTER III  v3\.b3  -- .*board\.in3$')
[ -f board.in3 ] || fail "board.in3 was not saved in the working folder: $(ls -A)"
[ "$(od -An -tx1 <board.in3)" = "$defaults" ] || fail "board.in3 holds: $(od -c <board.in3)"
echo "Ctrl+S: board.in3 saved with the defaults' exact bytes"

# IniFile > Exit.
focus "$main"
xdotool key alt+i
sleep 0.3
xdotool key x
for _ in $(seq 100); do
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$program_pid" 2>/dev/null && fail "the program did not end after Exit"
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
[ "$(od -An -tx1 <"$temp_script")" = "$defaults" ] || fail "CLI download script: $(od -c <"$temp_script")"
echo "$cli_download" | grep -qxF "$download_message" || fail "the CLI's download differs from the window's"
echo "$cli_check" | grep -qxF "$check_message" || fail "the CLI's check differs from the window's"
# The driver saw the same calls with the same results.
cmp -s <(grep -v '^ ' "$session/window-transcript.log") <(grep -v '^ ' "$session/sim/transcript.log") ||
    fail "transcripts differ: $(diff "$session/window-transcript.log" "$session/sim/transcript.log")"
echo "transcript: $(grep -v '^ ' "$session/sim/transcript.log" | tr '\n' ' ')"
echo "session: caption, screenshot, download, check, save and the CLI as expected ($arch under $winearch wine)"
