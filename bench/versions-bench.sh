#!/usr/bin/env bash
# Keeping replaced versions costs little: a no-op run with versions on against off (50,000
# files), and replacing 10,000 files with versions on against off, alternating, medians.
#   bench/versions-bench.sh BUILD_DIR [ROUNDS]
set -euo pipefail
build=${1:-build}
rounds=${2:-7}
cli=$(realpath "$build/src/cli/tavelin-cli")
gen=$(realpath "$build/bench/tavelin-bench-tree")
. "$(dirname "$0")/common.sh"
bench_workspace tavelin-versions-bench 6g
cd "$ws"
"$gen" src --files 50000 >/dev/null
"$cli" copy src dst --subfolders >/dev/null

declare -A times
for ((r = 1; r <= rounds; r++)); do
    run_timed noop-off "$cli" copy src dst --subfolders
    run_timed noop-on "$cli" copy src dst --subfolders --keep-versions
done

"$gen" small --files 10000 --max-size 4096 >/dev/null
for ((r = 1; r <= rounds; r++)); do
    for mode in off on; do
        rm -rf "r-$mode"
        "$cli" copy small "r-$mode" --subfolders >/dev/null
        # Every copy older than its source: the next run replaces all 10,000.
        find "r-$mode" -type f -exec touch -d '2001-01-01' {} +
        if [ "$mode" = on ]; then
            run_timed replace-on "$cli" copy small "r-$mode" --subfolders --keep-versions
        else
            run_timed replace-off "$cli" copy small "r-$mode" --subfolders
        fi
    done
done
for k in noop-off noop-on replace-off replace-on; do
    printf '%-12s median %.3f s  (%s)\n' "$k" "$(echo "${times[$k]}" | median)" "${times[$k]}"
done
ratio() { echo "scale=2; $(echo "${times[$1]}" | median) / $(echo "${times[$2]}" | median)" | bc -l; }
echo "no-op run, versions on / off = $(ratio noop-on noop-off)  (target <= 1.05)"
echo "replacing 10,000 files, versions on / off = $(ratio replace-on replace-off)  (target <= 1.2)"
echo "kept: $(find r-on/.tavelin-versions -type f | wc -l) versions"
