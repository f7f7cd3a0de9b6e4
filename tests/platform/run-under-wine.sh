#!/usr/bin/env bash
# Runs a program of the Windows build under Wine: CTest's emulator for that build.
# scripts/windows/check.sh sets WINEPREFIX (a prefix of the run's own) and WINEPATH
# (where the DLLs are). Wine hands no QT_ variable on to a Windows program: tests/CMakeLists.txt
# gives the platform plugin as an argument.
set -euo pipefail
if [ -z "${WINEPREFIX:-}" ]; then
    echo "run-under-wine.sh: set WINEPREFIX (scripts/windows.sh --test does)" >&2
    exit 2
fi
export WINEDEBUG=${WINEDEBUG:--all}
# A Qt test's report written to a pipe under Wine can be lost at exit: it goes to a file,
# shown afterwards.
report=$(mktemp)
trap 'rm -f "$report"' EXIT
status=0
wine "$@" -o "$(printf 'Z:%s' "${report//\//\\}"),txt" || status=$?
cat "$report"
exit "$status"
