#!/usr/bin/env bash
# Times `tavelin-cli copy` against `cp -r --preserve=timestamps` (fresh copy) and
# `rsync -rt --update` (fresh and unchanged tree), tools alternating round by round, each into
# its own fresh destination. Reports medians and the median ratio, then the peak memory of
# tavelin-cli for 10,000, 50,000 and 100,000 files.
#   bench/copy-bench.sh BUILD_DIR [ROUNDS]
set -euo pipefail
build=${1:-build}
rounds=${2:-5}
cli=$(realpath "$build/src/cli/tavelin-cli")
gen=$(realpath "$build/bench/tavelin-bench-tree")

. "$(dirname "$0")/common.sh"
bench_workspace tavelin-bench 8g
cd "$ws"
"$gen" src --files 50000

declare -A times
run_timed() { # name command...
    local name=$1; shift
    local t0 t1
    # $EPOCHREALTIME starts no process, so short runs are not lengthened by the timing.
    t0=$EPOCHREALTIME; "$@" >/dev/null; t1=$EPOCHREALTIME
    times[$name]+="$(echo "$t1 - $t0" | bc -l) "
}

for ((r = 1; r <= rounds; r++)); do
    rm -rf d-tavelin d-cp d-rsync
    run_timed tavelin-fresh "$cli" copy src d-tavelin --subfolders
    run_timed cp-fresh cp -r --preserve=timestamps src d-cp
    run_timed rsync-fresh rsync -rt --update src/ d-rsync/
    run_timed tavelin-noop "$cli" copy src d-tavelin --subfolders
    run_timed rsync-noop rsync -rt --update src/ d-rsync/
    echo "round $r done"
done
rm -rf d-tavelin d-cp d-rsync

printf '\n%-14s %s\n' "measure" "median seconds (all runs)"
for k in tavelin-fresh cp-fresh rsync-fresh tavelin-noop rsync-noop; do
    printf '%-14s %.3f  (%s)\n' "$k" "$(echo "${times[$k]}" | median)" "${times[$k]}"
done
ratio() { echo "scale=2; $(echo "${times[$1]}" | median) / $(echo "${times[$2]}" | median)" | bc -l; }
echo
echo "fresh copy: tavelin / cp    = $(ratio tavelin-fresh cp-fresh)  (target <= 1.0)"
echo "fresh copy: tavelin / rsync = $(ratio tavelin-fresh rsync-fresh)"
echo "no-op run:  tavelin / rsync = $(ratio tavelin-noop rsync-noop)  (target <= 0.6)"

echo
echo "peak memory of tavelin-cli copy (target <= 8 MiB, flat in the number of files):"
rm -rf src
for n in 10000 50000 100000; do
    "$gen" "m$n" --files "$n" --max-size 2048 >/dev/null
    kb=$( { /usr/bin/time -f '%M' "$cli" copy "m$n" "d$n" --subfolders >/dev/null; } 2>&1 | tail -1)
    echo "  $n files: $kb KiB"
    rm -rf "m$n" "d$n"
done
