#!/usr/bin/env bash
# Builds Tallyclock for 64-bit Windows on Debian 12 or 13, with MinGW-w64.
#   scripts/windows.sh             the toolchain (once), the program, the zip, the setup
#                                  program and the MSI
#   scripts/windows.sh --test      the same, then the suite under Wine, the real window on
#                                  Xvfb, the setup program's silent install and uninstall,
#                                  and the MSI's silent install, upgrade and removal
#   scripts/windows.sh --toolchain only the toolchain
# The toolchain is Qt (from the source of the Qt this machine has, so that its moc, rcc
# and uic serve) and the spreadsheet writer, built for Windows into a cache folder
# outside the clone that later runs reuse: $TALLYCLOCK_WINDOWS_CACHE, else
# /var/cache/tallyclock (as root) or ~/.cache/tallyclock.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD

mode=build
case "${1:-}" in
    "") ;;
    --test) mode=test ;;
    --toolchain) mode=toolchain ;;
    *)
        echo "usage: scripts/windows.sh [--test | --toolchain]" >&2
        exit 2
        ;;
esac

# What the toolchain is built with; a change here makes a new cache folder.
recipe=1

bash scripts/setup-debian.sh
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
packages=(g++-mingw-w64-x86-64-posix libz-mingw-w64-dev ninja-build dpkg-dev xz-utils
    wine wine64 nsis wixl msitools zip unzip xvfb xauth xdotool wmctrl imagemagick openbox)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
        --no-install-recommends "${missing[@]}"
fi

qt_package=$(dpkg-query -W -f='${source:Version}' qt6-base-dev)   # 6.4.2+dfsg-10
qt_version=${qt_package%%+*}
qt_version=${qt_version%%-*}
if [ -n "${TALLYCLOCK_WINDOWS_CACHE:-}" ]; then
    cache_root=$TALLYCLOCK_WINDOWS_CACHE
elif [ "$(id -u)" -eq 0 ]; then
    cache_root=/var/cache/tallyclock
else
    cache_root=${XDG_CACHE_HOME:-$HOME/.cache}/tallyclock
fi
cache=$cache_root/windows-$qt_version-r$recipe
prefix=$cache/prefix
mingw=x86_64-w64-mingw32
toolchain=$top/cmake/mingw-w64-x86_64.cmake
export TALLYCLOCK_WINDOWS_PREFIX=$prefix

# Debian's source packages, fetched with an apt of our own (its lists in the cache), from
# the archive this machine's apt already uses: the machine's sources stay as they are.
fetch_sources() {
    local work=$1
    shift
    local mirror codename
    mirror=$(bash scripts/debian-mirror.sh)
    codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
    if [ -z "$mirror" ]; then
        echo "This machine's apt sources name no Debian archive to fetch sources from." >&2
        exit 1
    fi
    mkdir -p "$work/apt/lists/partial" "$work/apt/cache/archives/partial"
    {
        echo "deb-src $mirror $codename main"
        echo "deb-src $mirror $codename-updates main"
        # Security updates, where the archive has them beside it.
        if /usr/lib/apt/apt-helper download-file \
            "$mirror-security/dists/$codename-security/Release" "$work/apt/probe" >/dev/null 2>&1; then
            echo "deb-src $mirror-security $codename-security main"
        fi
        rm -f "$work/apt/probe"
    } >"$work/apt/sources.list"
    local opts=(-o "Dir::Etc::SourceList=$work/apt/sources.list" -o Dir::Etc::SourceParts=/dev/null
        -o "Dir::State::Lists=$work/apt/lists" -o "Dir::Cache=$work/apt/cache"
        -o APT::Sandbox::User=root -o Acquire::Check-Valid-Until=false)
    apt-get "${opts[@]}" update -qq
    (cd "$work" && apt-get "${opts[@]}" source --download-only "$@")
}

build_toolchain() {
    local work=$cache/work started=$SECONDS
    rm -rf "$work" "$prefix"
    mkdir -p "$work" "$prefix"
    echo "== Windows toolchain: Qt $qt_version and the spreadsheet writer into $cache"
    fetch_sources "$work" "qt6-base=$qt_package" libxlsxwriter

    # Qt: the modules and plugins the program and its tests use. Debian's source has
    # no wintab, so no tablet events; the windows plugin needs OpenGL (dynamic, the
    # Windows default). The security fixes Debian carries are applied.
    (cd "$work" && dpkg-source --skip-patches -x qt6-base_*.dsc qtbase >/dev/null)
    local patch
    for patch in $(grep -i -E '^(cve-|upstream_)' "$work/qtbase/debian/patches/series"); do
        patch -d "$work/qtbase" -p1 -s <"$work/qtbase/debian/patches/$patch"
    done
    cmake -S "$work/qtbase" -B "$work/qt-build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DQT_QMAKE_TARGET_MKSPEC=win32-g++ -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
        -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF \
        -DFEATURE_printsupport=OFF -DFEATURE_xml=OFF -DFEATURE_tabletevent=OFF \
        -DFEATURE_opengl_dynamic=ON -DFEATURE_zstd=OFF -DFEATURE_glib=OFF \
        -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_png=OFF \
        -DFEATURE_system_jpeg=OFF -DFEATURE_system_freetype=OFF \
        -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_doubleconversion=OFF \
        >"$work/qt-configure.log" || {
        tail -40 "$work/qt-configure.log"
        exit 1
    }
    cmake --build "$work/qt-build" --parallel "$(nproc)"
    cmake --install "$work/qt-build" >/dev/null

    # The spreadsheet writer, with the minizip it carries and Debian's zlib for MinGW.
    # Built as for Microsoft's compiler in one respect: file names are UTF-8, opened
    # through the wide-character calls, so that a workbook may go to any folder. Numbers
    # are written by its own locale-free formatter: MinGW-w64's C run-time (msvcrt) has
    # no locale of a thread's own.
    mkdir "$work/xlsxwriter"
    tar -xzf "$work"/libxlsxwriter_*.orig.tar.gz -C "$work/xlsxwriter" --strip-components=1
    sed -i '/^#ifdef __MINGW32__$/,/^#endif$/d' "$work/xlsxwriter/src/utility.c" \
        "$work/xlsxwriter/src/packager.c"
    sed -i 's/^    if(MSVC)$/    if(WIN32)/' "$work/xlsxwriter/CMakeLists.txt"
    grep -q '__MINGW32__' "$work/xlsxwriter/src/utility.c" "$work/xlsxwriter/src/packager.c" &&
        { echo "the spreadsheet writer's source is not as expected" >&2; exit 1; }
    cmake -S "$work/xlsxwriter" -B "$work/xlsxwriter-build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=ON -DUSE_SYSTEM_MINIZIP=OFF -DUSE_DTOA_LIBRARY=ON \
        >"$work/xlsxwriter-configure.log"
    cmake --build "$work/xlsxwriter-build" --parallel "$(nproc)"
    cmake --install "$work/xlsxwriter-build" >/dev/null

    rm -rf "$work"
    echo "$qt_package" >"$cache/complete"
    echo "== Windows toolchain built in $((SECONDS - started)) s"
}

# A cache of another Debian revision of the same Qt (a security fix) is built again.
if [ "$(cat "$cache/complete" 2>/dev/null)" = "$qt_package" ]; then
    echo "== Windows toolchain: reusing $cache"
else
    mkdir -p "$cache_root" 2>/dev/null || "${as_root[@]}" install -d -o "$(id -u)" "$cache_root"
    build_toolchain
fi
[ "$mode" != toolchain ] || exit 0

# The program and its tests.
build_started=$SECONDS
bash scripts/build.sh --windows
build=$top/build-windows
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
echo "== Tallyclock $version for Windows built in $((SECONDS - build_started)) s"

# Where the libraries the program needs come from: Qt and the spreadsheet writer, the
# C++ run-time of MinGW-w64's compiler, and MinGW-w64's own (zlib, threads).
gcc_runtime=$(dirname "$($mingw-g++-posix -print-libgcc-file-name)")
dll_folders=("$prefix/bin" "$gcc_runtime" "/usr/$mingw/lib")

# The DLLs that the given files import, and the ones those import, found in
# dll_folders; Windows' own are not there and are left out.
imported_dlls() {
    local -A seen=()
    local queue=("$@") file name folder
    while [ ${#queue[@]} -gt 0 ]; do
        file=${queue[0]}
        queue=("${queue[@]:1}")
        for name in $($mingw-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p'); do
            [ -z "${seen[${name,,}]:-}" ] || continue
            seen[${name,,}]=1
            for folder in "${dll_folders[@]}"; do
                if [ -f "$folder/$name" ]; then
                    echo "$folder/$name"
                    queue+=("$folder/$name")
                    break
                fi
            done
        done
    done
}

# What a Windows user gets: the program, its pointer image, the plugins it loads (the
# windows platform, the windowsvista style, the icon reader for the pointer image) and
# every DLL those import; nothing else.
payload=$build/Tallyclock
rm -rf "$payload"
mkdir -p "$payload/platforms" "$payload/styles" "$payload/imageformats"
cp "$build/src/tallyclock.exe" "$build/src/HAND-M.CUR" "$build/src/libxlsxwriter.dll" "$payload/"
cp "$prefix/plugins/platforms/qwindows.dll" "$payload/platforms/"
cp "$prefix"/plugins/styles/*.dll "$payload/styles/" # windowsvista (modernwindows from Qt 6.7)
cp "$prefix/plugins/imageformats/qico.dll" "$payload/imageformats/"
cp LICENSE "$payload/LICENSE.txt"
imported_dlls "$payload"/*.exe "$payload"/*.dll "$payload"/*/*.dll | sort -u |
    while read -r dll; do cp "$dll" "$payload/"; done
$mingw-strip --strip-unneeded "$payload"/*.exe "$payload"/*.dll "$payload"/*/*.dll

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
# The MSI for managed installs: the same files, each a component of its own.
build_msi() { # VERSION OUTFILE
    local heat=$build/msi-files.wxs
    (cd "$build" && find Tallyclock -type f | sort) |
        wixl-heat --prefix Tallyclock/ --directory-ref INSTALLDIR --component-group Payload \
            --var var.Payload --win64 >"$heat"
    # wixl finds the files it packs by paths relative to where it runs.
    (cd "$build" && wixl --arch x64 -D Version="$1" -D Payload=Tallyclock -D Win64=yes \
        -D Icon="$(realpath --relative-to="$build" "$top/resources/icons/tallyclock.ico")" \
        -o "$2" "$top/packaging/windows/tallyclock.wxs" "$heat")
}
msi_name=Tallyclock-$version-win64.msi
build_msi "$version" "$build/$msi_name"
echo "== $build/$zip_name ($(du -k "$build/$zip_name" | cut -f1) KiB)"
echo "== $build/$msi_name ($(du -k "$build/$msi_name" | cut -f1) KiB)"
echo "== $build/$setup_name ($(du -k "$build/$setup_name" | cut -f1) KiB)"
[ "$mode" = test ] || exit 0

# The suite under Wine, offscreen, in a Wine prefix of this run's own.
wine_work=$(mktemp -d)
cleanup_wine() {
    WINEPREFIX=$wine_work/prefix wineserver -k 2>/dev/null || true
    rm -rf "$wine_work"
}
trap cleanup_wine EXIT
export WINEPREFIX=$wine_work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
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
build_msi "$next_version" "$wine_work/Tallyclock-$next_version-win64.msi"
bash tests/platform/windows-real-window.sh "$payload" "$build/$setup_name" \
    "$build/windows-screenshot.png" "$build/tests/windows_window_check.exe" \
    "$build/$msi_name" "$wine_work/Tallyclock-$next_version-win64.msi"
echo "== the Windows build passed: $build/windows-screenshot.png shows its window under Wine"
