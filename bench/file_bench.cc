// Loading and saving through the real binary: a file that fills the default grid, side by side
// with GNU ed doing the same load and write, and the peak memory of a small file in the default
// grid and in a huge one.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "run_binary.h"

namespace {

const char kEd[] = "/usr/bin/ed";

// Makes a directory holding the full-grid file as big.txt.
std::string FullGridDirectory() {
  std::string dir = FreshDirectory();
  WriteFile(dir + "/big.txt", FullGridText());
  return dir;
}

// Opens the full-grid file, saves it over itself and quits.
void BM_LoadAndSaveFullGrid(benchmark::State& state) {
  std::string dir = FullGridDirectory();
  WriteFile(dir + "/keys", "S\nq\nq\n");
  for (auto _ : state) {
    RunResult r = RunBinary(dir, {"big.txt"}, dir + "/keys");
    if (r.status != 0) state.SkipWithError("editor failed");
  }
}
BENCHMARK(BM_LoadAndSaveFullGrid)->Unit(benchmark::kMillisecond)->Iterations(20)->Repetitions(5)->ReportAggregatesOnly(true);

// GNU ed reading the same file and writing it out, for comparison (through a shell).
void BM_EdLoadAndWriteFullGrid(benchmark::State& state) {
  if (access(kEd, X_OK) != 0 && geteuid() == 0)
    (void)std::system("apt-get install -y -qq ed >/dev/null 2>&1");
  if (access(kEd, X_OK) != 0) {
    state.SkipWithError("ed is not installed (apt-get install ed)");
    return;
  }
  std::string dir = FullGridDirectory();
  WriteFile(dir + "/keys", "w out.txt\nq\n");
  std::string command = "cd " + dir + " && " + kEd + " -s big.txt < keys > /dev/null";
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) state.SkipWithError("ed failed");
  }
}
BENCHMARK(BM_EdLoadAndWriteFullGrid)->Unit(benchmark::kMillisecond)->Iterations(10)->Repetitions(5)->ReportAggregatesOnly(true);

// Peak resident memory of opening a 10-line file, saving it and quitting, with the RC file
// `rc` (empty: the default one is made).
void PeakMemoryOfSmallFile(benchmark::State& state, const std::string& rc) {
  std::string dir = FreshDirectory();
  std::string text;
  for (int i = 0; i < 10; ++i) text += "a short line of text\n";
  WriteFile(dir + "/small.txt", text);
  WriteFile(dir + "/keys", "S\nq\nq\n");
  if (!rc.empty()) WriteFile(dir + "/.pellak_rc", rc);
  long peak = 0;
  for (auto _ : state) {
    peak = PeakMemoryKb(dir, {"small.txt"}, dir + "/keys");
    if (peak < 0) state.SkipWithError("editor failed");
  }
  state.counters["peak_rss_kb"] = static_cast<double>(peak);
}

// The default grid.
void BM_PeakMemoryOpenAndSaveSmallFile(benchmark::State& state) { PeakMemoryOfSmallFile(state, ""); }
BENCHMARK(BM_PeakMemoryOpenAndSaveSmallFile)->Unit(benchmark::kMillisecond)->Iterations(5);

// A grid of fifty million lines: the load's tables follow the file, not the grid.
void BM_PeakMemorySmallFileInHugeGrid(benchmark::State& state) {
  PeakMemoryOfSmallFile(state, "max_lines=50000000\nmax_char=20\n");
}
BENCHMARK(BM_PeakMemorySmallFileInHugeGrid)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
