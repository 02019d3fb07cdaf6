#!/usr/bin/env bash
# The start-up on one 1024x768 screen against two screens of MONTERA_SCREEN
# (default 3840x2160), alternated start by start on two X servers running at
# once, so that both see the same load: exec to the first painted panel (once
# the server has carried it out) and the peak memory, medians of PAIRS
# (default 25), with the show at display size 0 on the small screen and at
# MONTERA_DISPLAY_SIZE (default 0) on the large ones; then the X server's own
# time to fill each layout with black (server_black), the part of the growth
# that no program can save.
# Usage: [MONTERA_SCREEN=WxH] [MONTERA_DISPLAY_SIZE=0|1|2] bench/screens_ab.sh [PAIRS]
# Builds into build-bench/ as bench/show_perf.sh does.
set -euo pipefail
cd "$(dirname "$0")/.."
pairs=${1:-25}
screen=${MONTERA_SCREEN:-3840x2160}
width=${screen%x*}
height=${screen#*x}
build=${MONTERA_BUILD_DIR:-build}-bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMONTERA_FIRST_PAINT_REPORT=ON \
    -DMONTERA_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target montera montera_samples server_black >/dev/null
build=$(realpath "$build")
source scripts/xvfb-helpers
source bench/start-helpers
x_start_server 1024x768
small=$DISPLAY
x_start_server "$((width * 2))x$height"
large=$DISPLAY
DISPLAY=$large xrandr --setmonitor LEFT "$width/508x$height/286+0+0" screen >/dev/null
DISPLAY=$large xrandr --setmonitor RIGHT "$width/508x$height/286+$width+0" none >/dev/null
small_folder=$(x_program_folder "$build/app")
large_folder=$(x_program_folder "$build/app")
printf '[Setting]\r\nFILE=sample.qiz\r\nMODE=1\r\nSIZE=0\r\n' >"$small_folder/モンテラ.ini"
printf '[Setting]\r\nFILE=sample.qiz\r\nMODE=1\r\nSIZE=%s\r\n' "${MONTERA_DISPLAY_SIZE:-0}" \
    >"$large_folder/モンテラ.ini"

# One start: prints "exec-to-paint-us peak-KiB", the memory read 3 s after exec.
start_once() {
    local start painted memory pid
    : >"$x_tmp/paint"
    start=$(date +%s%N)
    (cd "$1" && MONTERA_BENCH_FIRST_PAINT=keep exec ./montera /s >"$x_tmp/paint") &
    pid=$!
    paint_and_peak "$pid" "$start"
    echo "$(((painted - start) / 1000)) $memory"
}

: >"$x_tmp/small"
: >"$x_tmp/large"
for _ in $(seq "$pairs"); do
    DISPLAY=$small start_once "$small_folder" >>"$x_tmp/small"
    DISPLAY=$large start_once "$large_folder" >>"$x_tmp/large"
done
times=()
memories=()
for layout in small large; do
    times[${#times[@]}]=$(cut -d' ' -f1 "$x_tmp/$layout" | median)
    memories[${#memories[@]}]=$(cut -d' ' -f2 "$x_tmp/$layout" | median)
done
echo "exec to the first painted panel: 1 x 1024x768 ${times[0]} us, 2 x $screen ${times[1]} us," \
    "ratio $(awk -v a="${times[0]}" -v b="${times[1]}" 'BEGIN { printf "%.3f", b / a }') (medians of $pairs alternated pairs)"
echo "peak memory 3 s after exec: ${memories[0]} KiB, ${memories[1]} KiB, growth $((memories[1] - memories[0])) KiB"
echo "the X server's black: 1 x 1024x768 $(DISPLAY=$small "$build/bench/server_black" 1024x768 1) ms," \
    "2 x $screen $(DISPLAY=$large "$build/bench/server_black" "$screen" 2) ms (medians of 15)"
