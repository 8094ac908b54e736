// The editor side by side with GNU ed (the peer): the same file, the same job (load it, write
// it back, quit), both started the same way, so the ratio compares the programs alone.
// Names are BM_Peer<Job>/<program>; bench/report.sh pairs them by job.
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "run_binary.h"

namespace {

const char kEd[] = "/usr/bin/ed";
const char kFullName[] = "full.txt";
const char kSmallName[] = "small.txt";

// Returns a small file of 20 short lines.
std::string SmallText() {
  std::string text;
  for (int i = 0; i < 20; ++i) text += "line " + std::to_string(i + 1) + " of a small file\n";
  return text;
}

// Makes a directory holding `name` with `text` and the keys that write it back and quit, for
// both programs; returns its path.
std::string JobDirectory(const char* name, const std::string& text) {
  std::string dir = FreshDirectory();
  WriteFile(dir + "/" + name, text);
  WriteFile(dir + "/pellak_keys", "S\nq\nq\n");
  WriteFile(dir + "/ed_keys", "w\nq\n");
  return dir;
}

// Returns the command and key file of `program` ("pellak" or "ed") for the file `name`.
std::vector<std::string> Command(const std::string& program, const char* name) {
  if (program == "ed") return {kEd, "-s", name};
  return {PELLAK_BINARY, name};
}

// Sets the modification time of `path` to the epoch, so that a later write shows.
void MarkUnwritten(const std::string& path) {
  timeval epoch[2] = {};
  utimes(path.c_str(), epoch);
}

// Returns an error when the job was not done: `path` not written since MarkUnwritten, or not
// holding `text`. Returns an empty string when it was.
std::string CheckWrittenBack(const std::string& path, const std::string& text) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0 || info.st_mtime == 0) return "the file was not written back";
  std::ifstream in(path, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str() == text ? "" : "the file written back differs";
}

// Runs the job of `program` on the file `name` holding `text` once per iteration, through
// `run_once(dir, command, keys)`, which returns false when the program failed. Returns true
// when every run succeeded and the file was written back; else the error is set on `state`.
template <typename RunOnce>
bool RunJob(benchmark::State& state, const std::string& program, const char* name,
            const std::string& text, RunOnce run_once) {
  if (program == "ed" && access(kEd, X_OK) != 0) {
    state.SkipWithError("GNU ed is not installed (apt-get install ed)");
    return false;
  }
  std::string dir = JobDirectory(name, text);
  std::string keys = dir + "/" + program + "_keys";
  MarkUnwritten(dir + "/" + name);
  std::string fault;
  for (auto _ : state) {
    if (!run_once(dir, Command(program, name), keys)) {
      fault = program + " failed";
      break;
    }
  }
  if (fault.empty()) fault = CheckWrittenBack(dir + "/" + name, text);
  RemoveDirectory(dir);
  if (!fault.empty()) state.SkipWithError(fault.c_str());
  return fault.empty();
}

// Times loading and writing back the full-grid file with `program`, with its CPU time and
// minor page faults per run.
void PeerLoadWrite(benchmark::State& state, const std::string& program) {
  double cpu_ms = 0;
  double faults = 0;
  auto run = [&](const std::string& dir, const std::vector<std::string>& command,
                 const std::string& keys) {
    RunResult r = RunCommand(dir, command, keys);
    cpu_ms += r.cpu_ms;
    faults += static_cast<double>(r.minor_faults);
    return r.status == 0;
  };
  if (!RunJob(state, program, kFullName, FullGridText(), run)) return;
  double runs = static_cast<double>(state.iterations());
  state.counters["cpu_ms"] = cpu_ms / runs;
  state.counters["minor_faults"] = faults / runs;
}

// Measures the peak memory of loading `name` with `text`, writing it back and quitting.
void PeerPeakMemory(benchmark::State& state, const std::string& program, const char* name,
                    const std::string& text) {
  long peak = -1;
  bool done = RunJob(state, program, name, text,
                     [&peak](const std::string& dir, const std::vector<std::string>& command,
                             const std::string& keys) {
                       peak = PeakMemoryKbOf(dir, command, keys);
                       return peak >= 0;
                     });
  if (done) state.counters["peak_rss_kb"] = static_cast<double>(peak);
}

void BM_PeerLoadWriteFullGrid(benchmark::State& state, const char* program) {
  PeerLoadWrite(state, program);
}
BENCHMARK_CAPTURE(BM_PeerLoadWriteFullGrid, pellak, "pellak")
    ->Unit(benchmark::kMillisecond)->Iterations(10)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_PeerLoadWriteFullGrid, ed, "ed")
    ->Unit(benchmark::kMillisecond)->Iterations(10)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_PeerPeakMemorySmallFile(benchmark::State& state, const char* program) {
  PeerPeakMemory(state, program, kSmallName, SmallText());
}
BENCHMARK_CAPTURE(BM_PeerPeakMemorySmallFile, pellak, "pellak")->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(BM_PeerPeakMemorySmallFile, ed, "ed")->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_PeerPeakMemoryFullDocument(benchmark::State& state, const char* program) {
  PeerPeakMemory(state, program, kFullName, FullGridText());
}
BENCHMARK_CAPTURE(BM_PeerPeakMemoryFullDocument, pellak, "pellak")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_PeerPeakMemoryFullDocument, ed, "ed")->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
