#!/usr/bin/env bash
# Two builds of tavelin-cli side by side, for a change that must not change speed (a refactor):
# fresh copies and no-op runs of 50,000 files on a tmpfs, the two builds and `cp`/`rsync`
# alternating round by round. Reports medians and each build's ratio to the peer.
#   bench/compare-builds.sh OLD_CLI NEW_CLI BUILD_DIR [ROUNDS]
set -euo pipefail
old=$(realpath "$1")
new=$(realpath "$2")
build=${3:-build}
rounds=${4:-7}
gen=$(realpath "$build/bench/tavelin-bench-tree")

. "$(dirname "$0")/common.sh"
bench_workspace tavelin-compare 8g
cd "$ws"

declare -A times
"$gen" src --files 50000
for ((r = 1; r <= rounds; r++)); do
    rm -rf d-old d-new d-cp d-rsync
    run_timed old-fresh "$old" copy src d-old --subfolders
    run_timed new-fresh "$new" copy src d-new --subfolders
    run_timed cp-fresh cp -r --preserve=timestamps src d-cp
    run_timed rsync-fresh rsync -rt --update src/ d-rsync/
    run_timed old-noop "$old" copy src d-old --subfolders
    run_timed new-noop "$new" copy src d-new --subfolders
    run_timed rsync-noop rsync -rt --update src/ d-rsync/
    echo "round $r done"
done
printf '\n%-12s %s\n' "measure" "median seconds (all runs)"
for k in old-fresh new-fresh cp-fresh old-noop new-noop rsync-noop; do
    printf '%-12s %.3f  (%s)\n' "$k" "$(echo "${times[$k]}" | median)" "${times[$k]}"
done
ratio() { echo "scale=2; $(echo "${times[$1]}" | median) / $(echo "${times[$2]}" | median)" | bc -l; }
echo
echo "fresh copy / cp:    old $(ratio old-fresh cp-fresh)   new $(ratio new-fresh cp-fresh)"
echo "no-op run / rsync:  old $(ratio old-noop rsync-noop)   new $(ratio new-noop rsync-noop)"
echo "new / old:          fresh $(ratio new-fresh old-fresh)   no-op $(ratio new-noop old-noop)"
