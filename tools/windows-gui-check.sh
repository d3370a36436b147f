#!/usr/bin/env bash
# The window program for Windows, proven under wine. Cross-builds vanter3.exe, vanter3-cli.exe,
# the stand-in PortGate.dll and the window's Qt tests against Qt 5.15 for MinGW
# (tools/qt5-mingw.sh), runs the Qt tests under wine with the offscreen platform, then plays a
# user's session on a virtual display: the program starts in an empty folder, Enter downloads,
# Check checks, Ctrl+S saves through the file dialog; and vanter3-cli.exe downloads and checks
# the saved file with the same results. A screenshot of the window goes to
# docs/screenshot-windows.png.
# The build is 32-bit (i686), as the maker's library is: under wine32, through QEMU's user mode
# where the kernel refuses 32-bit programs (tools/windows-common.sh). Its ZIP for units is made
# from the very programs tested here, and the session runs as unpacked from that ZIP with the
# stand-in PortGate.dll put beside it, built stdcall, then once more built cdecl. Where 32-bit
# programs can't be run at all, the build is 64-bit (x86_64) under wine64, with the stand-in (a
# 64-bit program can't load the maker's 32-bit library), and the ZIP for units is built apart,
# untested; the script says why.
#   tools/windows-gui-check.sh        builds Qt first when the cache lacks it (long: see
#                                     tools/qt5-mingw.sh)
#   VANTER_WINDOWS_GUI_CACHED_ONLY=1  skip, saying so, when the cache lacks Qt (as CI does)
#   VANTER_QT5_MINGW=dir              a Qt for MinGW of the same architecture elsewhere
#   VANTER_MINGW_GUI_BUILD_DIR=dir    build folder (default build-mingw-gui-<arch>); the wine
#                                     prefixes are made inside it, afresh for each run
#   VANTER_WINDOWS_32BIT=0|1          take the 64-bit way, or insist on the 32-bit one
#   VANTER_WINDOWS_SCREENSHOT=file    where the screenshot goes (default
#                                     docs/screenshot-windows.png)
# Installs with apt-get (as root, or through sudo) what is missing: the MinGW-w64
# cross-compiler, wine (wine32 or wine64) and its fonts, Xvfb, xdotool, xclip, ImageMagick.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
jobs=$(nproc)
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# shellcheck source=tools/windows-common.sh
. "$top/tools/windows-common.sh"

started_all=$SECONDS
choose_bits "${TMPDIR:-/tmp}"
if [ "$bits" = 32 ]; then
    arch=i686 winearch=win32 wine_package=wine32:i386
else
    arch=x86_64 winearch=win64 wine_package=wine64
fi
use_wine "$bits"
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
    echo "NOTE: the 32-bit window program is not run: $bits_why."
    echo "NOTE: It is proven as a 64-bit (x86_64) build under wine64, with the stand-in PortGate.dll."
else
    echo "The window program: 32-bit (i686) under wine32: $bits_why"
fi
# On the 32-bit way this build is also the ZIP for units (VANTER_WINDOWS_ZIP=units: the stand-in
# is built for the tests, not packed).
[ "$arch" = i686 ] && zip_kind=units || zip_kind=simulator
echo "== vanter3.exe for $arch against Qt in $qt, in $build"
# (The preset leaves the ZIP's dependency on "all" out: the ZIP takes what is built below.)
cmake -S "$top" --preset "mingw-$arch-gui" -B "$build" -DVANTER_WERROR="${VANTER_WERROR:-ON}" \
    -DCMAKE_PREFIX_PATH="$qt" -DVANTER_WINDOWS_ZIP="$zip_kind" \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$wine_loader" >/dev/null
# The window's tests are the Qt Test programs (tst_*): the rest runs in tools/windows-check.sh.
# Each test program once: some run again under other settings as tests of other names.
mapfile -t qt_tests < <(ctest --test-dir "$build" --show-only=json-v1 | python3 -c '
import json, os, sys
programs = []
for test in json.load(sys.stdin)["tests"]:
    exe = next((a for a in test.get("command", []) if a.endswith(".exe")), "")
    name = os.path.basename(exe)[:-4]
    if test["name"].startswith("tst_") and name and name not in programs:
        programs.append(name)
print("\n".join(programs))')
cmake --build "$build" -j"$jobs" --target vanter3 vanter3-cli PortGateStandin "${qt_tests[@]}"

# Qt's DLLs and plugins for the programs in bin/: found through the path, as a developer's
# machine finds its Qt kit.
start_wine() { # prefix
    export WINEPREFIX=$1 WINEARCH=$winearch WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml=" # no .NET or HTML engine wanted, no prompts
    rm -rf "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 </dev/null
    wineserver -w
    at_exit "WINEPREFIX='$WINEPREFIX' wineserver -k >/dev/null 2>&1"
    WINEPATH=$(winepath -w "$qt/bin")
    export WINEPATH
}
# Wine hands no variable named QT_* to Windows programs: Qt's settings go into the prefix's own
# environment (HKCU\Environment), which every program started in it inherits.
wine_environment() { # name value
    wine reg add 'HKCU\Environment' /v "$1" /t REG_SZ /d "$2" /f >/dev/null
}

echo "== The window's Qt tests under wine (offscreen)"
stage_started=$SECONDS
(
    unset DISPLAY WAYLAND_DISPLAY
    start_wine "$build/wine-tests"
    # A subshell: its own way out stops its own server.
    trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
    # Offscreen, Qt on Windows reads font files from one folder: wine's own fonts.
    wine_environment QT_QPA_PLATFORM offscreen
    wine_environment QT_QPA_FONTDIR "$(winepath -w /usr/share/wine/fonts)"
    wineserver -w
    # Each program on its own, one after the other (the download script is one fixed file on
    # Windows). Qt Test writes into a file: a program under wine has no console for it.
    results=$build/qt-tests
    rm -rf "$results"
    mkdir -p "$results"
    failed=()
    for test in "${qt_tests[@]}"; do
        status=0
        test_started=$SECONDS
        timeout 900 "$wine_loader" "$build/bin/$test.exe" -o "$(winepath -w "$results/$test.txt"),txt" \
            >"$results/$test.out" 2>&1 || status=$?
        totals=$(grep -h '^Totals: ' "$results/$test.txt" 2>/dev/null || echo "no totals (status $status)")
        printf '  %-24s %s (%d s)\n' "$test" "$totals" $((SECONDS - test_started))
        sed -n 's/^SKIP   : /    skipped: /p' "$results/$test.txt" 2>/dev/null
        if [ "$status" -ne 0 ]; then
            failed+=("$test")
            grep -A3 '^FAIL!' "$results/$test.txt" 2>/dev/null | sed 's/^/    /' || true
        fi
    done
    cat "$results"/*.txt | awk '/^Totals: / { p += $2; f += $4; s += $6 }
        END { printf "wine Qt tests: %d passed, %d failed, %d skipped", p, f, s }'
    echo " ($arch under $winearch wine, $((SECONDS - stage_started)) s)"
    if [ ${#failed[@]} -gt 0 ]; then
        echo "FAILED under wine: ${failed[*]} (logs in $results)" >&2
        exit 1
    fi
)

# --- the ZIPs a Windows user unpacks -----------------------------------------------------------
zip_listing() { python3 -c 'import sys, zipfile; print("\n".join(zipfile.ZipFile(sys.argv[1]).namelist()))' "$1"; }
libgcc=libgcc_s_dw2-1.dll
[ "$arch" = i686 ] || libgcc=libgcc_s_seh-1.dll
check_zip() { # zip, then whether PortGate.dll belongs in it (0|1)
    local listing missing=() wanted libgcc=libgcc_s_dw2-1.dll
    [[ $1 != *-win64* ]] || libgcc=libgcc_s_seh-1.dll
    listing=$(zip_listing "$1" | sed 's:^[^/]*/::' | sort)
    for wanted in vanter3.exe vanter3-cli.exe Qt5Core.dll Qt5Gui.dll Qt5Widgets.dll \
        platforms/qwindows.dll styles/qwindowsvistastyle.dll libstdc++-6.dll $libgcc \
        libwinpthread-1.dll README.txt LICENSE.txt; do
        grep -qxF "$wanted" <<<"$listing" || missing+=("$wanted")
    done
    [ ${#missing[@]} -eq 0 ] || fail "$1 lacks: ${missing[*]}"
    if grep -qix 'portgate.dll' <<<"$listing"; then
        [ "$2" = 1 ] || fail "$1 holds a PortGate.dll: the maker's goes there, by the user's hand"
    else
        [ "$2" = 0 ] || fail "$1 lacks the stand-in PortGate.dll"
    fi
    echo "  $(basename "$1"): $(wc -l <<<"$listing") files, $(du -k "$1" | cut -f1) KiB"
}
# Both programs bind the maker's two functions by their plain names when they load.
check_portgate_imports() { # folder of the programs
    local program imports
    for program in vanter3 vanter3-cli; do
        imports=$(i686-w64-mingw32-objdump -p "$1/$program.exe" |
            awk '/DLL Name: / { dll = $3; next } /^$/ { dll = "" }
                 dll == "PortGate.dll" && NF == 3 && $2 ~ /^[0-9]+$/ { print $3 }' |
            sort | tr '\n' ' ')
        [ "$imports" = "CheckVT SayHello " ] || fail "$program.exe imports from PortGate.dll: '$imports'"
    done
    echo "  vanter3.exe and vanter3-cli.exe import CheckVT and SayHello from PortGate.dll, by name"
}
unpack() { # zip, folder: prints the unpacked program folder
    rm -rf "$2"
    mkdir -p "$2"
    cmake -E chdir "$2" cmake -E tar xf "$1"
    echo "$2"/vanter3-*
}
objdump=$arch-w64-mingw32-objdump
dll_imports() { "$objdump" -p "$1" | sed -n 's/^\tDLL Name: //p' | tr '[:upper:]' '[:lower:]'; }
# One libgcc and one libstdc++ in the process: every program of ours that meets Qt's DLLs
# (vanter3.exe, the Qt test programs) imports the runtime DLLs that Qt's DLLs import, so it
# carries no copy of its own, and the ZIP's copies are the ones the Qt tests ran with (Qt's).
check_runtime() { # unpacked program folder
    local file imports shared=0
    for file in "$1"/*.exe "$build"/bin/tst_*.exe; do
        imports=$(dll_imports "$file")
        grep -q '^qt5' <<<"$imports" || continue
        if ! grep -qxF libstdc++-6.dll <<<"$imports" || ! grep -qxF "$libgcc" <<<"$imports"; then
            fail "${file##*/} meets Qt's DLLs without sharing their libstdc++-6.dll and $libgcc: $(tr '\n' ' ' <<<"$imports")"
        fi
        shared=$((shared + 1))
    done
    for file in libstdc++-6.dll "$libgcc" libwinpthread-1.dll; do
        cmp -s "$1/$file" "$qt/bin/$file" || fail "the ZIP's $file is not Qt's ($qt/bin)"
    done
    echo "  $shared programs that meet Qt's DLLs share their libstdc++-6.dll and $libgcc; the ZIP carries Qt's copies"
}

(cd "$build" && cpack -G ZIP -C RelWithDebInfo >/dev/null)
if [ "$zip_kind" = units ]; then
    echo "== The ZIP for real units, from the programs tested above (i686, no PortGate.dll)"
    units_zip=$(ls "$build"/vanter3-*-win32.zip)
    check_zip "$units_zip" 0
    check_portgate_imports "$build/bin"
    # And the simulator ZIP from the same programs, with the stand-in.
    cmake "$build" -DVANTER_WINDOWS_ZIP=simulator >/dev/null
    (cd "$build" && cpack -G ZIP -C RelWithDebInfo >/dev/null)
    simulator_zip=$(ls "$build"/vanter3-*-win32-simulator.zip)
    echo "== The simulator ZIP, the same programs with the stand-in"
    check_zip "$simulator_zip" 1
    session_zip=$units_zip
else
    echo "== The simulator ZIP"
    simulator_zip=$(ls "$build"/vanter3-*-simulator.zip)
    check_zip "$simulator_zip" 1
    session_zip=$simulator_zip
fi

# --- a user's session on a virtual display ---------------------------------------------------
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

xvfb_pid='' program_pid=''
finish() {
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    true
}
at_exit finish

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
stage_started=$SECONDS
start_wine "$session/wine"
unset WINEPATH # the program finds everything beside itself
export VANTER_SIM_TRANSCRIPT VANTER_SIM_STATE_DIR
VANTER_SIM_TRANSCRIPT=$(winepath -w "$session/sim/transcript.log")
VANTER_SIM_STATE_DIR=$(winepath -w "$session/sim")
unset VANTER_SIM_UNITS VANTER_SIM_NO_LPT VANTER_SIM_USB_FAIL VANTER_SIM_FAULT
temp_script=$WINEPREFIX/drive_c/\$\$temp.in3

# shellcheck source=testing/x11_session.sh
. "$top/testing/x11_session.sh"
# shellcheck disable=SC2034 # read by window_named
[ "$through_qemu" = 1 ] && session_wait=180 || session_wait=60
# The message box's text, copied as Windows users copy it: Ctrl+C (the clipboard holds title,
# text and buttons between dashed lines). Then Enter closes the box.
message_text() { # title (default VanterIII Message)
    local box text='' title=${1:-VanterIII Message}
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

cd "$session/work"
started=$SECONDS
"$wine_loader" "$program/vanter3.exe" >"$session/program.log" 2>&1 &
program_pid=$!
session_pid=$program_pid
caption='VANTER III  v3.b3  -- Untitled.in3'
main=$(window_named "^${caption//./\\.}\$")
echo "window up after $((SECONDS - started)) s, caption: \"$(xdotool getwindowname "$main")\""
eval "$(xdotool getwindowgeometry --shell "$main")"
echo "window $WIDTH x $HEIGHT"
sleep 1 # let it paint
import -window "$main" "$screenshot"
echo "screenshot: $screenshot"
focus "$main"

# The client area (553 x 498) ends at the window's bottom edge, below the menu bar; a point of
# it, in the window's coordinates.
[ "$WIDTH" -eq 553 ] && [ "$HEIGHT" -gt 498 ] || fail "window $WIDTH x $HEIGHT: no 553 x 498 client area below a menu"
echo "client area 553 x 498 below a menu bar of $((HEIGHT - 498)) pixels"
click_at() { # x y of the client area
    xdotool mousemove --window "$main" "$1" $((HEIGHT - 498 + $2))
    xdotool click 1
}

# A port typed that is no number: Enter shows the error box, and the program goes on. The port
# box (PrinterCombo at 96,19 75x21) gets the untitled window's port back afterwards.
# From the keyboard: the port box holds the focus when the window opens.
port=0x3BC
xdotool key Home shift+End
xdotool type --delay 30 lpt1
xdotool key Return
port_error=$(message_text 'VANTER III')
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

# The user names an image for unit #0 (FilenameEdit1 at 72,158 177x21) and presses Enter.
mkdir -p "$WINEPREFIX/drive_c/images"
head -c 4096 /dev/urandom >"$WINEPREFIX/drive_c/images/rom.bin"
click_at 160 168 # empty: no selecting (Ctrl+A is Save As here)
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

# Check: the button, clicked where it sits (235..310 x 435..460).
click_at 272 447
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

if [ "$arch" = i686 ]; then
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
    cd "$session/work-cdecl"
    "$wine_loader" "$program/vanter3.exe" >"$session/program-cdecl.log" 2>&1 &
    program_pid=$!
    session_pid=$program_pid
    main=$(window_named '^VANTER III  v3\.b3  -- ')
    eval "$(xdotool getwindowgeometry --shell "$main")"
    focus "$main"
    xdotool key Return
    answer=$(message_text)
    [ "$answer" = "$download_message" ] || fail "download with the cdecl library: $answer"
    [ "$(od -An -tx1 <"$temp_script")" = "$configured" ] || fail "download script: $(od -c <"$temp_script")"
    cmp -s -n 4096 "$WINEPREFIX/drive_c/images/rom.bin" "$session/sim/unit0.bin" ||
        fail "unit #0 of the simulated chain does not hold the image (cdecl)"
    focus "$main"
    click_at 272 447
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
    echo "windows-gui-check: done ($arch under $winearch wine; the ZIP for units, as tested: $(basename "$units_zip"); $((SECONDS - started_all)) s)"
    exit 0
fi

# --- the ZIP for real units, where the 32-bit programs can't run here -----------------------
# A 64-bit program can't load the maker's 32-bit PortGate.DLL: the ZIP users take to their
# units is built for i686 all the same, but not run on this machine.
echo "== The ZIP for real units (i686, the maker's PortGate.DLL beside vanter3.exe), built, not run: $bits_why"
if [ -n "${VANTER_QT5_MINGW_I686:-}" ]; then
    qt32=$VANTER_QT5_MINGW_I686
elif [ "${VANTER_WINDOWS_GUI_CACHED_ONLY:-0}" = 1 ]; then
    qt32=$("$top/tools/qt5-mingw.sh" --cached i686) || {
        echo "SKIPPED: the ZIP for real units: no Qt 5 for i686 MinGW in the cache" \
            "(tools/qt5-mingw.sh i686 builds it)"
        exit 0
    }
else
    qt32=$("$top/tools/qt5-mingw.sh" i686 | tail -n1)
fi
install_missing 0 g++-mingw-w64-i686-posix
units=${VANTER_MINGW_ZIP_BUILD_DIR:-$top/build-mingw-zip-i686}
cmake -S "$top" --preset mingw-i686-zip -B "$units" -DVANTER_WERROR="${VANTER_WERROR:-ON}" \
    -DCMAKE_PREFIX_PATH="$qt32" >/dev/null
cmake --build "$units" -j"$jobs" --target vanter3 vanter3-cli
(cd "$units" && cpack -G ZIP >/dev/null)
units_zip=$(ls "$units"/vanter3-*-win32.zip)
check_zip "$units_zip" 0
check_portgate_imports "$units/bin"
echo "windows-gui-check: done ($arch under $winearch wine; the ZIP for units, built apart: $(basename "$units_zip"); $((SECONDS - started_all)) s)"
