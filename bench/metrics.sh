#!/usr/bin/env bash
# Starts the real program under Xvfb and prints its figures as medians of several runs,
# beside a bare Qt 6 window measured in the same runs:
#   start        exec to window mapped, and to its first paint (ms)
#   memory       resident memory after start, and after 10,000 entries (MiB)
#   CPU          share of one core over an idle period and while counting (%)
#   refresh      intervals between paints of the time display, p50 and p99 (ms)
#   key          Space pressed to the new entry painted in the list (ms)
# Usage: bench/metrics.sh [BUILD_DIR]; RUNS (5) and PERIOD (30 s) may be set.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
runs=${RUNS:-5}
period=${PERIOD:-30}
probe=$build/bench/probe
for f in "$probe" "$build/bench/bare_window" "$build/src/tallyclock"; do
    [ -x "$f" ] || { echo "missing $f: run scripts/build.sh first" >&2; exit 1; }
done

work=$(mktemp -d)
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=xcb
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
# Xvfb picks a free display and writes its number to fd 3.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$work/display")

ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
rss_mib() { awk '/VmRSS/ {printf "%.1f", $2 / 1024}' "/proc/$1/status"; }
cpu_percent() { # PID SECONDS
    local before after hz
    hz=$(getconf CLK_TCK)
    before=$(ticks "$1"); sleep "$2"; after=$(ticks "$1")
    awk -v d=$((after - before)) -v hz="$hz" -v s="$2" 'BEGIN {printf "%.2f", 100 * d / hz / s}'
}
percentile() { # P < numbers
    sort -n | awk -v p="$1" '{v[NR] = $1} END {i = int(p / 100 * NR + 0.5); if (i < 1) i = 1; printf "%.2f", v[i]}'
}
median() { percentile 50; }
record() { echo "$2" >>"$work/$1"; }

for run in $(seq "$runs"); do
    echo "run $run of $runs" >&2
    # The bare window: start, memory, and CPU while it repaints a label every 25 ms.
    read -r pid _ ms painted < <("$probe" launch "$build/bench/bare_window")
    sleep 1
    record bare_start "$ms"; record bare_painted "$painted"; record bare_rss "$(rss_mib "$pid")"
    kill "$pid"; wait "$pid" 2>/dev/null || true
    read -r pid _ _ _ < <("$probe" launch "$build/bench/bare_window" --tick)
    sleep 1
    record bare_cpu "$(cpu_percent "$pid" "$period")"
    kill "$pid"

    read -r pid win ms painted < <("$probe" launch "$build/src/tallyclock")
    sleep 1
    record start "$ms"; record painted "$painted"; record rss_start "$(rss_mib "$pid")"
    record cpu_idle "$(cpu_percent "$pid" "$period")"
    "$probe" keys "$win" 1 # Start
    sleep 0.5
    "$probe" refresh "$win" "$period" 16 22 504 59 >"$work/intervals.$run" &
    record cpu_counting "$(cpu_percent "$pid" "$period")"
    wait $!
    record refresh_p50 "$(percentile 50 <"$work/intervals.$run")"
    record refresh_p99 "$(percentile 99 <"$work/intervals.$run")"
    "$probe" key-to-paint "$win" 11 8 201 520 151 >"$work/keys.$run"
    record key_to_entry "$(median <"$work/keys.$run")"
    "$probe" keys "$win" 10000
    sleep 3
    record rss_10000 "$(rss_mib "$pid")"
    kill "$pid"
done

m() { median <"$work/$1"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }
printf '%-34s %10s %10s\n' "figure (median of $runs)" tallyclock "bare Qt 6"
printf '%-34s %10s %10s   %sx\n' "start to window mapped (ms)" "$(m start)" "$(m bare_start)" "$(ratio "$(m start)" "$(m bare_start)")"
printf '%-34s %10s %10s   %sx\n' "start to first paint (ms)" "$(m painted)" "$(m bare_painted)" "$(ratio "$(m painted)" "$(m bare_painted)")"
printf '%-34s %10s %10s   %sx\n' "resident memory after start (MiB)" "$(m rss_start)" "$(m bare_rss)" "$(ratio "$(m rss_start)" "$(m bare_rss)")"
printf '%-34s %10s\n' "resident memory, 10,000 entries" "$(m rss_10000)"
printf '%-34s %10s\n' "CPU idle, ${period} s (%)" "$(m cpu_idle)"
printf '%-34s %10s %10s\n' "CPU counting, ${period} s (%)" "$(m cpu_counting)" "$(m bare_cpu)"
printf '%-34s %10s\n' "refresh interval p50 (ms)" "$(m refresh_p50)"
printf '%-34s %10s\n' "refresh interval p99 (ms)" "$(m refresh_p99)"
printf '%-34s %10s\n' "Space to entry painted (ms)" "$(m key_to_entry)"
