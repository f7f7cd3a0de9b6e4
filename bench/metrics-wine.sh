#!/usr/bin/env bash
# The Windows program under Wine on Xvfb, beside a bare Qt 6 window built with the same
# toolchain and started from the same folder (the same Qt DLLs and plugins), measured
# in the same runs; medians of RUNS (5) runs after one unmeasured start of each:
#   start        exec to window mapped, and to its first paint (ms)
#   memory       resident memory 2 s after start (MiB), Wine's own share included
# Usage: bench/metrics-wine.sh [LINUX_BUILD [WINDOWS_BUILD]]: the Linux build gives the
# probe (scripts/build.sh), the Windows build the program (scripts/windows.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
windows_build=$(realpath "${2:-build-windows}")
runs=${RUNS:-5}
probe=$build/bench/probe
for f in "$probe" "$windows_build/Tallyclock/tallyclock.exe" "$windows_build/bench/bare_window.exe"; do
    [ -e "$f" ] || { echo "missing $f: build both first" >&2; exit 1; }
done

work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset WINEPATH QT_PLUGIN_PATH QT_QPA_PLATFORM
cp -r "$windows_build/Tallyclock" "$work/app"
cp "$windows_build/bench/bare_window.exe" "$work/app/"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
trap 'wineserver -k 2>/dev/null; kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$work/display")
wine wineboot -i >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /d 'Liberation Sans' /f >/dev/null

rss_mib() { awk '/VmRSS/ {printf "%.1f", $2 / 1024}' "/proc/$1/status"; }
median() { sort -n | awk '{v[NR] = $1} END {printf "%.1f", v[int((NR + 1) / 2)]}'; }
record() { echo "$2" >>"$work/$1"; }
measure() { # NAME EXE
    local pid _ ms painted
    read -r pid _ ms painted < <("$probe" launch wine "$work/app/$2")
    sleep 2
    if [ "$3" = measured ]; then
        record "$1_start" "$ms"; record "$1_painted" "$painted"; record "$1_rss" "$(rss_mib "$pid")"
    fi
    kill -9 "$pid"
    while [ -e "/proc/$pid" ]; do sleep 0.1; done
}
measure bare bare_window.exe warm-up
measure program tallyclock.exe warm-up
for run in $(seq "$runs"); do
    echo "run $run of $runs" >&2
    measure bare bare_window.exe measured
    measure program tallyclock.exe measured
done

m() { median <"$work/$1"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }
printf '%-34s %10s %10s\n' "under Wine (median of $runs)" tallyclock "bare Qt 6"
for figure in "start:start to window mapped (ms)" "painted:start to first paint (ms)" \
    "rss:resident memory after start (MiB)"; do
    key=${figure%%:*}
    printf '%-34s %10s %10s   %sx\n' "${figure#*:}" "$(m "program_$key")" "$(m "bare_$key")" \
        "$(ratio "$(m "program_$key")" "$(m "bare_$key")")"
done
