#!/usr/bin/env bash
# Builds the benchmarks (optimised) into build-bench/ and runs them.
# usage: scripts/bench.sh [BENCH_NAME...]
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DDM_BUILD_BENCH=ON -DDM_BUILD_TESTS=OFF >/dev/null
cmake --build build-bench -j2
names=("$@")
if [ ${#names[@]} -eq 0 ]; then
    mapfile -t names < <(cd build-bench/bench && ls bench_* 2>/dev/null)
fi
for b in "${names[@]}"; do
    echo "== $b"
    build-bench/bench/"$b"
done
