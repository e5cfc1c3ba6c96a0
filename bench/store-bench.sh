#!/usr/bin/env bash
# Task store with 1,000 tasks, and the CPU an idle `tavelin-cli serve` uses over 60 seconds.
#   bench/store-bench.sh BUILD_DIR [SECONDS]
set -euo pipefail
build=${1:-build}
seconds=${2:-60}
. "$(dirname "$0")/common.sh"
stop_children() { kill "${pid:-0}" 2>/dev/null && wait "$pid" 2>/dev/null || true; }
bench_workspace tavelin-store-bench 256m
"$build/bench/tavelin-bench-store" "$ws/tasks.db"

TAVELIN_DB="$ws/tasks.db" "$build/src/cli/tavelin-cli" serve >/dev/null 2>&1 &
pid=$!
sleep 2
cpu=$(idle_cpu "$pid" "$seconds")
rss=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
echo "idle serve with 1000 tasks: $cpu % of a core over ${seconds}s (target < 1 %), peak RSS ${rss} KiB"
