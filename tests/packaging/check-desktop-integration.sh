#!/usr/bin/env bash
# Checks what the desktop sees of Tallyclock: the desktop entry, the metainfo and the
# installed layout (.ci/fresh-debian checks the Debian package). Validators that are
# not installed are skipped; the test is skipped (77) when none is.
#   check-desktop-integration.sh SOURCE_DIR BUILD_DIR
# A cross build's program runs through the emulator in TALLYCLOCK_EMULATOR.
set -uo pipefail
src="$1"
build="$2"
id=org.tallyclock.tallyclock
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
ran=0

fail() { echo "FAIL: $*"; failed=1; }

if command -v desktop-file-validate >/dev/null; then
    ran=1
    out=$(desktop-file-validate "$src/packaging/$id.desktop" 2>&1)
    [ -z "$out" ] || fail "desktop-file-validate: $out"
fi

if command -v appstreamcli >/dev/null; then
    ran=1
    appstreamcli validate --no-net "$src/packaging/$id.metainfo.xml" >"$work/as.log" 2>&1 \
        || fail "appstreamcli: $(cat "$work/as.log")"
fi

# Installed layout, under a prefix of our own: the link in bin is relative and leads
# to the program, which finds its pointer image beside it.
ran=1
cmake --install "$build" --prefix "$work/prefix" >/dev/null || fail "cmake --install"
link=$(readlink "$work/prefix/bin/tallyclock")
[ "$link" = "../libexec/tallyclock/tallyclock" ] || fail "bin/tallyclock links to '$link'"
[ -x "$work/prefix/bin/tallyclock" ] || fail "bin/tallyclock does not lead to the program"
[ -f "$work/prefix/libexec/tallyclock/HAND-M.CUR" ] || fail "HAND-M.CUR is not beside the program"
for size in 16 32 48 64 128 256; do
    [ -f "$work/prefix/share/icons/hicolor/${size}x${size}/apps/$id.png" ] || fail "icon $size"
done
[ -f "$work/prefix/share/icons/hicolor/scalable/apps/$id.svg" ] || fail "scalable icon"
[ -f "$work/prefix/share/man/man1/tallyclock.1.gz" ] || fail "man page"
[ -f "$work/prefix/share/doc/tallyclock/copyright" ] || fail "copyright"
# --help and --version answer without a display and open no window.
for option in --help --version; do
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= ${TALLYCLOCK_EMULATOR:-} \
        "$work/prefix/bin/tallyclock" "$option" 2>&1) \
        || fail "tallyclock $option exits with an error"
    case "$out" in *tallyclock*) ;; *) fail "tallyclock $option printed: $out" ;; esac
done

# The spreadsheet writer is loaded when a workbook is written, not at start, so the
# program does not link it.
objdump -p "$work/prefix/bin/tallyclock" | grep "NEEDED.*xlsxwriter" >/dev/null \
    && fail "the program links the spreadsheet writer, which then loads at every start"

[ "$ran" = 1 ] || exit 77
[ "$failed" = 0 ] && echo "desktop integration: all checks passed"
exit "$failed"
