#!/usr/bin/env bash
# Builds everything and runs the whole test suite, formatting check included.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
scripts/check-format.sh
cd build
ctest --output-on-failure -j2 --timeout 300 "$@"
