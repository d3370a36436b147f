#!/usr/bin/env bash
# Cross-builds everything that needs no Qt for 32-bit Windows (MinGW-w64) and runs its tests
# under wine, headless: the configuration core, the Download and Check commands, the driver
# binding through the import library made from emulator/PortGate.def, and the stand-in
# PortGate.dll. Then builds the binding and the stand-in once more with the cdecl calling
# convention and runs their tests.
#   tools/windows-check.sh            install what is missing, build, test
#   VANTER_MINGW_BUILD_DIR=dir        build folder (default build-mingw); the wine prefix is
#                                     made inside it
#   VANTER_WINDOWS_CDECL=0            skip the cdecl build
# Installs with apt-get (as root, or through sudo): the i386 architecture, the MinGW-w64
# cross-compiler, wine32 and the GoogleTest sources.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
build=${VANTER_MINGW_BUILD_DIR:-$top/build-mingw}
jobs=$(nproc)

packages=(cmake make g++-mingw-w64-i686 mingw-w64-tools googletest wine wine32:i386)

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)

install_missing() {
    local updated=
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        echo "Adding the i386 architecture (for wine32)"
        "${sudo[@]}" dpkg --add-architecture i386
        updated=no
    fi
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
    done
    if [ ${#missing[@]} -eq 0 ] && [ -z "$updated" ]; then
        return 0
    fi
    "${sudo[@]}" apt-get update -qq
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq \
            --no-install-recommends "${missing[@]}"
    fi
}

configure_and_build() { # folder, extra cmake arguments...
    local dir=$1
    shift
    cmake -S "$top" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/toolchain-mingw-i686.cmake" \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTER_BUILD_GUI=OFF \
        -DVANTER_WERROR="${VANTER_WERROR:-ON}" -DVANTER_PORTGATE_STANDIN=ON "$@" >/dev/null
}

# A private, headless 32-bit wine prefix; its drive C: is where c:\$$temp.in3 lands.
start_wine() {
    export WINEPREFIX=$build/wine WINEARCH=win32 WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml=" # no .NET or HTML engine wanted, no prompts
    unset DISPLAY WAYLAND_DISPLAY
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "Making the wine prefix $WINEPREFIX"
        wineboot -i >/dev/null 2>&1 </dev/null
        wineserver -w
    fi
    # One server for the whole run, with wine's own services started here rather than by the
    # first test: they would hold the test's output open and ctest would wait for them.
    wineserver -p >/dev/null 2>&1 || true # one may be running already
    trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
    wine cmd /c exit >/dev/null 2>&1 </dev/null
}

# Test counts per program, from ctest's log and its list of test commands.
summarise() { # build folder, ctest log
    ctest --test-dir "$1" --show-only=json-v1 2>/dev/null | awk -v logfile="$2" '
        /^        "[^"]*",?$/ && program == "" {
            exe = $0; gsub(/[", ]/, "", exe); n = split(exe, part, "/"); exe = part[n]
            if (exe ~ /\.exe$/) program = exe; else if (exe ~ /cmake$/) program = "(cmake -P checks)"
        }
        /^      "name" : / {
            name = $0; sub(/^      "name" : "/, "", name); sub(/",?$/, "", name)
            owner[name] = program == "" ? "?" : program; program = ""
        }
        END {
            while ((getline line < logfile) > 0) {
                if (line !~ /Test +#[0-9]+: /) continue
                name = line; sub(/^.*Test +#[0-9]+: /, "", name); sub(/ \.\.\..*$/, "", name)
                p = owner[name]; if (p == "") p = "?"
                if (line ~ /Passed/) passed[p]++
                else if (line ~ /Skipped|Not Run/) skipped[p]++
                else failed[p]++
                seen[p] = 1
            }
            for (p in seen)
                printf "  %-28s %4d passed, %d failed, %d skipped\n", p, passed[p], failed[p], skipped[p]
        }' | sort
}

run_tests() { # build folder, ctest arguments...
    local dir=$1
    shift
    local log=$dir/windows-check.log
    # The download script is one fixed file on Windows: its tests can't run side by side.
    local status=0
    ctest --test-dir "$dir" -j1 --output-on-failure "$@" >"$log" 2>&1 || status=$?
    grep -E 'tests passed|Total Test time' "$log" || true
    echo "Tests under wine, per program:"
    summarise "$dir" "$log"
    if [ "$status" -ne 0 ]; then
        sed -n '/The following tests FAILED/,$p' "$log"
        echo "See $log" >&2
        return "$status"
    fi
}

install_missing

echo "== 32-bit Windows cross-build (stdcall, the maker's convention) in $build"
configure_and_build "$build"
cmake --build "$build" -j"$jobs"
start_wine
rm -f "$WINEPREFIX/drive_c/\$\$temp.in3"
run_tests "$build"
# The tests' downloads wrote the script where the maker's library reads it: the prefix's C:.
if [ ! -f "$WINEPREFIX/drive_c/\$\$temp.in3" ]; then
    echo "No download script at C:\\\$\$temp.in3 of the wine prefix" >&2
    exit 1
fi
echo "Download script written at C:\\\$\$temp.in3 ($WINEPREFIX/drive_c)"
echo "PortGate.dll exports:"
"${VANTER_OBJDUMP:-i686-w64-mingw32-objdump}" -p "$build/bin/PortGate.dll" |
    sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed -n 's/^\t\[ *[0-9]*\] /  /p'

logs=("$build/windows-check.log")
if [ "${VANTER_WINDOWS_CDECL:-1}" != 0 ]; then
    echo "== The binding and the stand-in with the cdecl calling convention in $build/cdecl"
    configure_and_build "$build/cdecl" -DVANTER_PORTGATE_CALLCONV=cdecl
    cmake --build "$build/cdecl" -j"$jobs" --target emulator_test standin_test
    run_tests "$build/cdecl" -R '^(standin_exports|StandinTest\.|LinkedDriverTest\.|DownloadToScriptPathTest\.)'
    logs+=("$build/cdecl/windows-check.log")
fi

# Both runs together, as the closing line.
count() { cat "${logs[@]}" | grep -E 'Test +#[0-9]+: ' | grep -cE "$1" || true; }
echo "wine: $(count 'Passed') passed, $(count '\*\*\*(Failed|Timeout|Exception)') failed, $(count 'Skipped|Not Run') skipped"
