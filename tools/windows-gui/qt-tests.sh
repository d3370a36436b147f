# shellcheck shell=bash disable=SC2154 # the driver sets the build's variables
# The window's Qt tests under wine, offscreen: a part of tools/windows-gui-check.sh, sourced
# there after the build, not run.

# Qt's DLLs and plugins for the programs in bin/: found through the path, as a developer's
# machine finds its Qt kit.
wine_with_qt() { # prefix, then start_wine's options
    local prefix=$1
    shift
    start_wine "$prefix" "$winearch" fresh "$@"
    WINEPATH=$(winepath -w "$qt/bin")
    export WINEPATH
}
# Wine hands no variable named QT_* to Windows programs: Qt's settings go into the prefix's own
# environment (HKCU\Environment), which every program started in it inherits.
wine_environment() { # name value
    wine reg add 'HKCU\Environment' /v "$1" /t REG_SZ /d "$2" /f >/dev/null
}

run_qt_tests() { # the programs of qt_tests, in bin/ of the build
    echo "== The window's Qt tests under wine (offscreen)"
    stage_started=$SECONDS
    (
        wine_with_qt "$build/wine-tests" headless
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
}
