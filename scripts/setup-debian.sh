#!/usr/bin/env bash
# Installs what Tallyclock needs to build, test and check itself on Debian 12.
# Safe to run again: it installs only what is missing, without asking.
set -euo pipefail

packages=(
    build-essential cmake pkg-config git
    # The private headers give the window-system event hook that lets a close request
    # through while a dialog blocks the window.
    qt6-base-dev qt6-base-dev-tools qt6-base-private-dev qt6-qpa-plugins qt6-wayland
    libgl-dev libxcb1-dev
    # xlsxwriter.pc links -lz, but libxlsxwriter-dev does not depend on zlib1g-dev.
    libxlsxwriter-dev zlib1g-dev libbenchmark-dev
    # The program metrics probe watches the window's paints and presses keys.
    libxcb-damage0-dev libxcb-xtest0-dev
    fonts-liberation locales unzip
    # Real-window tests: an X server, and a headless Wayland compositor.
    xvfb xauth x11-utils xdotool imagemagick sway
    desktop-file-utils appstream lintian dpkg-dev file clang-format
)

# Elsewhere: say what is needed instead of guessing at another package manager.
if ! command -v dpkg-query >/dev/null || ! command -v apt-get >/dev/null; then
    echo "This set-up installs packages on Debian 12 only. Elsewhere, install by hand:"
    echo "  a C++20 compiler, CMake >= 3.25, pkg-config, Qt 6.4+ (Core, Gui, Widgets, Test,"
    echo "  and its private headers), libxlsxwriter with zlib, Google Benchmark and xcb's"
    echo "  damage and xtest libraries (optional, for the benchmarks),"
    echo "  and for the tests: Xvfb with xvfb-run, sway, unzip, Liberation fonts."
    echo "Debian's names for them: ${packages[*]}"
    exit 0
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

as_root=()
if [ "$(id -u)" -ne 0 ]; then
    as_root=(sudo)
fi

echo "Installing: ${missing[*]}"
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
    --no-install-recommends "${missing[@]}"
