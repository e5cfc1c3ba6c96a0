# Shared by the benchmark scripts (sourced, not run).

# A working folder on a tmpfs where one can be mounted (disk timings swing several-fold on these
# shared machines), else on disk. Sets $ws and $where; removes the folder on exit, after
# calling the script's own `stop_children` when it defines one.
bench_workspace() { # NAME SIZE
    ws=$(mktemp -d "/tmp/$1-XXXXXX")
    where="disk ($ws)"
    if [ "$(id -u)" -eq 0 ] && mount -t tmpfs -o "size=$2" tmpfs "$ws" 2>/dev/null; then
        where="tmpfs ($ws)"
    fi
    trap 'declare -F stop_children >/dev/null && stop_children; cd /; umount "$ws" 2>/dev/null || true; rm -rf "$ws"' EXIT
    echo "working on $where"
}

# Runs a command with its output dropped and adds its seconds to times[NAME] (the caller
# declares `declare -A times`). $EPOCHREALTIME starts no process, so short runs stay short.
run_timed() { # NAME COMMAND...
    local name=$1; shift
    local t0 t1
    t0=$EPOCHREALTIME; "$@" >/dev/null; t1=$EPOCHREALTIME
    times[$name]+="$(echo "$t1 - $t0" | bc -l) "
}

# The median of whitespace-separated numbers on standard input.
median() {
    tr ' ' '\n' | grep -v '^$' | sort -g |
        awk '{a[NR]=$1} END {print (NR%2 ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2)}'
}

# Percent of one core that process PID uses over SECONDS.
idle_cpu() { # PID SECONDS
    local ticks c0 c1
    ticks=$(getconf CLK_TCK)
    c0=$(awk '{print $14 + $15}' "/proc/$1/stat")
    sleep "$2"
    c1=$(awk '{print $14 + $15}' "/proc/$1/stat")
    echo "scale=3; 100 * ($c1 - $c0) / $ticks / $2" | bc -l
}
