#!/usr/bin/env bash
# Builds Tallyclock for Windows into build-windows/ with the toolchain of
# scripts/windows/toolchain.sh, and what a user downloads: the portable folder
# build-windows/Tallyclock/ (the build's install: the program, its plugins and every DLL
# they import), its zip, the setup program and the MSI.
set -euo pipefail
cd "$(dirname "$0")/../.."
top=$PWD
build=$top/build-windows

TALLYCLOCK_WINDOWS_PREFIX=$(bash scripts/windows/toolchain.sh --prefix)
export TALLYCLOCK_WINDOWS_PREFIX
started=$SECONDS
bash scripts/build.sh --windows
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
echo "== Tallyclock $version for Windows built in $((SECONDS - started)) s"

payload=$build/Tallyclock
rm -rf "$payload"
cmake --install "$build" --prefix "$payload" >/dev/null
x86_64-w64-mingw32-strip --strip-unneeded "$payload"/*.exe "$payload"/*.dll "$payload"/*/*.dll

zip_name=Tallyclock-$version-win64.zip
rm -f "$build/$zip_name"
(cd "$build" && zip -q -r -X "$zip_name" Tallyclock)

# The installer. Its uninstaller removes exactly the files installed.
files_nsh=$build/uninstall-files.nsh
(
    cd "$payload"
    find . -type f | sed 's:^\./::' | sort | while read -r f; do
        echo "    Delete \"\$INSTDIR\\${f//\//\\}\""
    done
    find . -mindepth 1 -type d | sed 's:^\./::' | sort -r | while read -r d; do
        echo "    RMDir \"\$INSTDIR\\${d//\//\\}\""
    done
) >"$files_nsh"
setup_name=Tallyclock-$version-setup.exe
makensis -V2 -DVERSION="$version" -DPAYLOAD="$payload" -DFILES="$files_nsh" \
    -DICON="$top/resources/icons/tallyclock.ico" -DOUTFILE="$build/$setup_name" \
    packaging/windows/tallyclock.nsi

msi_name=Tallyclock-$version-win64.msi
bash scripts/windows/msi.sh "$version" "$build/$msi_name"
for name in "$zip_name" "$msi_name" "$setup_name"; do
    echo "== $build/$name ($(du -k "$build/$name" | cut -f1) KiB)"
done
