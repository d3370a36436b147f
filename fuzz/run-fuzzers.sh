#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer, UndefinedBehaviorSanitizer) in their
# own build folder and runs each for a bounded time, starting from its seed corpus. Fails on any
# crash, sanitizer report, leak, time-out or memory blow-up; the input that did it is left in
# <build>/artifacts/<target>/ (copy it to fuzz/regressions/<target>/ once the fault is fixed).
#   fuzz/run-fuzzers.sh [target...]         all targets when none is named
# Environment: VANTER_FUZZ_BUILD_DIR (default build-fuzz), VANTER_FUZZ_SECONDS seconds for every
# target (default: the table below, six minutes in all), VANTER_FUZZ_JOBS targets run at once
# (default 1).
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
build=${VANTER_FUZZ_BUILD_DIR:-$top/build-fuzz}
jobs=${VANTER_FUZZ_JOBS:-1}

all=(in3_reader to_integer offset_scan standin_script intel_hex srecord)
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=("${all[@]}")

# Longest input per target: a few lines of a configuration or a script, a short text for the
# two numbers, a few hundred records of an image.
declare -A max_len=([in3_reader]=4096 [to_integer]=64 [offset_scan]=128 [standin_script]=4096
                    [intel_hex]=16384 [srecord]=16384)
# Seconds per target: the two number rules are small and covered within seconds; the image
# readers have the most to explore.
declare -A seconds=([in3_reader]=60 [to_integer]=30 [offset_scan]=30 [standin_script]=60
                    [intel_hex]=90 [srecord]=90)
if [ -n "${VANTER_FUZZ_SECONDS:-}" ]; then
    for t in "${!seconds[@]}"; do seconds[$t]=$VANTER_FUZZ_SECONDS; done
fi

# Everything is instrumented for coverage; the fuzz programs add libFuzzer's main.
cmake -S "$top" --preset fuzz -B "$build" -DCMAKE_CXX_COMPILER="${VANTER_FUZZ_CXX:-clang++}" \
    -DVANTER_WERROR="${VANTER_WERROR:-OFF}" >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:symbolize=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

run_one() {
    local t=$1
    local work=$build/corpus/$t artifacts=$build/artifacts/$t/ log=$build/logs/$t.log
    mkdir -p "$work" "$artifacts" "$(dirname "$log")"
    # New inputs go to the working corpus in the build folder, never into the repository.
    "$build/fuzz/fuzz_$t" "$work" "$top/fuzz/corpus/$t" "$top/fuzz/regressions/$t" \
        -max_total_time="${seconds[$t]}" -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=1024 \
        -max_len="${max_len[$t]}" -artifact_prefix="$artifacts" -print_final_stats=1 \
        -close_fd_mask=1 >"$log" 2>&1
}

summary() {
    local t=$1 log=$build/logs/$1.log
    local runs cov ft
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    cov=$(grep -oE 'cov: [0-9]+' "$log" | tail -1 | cut -d' ' -f2)
    ft=$(grep -oE 'ft: [0-9]+' "$log" | tail -1 | cut -d' ' -f2)
    printf '%-16s %4s s %12s runs   cov %5s   ft %6s\n' "$t" "${seconds[$t]}" "${runs:-?}" \
        "${cov:-?}" "${ft:-?}"
}

failed=()
pids=()
names=()
for t in "${targets[@]}"; do
    if [ -z "${max_len[$t]:-}" ]; then
        echo "unknown fuzz target: $t" >&2
        exit 2
    fi
    run_one "$t" &
    pids+=($!)
    names+=("$t")
    if [ ${#pids[@]} -ge "$jobs" ]; then
        for i in "${!pids[@]}"; do
            wait "${pids[$i]}" || failed+=("${names[$i]}")
        done
        pids=()
        names=()
    fi
done
for i in "${!pids[@]}"; do
    wait "${pids[$i]}" || failed+=("${names[$i]}")
done

echo "fuzzing:"
for t in "${targets[@]}"; do
    summary "$t"
done
if [ ${#failed[@]} -ne 0 ]; then
    for t in "${failed[@]}"; do
        echo "---- fuzz_$t failed; its log ends:" >&2
        tail -n 60 "$build/logs/$t.log" >&2
        echo "---- inputs kept in $build/artifacts/$t/:" >&2
        ls -1 "$build/artifacts/$t/" >&2 || true
    done
    echo "fuzzing failed: ${failed[*]}" >&2
    exit 1
fi
echo "fuzzing passed: ${#targets[@]} targets, no crash, leak or time-out"
