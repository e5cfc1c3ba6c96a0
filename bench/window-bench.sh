#!/usr/bin/env bash
# A Run from the window against the engine alone (`tavelin-cli copy`) on the 50,000-file tree,
# alternating, each into a fresh destination; then the idle program's CPU and memory.
#   bench/window-bench.sh BUILD_DIR [ROUNDS] [IDLE_SECONDS]
set -euo pipefail
build=${1:-build}
rounds=${2:-5}
idle=${3:-60}
cli=$(realpath "$build/src/cli/tavelin-cli")
run=$(realpath "$build/bench/tavelin-bench-window-run")
gen=$(realpath "$build/bench/tavelin-bench-tree")
gui=$(realpath "$build/src/gui/tavelin")

. "$(dirname "$0")/common.sh"
stop_children() { kill "${pid:-0}" 2>/dev/null && wait "$pid" 2>/dev/null || true; }
bench_workspace tavelin-window-bench 4g
cd "$ws"
"$gen" src --files 50000

window_times=""
cli_times=""
for ((r = 1; r <= rounds; r++)); do
    rm -rf d-window d-cli
    window_times+="$("$run" "$ws/src" "$ws/d-window" 2>/dev/null) "
    t0=$EPOCHREALTIME; "$cli" copy src d-cli --subfolders >/dev/null; t1=$EPOCHREALTIME
    cli_times+="$(echo "$t1 - $t0" | bc -l) "
    echo "round $r done"
done
w=$(echo "$window_times" | median)
e=$(echo "$cli_times" | median)
echo "window Run  median $w s  ($window_times)"
echo "engine only median $e s  ($cli_times)"
echo "window / engine = $(echo "scale=2; $w / $e" | bc -l)  (target <= 1.3)"
rm -rf d-window d-cli src

export HOME=$ws/home
mkdir -p "$HOME"
QT_QPA_PLATFORM=offscreen "$gui" >/dev/null 2>&1 &
pid=$!
sleep 3
cpu=$(idle_cpu "$pid" "$idle")
rss=$(awk '/VmRSS/ {print $2}' "/proc/$pid/status")
echo "idle window: $cpu % of a core over ${idle}s (target < 1 %), RSS $((rss / 1024)) MiB (target < 80 MiB)"
