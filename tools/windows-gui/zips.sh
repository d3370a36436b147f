# shellcheck shell=bash disable=SC2154,SC2034 # the driver's variables, both ways
# The ZIPs a Windows user unpacks, and what their programs import: a part of
# tools/windows-gui-check.sh, sourced there, not run.

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

# The ZIPs of the build: on the 32-bit way the one for units and the simulator one, else the
# simulator one. Sets session_zip (the one the session unpacks) and units_zip.
make_zips() {
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
}

# A 64-bit program can't load the maker's 32-bit PortGate.DLL: the ZIP users take to their
# units is built for i686 all the same, but not run on this machine.
build_units_zip_apart() {
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
    install_missing g++-mingw-w64-i686-posix
    units=${VANTER_MINGW_ZIP_BUILD_DIR:-$top/build-mingw-zip-i686}
    cmake -S "$top" --preset mingw-i686-zip -B "$units" -DVANTER_WERROR="${VANTER_WERROR:-ON}" \
        -DCMAKE_PREFIX_PATH="$qt32" >/dev/null
    cmake --build "$units" -j"$jobs" --target vanter3 vanter3-cli
    (cd "$units" && cpack -G ZIP >/dev/null)
    units_zip=$(ls "$units"/vanter3-*-win32.zip)
    check_zip "$units_zip" 0
    check_portgate_imports "$units/bin"
}
