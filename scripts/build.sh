#!/usr/bin/env bash
# Configures and builds into build/ (or build-asan/ with --sanitize).
set -euo pipefail
cd "$(dirname "$0")/.."

dir=build
args=()
if [ "${1:-}" = "--sanitize" ]; then
    dir=build-asan
    args+=(-DTALLYCLOCK_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DTALLYCLOCK_BUILD_BENCH=OFF)
fi
if [ "${CI:-}" = "true" ]; then
    args+=(-DTALLYCLOCK_WERROR=ON)
fi

# The configure output goes to a log, shown only when configuring fails.
mkdir -p "$dir"
if ! cmake -S . -B "$dir" "${args[@]}" >"$dir/configure.log" 2>&1; then
    cat "$dir/configure.log" >&2
    echo "configuring failed; the output above is in $dir/configure.log" >&2
    exit 1
fi
# What the configure chose for this Qt.
grep '^-- Tallyclock:' "$dir/configure.log" || true
cmake --build "$dir" --parallel "$(nproc)"
