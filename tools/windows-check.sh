#!/usr/bin/env bash
# Cross-builds everything that needs no Qt for Windows (MinGW-w64) and runs its tests under
# wine, headless: the configuration core, the Download and Check commands, the driver binding
# through the import library made from emulator/PortGate.def, and the stand-in PortGate.dll.
# Then runs the same test programs against the stand-in built with the cdecl calling
# convention: the programs take either.
# The build is 32-bit (i686), as the maker's library is. Where the kernel refuses 32-bit
# programs, they run through QEMU's user mode (tools/windows-common.sh: qemu-i386 from
# bookworm-backports, registered with binfmt_misc for the run only). Where neither can be had,
# the tests run in a 64-bit (x86_64) build under wine64 instead, and the 32-bit programs are
# built and their exports checked without running them; the script says why.
#   tools/windows-check.sh            install what is missing, build, test
#   VANTER_MINGW_BUILD_DIR=dir        build folder (default build-mingw; the 64-bit build goes
#                                     to dir/x86_64); the wine prefix is made inside it
#   VANTER_WINDOWS_CDECL=0            skip the cdecl runs
#   VANTER_WINDOWS_32BIT=0|1          take the 64-bit way, or insist on the 32-bit one
# Installs with apt-get (as root, or through sudo): the MinGW-w64 cross-compilers, wine and the
# GoogleTest sources; for the 32-bit way the i386 architecture and wine32, for the 64-bit way
# wine64.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
build=${VANTER_MINGW_BUILD_DIR:-$top/build-mingw}
build64=$build/x86_64
jobs=$(nproc)

# shellcheck source=tools/windows-common.sh
. "$top/tools/windows-common.sh"

choose_bits "$build"
if [ "$bits" = 32 ]; then
    packages=(cmake make g++-mingw-w64-i686 mingw-w64-tools googletest wine wine32:i386)
    echo "Windows tests: 32-bit (i686) under wine32: $bits_why"
else
    echo "NOTE: the 32-bit build is not run: $bits_why."
    echo "NOTE: Its tests run in a 64-bit build under wine64 instead; the 32-bit programs are"
    echo "NOTE: built and their exports checked."
    # The i686 compiler too: the 32-bit programs are still built.
    packages=(cmake make g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools googletest
        wine wine64)
fi
use_wine "$bits"

configure_and_build() { # i686 or x86_64, folder, extra cmake arguments...
    local arch=$1 dir=$2
    shift 2
    cmake -S "$top" --preset "mingw-$arch" -B "$dir" -DVANTER_WERROR="${VANTER_WERROR:-ON}" \
        -DCMAKE_CROSSCOMPILING_EMULATOR="$wine_loader" "$@" >/dev/null
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
    # One test at a time. The tests that share the fixed download script (c:\$$temp.in3) also
    # hold a lock on it (RESOURCE_LOCK download_script), for runs by hand with -j.
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

[ "$bits" = 32 ] && add_i386=(--i386) || add_i386=()
install_missing "${add_i386[@]}" "${packages[@]}"

logs=()

# Builds in the folder, runs the tests under wine, and shows where the download script landed
# and what PortGate.dll exports.
build_and_run() { # i686 or x86_64, folder, wine architecture
    local arch=$1 dir=$2
    configure_and_build "$arch" "$dir"
    cmake --build "$dir" -j"$jobs"
    # Headless, kept in the build folder; its drive C: is where c:\$$temp.in3 lands.
    start_wine "$dir/wine" "$3" kept headless server
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

# The test programs of the stdcall build, as they are, beside the stand-in built cdecl: the
# binding's and the stand-in's tests (the stand-in's own exports are checked in its tree).
same_programs_with_cdecl() {
    local dir=$build/cdecl-same program log
    rm -rf "$dir"
    mkdir -p "$dir"
    cp "$build/bin/emulator_test.exe" "$build/bin/standin_test.exe" "$build/cdecl/bin/PortGate.dll" "$dir/"
    for program in emulator_test standin_test; do
        log=$dir/$program.log
        local filter='*'
        [ "$program" = emulator_test ] && filter='LinkedDriverTest.*:DownloadToScriptPathTest.*'
        (cd "$dir" && wine "./$program.exe" --gtest_filter="$filter") >"$log" 2>&1 || {
            sed -n '/FAILED/p' "$log"
            echo "See $log" >&2
            exit 1
        }
        # As ctest's lines, for the totals below.
        awk -v p="$program" '/^\[       OK \]/ { n++; print "Test #" n ": " p " " $4 " ... Passed" }
            /^\[  SKIPPED \] .* \([0-9]+ ms\)$/ { n++; print "Test #" n ": " p " " $4 " ... Skipped" }' \
            "$log" >"$dir/$program.counted"
        logs+=("$dir/$program.counted")
        printf '  %-28s %4d passed, 0 failed, %d skipped (%s)\n' "$program.exe" \
            "$(grep -c Passed "$dir/$program.counted")" "$(grep -c Skipped "$dir/$program.counted")" \
            "$(grep -o '^\[==========\] [0-9]* tests* from .* ran\. (.*)' "$log" | sed 's/.*(//; s/)//')"
    done
}

if [ "$bits" = 32 ]; then
    echo "== 32-bit Windows cross-build (its PortGate.dll stdcall, as the maker's) in $build"
    build_and_run i686 "$build" win32
    if [ "${VANTER_WINDOWS_CDECL:-1}" != 0 ]; then
        echo "== The stand-in PortGate.dll built cdecl, in $build/cdecl"
        configure_and_build i686 "$build/cdecl" -DVANTER_PORTGATE_CALLCONV=cdecl
        cmake --build "$build/cdecl" -j"$jobs" --target PortGateStandin standin_test
        run_tests "$build/cdecl" -R '^standin_exports$'
        logs+=("$build/cdecl/windows-check.log")
        echo "== The same test programs of the stdcall build against the cdecl PortGate.dll"
        same_programs_with_cdecl
    fi
else
    echo "== 64-bit Windows cross-build (x86_64, the stand-in PortGate.dll) in $build64"
    build_and_run x86_64 "$build64" win64
    echo "== 32-bit Windows cross-build (stdcall), built, not run, in $build"
    build_only "$build" ""
    if [ "${VANTER_WINDOWS_CDECL:-1}" != 0 ]; then
        # x86_64 has one calling convention: there is no cdecl variant to run.
        echo "== The stand-in built cdecl, 32-bit, built, not run, in $build/cdecl"
        build_only "$build/cdecl" "PortGateStandin standin_test" -DVANTER_PORTGATE_CALLCONV=cdecl
    fi
fi

if [ "$bits" = 64 ]; then
    echo "NOTE: the 32-bit build was not run ($bits_why): its tests ran in the 64-bit build."
else
    echo "The 32-bit build ran under wine32$([ "$through_qemu" = 1 ] && echo ", through QEMU's user mode")."
fi
# All runs together, as the closing line.
count() { cat "${logs[@]}" | grep -E 'Test +#[0-9]+: ' | grep -cE "$1" || true; }
echo "wine: $(count 'Passed') passed, $(count '\*\*\*(Failed|Timeout|Exception)') failed, $(count 'Skipped|Not Run') skipped"
