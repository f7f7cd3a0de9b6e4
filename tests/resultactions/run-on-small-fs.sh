#!/usr/bin/env bash
# Runs one test function inside a private 64 KiB file system:
#   run-on-small-fs.sh TEST_EXECUTABLE FUNCTION
# Exits 77 (skipped) where user namespaces or tmpfs mounts are not allowed. A cross
# build's test runs through the emulator in TALLYCLOCK_EMULATOR.
set -uo pipefail
exe="$1"
function="$2"
mnt=$(mktemp -d)
trap 'rmdir "$mnt" 2>/dev/null || true' EXIT
if ! unshare -Urm true 2>/dev/null; then
    echo "user namespaces are not available: skipped"
    exit 77
fi
TALLYCLOCK_EMULATOR=${TALLYCLOCK_EMULATOR:-} unshare -Urm sh -c '
    mount -t tmpfs -o size=64k tallyclock-small "$1" || exit 77
    TALLYCLOCK_SMALL_FS="$1" exec $TALLYCLOCK_EMULATOR "$2" "$3"
' sh "$mnt" "$exe" "$function"
