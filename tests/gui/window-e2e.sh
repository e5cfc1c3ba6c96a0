#!/usr/bin/env bash
# The real program under a virtual X server: a 698 x 600 window appears, it is not blank, and
# the Exit path (the BX button) ends it with the settings saved.
set -euo pipefail
unset QT_QPA_PLATFORM # these run the real program on the virtual X server
program=$1
home=$(mktemp -d)
trap 'kill "${pid:-0}" 2>/dev/null || true; rm -rf "$home"' EXIT
export HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share XDG_RUNTIME_DIR=$home
unset TAVELIN_DB

version=$("$program" --version)
[ "$version" = "Tavelin 1.07" ] || { echo "--version printed '$version'"; exit 1; }

"$program" >"$home/out.log" 2>&1 &
pid=$!
wid=$(timeout 20 xdotool search --sync --onlyvisible --name '^Tavelin$' | head -1)
eval "$(xdotool getwindowgeometry --shell "$wid")"
echo "window $wid: ${WIDTH}x${HEIGHT} at $X,$Y"
[ "$WIDTH" = 698 ] && [ "$HEIGHT" = 600 ] || { echo "wrong size"; exit 1; }

sleep 1.5 # let the clock tick and the deferred grid fill happen
import -window root "$home/shot.png"
colours=$(convert "$home/shot.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" -format '%k' info:)
echo "distinct colours in the window: $colours"
[ "$colours" -gt 50 ] || { echo "the window looks blank"; exit 1; }

# BX sits at (672, 8), 20 x 20 pixels: hover, press, release.
xdotool mousemove --window "$wid" 682 18 sleep 0.3 mousemove --window "$wid" 683 18 sleep 0.3 \
    mousedown 1 sleep 0.2 mouseup 1
for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
    echo "the program did not end through Exit"
    exit 1
fi
wait "$pid" || true
settings=$XDG_CONFIG_HOME/Tavelin/Tavelin.conf
[ -f "$settings" ] || { echo "no settings file at $settings"; ls -R "$home"; exit 1; }
grep -q '^\[Defaults\]' "$settings" && grep -q '^AutoStartUp=1' "$settings"
[ -f "$XDG_CONFIG_HOME/autostart/Tavelin.desktop" ]
echo "1 passed, 0 failed"
