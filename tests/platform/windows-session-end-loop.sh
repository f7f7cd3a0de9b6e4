#!/usr/bin/env bash
# Ends the user's session (wineboot --end-session) ROUNDS times while the Windows
# program asks whether to overwrite a file, and requires the program to end each time
# within 5 s, with the file as it was.
# Usage: windows-session-end-loop.sh PORTABLE_FOLDER ROUNDS
# Runs inside windows-real-window.sh's display and Wine prefix (DISPLAY, WINEPREFIX);
# prints each round and the slowest end.
set -euo pipefail
payload=$1
rounds=$2
: "${WINEPREFIX:?}" "${DISPLAY:?}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/windows-waits.sh"

kept=$work/kept.txt
printf 'Timer started at 0.000\r\n' >"$kept"
before=$(md5sum <"$kept")
now_ms() { date +%s%3N; }
slowest=0
for round in $(seq "$rounds"); do
    wine "$payload/tallyclock.exe" 2>>"$work/wine.log" &
    program=$!
    window=$(window_of '^Tallyclock Software$' 60) || { echo "round $round: no window" >&2; exit 1; }
    activate "$window" 10 || { echo "round $round: the window took no focus" >&2; exit 1; }
    # "Save Results As Text File": 2040 twips across, 5572 down, 15 twips a pixel.
    xdotool mousemove --window "$window" 136 371 click 1
    dialog=$(window_of '^Save$' 30) || { echo "round $round: no save dialog" >&2; exit 1; }
    save_as "$dialog" "$kept" is_shown '^Tallyclock$' ||
        { echo "round $round: no overwrite question" >&2; exit 1; }
    asked=$(now_ms)
    wine wineboot --end-session 2>>"$work/wine.log" ||
        { echo "round $round: wineboot --end-session failed" >&2; exit 1; }
    while kill -0 "$program" 2>/dev/null && [ $(($(now_ms) - asked)) -lt 5000 ]; do sleep 0.02; done
    if kill -0 "$program" 2>/dev/null; then
        echo "round $round: the program was still there 5 s after the end of the session" >&2
        kill -9 "$program" 2>/dev/null || true
        exit 1
    fi
    ended=$(($(now_ms) - asked))
    [ "$ended" -le "$slowest" ] || slowest=$ended
    wait "$program" 2>/dev/null || true
    [ "$(md5sum <"$kept")" = "$before" ] ||
        { echo "round $round: the file changed at the end of the session" >&2; exit 1; }
    echo "    round $round: ended ${ended} ms after the end of the session began"
done
echo "== $rounds ends of the session during the overwrite question of $rounds ended the program (slowest ${slowest} ms)"
