#!/usr/bin/env bash
# Installs what is missing, builds Tallyclock and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup-debian.sh
bash scripts/build.sh
exec build/src/tallyclock "$@"
