#!/usr/bin/env bash
# Configures and builds into build/ (the program folder is build/program/).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDM_WERROR=ON "$@" >/dev/null
cmake --build build -j2
