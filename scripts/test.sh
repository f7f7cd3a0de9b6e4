#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite.
#   scripts/test.sh             the normal build
#   scripts/test.sh --sanitize  the AddressSanitizer + UndefinedBehaviorSanitizer build
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup-debian.sh
bash scripts/build.sh "$@"
source scripts/preset.sh "$@"
# The sanitizer presets set the sanitizers' options (their RSS limit stands in for the
# release build's address-space cap).
ctest --preset "$preset" --parallel "$(nproc)"
