#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs them.
#   scripts/fuzz.sh            each target over its seed corpus, a short fixed number of runs
#   scripts/fuzz.sh SECONDS    each target for that long (both at once), then prints the figures
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup-debian.sh
if ! command -v clang++-14 >/dev/null; then
    as_root=()
    [ "$(id -u)" -ne 0 ] && as_root=(sudo)
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
        --no-install-recommends clang-14 libclang-rt-14-dev
fi

dir=build-fuzz
mkdir -p "$dir"
if ! cmake --preset fuzz >"$dir/configure.log" 2>&1; then
    cat "$dir/configure.log" >&2
    exit 1
fi
cmake --build --preset fuzz --parallel "$(nproc)"

if [ -z "${1:-}" ]; then
    ctest --preset fuzz
    exit 0
fi

export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
export LSAN_OPTIONS="suppressions=$PWD/fuzz/lsan.supp:print_suppressions=0"
for target in cursorfile skin; do
    seeds=fuzz/corpus/$target
    [ "$target" = cursorfile ] && seeds=fuzz/corpus/cursor
    mkdir -p "$dir/corpus/$target"
    "$dir/fuzz/fuzz_$target" -max_total_time="$1" -max_len=65536 -print_final_stats=1 \
        "$dir/corpus/$target" "$seeds" >"$dir/fuzz_$target.log" 2>&1 &
done
wait
for target in cursorfile skin; do
    echo "== fuzz_$target"
    grep -E '^(stat::|#[0-9]+ *DONE)|ERROR|SUMMARY' "$dir/fuzz_$target.log" || true
done
