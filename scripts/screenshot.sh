#!/usr/bin/env bash
# Starts Tallyclock under a virtual X server, runs the stopwatch a little and takes a
# screenshot of the window: scripts/screenshot.sh [output.png] [program]
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-docs/screenshot.png}"
program="${2:-build/src/tallyclock}"
mkdir -p "$(dirname "$out")"

export DISPLAY=":${TALLYCLOCK_SCREEN:-97}"
Xvfb "$DISPLAY" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
wm=
app=
trap 'kill $app $wm $xvfb 2>/dev/null || true' EXIT
sleep 1
# A window manager, where one is installed, draws the caption and the border.
if command -v openbox >/dev/null; then
    openbox >/dev/null 2>&1 &
    wm=$!
    sleep 0.5
fi

"$program" >/dev/null 2>&1 &
app=$!
for _ in $(seq 50); do
    window=$(xdotool search --name '^Tallyclock Software$' 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    sleep 0.2
done
[ -n "$window" ] || { echo "the window did not appear" >&2; exit 1; }

xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
sleep 0.3
xdotool key --window "$window" space; sleep 1.3
xdotool key --window "$window" l; sleep 0.8
xdotool key --window "$window" space; sleep 0.5
frame=$(xdotool getwindowpid "$window" >/dev/null 2>&1; xwininfo -id "$window" -children 2>/dev/null | awk '/Parent window id/ {print $4}')
if [ -n "$wm" ] && [ -n "$frame" ] && [ "$frame" != "$(xwininfo -root | awk '/Window id/ {print $4}')" ]; then
    import -window "$frame" "$out"
else
    import -window "$window" "$out"
fi
echo "$out"
