#!/usr/bin/env bash
# A player that floods montera-idle with inhibits: runs the watcher under Xvfb
# on a private session bus and bench/inhibit_flood.cpp against it.
#     bench/inhibit_flood.sh [CALLS]     (10,000 when not given)
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${MONTERA_BUILD_DIR:-build}
if [ -z "${MONTERA_PRIVATE_BUS:-}" ]; then
    MONTERA_PRIVATE_BUS=1 exec dbus-run-session -- "$0" "$@" 2> >(grep -v 'Failed to set fd limit' >&2)
fi
source scripts/xvfb-helpers
x_start_server 1024x768
"$build_dir/app/montera-idle" --after 10m >"$x_tmp/watcher.log" 2>&1 &
x_pids+=($!)
x_wait_for 5 grep -q "answering org.freedesktop.ScreenSaver" "$x_tmp/watcher.log"
"$build_dir/bench/inhibit_flood" "${1:-10000}"
