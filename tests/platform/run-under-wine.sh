#!/usr/bin/env bash
# Runs a program of the Windows build under Wine: CTest's emulator for that build.
# scripts/windows.sh sets WINEPREFIX (a prefix of the run's own), WINEPATH (where the
# DLLs are) and QT_PLUGIN_PATH. The platform plugin is passed on the command line, where
# a Windows program under Wine surely sees it.
set -euo pipefail
if [ -z "${WINEPREFIX:-}" ]; then
    echo "run-under-wine.sh: set WINEPREFIX (scripts/windows.sh --test does)" >&2
    exit 2
fi
export WINEDEBUG=${WINEDEBUG:--all}
program=$1
shift
platform=()
[ -z "${QT_QPA_PLATFORM:-}" ] || platform=(-platform "$QT_QPA_PLATFORM")
exec wine "$program" "$@" "${platform[@]}"
