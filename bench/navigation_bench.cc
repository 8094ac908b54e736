// Document search over the whole default grid, through the jump_doc command itself.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "core/editor_state.h"
#include "core/grid.h"
#include "core/input.h"
#include "core/navigation.h"

namespace {

// Sends standard output to /dev/null while alive, so the command's prompts stay out of the
// benchmark report.
class QuietStdout {
 public:
  QuietStdout() : saved_(dup(STDOUT_FILENO)) {
    std::fflush(stdout);
    int null = open("/dev/null", O_WRONLY);
    if (null >= 0) {
      dup2(null, STDOUT_FILENO);
      close(null);
    }
  }
  ~QuietStdout() {
    std::fflush(stdout);
    if (saved_ >= 0) {
      dup2(saved_, STDOUT_FILENO);
      close(saved_);
    }
  }
  QuietStdout(const QuietStdout&) = delete;
  QuietStdout& operator=(const QuietStdout&) = delete;

 private:
  int saved_;
};

// Runs jump_doc from line 1 for `answer` on the default grid with text only in its last slot.
void JumpDocOverDefaultGrid(benchmark::State& state, const char* answer, int expected_line) {
  lines = kDefaultLines;
  lsize = kDefaultLsize;
  EditorState editor;
  if (AllocateGrid(&editor.grid) != GridAlloc::kOk) {
    state.SkipWithError("no grid");
    return;
  }
  editor.jump_text = MakeLineBuffer(static_cast<size_t>(lsize));
  Replace(lines - 1, 0, lines, "the needle is here", editor.grid);
  size_t answer_length = std::strlen(answer);
  {
    QuietStdout quiet;
    for (auto _ : state) {
      editor.cur_line = 0;
      editor.cur_pos = 0;
      SetInputFromMemory(answer, answer_length);
      OnJumpDoc(editor);
      benchmark::DoNotOptimize(editor.cur_line);
    }
  }
  SetInputFromStdin();
  if (editor.cur_line != expected_line) state.SkipWithError("search ended on the wrong line");
  FreeGrid(editor.grid);
}

// A hit in the last of 32767 slots.
void BM_JumpDocHitInLastSlot(benchmark::State& state) {
  JumpDocOverDefaultGrid(state, "needle\n", kDefaultLines - 1);
}
BENCHMARK(BM_JumpDocHitInLastSlot)->Unit(benchmark::kMicrosecond);

// A miss: every slot is searched and "String not found" is printed.
void BM_JumpDocMissOverDefaultGrid(benchmark::State& state) {
  JumpDocOverDefaultGrid(state, "absent\n", 0);
}
BENCHMARK(BM_JumpDocMissOverDefaultGrid)->Unit(benchmark::kMicrosecond);

}  // namespace
