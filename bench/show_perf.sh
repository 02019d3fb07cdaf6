#!/usr/bin/env bash
# Measures the show under Xvfb against a bare Qt window built in the same tree,
# and prints each figure with the bare window's and the ratio:
#  - CPU over SECONDS (default 60) of a running show, in the study mode with
#    nobody answering, so the bar, the time-outs and the moves run; the bare
#    window runs the same 50 ms timer (bare_window --timer), the floor:
#    medians of MONTERA_CPU_ROUNDS (default 3) alternated runs of each;
#  - start-up from exec to a window with the main title, and from exec to the
#    first painted panel once every window of the program is on the screen,
#    and the peak memory (VmHWM) 3 s after exec: medians of PAIRS (default 15)
#    runs of each, the two programs alternated;
#  - the instructions of one start to the first paint, counted by valgrind;
#  - the X server's own time to fill the screens with black (server_black),
#    the part of the start that no program on the server can save.
# The screen is MONTERA_SCREEN (WIDTHxHEIGHT, default 1024x768). With
# MONTERA_SCREENS=2 the X screen is twice as wide and split into two screens of
# that size (xrandr --setmonitor), the left one primary; the bare window covers
# the primary screen. MONTERA_DISPLAY_SIZE (0, 1 or 2; default 0) is the
# show's display size.
# Usage: [MONTERA_SCREEN=WxH] [MONTERA_SCREENS=1|2] [MONTERA_DISPLAY_SIZE=0|1|2]
#        bench/show_perf.sh [SECONDS] [PAIRS]
# Builds into a folder of its own ($MONTERA_BUILD_DIR-bench, build-bench), with
# the first-paint report compiled into the program.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
pairs=${2:-15}
cpu_rounds=${MONTERA_CPU_ROUNDS:-3}
scripts/setup valgrind >/dev/null
build=${MONTERA_BUILD_DIR:-build}-bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMONTERA_FIRST_PAINT_REPORT=ON \
    -DMONTERA_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target montera montera_samples bare_window title_watch server_black >/dev/null
build=$(realpath "$build")
bare=$build/bench/bare_window
source scripts/xvfb-helpers
source bench/start-helpers
screen=${MONTERA_SCREEN:-1024x768}
screens=${MONTERA_SCREENS:-1}
width=${screen%x*}
height=${screen#*x}
x_start_server "$((width * screens))x$height"
if [ "$screens" -eq 2 ]; then
    xrandr --setmonitor LEFT "$width/508x$height/286+0+0" screen >/dev/null
    xrandr --setmonitor RIGHT "$width/508x$height/286+$width+0" none >/dev/null
fi
echo "screen: $screens x $screen"
folder=$(x_program_folder "$build/app")
printf '[Setting]\r\nFILE=sample.qiz\r\nMODE=1\r\nSIZE=%s\r\n' "${MONTERA_DISPLAY_SIZE:-0}" >"$folder/モンテラ.ini"

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

# CPU time of every thread of the process in nanoseconds, one "tid ns" line
# each, so that threads ending in between do not count.
thread_times() {
    local task
    for task in /proc/"$1"/task/*; do
        echo "${task##*/} $(cut -d' ' -f1 "$task/schedstat" 2>/dev/null || echo 0)"
    done
}

# Percent of one core that the command uses over the measured seconds, after
# three seconds to start.
cpu_percent() {
    (cd "$folder" && exec "$@") &
    local pid=$!
    sleep 3
    thread_times "$pid" >"$x_tmp/before"
    sleep "$seconds"
    thread_times "$pid" >"$x_tmp/after"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    awk -v s="$seconds" 'NR == FNR { t[$1] = $2; next } ($1 in t) { d += $2 - t[$1] }
        END { printf "%.3f", 100 * d / 1e9 / s }' "$x_tmp/before" "$x_tmp/after"
}

# A few tenths of a percent of a core move with whatever else the machine
# does: the two programs take turns, and the medians are compared.
: >"$x_tmp/show_cpu"
: >"$x_tmp/bare_cpu"
[ "$seconds" -gt 0 ] || cpu_rounds=0
for _ in $(seq "$cpu_rounds"); do
    cpu_percent ./montera /s >>"$x_tmp/show_cpu"
    echo >>"$x_tmp/show_cpu"
    cpu_percent "$bare" --timer >>"$x_tmp/bare_cpu"
    echo >>"$x_tmp/bare_cpu"
done
if [ "$cpu_rounds" -gt 0 ]; then
    show_cpu=$(median <"$x_tmp/show_cpu")
    bare_cpu=$(median <"$x_tmp/bare_cpu")
    echo "show CPU over ${seconds} s: montera ${show_cpu} %, bare window with the 50 ms timer ${bare_cpu} % of one core," \
        "ratio $(ratio "$show_cpu" "$bare_cpu") (medians of $cpu_rounds alternated runs)"
fi

[ "$pairs" -gt 0 ] || exit 0

# Instructions of one start to the first paint, in user space, counted by
# valgrind: unlike the times, the same on a busy machine as on an idle one.
instructions() {
    (cd "$folder" && MONTERA_BENCH_FIRST_PAINT=1 exec valgrind --tool=callgrind --callgrind-out-file=/dev/null \
        --log-file="$x_tmp/valgrind.%p" "$@" >/dev/null) || true
    # The start's own process: the one whose log names the command (a child
    # that D-Bus forks logs too).
    awk '/Command:/ { main = 1 } main && /Collected :/ { print $4; exit }' \
        "$(grep -l "Command:" "$x_tmp"/valgrind.* | head -n1)"
    rm -f "$x_tmp"/valgrind.*
}
show_instructions=$(instructions ./montera /s)
bare_instructions=$(instructions "$bare")
echo "instructions to the first painted question: montera $((show_instructions / 1000000)) M," \
    "bare window $((bare_instructions / 1000000)) M, ratio $(ratio "$show_instructions" "$bare_instructions")"

echo "the X server's black on $screens x $screen: $("$build/bench/server_black" "$screen" "$screens") ms (median of 15)"

# One start: prints "exec-to-title-us exec-to-paint-us peak-KiB". Each program
# prints the moment of its first paint and runs on; its peak memory is read
# 3 s after exec, and then it is ended.
start_once() {
    local title=$1 start painted memory watcher pid
    shift
    : >"$x_tmp/watch"
    : >"$x_tmp/paint"
    "$build/bench/title_watch" "$title" >"$x_tmp/watch" &
    watcher=$!
    until grep -q ready "$x_tmp/watch"; do
        if ! kill -0 "$watcher" 2>/dev/null; then
            echo "title_watch ended before it watched" >&2
            exit 1
        fi
        sleep 0.01
    done
    start=$(date +%s%N)
    (cd "$folder" && MONTERA_BENCH_FIRST_PAINT=keep exec "$@" >"$x_tmp/paint") &
    pid=$!
    wait "$watcher"
    paint_and_peak "$pid" "$start"
    echo "$((($(sed -n 2p "$x_tmp/watch") - start) / 1000)) $(((painted - start) / 1000)) $memory"
}

: >"$x_tmp/show"
: >"$x_tmp/bare"
for _ in $(seq "$pairs"); do
    start_once ScreenSaver_MainForm_20020313 ./montera /s >>"$x_tmp/show"
    start_once bare_window "$bare" >>"$x_tmp/bare"
done
for column in 1 2 3; do
    show[column]=$(cut -d' ' -f"$column" "$x_tmp/show" | median)
    base[column]=$(cut -d' ' -f"$column" "$x_tmp/bare" | median)
done
echo "start-up to the window with its title: montera ${show[1]} us, bare window ${base[1]} us," \
    "ratio $(ratio "${show[1]}" "${base[1]}")"
echo "start-up to the first painted panel: montera ${show[2]} us, bare window ${base[2]} us," \
    "ratio $(ratio "${show[2]}" "${base[2]}")"
echo "peak memory 3 s after exec: montera ${show[3]} KiB, bare window ${base[3]} KiB," \
    "ratio $(ratio "${show[3]}" "${base[3]}")"
echo "(medians of $pairs alternated pairs)"
