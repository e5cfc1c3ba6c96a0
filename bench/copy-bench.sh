#!/usr/bin/env bash
# Times `tavelin-cli copy` (every copy flushed to the disk before it is reported) against the
# usual tools, tools alternating round by round, each into its own fresh destination, on a
# tmpfs and on a loop-mounted ext4 image. Reports medians and median ratios, then the peak
# memory of tavelin-cli for 10,000, 50,000 and 100,000 files.
#   tmpfs: fresh copy against `cp -r --preserve=timestamps`; no-op against `rsync -rt --update`.
#   ext4:  fresh copy against `cp -r --preserve=timestamps && sync` and `rsync -rt --fsync`;
#          no-op against `rsync -rt --update`.
#   bench/copy-bench.sh BUILD_DIR [ROUNDS] [EXT4_ROUNDS]
set -euo pipefail
build=${1:-build}
rounds=${2:-5}
ext4_rounds=${3:-3}
cli=$(realpath "$build/src/cli/tavelin-cli")
gen=$(realpath "$build/bench/tavelin-bench-tree")

. "$(dirname "$0")/common.sh"
bench_workspace tavelin-bench 8g
cd "$ws"

declare -A times
cp_and_sync() { cp -r --preserve=timestamps "$1" "$2" && sync -f "$2"; }
report() { # names...
    printf '\n%-22s %s\n' "measure" "median seconds (all runs)"
    for k in "$@"; do
        printf '%-22s %.3f  (%s)\n' "$k" "$(echo "${times[$k]}" | median)" "${times[$k]}"
    done
}
ratio() { echo "scale=2; $(echo "${times[$1]}" | median) / $(echo "${times[$2]}" | median)" | bc -l; }

echo "== tmpfs (or disk when no tmpfs can be mounted): $where"
"$gen" src --files 50000
for ((r = 1; r <= rounds; r++)); do
    rm -rf d-tavelin d-cp d-rsync
    run_timed tmpfs-tavelin-fresh "$cli" copy src d-tavelin --subfolders
    run_timed tmpfs-cp-fresh cp -r --preserve=timestamps src d-cp
    run_timed tmpfs-rsync-fresh rsync -rt --update src/ d-rsync/
    run_timed tmpfs-tavelin-noop "$cli" copy src d-tavelin --subfolders
    run_timed tmpfs-rsync-noop rsync -rt --update src/ d-rsync/
    echo "round $r done"
done
rm -rf d-tavelin d-cp d-rsync src
report tmpfs-tavelin-fresh tmpfs-cp-fresh tmpfs-rsync-fresh tmpfs-tavelin-noop tmpfs-rsync-noop
echo
echo "fresh copy: tavelin / cp    = $(ratio tmpfs-tavelin-fresh tmpfs-cp-fresh)  (target <= 1.0)"
echo "no-op run:  tavelin / rsync = $(ratio tmpfs-tavelin-noop tmpfs-rsync-noop)  (target <= 0.6)"

echo
if [ "$(id -u)" -eq 0 ] && command -v mkfs.ext4 >/dev/null; then
    img=$(mktemp /var/tmp/tavelin-bench-XXXXXX.img)
    mkdir -p "$ws/ext4"
    truncate -s 6G "$img"
    mkfs.ext4 -q -F "$img"
    if mount -o loop "$img" "$ws/ext4"; then
        stop_children() { umount "$ws/ext4" 2>/dev/null || true; rm -f "$img"; }
        cd "$ws/ext4"
        echo "== ext4 image on disk ($img), durable copies"
        "$gen" src --files 50000
        sync -f .
        for ((r = 1; r <= ext4_rounds; r++)); do
            rm -rf d-tavelin d-cp d-rsync d-fsync
            sync -f .
            run_timed ext4-tavelin-fresh "$cli" copy src d-tavelin --subfolders
            run_timed ext4-cp+sync-fresh cp_and_sync src d-cp
            run_timed ext4-rsync-fsync-fresh rsync -rt --fsync src/ d-fsync/
            run_timed ext4-tavelin-noop "$cli" copy src d-tavelin --subfolders
            rsync -rt src/ d-rsync/ && sync -f .
            run_timed ext4-rsync-noop rsync -rt --update src/ d-rsync/
            echo "round $r done"
        done
        rm -rf d-tavelin d-cp d-rsync d-fsync src
        report ext4-tavelin-fresh ext4-cp+sync-fresh ext4-rsync-fsync-fresh ext4-tavelin-noop \
            ext4-rsync-noop
        echo
        echo "fresh copy: tavelin / (cp && sync) = $(ratio ext4-tavelin-fresh ext4-cp+sync-fresh)  (target <= 1.0)"
        echo "fresh copy: tavelin / rsync --fsync = $(ratio ext4-tavelin-fresh ext4-rsync-fsync-fresh)  (target <= 0.15)"
        echo "no-op run:  tavelin / rsync = $(ratio ext4-tavelin-noop ext4-rsync-noop)  (target <= 0.6)"
        cd "$ws"
        stop_children
        unset -f stop_children
    else
        echo "== ext4: the kernel refuses loop mounts here; skipped"
        rm -f "$img"
    fi
else
    echo "== ext4: needs root and mkfs.ext4; skipped"
fi

echo
echo "peak memory of tavelin-cli copy (target <= 8 MiB, flat in the number of files):"
for n in 10000 50000 100000; do
    "$gen" "m$n" --files "$n" --max-size 2048 >/dev/null
    kb=$( { /usr/bin/time -f '%M' "$cli" copy "m$n" "d$n" --subfolders >/dev/null; } 2>&1 | tail -1)
    echo "  $n files: $kb KiB"
    rm -rf "m$n" "d$n"
done
