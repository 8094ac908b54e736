#include "run_binary.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <cstdlib>
#include <stdexcept>

extern char** environ;

namespace {

// Starts `argv` with the given input and output files, waits, and returns what it reported.
RunResult Spawn(const std::string& dir, std::vector<std::string> args, const std::string& input,
                const std::string& output) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
  posix_spawn_file_actions_addopen(&actions, 0, input.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
    throw std::runtime_error("cannot start " + args[0]);
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) < 0) throw std::runtime_error("wait4 failed");
  RunResult result;
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.peak_rss_kb = usage.ru_maxrss;
  result.cpu_ms = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                  static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-3;
  result.minor_faults = usage.ru_minflt;
  return result;
}

}  // namespace

RunResult RunCommand(const std::string& dir, const std::vector<std::string>& command,
                     const std::string& input, const std::string& output) {
  return Spawn(dir, command, input, output);
}

RunResult RunBinary(const std::string& dir, const std::vector<std::string>& args,
                    const std::string& input, const std::string& output) {
  std::vector<std::string> command = {PELLAK_BINARY};
  command.insert(command.end(), args.begin(), args.end());
  return Spawn(dir, command, input, output);
}

long PeakMemoryKb(const std::string& dir, const std::vector<std::string>& args,
                  const std::string& input) {
  std::vector<std::string> command = {PELLAK_BINARY};
  command.insert(command.end(), args.begin(), args.end());
  return PeakMemoryKbOf(dir, command, input);
}

long PeakMemoryKbOf(const std::string& dir, const std::vector<std::string>& program,
                    const std::string& input) {
  std::string report = dir + "/.peak_rss";
  std::vector<std::string> command = {PELLAK_PEAK_RSS, dir, input};
  command.insert(command.end(), program.begin(), program.end());
  if (Spawn("/", command, "/dev/null", report).status != 0) return -1;
  long kb = -1;
  int status = -1;
  FILE* f = std::fopen(report.c_str(), "r");
  if (!f) return -1;
  if (std::fscanf(f, "%ld %d", &kb, &status) != 2) kb = -1;
  std::fclose(f);
  return status == 0 ? kb : -1;
}

std::string FreshDirectory() {
  char name[] = "/tmp/pellak-bench-XXXXXX";
  if (!mkdtemp(name)) throw std::runtime_error("mkdtemp failed");
  return name;
}

void RemoveDirectory(const std::string& dir) {
  std::error_code ignored;  // a leftover temporary directory is not worth failing a run for
  std::filesystem::remove_all(dir, ignored);
}

void WriteFile(const std::string& path, const std::string& text) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) throw std::runtime_error("cannot write " + path);
  bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  ok = (std::fclose(f) == 0) && ok;
  if (!ok) throw std::runtime_error("cannot write " + path);
}

std::string FullGridText() {
  std::string text;
  unsigned seed = 12345;
  for (int i = 0; i < 32767; ++i) {
    seed = seed * 1103515245u + 12345u;
    int length = 200 + static_cast<int>((seed >> 16) % 56);
    for (int k = 0; k < length; ++k) text += static_cast<char>('a' + (i + k) % 26);
    text += '\n';
  }
  return text;
}
