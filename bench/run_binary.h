// Runs the editor binary on a prepared input, for benchmarks of whole sessions.
#pragma once

#include <string>
#include <vector>

struct RunResult {
  int status = -1;
  long peak_rss_kb = 0;  // peak resident memory of the editor process
  double cpu_ms = 0;     // its user and system time
  long minor_faults = 0;
};

// Runs the editor in directory `dir` with `args`, standard input from the file `input` and
// standard output to `output` (/dev/null by default). Returns its status and peak memory.
RunResult RunBinary(const std::string& dir, const std::vector<std::string>& args,
                    const std::string& input, const std::string& output = "/dev/null");

// Runs `command` (program path first) like RunBinary runs the editor.
RunResult RunCommand(const std::string& dir, const std::vector<std::string>& command,
                     const std::string& input, const std::string& output = "/dev/null");

// Runs `command` (program path first) through the launcher of PeakMemoryKb and returns its
// peak memory in KiB, or -1 when it could not run or did not end with status 0.
long PeakMemoryKbOf(const std::string& dir, const std::vector<std::string>& command,
                    const std::string& input);

// Runs the editor like RunBinary through a small launcher, so that the peak memory reported
// is the editor's own. Returns it in KiB, or -1 when the run failed.
long PeakMemoryKb(const std::string& dir, const std::vector<std::string>& args,
                  const std::string& input);

// Makes a fresh empty directory for a run and returns its path.
std::string FreshDirectory();

// Returns 32767 lines of 200 to 255 characters (about 7.5 MB): a file that fills the default grid.
std::string FullGridText();

// Removes a directory made by FreshDirectory, with everything in it.
void RemoveDirectory(const std::string& dir);

// A fresh empty directory for one benchmark, removed with everything in it at the end.
struct ScratchDirectory {
  std::string path = FreshDirectory();
  ScratchDirectory() = default;
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;
  ~ScratchDirectory() { RemoveDirectory(path); }
};

// Writes `text` to the file `path`.
void WriteFile(const std::string& path, const std::string& text);
