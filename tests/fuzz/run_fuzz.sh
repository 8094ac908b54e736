#!/usr/bin/env bash
# Builds the session fuzzer with clang (libFuzzer, ASan, UBSan) and runs it for SECONDS
# (default 60) on a copy of the seed corpus. A crash, a sanitizer report, a broken check or an
# input running over 60 s (a hang) fails the run; failing inputs are kept in build-fuzz/.
# Usage: tests/fuzz/run_fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$(pwd)
build=$root/build-fuzz
work=$build/fuzz-run
source tests/need_packages.sh
need_packages clang++=clang /usr/lib/llvm-14/lib/clang/14.0.6/lib/linux/libclang_rt.fuzzer-x86_64.a=libclang-rt-14-dev
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
      -DPELLAK_FUZZ=ON -DPELLAK_WERROR=ON >/dev/null
cmake --build "$build" -j "$(nproc)" >/dev/null
rm -rf "$work"
mkdir -p "$work/corpus" "$work/artifacts" "$work/tmp"
cp "$root"/tests/fuzz/corpus/* "$work/corpus/"
# Started in $work, the one directory besides its private one where a session may write.
if ! (cd "$work" && TMPDIR="$work/tmp" "$build/tests/fuzz/pellak_fuzz" "$work/corpus" \
      -dict="$root/tests/fuzz/pellak.dict" -max_total_time="${1:-60}" -timeout=60 -max_len=2048 \
      -print_final_stats=1 -artifact_prefix="$work/artifacts/") > "$work/fuzz.log" 2>&1; then
  tail -n 60 "$work/fuzz.log" >&2
  echo "FUZZING FAILED; failing inputs (replay: $build/tests/fuzz/pellak_fuzz FILE):" >&2
  ls -l "$work/artifacts" >&2
  exit 1
fi
grep -E '^Done [0-9]+ runs|^stat::(number_of_executed_units|new_units_added)' "$work/fuzz.log" || true
echo "fuzzing: no fault in ${1:-60} s"
