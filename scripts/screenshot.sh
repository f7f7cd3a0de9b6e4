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
trap 'kill $app $xvfb 2>/dev/null || true' EXIT
sleep 1

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
import -window "$window" "$out"
echo "$out"
