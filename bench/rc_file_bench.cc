// Start-up through the real binary with RC files of different sizes.
#include <benchmark/benchmark.h>

#include <string>

#include "run_binary.h"

namespace {

// A hand-edited RC file of `count` comment lines (none names a key or setting) before the
// keys that matter, so every line is tested against every name.
std::string LongRcFile(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += "# notes on the settings below, line " + std::to_string(i) + "\n";
  text += "help=?\nmax_lines=1000\nmax_char=120\nlines_per_page=20\n";
  return text;
}

// Starts and quits the editor with an RC file of `state.range(0)` comment lines.
void BM_StartUpWithRcLines(benchmark::State& state) {
  ScratchDirectory scratch;
  const std::string& dir = scratch.path;
  WriteFile(dir + "/.pellak_rc", LongRcFile(static_cast<int>(state.range(0))));
  WriteFile(dir + "/keys", "q\nq\n");
  long peak = 0;
  for (auto _ : state) {
    RunResult r = RunBinary(dir, {}, dir + "/keys");
    if (r.status != 0) state.SkipWithError("editor failed");
    peak = r.peak_rss_kb;
  }
  state.counters["peak_rss_kb"] = static_cast<double>(peak);
}
// 20000 lines make about 830 KB, near the 1 MiB above which the editor does not read the file.
BENCHMARK(BM_StartUpWithRcLines)->Arg(0)->Arg(1000)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace
