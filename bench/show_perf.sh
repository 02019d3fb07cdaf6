#!/usr/bin/env bash
# Measures a running show under Xvfb (1024x768):
#  - CPU used by `montera /s` over SECONDS (default 60) of show, in the study
#    mode with nobody answering, so the bar, the time-outs and the moves run;
#  - start-up time (exec to the first painted question) and peak memory of
#    `montera /s`, each as a ratio to a bare Qt window built in the same tree,
#    median of RUNS (default 15) runs each.
# Usage: bench/show_perf.sh [SECONDS] [RUNS]
# Builds into a folder of its own ($MONTERA_BUILD_DIR-bench, build-bench), with
# the first-paint report compiled into the program.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
runs=${2:-15}
build=${MONTERA_BUILD_DIR:-build}-bench
scripts/setup xvfb xauth >/dev/null
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMONTERA_FIRST_PAINT_REPORT=ON \
    -DMONTERA_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target montera montera_samples bare_window >/dev/null

display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
work=$(mktemp -d)
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
export DISPLAY=$display QT_QPA_PLATFORM=xcb
sleep 1

cp -r "$build/app/." "$work/"
printf '[Setting]\r\nFILE=sample.qiz\r\nMODE=1\r\n' >"$work/モンテラ.ini"

# CPU over the measured window, from the kernel's own accounting.
hz=$(getconf CLK_TCK)
(cd "$work" && exec ./montera /s) &
pid=$!
sleep 3
read -r -a before <"/proc/$pid/stat"
sleep "$seconds"
read -r -a after <"/proc/$pid/stat"
kill "$pid"
wait "$pid" 2>/dev/null || true
ticks=$(((after[13] + after[14]) - (before[13] + before[14])))
cpu=$(awk -v t="$ticks" -v hz="$hz" -v s="$seconds" 'BEGIN { printf "%.2f", 100 * t / hz / s }')
user=$(awk -v t="$((after[13] - before[13]))" -v hz="$hz" -v s="$seconds" 'BEGIN { printf "%.2f", 100 * t / hz / s }')
echo "show CPU over ${seconds} s: ${cpu} % of one core (user ${user} %, the rest in the kernel)"

[ "$runs" -gt 0 ] || exit 0

# Start-up: each program prints the time of its first paint and its peak memory.
measure() {
    local -a times=() mems=()
    for _ in $(seq "$runs"); do
        local start end mem
        start=$(date +%s%N)
        read -r end mem < <(cd "$work" && MONTERA_BENCH_FIRST_PAINT=1 "$@")
        times+=($(((end - start) / 1000)))
        mems+=("$mem")
    done
    local mt mm
    mt=$(printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
    mm=$(printf '%s\n' "${mems[@]}" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
    echo "$mt $mm"
}
read -r show_us show_kib < <(measure ./montera /s)
read -r bare_us bare_kib < <(measure "$PWD/$build/bench/bare_window")
echo "start-up to first paint: montera ${show_us} us, bare window ${bare_us} us, ratio $(awk -v a="$show_us" -v b="$bare_us" 'BEGIN { printf "%.2f", a / b }')"
echo "peak memory: montera ${show_kib} KiB, bare window ${bare_kib} KiB, ratio $(awk -v a="$show_kib" -v b="$bare_kib" 'BEGIN { printf "%.2f", a / b }')"
