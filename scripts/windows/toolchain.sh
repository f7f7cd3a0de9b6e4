#!/usr/bin/env bash
# The Windows toolchain: Qt (from Debian's source of the Qt this machine has, so that its
# moc, rcc and uic serve) and the spreadsheet writer, built for Windows into a cache
# folder outside the clone that later runs reuse: $TALLYCLOCK_WINDOWS_CACHE, else
# /var/cache/tallyclock (as root) or ~/.cache/tallyclock.
#   scripts/windows/toolchain.sh           builds it, unless the cache holds it
#   scripts/windows/toolchain.sh --prefix  prints the folder it is installed in
# scripts/windows.sh runs it after scripts/setup-debian.sh --windows.
set -euo pipefail
cd "$(dirname "$0")/../.."
top=$PWD

# What the toolchain is built with; a change here makes a new cache folder.
recipe=1

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
toolchain=$top/cmake/mingw-w64-x86_64.cmake

case "${1:-}" in
    "") ;;
    --prefix)
        echo "$prefix"
        exit 0
        ;;
    *)
        echo "usage: scripts/windows/toolchain.sh [--prefix]" >&2
        exit 2
        ;;
esac

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
    as_root=()
    [ "$(id -u)" -eq 0 ] || as_root=(sudo)
    mkdir -p "$cache_root" 2>/dev/null || "${as_root[@]}" install -d -o "$(id -u)" "$cache_root"
    build_toolchain
fi
