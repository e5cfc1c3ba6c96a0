#!/usr/bin/env bash
# The window and `tavelin-cli serve` on one task file: a task added with the CLI and made due
# a few seconds ahead is copied once, by one of the two, and recorded "OK" with its next run one
# interval after that run.
set -euo pipefail
unset QT_QPA_PLATFORM # these run the real program on the virtual X server
program=$1
cli=$2
home=$(mktemp -d)
trap 'kill "${gui:-0}" "${serve:-0}" 2>/dev/null || true; rm -rf "$home"' EXIT
export HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share XDG_RUNTIME_DIR=$home
export TAVELIN_DB=$home/tasks.db
db=$TAVELIN_DB
mkdir -p "$home/docs/sub"
echo "report" >"$home/docs/a.odt"
echo "notes" >"$home/docs/sub/b.pdf"
echo "skip" >"$home/docs/c.txt"

"$program" >"$home/gui.log" 2>&1 &
gui=$!
timeout 20 xdotool search --sync --onlyvisible --name '^Tavelin$' >/dev/null
"$cli" serve >"$home/serve.out" 2>"$home/serve.err" &
serve=$!
for _ in $(seq 100); do grep -q "running the tasks" "$home/serve.err" && break; sleep 0.1; done

"$cli" tasks add "Bob's docs" --source "$home/docs" --destination "$home/usb/docs" \
    --every "15 Min" --pattern "*.odt;*.pdf" --subfolders
due=$(date -d '+3 seconds' '+%Y-%m-%d %H:%M:%S')
sqlite3 -cmd ".timeout 5000" "$db" \
    "UPDATE tasks SET task_nextdate = '$due' WHERE task_name = 'Bob''s docs'"

for _ in $(seq 150); do
    [ "$(sqlite3 -cmd ".timeout 5000" "$db" "SELECT task_success FROM tasks")" = OK ] && break
    sleep 0.1
done
sleep 3 # time for a second, wrong run to show itself
row=$(sqlite3 -cmd ".timeout 5000" "$db" "SELECT task_success, task_lastdate, task_nextdate FROM tasks")
echo "store: $row"
IFS='|' read -r status last next <<<"$row"
[ "$status" = OK ] || { echo "not recorded OK"; cat "$home/serve.err"; exit 1; }
[ "$last" = "$due" ] || { echo "last run $last is not the claimed due time $due"; exit 1; }
gap=$(( $(date -d "$next" +%s) - $(date -d "$last" +%s) ))
[ "$gap" -ge 900 ] && [ "$gap" -le 930 ] || { echo "next run not one interval later ($gap s)"; exit 1; }
[ "$(cat "$home/usb/docs/a.odt")" = report ] && [ "$(cat "$home/usb/docs/sub/b.pdf")" = notes ]
[ ! -e "$home/usb/docs/c.txt" ]
runs=$(grep -c "^Bob's docs -:- " "$home/serve.out" || true)
echo "serve ran it $runs time(s)"
[ "$runs" -le 1 ] || { echo "run twice"; exit 1; }
kill -TERM "$serve"
wait "$serve"
echo "1 passed, 0 failed"
