#!/usr/bin/env bash
# Builds the session fuzzer with clang and runs it for a bounded time on the seed corpus.
# A crash, a sanitizer report, a broken invariant, a leak or an input that runs longer than
# 60 s (a hang) makes it exit non-zero; the crashing input is kept in the
# build directory. Prints libFuzzer's closing figures (executions, cov:, ft:).
# Usage: tests/fuzz/run_fuzz.sh [SECONDS]   (default 60)
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:-60}
root=$(pwd)
build=$root/build-fuzz

source tests/need_packages.sh
need_packages clang++=clang /usr/lib/llvm-14/lib/clang/14.0.6/lib/linux/libclang_rt.fuzzer-x86_64.a=libclang-rt-14-dev

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
      -DPELLAK_FUZZ=ON -DPELLAK_WERROR=ON >/dev/null
cmake --build "$build" -j "$(nproc)" >/dev/null
"$build/tests/fuzz/pellak_fuzz_selftest"

# The run adds what it finds to a working copy; the seed corpus in the repository stays as it is.
work=$build/fuzz-run
rm -rf "$work"
mkdir -p "$work/corpus" "$work/artifacts" "$work/tmp"
cp "$root"/tests/fuzz/corpus/* "$work/corpus/"
log=$work/fuzz.log
status=0
# An input of 2 KB can legitimately take seconds under the sanitizers: a window of 32767 lines
# printed every turn, say. An input still running after a minute is taken for a hang.
hang_seconds=60
# Started in $work: the only directory outside its private one that a session may write to.
(cd "$work" && TMPDIR="$work/tmp" "$build/tests/fuzz/pellak_fuzz" "$work/corpus" -dict="$root/tests/fuzz/pellak.dict" \
    -max_total_time="$seconds" -timeout="$hang_seconds" -max_len=2048 -print_final_stats=1 \
    -artifact_prefix="$work/artifacts/") > "$log" 2>&1 || status=$?
grep -E '^#[0-9]+[[:space:]]+DONE|^Done [0-9]+ runs|^stat::(number_of_executed_units|average_exec_per_sec|new_units_added|peak_rss_mb)' "$log" || true
if [ "$status" != 0 ]; then
  echo "FUZZING FAILED (status $status); the end of $log:" >&2
  tail -n 60 "$log" >&2
  echo "Inputs that failed (replay one with: $build/tests/fuzz/pellak_fuzz FILE):" >&2
  ls -l "$work/artifacts" >&2
  exit 1
fi
echo "fuzzing: no fault in ${seconds} s"
