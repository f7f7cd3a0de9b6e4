# Waits for what the Windows checks need under Wine on Xvfb, each with a time limit:
# sourced by windows-real-window.sh, windows-close-loop.sh and
# windows-session-end-loop.sh. Every wait returns 1 when its time is up.

windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# The shown windows of that name. xdotool fails when a window goes during its search:
# then it searches again.
shown() { # NAME
    local out
    for _ in 1 2 3 4 5; do
        if out=$(xdotool search --onlyvisible --name "$1" 2>&1); then
            echo "$out" | grep -E '^[0-9]+$'
            return 0
        fi
        case $out in *"X Error"*) sleep 0.05 ;; *) return 1 ;; esac
    done
    return 1
}

# Runs the command every 0.1 s until it succeeds, for at most SECONDS (the time the
# command itself takes counts).
wait_until() { # SECONDS COMMAND...
    local deadline=$((SECONDS + $1))
    shift
    while [ "$SECONDS" -lt "$deadline" ]; do
        "$@" && return 0
        sleep 0.1
    done
    "$@"
}

is_shown() { [ -n "$(shown "$1")" ]; }
not_shown() { ! is_shown "$1"; }

# The first window of that name, once it shows.
window_of() { # NAME SECONDS
    wait_until "$2" is_shown "$1" || return 1
    shown "$1" | head -n 1
}

# Until the window has the keyboard focus, as a user's click on it gives it.
is_active() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ]; }
activate() { # WINDOW SECONDS
    local window=$1
    try_activate() {
        is_active "$window" && return 0
        timeout 2 xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
        is_active "$window"
    }
    wait_until "$2" try_activate
}

is_file() { [ -s "$1" ]; }

# Keys go to the window that has the focus, as a keyboard's do. (Sent to a named window,
# xdotool sends the release of a key that closes it as an event to a window that is
# gone: the X server then holds the key down and repeats it into the next window, so
# that a Return held since the last save accepts the next save dialog at once.)
press() { xdotool key "$@"; }

# The keys go to the save dialog's name field, as Windows sees it ($check is
# tests/platform/windows_window_check.cpp built for Windows).
name_has_focus() { timeout 5 wine "$check" focus Edit >/dev/null 2>&1; }

# Types a path into the save dialog and presses Return, until the command succeeds (the
# file is written, or the question about it is up). A dialog that has just opened may
# take no keys yet: the name is then typed again.
save_as() { # DIALOG PATH COMMAND...
    local dialog=$1 path=$2
    shift 2
    for _ in 1 2 3; do
        activate "$dialog" 10 || true
        wait_until 10 name_has_focus || true
        press Home shift+End
        xdotool type --delay 10 "$(windows_path "$path")"
        press Return
        wait_until 3 "$@" && return 0
        is_shown '^Save$' || break
    done
    # The dialog has gone: the program may still be writing.
    wait_until 10 "$@"
}
