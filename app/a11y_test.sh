#!/usr/bin/env bash
# A screen reader's view of the real program: starts it on its own virtual display with its own
# session bus and AT-SPI bus, and lets a11y_probe.py read and drive it through that bus.
# Exits 77 (skipped) only when the AT-SPI packages are missing; everything is bounded in time
# and every process it starts ends with it.
#   a11y_test.sh PROGRAM
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
program=$(realpath "$1")
# pyatspi is a Debian package: Debian's own interpreter, whatever comes first in PATH.
python=/usr/bin/python3
launcher=/usr/libexec/at-spi-bus-launcher

if [ "${2:-}" != --inside ]; then
    missing=()
    [ -x "$launcher" ] || missing+=(at-spi2-core)
    { [ -x "$python" ] && "$python" -c 'import pyatspi' 2>/dev/null; } || missing+=(python3-pyatspi)
    command -v dbus-run-session >/dev/null || missing+=(dbus)
    command -v xvfb-run >/dev/null || missing+=(xvfb)
    if [ ${#missing[@]} -gt 0 ]; then
        echo "SKIPPED: missing Debian packages: ${missing[*]} (./bootstrap installs them)"
        exit 77
    fi
    # Display numbers from 140 up: the other display tests start at 99 and may run alongside.
    # -noreset: the display keeps the root window's properties (the bus address) between clients.
    exec timeout -k 5 50 xvfb-run -a -n 140 -s "-screen 0 1024x768x24 -noreset" \
        dbus-run-session -- "$0" "$program" --inside
fi

# Inside: a fresh display and session bus. Our own working folder (no Vanter.in3: slot #0 on),
# runtime folder (the download script, the AT-SPI socket) and simulated units.
work=$(mktemp -d)
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -m 700 "$work/run" "$work/sim"
cd "$work"
export XDG_RUNTIME_DIR=$work/run
export QT_QPA_PLATFORM=xcb QT_ACCESSIBILITY=1 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
for name in $(env | sed -n 's/^\(VANTER_SIM_[A-Z_]*\)=.*/\1/p'); do
    unset "$name"
done
export VANTER_SIM_STATE_DIR=$work/sim

"$launcher" --launch-immediately >"$work/launcher.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
        org.a11y.Bus.GetAddress >/dev/null 2>&1 && break
    sleep 0.05
done
# The bus address on the display, as an X11 desktop session publishes it. Qt 5 reads it there at
# start-up; asked on the session bus instead, it races with its own start-up and, when it loses,
# never appears on the bus.
address=$(dbus-send --session --print-reply=literal --dest=org.a11y.Bus /org/a11y/bus \
    org.a11y.Bus.GetAddress | tr -d ' ')
xprop -root -f AT_SPI_BUS 8s -set AT_SPI_BUS "$address"

"$program" >"$work/program.log" 2>&1 &
program_pid=$!
pids+=("$program_pid")

status=0
timeout -k 2 30 "$python" "$here/a11y_probe.py" || status=$?

# The probe's last step was IniFile > Exit: the program ends by itself, with 0.
if [ "$status" -eq 0 ]; then
    for _ in $(seq 50); do
        kill -0 "$program_pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$program_pid" 2>/dev/null; then
        echo "the program did not end after IniFile > Exit" >&2
        status=1
    else
        program_status=0
        wait "$program_pid" || program_status=$?
        if [ "$program_status" -ne 0 ]; then
            echo "the program ended with $program_status" >&2
            status=1
        fi
    fi
fi
if [ "$status" -ne 0 ]; then
    echo "--- program output" >&2
    cat "$work/program.log" >&2
fi
exit "$status"
