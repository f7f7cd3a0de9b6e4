#!/usr/bin/env bash
# Builds Tallyclock for 64-bit Windows on Debian 12 or 13, with MinGW-w64.
#   scripts/windows.sh             the toolchain (once), the program, the zip, the setup
#                                  program and the MSI
#   scripts/windows.sh --test      the same, then the suite under Wine, the real window on
#                                  Xvfb, the setup program's silent install and uninstall,
#                                  and the MSI's silent install, upgrade and removal
#   scripts/windows.sh --toolchain only the toolchain
# One script a step, in scripts/windows/: toolchain.sh (Qt and the spreadsheet writer for
# Windows, built once into a cache folder), package.sh (the program and its packages),
# check.sh (the tests); the packages they need come from setup-debian.sh --windows.
set -euo pipefail
cd "$(dirname "$0")/.."

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

bash scripts/setup-debian.sh --windows
bash scripts/windows/toolchain.sh
[ "$mode" != toolchain ] || exit 0
bash scripts/windows/package.sh
[ "$mode" != test ] || bash scripts/windows/check.sh
