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

cmake -S . -B "$dir" "${args[@]}" >/dev/null
cmake --build "$dir" --parallel "$(nproc)"
