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
# This file chooses the way and builds; the jobs are in tools/windows-gui/: qt-tests.sh (the
# Qt tests under wine), zips.sh (the ZIPs and what their programs import), session.sh (the
# user's session on a virtual display).
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
[ "$arch" = i686 ] && add_i386=(--i386) || add_i386=()
install_missing "${add_i386[@]}" "${packages[@]}"

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

# The jobs, each in its own file.
# shellcheck source=tools/windows-gui/qt-tests.sh
. "$top/tools/windows-gui/qt-tests.sh"
# shellcheck source=tools/windows-gui/zips.sh
. "$top/tools/windows-gui/zips.sh"
# shellcheck source=tools/windows-gui/session.sh
. "$top/tools/windows-gui/session.sh"

run_qt_tests
make_zips
play_session
if [ "$arch" = i686 ]; then
    play_cdecl_session
    echo "windows-gui-check: done ($arch under $winearch wine; the ZIP for units, as tested: $(basename "$units_zip"); $((SECONDS - started_all)) s)"
    exit 0
fi

build_units_zip_apart
echo "windows-gui-check: done ($arch under $winearch wine; the ZIP for units, built apart: $(basename "$units_zip"); $((SECONDS - started_all)) s)"
