// Wedge and delete on the default grid: their cost follows the document, not the grid.
#include <benchmark/benchmark.h>

#include <string>

#include "core/grid.h"
#include "edit/line_commands.h"
#include "run_binary.h"

namespace {

// Keys that build a 100-line document at line 1 (one line copied to lines 2 to 100), then
// wedge and delete at line 1 `pairs` times; end of input ends the editor.
std::string WedgeDeleteKeys(int pairs) {
  std::string keys = "i\na line of the document, long enough to be a fair slot\n";
  for (int line = 2; line <= 100; ++line) keys += "C\n" + std::to_string(line) + "\n";
  for (int i = 0; i < pairs; ++i) keys += "w\nD\n";
  return keys;
}

// 10,000 line_insert + line_delete pairs through the real binary, default 32767 x 256 grid.
void BM_WedgeDeletePairs10kBinary(benchmark::State& state) {
  ScratchDirectory scratch;
  const std::string& dir = scratch.path;
  WriteFile(dir + "/keys", WedgeDeleteKeys(10000));
  for (auto _ : state) {
    RunResult r = RunBinary(dir, {}, dir + "/keys");
    if (r.status != 0) state.SkipWithError("editor failed");
  }
  state.counters["pairs"] = 10000;
}
BENCHMARK(BM_WedgeDeletePairs10kBinary)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The same pairs in-process on Wedge and Delete alone.
void BM_WedgeDeletePairs10kInProcess(benchmark::State& state) {
  char* grid = nullptr;
  if (AllocateGrid(&grid) != GridAlloc::kOk) {
    state.SkipWithError("no grid");
    return;
  }
  for (int line = 0; line < 100; ++line) Replace(line, 0, lines, "a line of the document", grid);
  for (auto _ : state) {
    for (int i = 0; i < 10000; ++i) {
      Wedge(0, grid);
      Delete(0, grid);
    }
    benchmark::DoNotOptimize(grid[0]);
  }
  if (DocLength(grid) != 99) state.SkipWithError("document changed");
  FreeGrid(grid);
}
BENCHMARK(BM_WedgeDeletePairs10kInProcess)->Unit(benchmark::kMillisecond);

}  // namespace
