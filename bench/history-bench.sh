#!/usr/bin/env bash
# The run history with 100,000 rows: the store's own figures, then the whole
# `tavelin-cli tasks history NAME --limit 50` command, median of several runs.
#   bench/history-bench.sh BUILD_DIR [RUNS]
set -euo pipefail
build=${1:-build}
runs=${2:-21}
. "$(dirname "$0")/common.sh"
bench_workspace tavelin-history-bench 512m
QT_QPA_PLATFORM=offscreen "$build/bench/tavelin-bench-history" "$ws/tasks.db"
times=""
for ((i = 0; i < runs; i++)); do
    t0=$EPOCHREALTIME
    "$build/src/cli/tavelin-cli" tasks history "task 42" --limit 50 --db "$ws/tasks.db" >/dev/null
    t1=$EPOCHREALTIME
    times+="$(echo "($t1 - $t0) * 1000" | bc -l) "
done
printf 'tavelin-cli tasks history NAME --limit 50: median %.1f ms (whole process, target < 20)\n' \
    "$(echo "$times" | median)"
