#!/usr/bin/env bash
# Builds the editor and every test twice, once with warnings as errors and once with
# AddressSanitizer and UndefinedBehaviorSanitizer, and runs the whole suite in both builds.
# Installs what a fresh Debian machine lacks when run as root; otherwise names the packages.
set -euo pipefail
cd "$(dirname "$0")"

missing=()
command -v cmake >/dev/null || missing+=(cmake)
command -v g++ >/dev/null || missing+=(g++)
command -v make >/dev/null || missing+=(make)
command -v perl >/dev/null || missing+=(perl)
[ -f /usr/include/gtest/gtest.h ] || missing+=(libgtest-dev)
[ -f /usr/include/benchmark/benchmark.h ] || missing+=(libbenchmark-dev)
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" = 0 ] && command -v apt-get >/dev/null; then
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
  else
    echo "Missing: ${missing[*]}. Install them with: sudo apt-get install ${missing[*]}" >&2
    exit 1
  fi
fi

jobs=$(nproc)
run_build() {
  local dir=$1; shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELLAK_WERROR=ON \
        -DPELLAK_REQUIRE_UNIT_TESTS=ON "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

echo "== build with warnings as errors, and benchmarks =="
run_build build-test/release -DPELLAK_BENCH=ON
echo "== build with AddressSanitizer and UndefinedBehaviorSanitizer =="
run_build build-test/sanitize -DPELLAK_SANITIZE=ON
