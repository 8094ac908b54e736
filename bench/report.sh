#!/usr/bin/env bash
# Builds the benchmarks, runs every one of them and prints a table: each figure with its target
# and, where GNU ed does the same job, ed's figure from the same run and the ratio.
# Rows whose benchmark is not in bench/ are shown as missing. All benchmarks run, also those no
# row names; they are listed after the table. Usage: bench/report.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}

source tests/need_packages.sh
need_packages ed=ed python3=python3 /usr/include/benchmark/benchmark.h=libbenchmark-dev

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELLAK_BENCH=ON -DPELLAK_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target pellak_bench >/dev/null
json=$build/bench.json
"$build/bench/pellak_bench" --benchmark_out="$json" --benchmark_out_format=json > "$build/bench.log" 2>&1
echo "GNU ed: $(ed --version | head -n 1); machine: $(nproc) cores, $(uname -sr)"
python3 bench/report_table.py "$json"
