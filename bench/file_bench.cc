// Loading and saving through the real binary: a file that fills the default grid (its peer
// comparison with GNU ed is in peer_bench.cc), and the peak memory of a small file in the
// default grid and in a huge one.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

#include "run_binary.h"

namespace {

// Opens the full-grid file, saves it over itself and quits.
void BM_LoadAndSaveFullGrid(benchmark::State& state) {
  ScratchDirectory scratch;
  const std::string& dir = scratch.path;
  WriteFile(dir + "/big.txt", FullGridText());
  WriteFile(dir + "/keys", "S\nq\nq\n");
  for (auto _ : state) {
    RunResult r = RunBinary(dir, {"big.txt"}, dir + "/keys");
    if (r.status != 0) state.SkipWithError("editor failed");
  }
}
BENCHMARK(BM_LoadAndSaveFullGrid)->Unit(benchmark::kMillisecond)->Iterations(20)->Repetitions(5)->ReportAggregatesOnly(true);

// What a save's sync to the disk costs: the full-grid text is written to a fresh file in the
// scratch directory (not timed), then the file and its directory are synced (timed).
void BM_FsyncFullGridFile(benchmark::State& state) {
  ScratchDirectory scratch;
  const std::string text = FullGridText();
  const std::string path = scratch.path + "/big.txt";
  for (auto _ : state) {
    state.PauseTiming();
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    bool ok = fd >= 0 && write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    state.ResumeTiming();
    int dir = open(scratch.path.c_str(), O_RDONLY | O_DIRECTORY);
    ok = ok && dir >= 0 && fsync(fd) == 0 && fsync(dir) == 0;
    ok = close(dir) == 0 && close(fd) == 0 && ok;
    if (!ok) state.SkipWithError("write or sync failed");
  }
}
BENCHMARK(BM_FsyncFullGridFile)->Unit(benchmark::kMillisecond)->Iterations(10)->Repetitions(5)->ReportAggregatesOnly(true);

// Peak resident memory of opening a 10-line file, saving it and quitting, with the RC file
// `rc` (empty: the default one is made).
void PeakMemoryOfSmallFile(benchmark::State& state, const std::string& rc) {
  ScratchDirectory scratch;
  const std::string& dir = scratch.path;
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

// Saves a 119 KB document of 17,000 lines in a grid of 20000 lines of 100000 characters under
// an address-space limit of 3.5 GB (the grid alone takes 2 GB of it): a save whose memory grows
// with the line size fails here.
void BM_SaveUnderAddressLimit(benchmark::State& state) {
  ScratchDirectory scratch;
  const std::string& dir = scratch.path;
  std::string text;
  for (int i = 0; i < 17000; ++i) text += "l" + std::to_string(10000 + i).substr(0, 5) + "\n";
  WriteFile(dir + "/.pellak_rc", "max_lines=20000\nmax_char=100000\n");
  WriteFile(dir + "/keys", "S\nq\nq\n");
  RunResult r;
  for (auto _ : state) {
    WriteFile(dir + "/doc.txt", text);
    r = RunCommand(dir, {"/bin/sh", "-c", "ulimit -v 3500000 && exec \"$0\" doc.txt", PELLAK_BINARY},
                   dir + "/keys", dir + "/out");
    std::ifstream out(dir + "/out");
    std::stringstream printed;
    printed << out.rdbuf();
    if (r.status != 0 || printed.str().find("Saved to doc.txt") == std::string::npos) {
      state.SkipWithError("the document was not saved under the limit");
      return;
    }
  }
  state.counters["peak_rss_kb"] = static_cast<double>(r.peak_rss_kb);
}
BENCHMARK(BM_SaveUnderAddressLimit)->Unit(benchmark::kMillisecond)->Iterations(3);

// Starts with a grid of one line of 200 million characters and quits.
void BM_StartAndQuitHugeLineSize(benchmark::State& state) {
  ScratchDirectory scratch;
  const std::string& dir = scratch.path;
  WriteFile(dir + "/.pellak_rc", "max_lines=1\nmax_char=200000000\n");
  WriteFile(dir + "/keys", "q\nq\n");
  for (auto _ : state) {
    if (RunBinary(dir, {}, dir + "/keys").status != 0) state.SkipWithError("editor failed");
  }
  long peak = PeakMemoryKb(dir, {}, dir + "/keys");
  if (peak < 0) state.SkipWithError("editor failed");
  state.counters["peak_rss_kb"] = static_cast<double>(peak);
}
BENCHMARK(BM_StartAndQuitHugeLineSize)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
