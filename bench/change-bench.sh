#!/usr/bin/env bash
# Copy on change at scale: `tavelin-cli serve` watching a task whose source has 10,000 folders
# and 100,000 files. Reports the idle CPU and memory while watching, how soon one saved file is
# copied (median of 10; the settle time is 2 s), and how many runs a burst of 10,000 new files
# takes before every file is copied.
#   bench/change-bench.sh BUILD_DIR [IDLE_SECONDS]
set -euo pipefail
build=${1:-build}
idle=${2:-30}
cli=$(realpath "$build/src/cli/tavelin-cli")
. "$(dirname "$0")/common.sh"
stop_children() { kill "${pid:-0}" 2>/dev/null && wait "$pid" 2>/dev/null || true; }
bench_workspace tavelin-change-bench 2g
export TAVELIN_DB=$ws/tasks.db
settle=2

python3 - "$ws/src" <<'PY'
import os, sys
root = sys.argv[1]
for top in range(100):
    for sub in range(100):
        d = os.path.join(root, f"t{top}", f"s{sub}")
        os.makedirs(d, exist_ok=True)
        for f in range(10):
            with open(os.path.join(d, f"f{f}.txt"), "w") as out:
                out.write("x" * 10)
PY
echo "source: $(find "$ws/src" -type d | wc -l) folders, $(find "$ws/src" -type f | wc -l) files"
"$cli" tasks add big --source "$ws/src" --destination "$ws/dst" --every "2  hrs" --subfolders \
    --on-change --settle "$settle" >/dev/null
"$cli" tasks run big >/dev/null
"$cli" serve >"$ws/serve.out" 2>"$ws/serve.err" &
pid=$!
sleep 8 # the watches are set up on the first pass
cpu=$(idle_cpu "$pid" "$idle")
rss=$(awk '/VmRSS/ {print $2}' "/proc/$pid/status")
echo "idle while watching: $cpu % of a core over ${idle}s (target < 0.5 %), RSS $((rss / 1024)) MiB"

times=""
for i in $(seq 1 10); do
    f="t$((i * 7 % 100))/s$((i * 13 % 100))/saved$i.txt"
    t0=$EPOCHREALTIME
    echo "version $i" >"$ws/src/$f"
    until [ -e "$ws/dst/$f" ]; do sleep 0.02; done
    t1=$EPOCHREALTIME
    times+="$(echo "$t1 - $t0" | bc -l) "
    sleep 0.5
done
echo "one saved file copied after: median $(echo "$times" | median) s ($times) (target <= settle $settle s + 1 s)"

before=$(grep -c '^big -:- ' "$ws/serve.out" || true)
python3 - "$ws/src" <<'PY'
import os, sys
root = sys.argv[1]
for i in range(10000):
    d = os.path.join(root, f"t{i % 100}", f"s{(i // 100) % 100}")
    with open(os.path.join(d, f"burst{i}.txt"), "w") as out:
        out.write("y")
PY
for _ in $(seq 600); do
    n=$(find "$ws/dst" -name 'burst*.txt' | wc -l)
    [ "$n" -ge 10000 ] && break
    sleep 0.5
done
sleep $((settle + 2))
after=$(grep -c '^big -:- ' "$ws/serve.out" || true)
echo "burst of 10,000 new files: $n copied, in $((after - before)) runs (target <= 3)"
