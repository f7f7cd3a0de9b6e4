#!/usr/bin/env bash
# The real program's boxes and save dialog under a window manager (openbox) on X11:
# they are modal (the window manager is told), a minimise and restore of the window
# answers nothing, the window's close request waits for the box, keys typed meanwhile
# go to the box, a second save opens where the first went, and the end of the session
# (SIGTERM) ends the program within a second while a dialog is open. The run, with an
# empty home folder, writes nothing there.
#   modal-dialogs.sh TALLYCLOCK CLOSE_REQUEST     (under xvfb-run)
# A cross build's programs run through the emulator in TALLYCLOCK_EMULATOR.
set -uo pipefail
exe="$1"
close_request="$2"
run=(${TALLYCLOCK_EMULATOR:-})
if ! command -v openbox >/dev/null || ! command -v xdotool >/dev/null; then
    echo "openbox or xdotool is not installed: skipped"
    exit 77
fi
dir=$(mktemp -d)
pid=
wm=
cleanup() {
    [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null
    [ -n "$wm" ] && kill "$wm" 2>/dev/null
    rm -rf "$dir"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}
# The first window whose name is exactly $1, within five seconds.
window_named() {
    local w=
    for _ in $(seq 100); do
        w=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1)
        [ -n "$w" ] && break
        sleep 0.05
    done
    echo "$w"
}
modal() {
    xprop -id "$1" _NET_WM_STATE | grep -q _NET_WM_STATE_MODAL
}
# A click on "Save Results As Text File": 120 and 5370 twips from the client area's
# corner, 3840 by 405 twips, 15 twips a pixel.
click_save() {
    xdotool mousemove --window "$window" 136 371 click 1
}

openbox >/dev/null 2>&1 &
wm=$!
# A window mapped while the window manager starts may stay unmapped.
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.05
done
mkdir -p "$dir/home" "$dir/out"
(cd "$dir/home" && HOME="$dir/home" XDG_CONFIG_HOME="$dir/home/config" QT_QPA_PLATFORM=xcb \
    exec "${run[@]}" "$exe") &
pid=$!
window=$(window_named "Tallyclock Software")
[ -n "$window" ] || fail "the window did not appear"
sleep 0.5 # the window manager has framed and activated it

# 1. A minimise and restore of the window while the save dialog is open.
click_save
save=$(window_named Save)
[ -n "$save" ] || fail "the save dialog did not open"
modal "$save" || fail "the window manager was not told that the save dialog is modal"
xdotool windowminimize "$window"
sleep 0.5
xdotool windowactivate "$window" 2>/dev/null
sleep 0.5
[ -n "$(window_named Save)" ] || fail "a minimise and restore ended the save dialog"
xdotool windowactivate "$save" 2>/dev/null
sleep 0.2
xdotool type --delay 20 "$dir/out/old.txt"
xdotool key Return
for _ in $(seq 100); do
    [ -e "$dir/out/old.txt" ] && break
    sleep 0.05
done
[ -e "$dir/out/old.txt" ] || fail "the save after a minimise wrote no file"

# 2. The keys go back to the window: Space starts the stopwatch. A second save opens
# in the first one's folder with its name, so Return asks to overwrite that file.
sleep 0.3
xdotool key space
sleep 0.3
click_save
save=$(window_named Save)
[ -n "$save" ] || fail "the second save dialog did not open"
xdotool key Return
question=$(window_named Tallyclock)
[ -n "$question" ] || fail "the second save did not ask to overwrite the first one's file"
modal "$question" || fail "the window manager was not told that the question is modal"
# The window's close button waits for the box.
"${run[@]}" "$close_request" "$window"
sleep 0.5
kill -0 "$pid" 2>/dev/null || fail "the close request ended the program behind a box"
# Space goes to the box (its default button, Yes), not to the stopwatch.
xdotool key space
for _ in $(seq 100); do
    [ -s "$dir/out/old.txt" ] && break
    sleep 0.05
done
printf 'Timer started at 0.000\r\n' | cmp -s - "$dir/out/old.txt" ||
    fail "the overwritten file holds: $(od -c "$dir/out/old.txt" | head -n 3)"

# 3. The end of the session while the save dialog is open.
sleep 0.3
click_save
[ -n "$(window_named Save)" ] || fail "the third save dialog did not open"
start=$(date +%s%N)
kill -TERM "$pid"
wait "$pid"
status=$?
pid=
elapsed=$((($(date +%s%N) - start) / 1000000))
echo "SIGTERM during the save dialog ended the program in ${elapsed} ms, status $status"
[ "$status" -eq 0 ] || fail "exit status $status"
[ "$elapsed" -lt 1000 ] || fail "the program took ${elapsed} ms to end"
ls "$dir/out" | grep -v '^old.txt$' && fail "files left beside the saved one"
# Nothing is kept between runs: the dialog's settings are not written either.
left=$(find "$dir/home" -mindepth 1)
[ -z "$left" ] || fail "the run left in its home folder: $left"
exit 0
