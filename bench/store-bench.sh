#!/usr/bin/env bash
# Task store with 1,000 tasks, and the CPU an idle `tavelin-cli serve` uses over 60 seconds.
#   bench/store-bench.sh BUILD_DIR [SECONDS]
set -euo pipefail
build=${1:-build}
seconds=${2:-60}
ws=$(mktemp -d /tmp/tavelin-store-bench-XXXXXX)
trap 'kill "${pid:-0}" 2>/dev/null || true; rm -rf "$ws"' EXIT
"$build/bench/tavelin-bench-store" "$ws/tasks.db"

TAVELIN_DB="$ws/tasks.db" "$build/src/cli/tavelin-cli" serve >/dev/null 2>&1 &
pid=$!
sleep 2
ticks=$(getconf CLK_TCK)
cpu() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
c0=$(cpu)
sleep "$seconds"
c1=$(cpu)
rss=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
echo "idle serve with 1000 tasks: $(echo "scale=3; 100 * ($c1 - $c0) / $ticks / $seconds" | bc -l) % of a core over ${seconds}s (target < 1 %), peak RSS ${rss} KiB"
