#!/usr/bin/env bash
# Idle `tavelin-cli serve` and idle window with 1,000 tasks while they watch the mount table,
# then how soon a task whose drive was unplugged runs after the drive is mounted again
# (a loop-mounted ext4 image, several rounds, median).
#   bench/drive-bench.sh BUILD_DIR [IDLE_SECONDS] [ROUNDS]
set -euo pipefail
build=${1:-build}
idle=${2:-60}
rounds=${3:-7}
cli=$(realpath "$build/src/cli/tavelin-cli")
gui=$(realpath "$build/src/gui/tavelin")
. "$(dirname "$0")/common.sh"
stop_children() {
    for p in ${pids:-}; do kill "$p" 2>/dev/null && wait "$p" 2>/dev/null || true; done
    umount "$ws/usb" 2>/dev/null || true
    rm -f "${img:-}"
}
bench_workspace tavelin-drive-bench 256m
pids=""

"$build/bench/tavelin-bench-store" "$ws/tasks.db" >/dev/null
TAVELIN_DB="$ws/tasks.db" "$cli" serve >/dev/null 2>&1 &
serve=$!
export HOME=$ws/home
mkdir -p "$HOME"
TAVELIN_DB="$ws/tasks.db" QT_QPA_PLATFORM=offscreen "$gui" >/dev/null 2>&1 &
window=$!
pids="$serve $window"
sleep 3
idle_cpu "$serve" "$idle" >"$ws/serve.cpu" &
measuring=$!
idle_cpu "$window" "$idle" >"$ws/window.cpu"
wait "$measuring"
echo "idle serve, 1000 tasks, mount table watched: $(cat "$ws/serve.cpu") % of a core over ${idle}s (target < 1 %)"
echo "idle window, 1000 tasks, mount table watched: $(cat "$ws/window.cpu") % of a core over ${idle}s (target < 1 %)"
kill $serve $window 2>/dev/null || true
wait $serve $window 2>/dev/null || true
pids=""

if [ "$(id -u)" -ne 0 ] || ! command -v mkfs.ext4 >/dev/null; then
    echo "drive comes back: needs root and mkfs.ext4; skipped"
    exit 0
fi
img=$(mktemp /var/tmp/tavelin-drive-XXXXXX.img)
truncate -s 32M "$img"
mkfs.ext4 -q -F "$img"
mkdir -p "$ws/usb" "$ws/docs"
echo "report" >"$ws/docs/a.txt"
mount -o loop "$img" "$ws/usb"
export TAVELIN_DB=$ws/drive.db
"$cli" tasks add stick --source "$ws/docs" --destination "$ws/usb/backup" --every "2  hrs" >/dev/null
umount "$ws/usb"
"$cli" serve >"$ws/serve.out" 2>&1 &
serve=$!
pids="$serve"
due() { sqlite3 "$TAVELIN_DB" "UPDATE tasks SET task_nextdate = datetime('now', 'localtime', '-1 minute')"; }
times=""
for ((r = 1; r <= rounds; r++)); do
    failed=$(grep -c "destination drive is not connected" "$ws/serve.out" || true)
    due
    until [ "$(grep -c "destination drive is not connected" "$ws/serve.out" || true)" -gt "$failed" ]; do
        sleep 0.05
    done
    [ ! -e "$ws/usb/backup" ] || { echo "written onto the empty mount point!"; exit 1; }
    t0=$EPOCHREALTIME
    mount -o loop "$img" "$ws/usb"
    until [ -e "$ws/usb/backup/a.txt" ]; do sleep 0.01; done
    t1=$EPOCHREALTIME
    times+="$(echo "$t1 - $t0" | bc -l) "
    sleep 0.3
    rm -rf "$ws/usb/backup"
    umount "$ws/usb"
done
echo "drive comes back -> its task has copied: median $(echo "$times" | median) s ($times) (target <= 3 s)"
