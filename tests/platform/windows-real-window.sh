#!/usr/bin/env bash
# The Windows program as a user has it, under Wine on Xvfb with openbox and Qt's
# windows platform plugin (first, tst_qtdesktop's box test with that plugin: a carriage
# return in a box's text breaks the line):
#   1. tallyclock.exe from the portable folder (its own DLLs and plugins only) shows its
#      window; a screenshot is taken; Space, L and Space time a lap; a click on "Save
#      Results As Text File" and a typed name save the results, whose bytes are checked
#      (three lines, CR LF). From inside Windows: the window's frame, icon, manifest and
#      version information. A second save opens the system's file dialog at the same
#      file, the overwrite question follows, and the main window takes no input behind
#      either; the end of the session (wineboot --end-session) then ends the program
#      with the file as it was.
#   2. windows-close-loop.sh closes the portable program 100 times
#      (TALLYCLOCK_CLOSE_ROUNDS), each process ending right after its window, and
#      windows-session-end-loop.sh ends the session 50 times during the overwrite
#      question (TALLYCLOCK_SESSION_END_ROUNDS), each ending the program.
#   3. The installer installs silently for the user and lists itself with its name,
#      version, publisher, icon, size and uninstall commands; the installed program
#      answers --version and shows its window, and the silent uninstall leaves nothing.
#   4. The MSI installs silently for all users into Program Files with a Start-menu
#      shortcut, the installed program shows its window, a later MSI upgrades it in
#      place, and the silent removal leaves no file, shortcut or entry.
# Usage: windows-real-window.sh PORTABLE_FOLDER SETUP_EXE SCREENSHOT_PNG CHECK_EXE MSI
#        NEXT_MSI
# WINEPREFIX names a prefix made for this run (scripts/windows.sh --test); CHECK_EXE is
# tests/platform/windows_window_check.cpp built for Windows; NEXT_MSI is the same MSI
# with a later version.
set -euo pipefail
payload=$1
setup=$2
screenshot=$3
check=$4
msi=$5
next_msi=$6
: "${WINEPREFIX:?set WINEPREFIX to a prefix of this run}"
export WINEDEBUG=-all
# Only what the portable folder holds: no DLL from the build machine's folders (the
# tests' own folders are kept for the one test run here).
tests_winepath=${WINEPATH:-}
unset WINEPATH QT_PLUGIN_PATH QT_QPA_PLATFORM

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wineserver -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "windows-real-window: $*" >&2
    grep -v 'FS volume label and serial are not available' "$work/wine.log" 2>/dev/null |
        tail -20 >&2
    if [ -n "${DISPLAY:-}" ]; then
        import -window root "${screenshot%.png}-failed.png" 2>/dev/null || true
    fi
    exit 1
}

source "$(dirname "$0")/windows-waits.sh"

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=:$(cat "$work/display")
openbox >/dev/null 2>&1 &
pids+=($!)
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
wait_until 10 wm_ready || fail "openbox did not start"
# Wine's display driver is chosen when its server starts: the suite's server ran
# without a display.
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
# Windows has Arial; this prefix gets the font Linux has in its place.
wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /d 'Liberation Sans' /f >/dev/null

# The window manager's close request, as the window's close button sends it: asked once
# more if the program is still there after 5 s (a request can be lost in Wine's start-up).
close_window() {
    local window
    window=$(window_of '^Tallyclock Software$' 10) || return 0
    wmctrl -i -c "$window"
}
has_ended() { ! kill -0 "$1" 2>/dev/null; }
ends_when_closed() { # PID
    local attempt
    for attempt in 1 2; do
        close_window
        wait_until 5 has_ended "$1" && return 0
    done
    return 1
}
# The window must go at the close request, and the process with it.
closes() { # PID WHAT
    ends_when_closed "$1" && return 0
    is_shown '^Tallyclock Software$' && fail "$2: the window stayed after the close request"
    kill -9 "$1" 2>/dev/null || true
    fail "$2: the window closed, but the process was still there 5 s later"
}
echo "== a box's text with the windows platform plugin: a carriage return breaks the line"
WINEPATH=$tests_winepath bash "$(dirname "$0")/run-under-wine.sh" \
    "$(dirname "$check")/tst_qtdesktop.exe" -platform windows boxIsModal >"$work/box.log" 2>&1 ||
    { grep -v QWARN "$work/box.log" >&2; fail "the box test failed with the windows platform"; }

echo "== the portable program"
wine "$payload/tallyclock.exe" 2>>"$work/wine.log" &
program=$!
window=$(window_of '^Tallyclock Software$' 60) || fail "no window named Tallyclock Software"
activate "$window" 10 || fail "the window took no focus"
# A lap of 1.2 s, then 0.6 s more on the clock.
press space
sleep 1.2
press l
sleep 0.6
press space

# The middle of "Save Results As Text File": 2040 twips across, 5572 down, 15 twips a
# pixel.
xdotool mousemove --window "$window" 136 371 click 1
pointer=$(xdotool getmouselocation --shell | grep -E '^(X|Y)=' | tr '\n' ' ')
dialog=$(window_of '^Save$' 30) || fail "the save dialog did not open"
saved=$work/results.txt
save_as "$dialog" "$saved" is_file "$saved" || fail "no results file was written"
wait_until 10 not_shown '^Save$' || fail "the save dialog stayed"
# The three results are in the file, so also on the screen.
import -window root "$screenshot"
od -c "$saved" | sed 's/^/    /'
lines=$(grep -c $'\r$' "$saved" || true)
[ "$lines" -eq 3 ] || fail "expected three lines ending in CR LF, found $lines"
[ "$(tr -d '\r' <"$saved" | grep -c -v -E '^(Timer started at 0\.000|Timer Lapsed at [0-9]+\.[0-9]{3}|Timer stopped at [0-9]+\.[0-9]{3})$')" -eq 0 ] ||
    fail "unexpected lines in the results file"
[ "$(head -c 24 "$saved" | od -An -c | tr -d ' \n')" = 'Timerstartedat0.000\r\n' ] ||
    fail "the file does not start with the start entry and CR LF"

echo "== the portable program as Windows sees it"
wine "$check" frame "$(windows_path "$payload/tallyclock.exe")" 2>>"$work/wine.log" ||
    fail "the window or the executable is not what Windows users expect"
# The window's icon as Wine hands it to the X server (the title bar's and the task bar's).
xprop -id "$window" _NET_WM_ICON | grep -q 'Icon (32 x 32)' || fail "the window has no icon"

echo "== the second save: the system's dialog at the same file, the question, the end of the session"
# Clicked where the first save was, the pointer not moved since.
[ "$(xdotool getmouselocation --shell | grep -E '^(X|Y)=' | tr '\n' ' ')" = "$pointer" ] ||
    fail "the pointer moved since the first save"
xdotool click 1
dialog=$(window_of '^Save$' 30) || fail "the save dialog did not open again"
activate "$dialog" 10 || fail "the second save dialog took no focus"
wine "$check" modal '#32770' 2>>"$work/wine.log" ||
    fail "the save dialog is not the system's, or the window behind it takes input"
press Return
window_of '^Tallyclock$' 10 >/dev/null ||
    fail "no overwrite question: the dialog did not open at the saved file"
wine "$check" modal 2>>"$work/wine.log" || fail "the window behind the question takes input"
before=$(md5sum <"$saved")
wine wineboot --end-session 2>>"$work/wine.log" || fail "wineboot --end-session failed"
wait_until 5 has_ended "$program" || fail "the program did not end with the session"
[ "$(md5sum <"$saved")" = "$before" ] || fail "the results file changed at the end of the session"
wait "$program" 2>/dev/null || true
echo "== the portable program: window, keys, text file, frame, dialogs and session end checked"

echo "== closing the portable program ${TALLYCLOCK_CLOSE_ROUNDS:-100} times"
bash "$(dirname "$0")/windows-close-loop.sh" "$payload" "$check" "${TALLYCLOCK_CLOSE_ROUNDS:-100}" ||
    fail "a close did not end the process"

echo "== ending the session ${TALLYCLOCK_SESSION_END_ROUNDS:-50} times during the overwrite question"
bash "$(dirname "$0")/windows-session-end-loop.sh" "$payload" "${TALLYCLOCK_SESSION_END_ROUNDS:-50}" ||
    fail "an end of the session did not end the program"

echo "== the installer"
wine "$setup" /S 2>>"$work/wine.log" || fail "the silent install failed"
installed=$(find "$WINEPREFIX/drive_c/users" -type d -path '*/AppData/Local/Programs/Tallyclock' | head -n 1)
[ -n "$installed" ] && [ -f "$installed/tallyclock.exe" ] || fail "the silent install put no tallyclock.exe in Programs"
start_menu=$(find "$WINEPREFIX/drive_c/users" -name 'Tallyclock.lnk' | head -n 1)
[ -n "$start_menu" ] || fail "no Start-menu entry"
listing=$(wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tallyclock' |
    tr -d '\r')
echo "$listing" | sed 's/^/    /'
for value in DisplayName DisplayVersion Publisher DisplayIcon EstimatedSize UninstallString \
    QuietUninstallString; do
    echo "$listing" | grep -q "^ *$value " || fail "the user's programs list no $value"
done
version=$(wine "$installed/tallyclock.exe" --version 2>>"$work/wine.log" | tr -d '\r')
echo "    $version"
[[ "$version" == "tallyclock "* ]] || fail "the installed program's --version said '$version'"
wine "$installed/tallyclock.exe" 2>>"$work/wine.log" &
program=$!
window=$(window_of '^Tallyclock Software$' 60) || fail "the installed program showed no window"
closes "$program" "the installed program"
wait "$program" 2>/dev/null || true

wine "$installed/uninstall.exe" /S 2>>"$work/wine.log" || fail "the silent uninstall failed"
# The uninstaller copies itself away and runs from there: wait for it to finish.
is_gone() { [ ! -e "$1" ]; }
wait_until 10 is_gone "$installed" || true
wineserver -w
[ ! -e "$installed" ] || fail "the uninstall left $(find "$installed" | head -n 5 | tr '\n' ' ')"
[ -z "$(find "$WINEPREFIX/drive_c/users" -name 'Tallyclock.lnk')" ] || fail "the Start-menu entry is still there"
if wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tallyclock' >/dev/null 2>&1; then
    fail "the uninstall entry is still listed"
fi
if wine reg query 'HKCU\Software\Tallyclock' >/dev/null 2>&1; then
    fail "the installer's settings key is still there"
fi
echo "== the installer: silent install, Start menu, listing, --version, window and uninstall checked"

echo "== the MSI"
program_files=$WINEPREFIX/drive_c/Program\ Files/Tallyclock
wine msiexec /i "$(windows_path "$msi")" /qn 2>>"$work/wine.log" || fail "the MSI did not install"
[ -f "$program_files/tallyclock.exe" ] || fail "the MSI put no tallyclock.exe in Program Files"
# Wine puts an all-users shortcut into the user's Start menu; Windows into ProgramData's.
[ -n "$(find "$WINEPREFIX/drive_c" -name 'Tallyclock.lnk')" ] || fail "the MSI made no Start-menu shortcut"
listed_version() {
    wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s /v DisplayVersion |
        tr -d '\r' | grep -B1 DisplayVersion | sed -n 's/.*REG_SZ *//p' | head -n 1
}
echo "    installed $(listed_version)"
wine "$program_files/tallyclock.exe" 2>>"$work/wine.log" &
program=$!
window=$(window_of '^Tallyclock Software$' 60) || fail "the program from the MSI showed no window"
closes "$program" "the program from the MSI"
wait "$program" 2>/dev/null || true
first=$(listed_version)
wine msiexec /i "$(windows_path "$next_msi")" /qn 2>>"$work/wine.log" || fail "the later MSI did not install"
upgraded=$(listed_version)
echo "    upgraded to $upgraded"
[ "$upgraded" != "$first" ] && [ -n "$upgraded" ] || fail "the later MSI did not replace the first"
[ "$(wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s /v DisplayName |
    tr -d '\r' | grep -c 'REG_SZ *Tallyclock$')" -eq 1 ] || fail "two Tallyclock entries after the upgrade"
[ -f "$program_files/tallyclock.exe" ] || fail "the upgrade left no tallyclock.exe"
wine msiexec /x "$(windows_path "$next_msi")" /qn 2>>"$work/wine.log" || fail "the MSI did not uninstall"
wineserver -w
[ ! -e "$program_files" ] || fail "the MSI's removal left $(find "$program_files" | head -n 5 | tr '\n' ' ')"
[ -z "$(find "$WINEPREFIX/drive_c" -name 'Tallyclock.lnk')" ] || fail "the MSI's shortcut is still there"
if wine reg query 'HKLM\Software\Tallyclock' >/dev/null 2>&1; then
    fail "the MSI's settings key is still there"
fi
echo "== the MSI: install for all users, shortcut, window, upgrade in place and removal checked"
