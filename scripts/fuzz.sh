#!/usr/bin/env bash
# Builds the fuzz targets with clang into build-fuzz/ and runs each for SECONDS (default 60).
# usage: scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DDM_FUZZ=ON -DDM_BUILD_TESTS=OFF \
    -DDM_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j2
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    mapfile -t targets < <(cd build-fuzz/fuzz && ls fuzz_* 2>/dev/null)
fi
for t in "${targets[@]}"; do
    corpus=build-fuzz/corpus/$t
    mkdir -p "$corpus"
    seeds=()
    [ -d "tests/data/fuzz/$t" ] && seeds=("tests/data/fuzz/$t")
    echo "== $t for ${seconds}s"
    build-fuzz/fuzz/"$t" -max_total_time="$seconds" -print_final_stats=1 "$corpus" "${seeds[@]}"
done
