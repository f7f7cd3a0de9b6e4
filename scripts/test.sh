#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite.
#   scripts/test.sh             the normal build
#   scripts/test.sh --sanitize  the AddressSanitizer + UndefinedBehaviorSanitizer build
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup-debian.sh
bash scripts/build.sh "$@"

dir=build
if [ "${1:-}" = "--sanitize" ]; then
    dir=build-asan
    # The RSS limit stands in for the release build's address-space cap.
    export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:hard_rss_limit_mb=3072"
    export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
fi
ctest --test-dir "$dir" --output-on-failure --parallel "$(nproc)"
