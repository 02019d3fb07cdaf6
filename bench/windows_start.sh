#!/usr/bin/env bash
# The Windows program's start-up under Wine on Xvfb (1024 x 768): the time
# from starting `wine montera.scr /s` to its first painted panel, against a
# bare Qt window (bench/bare_window.cpp) built with the same static Qt and
# started by the same Wine, alternated PAIRS times (10 unless given). Both
# report their first paint and exit (the program built with the first-paint
# report, in build-windows/bench). Prints each pair, the medians and the
# median of the pairs' ratios, and the peak working set of each.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
pairs=${1:-10}
win_dir=${MONTERA_WINDOWS_BUILD_DIR:-build-windows}
source scripts/windows-helpers
[ -f "$win_dir/app/montera.scr" ] || scripts/build-windows
prefix=$(windows_deps_prefix)
windows_log_dir="$win_dir/logs"
bench_dir="$win_dir/bench"
step "configuring the benchmark build" windows_configure "$prefix" "$bench_dir" \
    -DMONTERA_BUILD_BENCHMARKS=ON -DMONTERA_FIRST_PAINT_REPORT=ON -DMONTERA_HOST_TOOLS="$root/$win_dir/host"
step "building the benchmark build" cmake --build "$bench_dir" --target montera montera_samples bare_window

source scripts/xvfb-helpers
source bench/start-helpers
export WINEPREFIX=$root/$win_dir/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
x_start_server 1024x768
# A Wine server that stays between the starts, as it does on a desktop where
# Wine runs other programs: each start then pays for the program alone.
wineserver -p
wineboot -i >/dev/null 2>&1

folder=$(x_program_folder "$bench_dir/app")
printf '[Setting]\r\nFILE=sample.qiz\r\nMODE=0\r\n' >"$folder/モンテラ.ini"
cp "$bench_dir/bare_window.exe" "$folder/"

# Prints "milliseconds peak-KiB" for one start of the program with arguments.
start_once() {
    local start line
    start=$(date +%s%N)
    line=$(cd "$folder" && MONTERA_BENCH_FIRST_PAINT=1 wine "$@" | tr -d '\r' | tail -n1)
    echo "$(((${line%% *} - start) / 1000000)) ${line#* }"
}

# One start of each first, so that the system's files are in the page cache.
start_once ./montera.scr /s >/dev/null
start_once ./bare_window.exe >/dev/null
: >"$x_tmp/pairs"
for i in $(seq "$pairs"); do
    read -r show show_kib < <(start_once ./montera.scr /s)
    read -r bare bare_kib < <(start_once ./bare_window.exe)
    echo "pair $i: show $show ms, bare window $bare ms"
    echo "$show $bare $show_kib $bare_kib" >>"$x_tmp/pairs"
done
echo "show: median $(cut -d' ' -f1 "$x_tmp/pairs" | median) ms, peak working set $(cut -d' ' -f3 "$x_tmp/pairs" | median) KiB"
echo "bare window: median $(cut -d' ' -f2 "$x_tmp/pairs" | median) ms, peak working set $(cut -d' ' -f4 "$x_tmp/pairs" | median) KiB"
echo "ratio: median $(awk '{ printf "%.3f\n", $1 / $2 }' "$x_tmp/pairs" | median)"
