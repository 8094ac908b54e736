// Whole sessions through the real binary: piped turns and peak memory.
#include <benchmark/benchmark.h>

#include <string>

#include "run_binary.h"

namespace {

// 100,000 turns of the kinds a piped script sends: text, Enter, '!' lines, and text typed
// on the last line (the end-of-grid case, reached by the Enters).
std::string PipedTurns() {
  std::string keys;
  for (int i = 0; i < 25000; ++i) {
    keys += "some text typed on a line\n";
    keys += "\n";
    keys += "!n\n";
    keys += "!\n";
  }
  return keys;
}

void BM_PipedTurns100k(benchmark::State& state) {
  ScratchDirectory scratch;
  const std::string& dir = scratch.path;
  WriteFile(dir + "/keys", PipedTurns());
  for (auto _ : state) {
    RunResult r = RunBinary(dir, {}, dir + "/keys");
    if (r.status != 0) state.SkipWithError("editor failed");
  }
  state.counters["turns"] = 100000;
}
BENCHMARK(BM_PipedTurns100k)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// Peak memory of a session of 20 turns (18 typed lines and the quit) of the editor `binary`.
void PeakMemory20Turns(benchmark::State& state, const char* binary) {
  ScratchDirectory scratch;
  const std::string& dir = scratch.path;
  std::string keys;
  for (int i = 0; i < 18; ++i) keys += "line of text\n";
  keys += "q\nq\n";
  WriteFile(dir + "/keys", keys);
  long peak = 0;
  for (auto _ : state) {
    peak = PeakMemoryKbOf(dir, {binary}, dir + "/keys");
    if (peak < 0) state.SkipWithError("editor failed");
  }
  state.counters["peak_rss_kb"] = static_cast<double>(peak);
}

void BM_PeakMemory20Turns(benchmark::State& state) { PeakMemory20Turns(state, PELLAK_BINARY); }
BENCHMARK(BM_PeakMemory20Turns)->Unit(benchmark::kMillisecond)->Iterations(5);

// The same with the C++ runtime linked as a shared library, as distributions link it.
void BM_PeakMemory20TurnsSharedRuntime(benchmark::State& state) {
  PeakMemory20Turns(state, PELLAK_SHARED_RUNTIME_BINARY);
}
BENCHMARK(BM_PeakMemory20TurnsSharedRuntime)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
