#!/usr/bin/env bash
# download --watch against the stand-in driver: one download at start, exactly one more for
# each change of an image (a rewrite in two quick steps counts once), and Ctrl+C (SIGINT) ends
# the program with status 0.
#   watch_test.sh CLI DATA_FOLDER
set -u
cli=$1 data=$2

work=$(mktemp -d "${TMPDIR:-/tmp}/vanter-cli-watch-XXXXXX") || exit 1
pid=''
cleanup() {
    [ -z "$pid" ] || kill -KILL "$pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
cp -R "$data"/. "$work"/
mkdir -m 700 "$work/run" "$work/home"
cd "$work" || exit 1

fail() {
    echo "FAILED: $*"
    echo "--- stdout"; cat out
    echo "--- stderr"; cat err
    echo "--- transcript"; cat transcript.log 2>/dev/null
    exit 1
}

downloads() {
    if [ -f transcript.log ]; then grep -c '^SayHello(' transcript.log; else echo 0; fi
}

# Waits (at most 10 s) until the driver has been called `$1` times.
wait_for_downloads() {
    local deadline=$((SECONDS + 10))
    while [ "$(downloads)" -lt "$1" ]; do
        kill -0 "$pid" 2>/dev/null || fail "the program ended early"
        [ "$SECONDS" -lt "$deadline" ] || fail "no download $1 within 10 s"
        sleep 0.05
    done
}

for name in $(env | sed -n 's/^\(VANTER_SIM_[A-Z_]*\)=.*/\1/p'); do unset "$name"; done
export LC_ALL=C HOME="$work/home" XDG_RUNTIME_DIR="$work/run"
export VANTER_SIM_STATE_DIR="$work/state" VANTER_SIM_TRANSCRIPT="$work/transcript.log"

"$cli" download --watch ok.in3 >out 2>err </dev/null &
pid=$!
wait_for_downloads 1

# First change: the image is rewritten in two steps, quicker than the program waits for quiet.
: >data.bin
sleep 0.05
printf 'first new image for VANTER #2\n' >data.bin
wait_for_downloads 2
sleep 1

# Second change, well after the first download settled.
printf 'second new image for VANTER #2, longer\n' >data.bin
wait_for_downloads 3

# Nothing changes any more: no further download.
sleep 1.2
[ "$(downloads)" -eq 3 ] || fail "expected 3 downloads, the driver saw $(downloads)"

kill -INT "$pid"
deadline=$((SECONDS + 5))
while kill -0 "$pid" 2>/dev/null; do
    [ "$SECONDS" -lt "$deadline" ] || fail "still running 5 s after SIGINT"
    sleep 0.05
done
wait "$pid"
status=$?
pid=''
[ "$status" -eq 0 ] || fail "exit status $status after SIGINT"

lines=$(grep -cE '^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2} Download OK$' out)
[ "$lines" -eq 3 ] && [ "$(wc -l <out)" -eq 3 ] || fail "expected 3 timestamped lines"
[ ! -s err ] || fail "unexpected standard error"
[ "$(grep -c -- '-> 0$' transcript.log)" -eq 3 ] || fail "a download failed"
echo "3 downloads, ended by SIGINT with status 0"
