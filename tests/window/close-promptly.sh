#!/usr/bin/env bash
# Closing the window ends the process at once, also while the look-up for the
# spreadsheet program waits on a slow `xdg-mime`; the look-up's processes go too.
#   close-promptly.sh TALLYCLOCK CLOSE_REQUEST     (under xvfb-run)
# A cross build's programs run through the emulator in TALLYCLOCK_EMULATOR.
set -uo pipefail
exe="$1"
close_request="$2"
# The emulator by its full path: the program runs with a PATH of the test's own.
run=(${TALLYCLOCK_EMULATOR:-})
[ ${#run[@]} -eq 0 ] || run[0]=$(command -v "${run[0]}")
dir=$(mktemp -d)
pid=
cleanup() {
    [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null
    pkill -9 -f "$marker" 2>/dev/null
    rm -rf "$dir"
}
marker="tallyclock-slow-lookup-$$"
trap cleanup EXIT
mkdir -p "$dir/bin" "$dir/config"
# A query that answers after a minute (the program's own time-out is 3 s), through a
# process of its own, as the real script's tools are.
printf '#!/bin/bash\n(exec -a %s /bin/sleep 60)\n' "$marker" >"$dir/bin/xdg-mime"
chmod +x "$dir/bin/xdg-mime"

PATH="$dir/bin" HOME="$dir" XDG_CONFIG_HOME="$dir/config" QT_QPA_PLATFORM=xcb "${run[@]}" "$exe" &
pid=$!
window=
for _ in $(seq 100); do
    window=$(xdotool search --name '^Tallyclock Software$' 2>/dev/null | head -n 1)
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "FAIL: the window did not appear"; exit 1; }
for _ in $(seq 100); do
    pgrep -f "$marker" >/dev/null && break
    sleep 0.05
done
pgrep -f "$marker" >/dev/null || { echo "FAIL: the look-up did not start"; exit 1; }

start=$(date +%s%N)
"${run[@]}" "$close_request" "$window"
wait "$pid"
status=$?
pid=
elapsed=$((($(date +%s%N) - start) / 1000000))
echo "the process ended ${elapsed} ms after the close request, with status $status"
[ "$status" -eq 0 ] || { echo "FAIL: exit status $status"; exit 1; }
# The look-up's own time-out is 3 s: ending well before it means it was not waited for.
[ "$elapsed" -lt 2000 ] || { echo "FAIL: the process waited for the look-up"; exit 1; }
for _ in $(seq 20); do
    pgrep -f "$marker" >/dev/null || exit 0
    sleep 0.05
done
echo "FAIL: the look-up's xdg-mime is still running"
exit 1
