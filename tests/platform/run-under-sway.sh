#!/usr/bin/env bash
# Runs test functions on Wayland, in a headless sway of its own, one process each:
#   run-under-sway.sh TEST_EXECUTABLE FUNCTION[=DIALOG_TITLE]...
# With a title it waits until the dialog of that title is up and then asks the
# compositor to close the window "Tallyclock Software", as a click on its close
# button does. Exits 77 (skipped) where sway is not installed. A cross build's test
# runs through the emulator in TALLYCLOCK_EMULATOR.
set -uo pipefail
exe="$1"
shift
if ! command -v sway >/dev/null || ! command -v swaymsg >/dev/null; then
    echo "sway is not installed: skipped (Debian: apt-get install sway)"
    exit 77
fi

runtime=$(mktemp -d)
config="$runtime/config"
printf 'xwayland disable\noutput HEADLESS-1 resolution 1024x768\n' >"$config"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
    # sway refuses to run as root.
    chown 65534:65534 "$runtime" "$config"
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
chmod 700 "$runtime"
sway_pid=
cleanup() {
    if [ -n "$sway_pid" ]; then
        kill "$sway_pid" 2>/dev/null
        for _ in $(seq 20); do
            kill -0 "$sway_pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -9 "$sway_pid" 2>/dev/null
    fi
    rm -rf "$runtime"
}
trap cleanup EXIT

env -i PATH="$PATH" HOME="$runtime" XDG_RUNTIME_DIR="$runtime" WLR_BACKENDS=headless \
    WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman "${as_user[@]}" \
    sway --config "$config" >"$runtime/sway.log" 2>&1 &
sway_pid=$!
for _ in $(seq 100); do
    socket=$(ls "$runtime"/sway-ipc.*.sock 2>/dev/null | head -n 1)
    display=$(cd "$runtime" && ls wayland-* 2>/dev/null | grep -v '\.lock$' | head -n 1)
    [ -n "$socket" ] && [ -n "$display" ] && break
    sleep 0.1
done
if [ -z "${socket:-}" ] || [ -z "${display:-}" ]; then
    echo "sway did not start:"
    cat "$runtime/sway.log"
    exit 1
fi
export SWAYSOCK="$socket"

failed=0
for pair in "$@"; do
    function="${pair%%=*}"
    title="${pair#*=}"
    # No client-side window decoration: drawing it is what loads Mesa's EGL, whose
    # driver is unloaded again during the run and leaves an allocation that
    # LeakSanitizer can then attribute to no library. The tests need neither.
    XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY="$display" QT_QPA_PLATFORM=wayland \
        QT_WAYLAND_DISABLE_WINDOWDECORATION=1 timeout -k 5 60 ${TALLYCLOCK_EMULATOR:-} "$exe" "$function" &
    test_pid=$!
    if [ "$function" = "$pair" ]; then
        wait "$test_pid" || { echo "FAIL: $function"; failed=1; }
        continue
    fi
    seen=0
    for _ in $(seq 300); do
        if swaymsg -t get_tree 2>/dev/null | grep -q "\"name\": \"$title\""; then
            seen=1
            break
        fi
        sleep 0.1
    done
    if [ "$seen" = 1 ]; then
        swaymsg '[title="^Tallyclock Software$"] kill' >/dev/null ||
            { echo "FAIL: $function: the close request matched no window"; failed=1; }
    else
        echo "FAIL: $function: no window titled '$title' appeared"
        failed=1
    fi
    if ! wait "$test_pid"; then
        echo "FAIL: $function; the compositor said:"
        tail -n 20 "$runtime/sway.log"
        failed=1
    fi
done
exit "$failed"
