#!/usr/bin/env bash
# Installs what Tallyclock needs to build, test and check itself on Debian 13 or 12.
# Safe to run again: it installs only what is missing, without asking.
#   scripts/setup-debian.sh              for this machine's architecture
#   scripts/setup-debian.sh --windows    also what the Windows build needs
#                                        (scripts/windows.sh)
#   scripts/setup-debian.sh --arch ARCH  to cross-build for Debian's ARCH (arm64): the
#                                        tools for this machine, the libraries for ARCH
#                                        beside this machine's own, and Debian's cross
#                                        compiler (scripts/arm64.sh)
set -euo pipefail

usage="usage: scripts/setup-debian.sh [--windows | --arch ARCH]"
arch=
windows=false
case "${1:-}" in
    "") ;;
    --windows) windows=true ;;
    --arch)
        arch=${2:?"$usage"}
        [ "$arch" != "$(dpkg --print-architecture 2>/dev/null)" ] || arch=
        ;;
    *)
        echo "$usage" >&2
        exit 2
        ;;
esac

# debian/control's Build-Depends lists the same packages, less the compiler, git and
# clang-format. The tools run on the build machine; the libraries (with the Qt plugins
# the tests load) are the ones of the architecture built for.
tools=(
    build-essential cmake pkg-config git
    # moc, rcc and uic.
    qt6-base-dev-tools
    fonts-liberation locales unzip
    # Real-window tests: an X server, and a headless Wayland compositor.
    xvfb xauth x11-utils xdotool imagemagick sway openbox
    desktop-file-utils appstream clang-format
)
libraries=(
    # The private headers let the results list add a row to the view's layout directly,
    # and the tests inject window-system events.
    qt6-base-dev qt6-base-private-dev qt6-qpa-plugins qt6-wayland
    libgl-dev libxcb1-dev
    # xlsxwriter.pc links -lz, but libxlsxwriter-dev does not depend on zlib1g-dev.
    libxlsxwriter-dev zlib1g-dev libbenchmark-dev
    # The program metrics probe watches the window's paints and presses keys.
    libxcb-damage0-dev libxcb-xtest0-dev
)
packages=("${tools[@]}" "${libraries[@]}")
if $windows; then
    # MinGW-w64 with zlib for Windows, what building Qt from Debian's source takes, Wine,
    # the installers' tools, and what the real-window checks drive.
    packages+=(g++-mingw-w64-x86-64-posix libz-mingw-w64-dev ninja-build xz-utils
        wine wine64 nsis wixl msitools zip wmctrl)
fi

# Elsewhere: say what is needed instead of guessing at another package manager.
if ! command -v dpkg-query >/dev/null || ! command -v apt-get >/dev/null; then
    echo "This set-up installs packages on Debian 13 or 12 only. Elsewhere, install by hand:"
    echo "  a C++20 compiler, CMake >= 3.25, pkg-config, Qt 6.4+ (Core, Gui, Widgets, Test,"
    echo "  and its private headers), libxlsxwriter with what its xlsxwriter.pc requires"
    echo "  (zlib, and on some systems minizip and libcrypto), Google Benchmark and xcb's"
    echo "  damage and xtest libraries (optional, for the benchmarks),"
    echo "  and for the tests: Xvfb with xvfb-run, sway, unzip, Liberation fonts."
    echo "Debian's names for them: ${packages[*]}"
    exit 0
fi

as_root=()
if [ "$(id -u)" -ne 0 ]; then
    as_root=(sudo)
fi
updated=false

install_missing() {
    local missing=() p
    for p in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$p")
        fi
    done
    [ ${#missing[@]} -gt 0 ] || return 0
    echo "Installing: ${missing[*]}"
    if ! $updated; then
        "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
        updated=true
    fi
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
        --no-install-recommends "${missing[@]}"
}

pkg_config=pkg-config
if [ -z "$arch" ]; then
    install_missing "${packages[@]}"
else
    # The libraries of ARCH are installed beside this machine's (Debian's multiarch), and
    # answer to the pkg-config of ARCH's triplet (pkgconf's wrapper).
    if ! dpkg --print-foreign-architectures | grep -qx "$arch"; then
        echo "Adding the architecture $arch"
        "${as_root[@]}" dpkg --add-architecture "$arch"
        "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
        updated=true
    fi
    install_missing "${tools[@]}" "crossbuild-essential-$arch" \
        "${libraries[@]/%/:$arch}" "pkgconf:$arch"
    pkg_config=$(dpkg-architecture -a "$arch" -q DEB_HOST_MULTIARCH 2>/dev/null)-pkg-config
fi

# The modules that this release's xlsxwriter.pc requires and no package pulled in
# (Debian 13's names minizip; Debian 12's builds it in): their development packages.
# pkg-config answers nothing about a file whose requirements are missing, so the file
# is read here.
pc=
for dir in $($pkg_config --variable pc_path pkg-config | tr ':' ' '); do
    if [ -f "$dir/xlsxwriter.pc" ]; then
        pc="$dir/xlsxwriter.pc"
        break
    fi
done
declare -A module_packages=([minizip]=libminizip-dev [zlib]=zlib1g-dev [libcrypto]=libssl-dev)
wanted=()
# A requirement is a module name, with or without a version ("zlib >= 1.2", "zlib>=1.2").
for module in $(sed -n 's/^Requires\(\.private\)\?:\(.*\)$/\2/p' ${pc:-/dev/null} \
    | sed -E 's/[<>=!]+[[:space:]]*[^[:space:],]+//g' | tr ', \t' '\n\n\n'); do
    if ! $pkg_config --exists "$module"; then
        if [ -z "${module_packages[$module]:-}" ]; then
            echo "xlsxwriter.pc requires the pkg-config module '$module'; install its" \
                "development package by hand." >&2
            exit 1
        fi
        wanted+=("${module_packages[$module]}${arch:+:$arch}")
    fi
done
install_missing "${wanted[@]}"
