#!/usr/bin/env bash
# Cross-builds everything that needs no Qt for Windows (MinGW-w64) and runs its tests under
# wine, headless: the configuration core, the Download and Check commands, the driver binding
# through the import library made from emulator/PortGate.def, and the stand-in PortGate.dll.
# Then builds the binding and the stand-in once more with the cdecl calling convention and
# runs their tests.
# The build is 32-bit (i686), as the maker's library is, wherever the machine runs 32-bit code.
# Some machines run 64-bit code only (the kernel refuses i386 programs): there the tests run in
# a 64-bit (x86_64) build under wine64 instead, and the 32-bit programs are built and their
# exports checked without running them.
#   tools/windows-check.sh            install what is missing, build, test
#   VANTER_MINGW_BUILD_DIR=dir        build folder (default build-mingw; the 64-bit build goes
#                                     to dir/x86_64); the wine prefix is made inside it
#   VANTER_WINDOWS_CDECL=0            skip the cdecl build
#   VANTER_WINDOWS_32BIT=0|1          take the 64-bit or the 32-bit way without probing
# Installs with apt-get (as root, or through sudo): the MinGW-w64 cross-compilers, wine and the
# GoogleTest sources; for the 32-bit way the i386 architecture and wine32, for the 64-bit way
# wine64.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
build=${VANTER_MINGW_BUILD_DIR:-$top/build-mingw}
build64=$build/x86_64
jobs=$(nproc)

# Does this machine run 32-bit x86 programs? Some kernels refuse them ("IA-32 emulation off"):
# execve of an i386 program fails with "Exec format error", and wine32 can't start. The probe
# is the smallest i386 Linux program (exit(0) through int 0x80); only that refusal means no.
runs_32bit() {
    case ${VANTER_WINDOWS_32BIT:-} in
    0) return 1 ;;
    1) return 0 ;;
    esac
    local probe=$build/i386-probe status=0 why
    mkdir -p "$build"
    base64 -d >"$probe" <<<'f0VMRgEBAQAAAAAAAAAAAAIAAwABAAAAVIAECDQAAAAAAAAAAAAAADQAIAABAAAAAAAAAAEAAAAAAAAAAIAECACABAhbAAAAWwAAAAUAAAAAEAAAMdsxwEDNgA=='
    chmod +x "$probe"
    # Run by bash itself: execvp (env, timeout, perl) would hand a refused program to sh.
    why=$(
        export LC_ALL=C
        "$probe" 2>&1
    ) || status=$?
    rm -f "$probe"
    ! [[ $status -eq 126 && $why == *"Exec format error"* ]]
}

if runs_32bit; then
    bits=32
    packages=(cmake make g++-mingw-w64-i686 mingw-w64-tools googletest wine wine32:i386)
else
    bits=64
    echo "NOTE: this machine runs no 32-bit programs (the kernel refuses them: Exec format error)."
    echo "NOTE: the 32-bit build could not be run on this machine. Its tests run in a 64-bit build"
    echo "NOTE: under wine64 instead; the 32-bit programs are built and their exports checked."
    # The i686 compiler too: the 32-bit programs are still built.
    packages=(cmake make g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools googletest
        wine wine64)
fi

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)

install_missing() {
    local updated=
    if [ "$bits" = 32 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
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

configure_and_build() { # i686 or x86_64, folder, extra cmake arguments...
    local arch=$1 dir=$2
    shift 2
    cmake -S "$top" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/toolchain-mingw-$arch.cmake" \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTER_BUILD_GUI=OFF \
        -DVANTER_WERROR="${VANTER_WERROR:-ON}" -DVANTER_PORTGATE_STANDIN=ON "$@" >/dev/null
}

# A private, headless wine prefix (win32 or win64) in the build folder; its drive C: is where
# c:\$$temp.in3 lands.
start_wine() { # build folder, wine architecture
    export WINEPREFIX=$1/wine WINEARCH=$2 WINEDEBUG=-all
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

logs=()
cdecl_tests='^(standin_exports|StandinTest\.|LinkedDriverTest\.|DownloadToScriptPathTest\.)'

# Builds in the folder, runs the tests under wine, and shows where the download script landed
# and what PortGate.dll exports.
build_and_run() { # i686 or x86_64, folder, wine architecture
    local arch=$1 dir=$2
    configure_and_build "$arch" "$dir"
    cmake --build "$dir" -j"$jobs"
    start_wine "$dir" "$3"
    rm -f "$WINEPREFIX/drive_c/\$\$temp.in3"
    run_tests "$dir"
    logs+=("$dir/windows-check.log")
    # The tests' downloads wrote the script where the maker's library reads it: the prefix's C:.
    if [ ! -f "$WINEPREFIX/drive_c/\$\$temp.in3" ]; then
        echo "No download script at C:\\\$\$temp.in3 of the wine prefix" >&2
        exit 1
    fi
    echo "Download script written at C:\\\$\$temp.in3 ($WINEPREFIX/drive_c)"
    echo "PortGate.dll exports:"
    "${VANTER_OBJDUMP:-$arch-w64-mingw32-objdump}" -p "$dir/bin/PortGate.dll" |
        sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed -n 's/^\t\[ *[0-9]*\] /  /p'
}

# Builds the 32-bit programs without running any, and checks the DLL's exports, the test
# program's imports and the import library's names (objdump and nm, no wine). Not through
# ctest: it lists the tests by running the test programs.
build_only() { # folder, build targets ("" for all), extra cmake arguments...
    local dir=$1 targets=$2
    shift 2
    configure_and_build i686 "$dir" "$@"
    # shellcheck disable=SC2086 # the targets are separate words
    cmake --build "$dir" -j"$jobs" ${targets:+--target $targets}
    cmake --build "$dir" --target standin_exports_check | sed -n 's/^-- //p'
}

if [ "$bits" = 32 ]; then
    echo "== 32-bit Windows cross-build (stdcall, the maker's convention) in $build"
    build_and_run i686 "$build" win32
    if [ "${VANTER_WINDOWS_CDECL:-1}" != 0 ]; then
        echo "== The binding and the stand-in with the cdecl calling convention in $build/cdecl"
        configure_and_build i686 "$build/cdecl" -DVANTER_PORTGATE_CALLCONV=cdecl
        cmake --build "$build/cdecl" -j"$jobs" --target emulator_test standin_test
        run_tests "$build/cdecl" -R "$cdecl_tests"
        logs+=("$build/cdecl/windows-check.log")
    fi
else
    echo "== 64-bit Windows cross-build (x86_64, the stand-in PortGate.dll) in $build64"
    build_and_run x86_64 "$build64" win64
    echo "== 32-bit Windows cross-build (stdcall), built, not run, in $build"
    build_only "$build" ""
    if [ "${VANTER_WINDOWS_CDECL:-1}" != 0 ]; then
        # x86_64 has one calling convention: there is no cdecl variant to run.
        echo "== The binding and the stand-in with cdecl, 32-bit, built, not run, in $build/cdecl"
        build_only "$build/cdecl" "emulator_test standin_test" -DVANTER_PORTGATE_CALLCONV=cdecl
    fi
fi

if [ "$bits" = 64 ]; then
    echo "NOTE: the 32-bit build could not be run on this machine: its tests ran in the 64-bit build."
fi
# All runs together, as the closing line.
count() { cat "${logs[@]}" | grep -E 'Test +#[0-9]+: ' | grep -cE "$1" || true; }
echo "wine: $(count 'Passed') passed, $(count '\*\*\*(Failed|Timeout|Exception)') failed, $(count 'Skipped|Not Run') skipped"
