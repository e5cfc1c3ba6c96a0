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

ws=$(mktemp -d /tmp/tavelin-window-bench-XXXXXX)
where="disk ($ws)"
if [ "$(id -u)" -eq 0 ] && mount -t tmpfs -o size=4g tmpfs "$ws" 2>/dev/null; then
    where="tmpfs ($ws)"
fi
cleanup() { kill "${pid:-0}" 2>/dev/null || true; cd /; umount "$ws" 2>/dev/null || true; rm -rf "$ws"; }
trap cleanup EXIT
echo "working on $where"
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
median() { tr ' ' '\n' | grep -v '^$' | sort -g | awk '{a[NR]=$1} END {print (NR%2 ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2)}'; }
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
ticks=$(getconf CLK_TCK)
cpu() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
c0=$(cpu)
sleep "$idle"
c1=$(cpu)
rss=$(awk '/VmRSS/ {print $2}' "/proc/$pid/status")
echo "idle window: $(echo "scale=3; 100 * ($c1 - $c0) / $ticks / $idle" | bc -l) % of a core over ${idle}s (target < 1 %), RSS $((rss / 1024)) MiB (target < 80 MiB)"
