#!/usr/bin/env bash
# Builds the editor and every test twice, once with warnings as errors and once with
# AddressSanitizer and UndefinedBehaviorSanitizer, and runs the whole suite in both builds.
# Installs what a fresh Debian machine lacks when run as root; otherwise names the packages.
set -euo pipefail
cd "$(dirname "$0")"

source tests/need_packages.sh
need_packages cmake=cmake g++=g++ make=make perl=perl strace=strace setfacl=acl setfattr=attr tmux=tmux \
  /usr/include/gtest/gtest.h=libgtest-dev /usr/include/benchmark/benchmark.h=libbenchmark-dev

jobs=$(nproc)
run_build() {
  local dir=$1; shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELLAK_WERROR=ON \
        -DPELLAK_TESTS=ON -DPELLAK_REQUIRE_UNIT_TESTS=ON "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

echo "== build with warnings as errors, and benchmarks =="
run_build build-test/release -DPELLAK_BENCH=ON
echo "== build with AddressSanitizer and UndefinedBehaviorSanitizer =="
run_build build-test/sanitize -DPELLAK_SANITIZE=ON
