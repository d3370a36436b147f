#!/usr/bin/env bash
# Runs one golden case of vanter3-cli and compares what it printed and its exit status.
#   run_golden.sh CLI VERSION CASE_FILE DATA_FOLDER
#
# A case file holds header lines, then the expected output sections:
#   args: <arguments, shell-quoted>      the command line after the program name
#   env: NAME=value                      more environment (repeatable)
#   setup: <shell command>               run in the work folder before the program
#   exit: <status>
#   calls: SayHello=<n> CheckVT=<n>      driver calls in the stand-in's transcript
#   --- stdout                           expected standard output, line by line
#   --- stderr                           expected standard error
# A missing section expects nothing. In the expected texts @VERSION@ is the project version;
# in the actual ones the work folder is replaced by @WORK@.
#
# The program runs in a fresh copy of DATA_FOLDER with the stand-in driver's variables and
# the download script's folder pointing into it, so nothing outside it is touched.
set -u
cli=$1 version=$2 case_file=$3 data=$4

work=$(mktemp -d "${TMPDIR:-/tmp}/vanter-cli-golden-XXXXXX") || exit 1
trap 'chmod -R u+rwx "$work" 2>/dev/null; rm -rf "$work"' EXIT
cp -R "$data"/. "$work"/
mkdir -m 700 "$work/run" "$work/home" "$work/.expected"

args='' setup='' status='' calls=''
envs=()
section=''
: >"$work/.expected/stdout"
: >"$work/.expected/stderr"
while IFS= read -r line || [ -n "$line" ]; do
    if [[ $line == "--- "* ]]; then
        section=${line#--- }
        continue
    fi
    if [ -n "$section" ]; then
        printf '%s\n' "${line//@VERSION@/$version}" >>"$work/.expected/$section"
        continue
    fi
    case $line in
    'args:'*) args=${line#args:} ;;
    'env: '*) envs+=("${line#env: }") ;;
    'setup: '*) setup=${line#setup: } ;;
    'exit: '*) status=${line#exit: } ;;
    'calls: '*) calls=${line#calls: } ;;
    '' | '#'*) ;;
    *)
        echo "unknown header line: $line" >&2
        exit 1
        ;;
    esac
done <"$case_file"
[ -n "$status" ] || { echo "the case names no exit status" >&2; exit 1; }

cd "$work" || exit 1
[ -z "$setup" ] || eval "$setup" || { echo "setup failed: $setup" >&2; exit 1; }

eval "set -- $args"
for name in $(env | sed -n 's/^\(VANTER_SIM_[A-Z_]*\)=.*/\1/p'); do unset "$name"; done
env -u XDG_CACHE_HOME -u LD_PRELOAD LC_ALL=C HOME="$work/home" XDG_RUNTIME_DIR="$work/run" \
    VANTER_SIM_STATE_DIR="$work/state" VANTER_SIM_TRANSCRIPT="$work/transcript.log" \
    ${envs[@]+"${envs[@]}"} "$cli" "$@" >"$work/.stdout" 2>"$work/.stderr" </dev/null
actual=$?

failed=0
for stream in stdout stderr; do
    sed "s|$work|@WORK@|g" "$work/.$stream" >"$work/.actual-$stream"
    if ! diff -u --label "expected $stream" --label "actual $stream" \
        "$work/.expected/$stream" "$work/.actual-$stream"; then
        failed=1
    fi
done
if [ "$actual" != "$status" ]; then
    echo "exit status: expected $status, got $actual"
    failed=1
fi
if [ -n "$calls" ]; then
    transcript="$work/transcript.log"
    [ -f "$transcript" ] || : >"$transcript"
    got="SayHello=$(grep -c '^SayHello(' "$transcript") CheckVT=$(grep -c '^CheckVT(' "$transcript")"
    if [ "$got" != "$calls" ]; then
        echo "driver calls: expected $calls, got $got"
        sed 's/^/  | /' "$transcript"
        failed=1
    fi
fi
exit $failed
