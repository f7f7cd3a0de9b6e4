#!/usr/bin/env bash
# Checks what the desktop sees of Tallyclock: the desktop entry, the metainfo, the
# installed layout and the Debian package. Validators that are not installed are
# skipped; the test is skipped (77) when none is.
#   check-desktop-integration.sh SOURCE_DIR BUILD_DIR
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
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= "$work/prefix/bin/tallyclock" "$option" 2>&1) \
        || fail "tallyclock $option exits with an error"
    case "$out" in *tallyclock*) ;; *) fail "tallyclock $option printed: $out" ;; esac
done

if command -v lintian >/dev/null && command -v dpkg-shlibdeps >/dev/null; then
    (cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/deb" >"$work/cpack.log" 2>&1) \
        || fail "cpack: $(tail -5 "$work/cpack.log")"
    deb=$(ls "$work"/deb/*.deb 2>/dev/null | head -n 1)
    if [ -n "$deb" ]; then
        lintian --fail-on error,warning --pedantic "$deb" >"$work/lintian.log" 2>&1 \
            || fail "lintian: $(grep -v 'root privileges' "$work/lintian.log")"
        depends=$(dpkg-deb -f "$deb" Depends)
        case "$depends" in *libqt6widgets6*) ;; *) fail "the package lacks its Qt dependency" ;; esac
        # The spreadsheet writer is loaded when a workbook is written, not at start, so
        # the program does not link it; the package still depends on it.
        soname=$(sed -n 's/^TALLYCLOCK_XLSXWRITER_SONAME:INTERNAL=//p' "$build/CMakeCache.txt")
        owner=$(dpkg-query -S "*/$soname" 2>/dev/null | head -n 1 | cut -d: -f1)
        case "$depends" in *"$owner ("*) ;; *) fail "the package does not depend on '$owner' ($soname): $depends" ;; esac
        objdump -p "$work/prefix/bin/tallyclock" | grep -q "NEEDED.*xlsxwriter" \
            && fail "the program links the spreadsheet writer, which then loads at every start"
        # The program calls Qt's private API (the skin reader's QCss, always; the results
        # list's layout on the Qt versions checked), which holds only for the Qt release
        # it was built with, so the package must depend on that release. dpkg-shlibdeps
        # adds it from Qt's symbols files, for the symbols they mark private (on Debian
        # 13 not QCss's, which Qt 6.8 exports as Qt_6, only the list layout's).
        echo "$depends" | grep -qE 'qt6-base(-private)?-abi \(= ' \
            || fail "the program uses Qt's private API, but the package does not depend on its Qt release: $depends"
    fi
fi

[ "$ran" = 1 ] || exit 77
[ "$failed" = 0 ] && echo "desktop integration: all checks passed"
exit "$failed"
