#!/usr/bin/env bash
# Builds the fuzz targets in build/fuzz and runs each for SECONDS (default 60), as many at once
# as there are processors. Prints the executions of every target and, for a crash, a hang (over
# 1 s for one input), a leak or a sanitizer report, the input that reproduces it. Exits non-zero
# when any target failed.
#
#   fuzz/run.sh [SECONDS]
#
# New inputs go to build/fuzz/corpus/<target>/ (kept between runs), findings to
# build/fuzz/findings/<target>/, the output of each run to build/fuzz/logs/<target>.log.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
if ! [[ $seconds =~ ^[0-9]+$ ]] || [ "$seconds" -eq 0 ]; then
    echo "usage: fuzz/run.sh [SECONDS]" >&2
    exit 2
fi

build=build/fuzz
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DZENTROVA_FUZZ=ON -DZENTROVA_BUILD_UI=OFF -DZENTROVA_BUILD_TESTS=OFF \
    -DZENTROVA_BUILD_BENCH=OFF >/dev/null
targets=$(cd fuzz && ls -d corpus/*/ | xargs -n1 basename)
# shellcheck disable=SC2086
cmake --build "$build" -j"$(nproc)" --target $targets

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

# True when the input runs within the time limit on its own, three times in a row.
runs_quickly_alone() {
    local target=$1 input=$2 i
    for i in 1 2 3; do
        "$build/bin/$target" -timeout=1 "$input" >/dev/null 2>&1 || return 1
    done
}

run_target() {
    local target=$1
    local corpus=$build/corpus/$target findings=$build/findings/$target
    local log=$build/logs/$target.log part=$build/logs/$target.part
    local end=$((SECONDS + seconds)) status input
    mkdir -p "$corpus" "$findings" "$build/logs"
    : >"$log"
    while [ $((end - SECONDS)) -gt 0 ]; do
        status=0
        # An input over 1 s is a hang; no input may make a reader allocate more than 256 MB.
        "$build/bin/$target" "$corpus" "fuzz/corpus/$target" -max_total_time=$((end - SECONDS)) \
            -timeout=1 -malloc_limit_mb=256 -rss_limit_mb=2048 -print_final_stats=1 \
            -artifact_prefix="$findings/" >"$part" 2>&1 || status=$?
        cat "$part" >>"$log"
        [ "$status" -eq 0 ] && break
        # A timeout that the input does not repeat on its own came from a busy machine: the run
        # goes on for the time that is left.
        input=$(sed -n 's/.*Test unit written to //p' "$part" | tail -n1)
        if grep -q 'ERROR: libFuzzer: timeout' "$part" && [ -n "$input" ] &&
            runs_quickly_alone "$target" "$input"; then
            echo "SLOW UNDER LOAD: $input ran within 1 s on its own; going on" >>"$log"
            rm -f "$input"
            continue
        fi
        rm -f "$part"
        return "$status"
    done
    rm -f "$part"
}

rm -f "$build"/logs/*.status
for target in $targets; do
    while [ "$(jobs -rp | wc -l)" -ge "$(nproc)" ]; do
        wait -n || true
    done
    (
        status=0
        run_target "$target" || status=$?
        echo "$status" >"$build/logs/$target.status"
    ) &
done
wait

failed=0
for target in $targets; do
    status=$(cat "$build/logs/$target.status")
    log=$build/logs/$target.log
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | paste -sd+ | bc)
    slow=$(grep -c '^SLOW UNDER LOAD' "$log" || true)
    if [ "$slow" -gt 0 ]; then
        runs="$runs ($slow timeouts under load not repeated alone)"
    fi
    if [ "$status" -eq 0 ]; then
        printf '%-20s %s executions, no finding\n' "$target" "${runs:-?}"
        continue
    fi
    failed=1
    input=$(sed -n 's/.*Test unit written to //p' "$log" | tail -n1)
    printf '%-20s %s executions, FAILED (exit %d)\n' "$target" "${runs:-?}" "$status"
    grep -m1 -E '^==[0-9]+==ERROR|runtime error|broken promise|ERROR: libFuzzer' "$log" |
        sed 's/^/    /' || true
    echo "    log: $log"
    if [ -n "$input" ]; then
        echo "    reproduce: $build/bin/$target $input"
    fi
done
exit $failed
