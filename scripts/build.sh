#!/usr/bin/env bash
# Configures and builds with a preset of CMakePresets.json: `default` into build/, or
# `sanitize` into build-asan/ with --sanitize, or `windows` into build-windows/ with
# --windows (scripts/windows.sh prepares its toolchain), or `arm64` into build-arm64/
# with --arm64 (scripts/arm64.sh prepares its). With CI=true, the `ci`, `ci-sanitize`,
# `ci-windows` or `ci-arm64` preset: the same builds with warnings as errors.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/preset.sh "$@"

# The configure output goes to a log, shown only when configuring fails.
mkdir -p "$dir"
if ! cmake --preset "$preset" >"$dir/configure.log" 2>&1; then
    cat "$dir/configure.log" >&2
    echo "configuring failed; the output above is in $dir/configure.log" >&2
    exit 1
fi
# What the configure chose for this Qt.
grep '^-- Tallyclock:' "$dir/configure.log" || true
cmake --build --preset "$preset" --parallel "$(nproc)"
