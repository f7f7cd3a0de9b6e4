#!/usr/bin/env bash
# Checks the Windows build that scripts/windows/package.sh made: the suite under Wine,
# offscreen, in a Wine prefix of this run's own; then tests/platform/windows-real-window.sh:
# the real window on Xvfb, 100 closes, 50 ends of the session, the setup program's silent
# install and uninstall, and the MSI's silent install, upgrade and removal.
set -euo pipefail
cd "$(dirname "$0")/../.."
top=$PWD
build=$top/build-windows
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")

wine_work=$(mktemp -d)
cleanup_wine() {
    WINEPREFIX=$wine_work/prefix wineserver -k 2>/dev/null || true
    rm -rf "$wine_work"
}
trap cleanup_wine EXIT
export WINEPREFIX=$wine_work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# The tests find their DLLs where the portable folder's came from: Qt and the spreadsheet
# writer, the C++ run-time of MinGW-w64's compiler, and MinGW-w64's own (zlib, threads).
dll_folders=("$(bash scripts/windows/toolchain.sh --prefix)/bin"
    "$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")"
    /usr/x86_64-w64-mingw32/lib)
as_windows_path() { printf 'Z:%s' "${1//\//\\}"; }
WINEPATH=$(for folder in "${dll_folders[@]}"; do as_windows_path "$folder"; printf ';'; done)
export WINEPATH
started=$SECONDS
wine wineboot -i >/dev/null 2>&1 || { echo "wine wineboot -i failed" >&2; exit 1; }
echo "== Wine prefix made in $((SECONDS - started)) s"
source scripts/preset.sh --windows
ctest --preset "$preset" --parallel "$(nproc)"

# A later version of the same MSI, for the upgrade in place.
next_version=${version%.*}.$((${version##*.} + 1))
next_msi=$wine_work/Tallyclock-$next_version-win64.msi
bash scripts/windows/msi.sh "$next_version" "$next_msi"
bash tests/platform/windows-real-window.sh "$build/Tallyclock" \
    "$build/Tallyclock-$version-setup.exe" "$build/windows-screenshot.png" \
    "$build/tests/windows_window_check.exe" "$build/Tallyclock-$version-win64.msi" "$next_msi"
echo "== the Windows build passed: $build/windows-screenshot.png shows its window under Wine"
