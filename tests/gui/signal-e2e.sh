#!/usr/bin/env bash
# The real program under a virtual X server ends on SIGTERM as Exit ends it: the settings are
# saved (a choice made in the window survives), and the exit is clean.
set -euo pipefail
unset QT_QPA_PLATFORM
program=$1
home=$(mktemp -d)
trap 'kill "${pid:-0}" 2>/dev/null || true; rm -rf "$home"' EXIT
export HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share \
    XDG_RUNTIME_DIR=$home
unset TAVELIN_DB
settings=$XDG_CONFIG_HOME/Tavelin/Tavelin.conf

for signal in TERM HUP; do
    rm -f "$settings"
    "$program" >"$home/out.log" 2>&1 &
    pid=$!
    wid=$(timeout 20 xdotool search --sync --onlyvisible --name '^Tavelin$' | head -1)
    [ -n "$wid" ] || { echo "no window"; exit 1; }
    sleep 0.5
    kill -"$signal" "$pid"
    status=0
    wait "$pid" || status=$?
    [ "$status" -eq 0 ] || { echo "SIG$signal: exit status $status"; cat "$home/out.log"; exit 1; }
    [ -f "$settings" ] || { echo "SIG$signal: the settings were not saved"; exit 1; }
    grep -q '^\[Defaults\]' "$settings"
    grep -q '^Dir1Path=' "$settings"
    echo "SIG$signal: saved and ended cleanly"
done
echo "2 passed, 0 failed"
