// libFuzzer target: one whole editing session per input, run in-process in a private working
// directory. After start-up and after every turn the grid and the cursor are checked; a fault
// aborts with a description on standard error.
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "app/loop.h"
#include "core/editor_state.h"
#include "core/grid.h"
#include "core/input.h"
#include "core/process.h"
#include "file_guard.h"
#include "fuzz_input.h"
#include "grid_check.h"

namespace {

const char kDocumentName[] = "doc.txt";
const char kRcName[] = ".pellak_rc";
// Larger grids are legal, but every turn of a document search or a long window would cost
// too much to fuzz them: such sessions stop after start-up.
constexpr long kMaxGridBytes = 16L << 20;
constexpr int kMaxLines = 2 * kDefaultLines;
constexpr long kWholeEveryTurn = 1L << 16;   // grids up to this size are checked whole each turn
constexpr size_t kMaxRcWithSmallGrid = 900;  // leaves room for the size lines in the read buffer

std::string work_dir;
int home_dir = -1;  // the directory the fuzzer was started in, where it keeps its own files

// Thrown by the terminate hook so that the session ends without ending the fuzzer.
struct SessionEnded {
  int status;
};

// Replaces Terminate's exit: unwinds back to the harness.
[[noreturn]] void EndSession(int status) { throw SessionEnded{status}; }

// Replaces the shell: the command is not run.
int NoShell(const char*) { return 0; }

// Removes every file the previous session left in the working directory; a file that stayed
// would make the next session depend on the one before it, so failing to remove one aborts.
void EmptyWorkDir() {
  DIR* dir = opendir(".");
  if (dir == nullptr) std::abort();
  while (dirent* entry = readdir(dir)) {
    if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0 &&
        unlink(entry->d_name) != 0) {
      std::perror(entry->d_name);
      std::abort();
    }
  }
  if (closedir(dir) != 0) std::abort();
}

// Writes `text` to the file `name` in the working directory.
void WriteFile(const char* name, const std::string& text) {
  FILE* file = std::fopen(name, "wb");
  if (file == nullptr) std::abort();
  if (!text.empty() && std::fwrite(text.data(), 1, text.size(), file) != text.size()) std::abort();
  if (std::fclose(file) != 0) std::abort();
}

// Removes the working directory when the fuzzer ends.
void RemoveWorkDir() {
  if (work_dir.empty() || chdir(work_dir.c_str()) != 0) return;
  EmptyWorkDir();
  if (fchdir(home_dir) != 0 || rmdir(work_dir.c_str()) != 0) std::perror(work_dir.c_str());
}

// Aborts with `fault` and where it was found when it is not null.
void Require(const char* fault, const char* when, int turn) {
  if (fault == nullptr) return;
  std::fprintf(stderr, "INVARIANT BROKEN %s turn %d: %s\n", when, turn, fault);
  fuzz::guard_on = false;
  std::abort();
}

// Lays out the RC file and the document of `input` in the working directory.
void PrepareFiles(const fuzz::Input& input) {
  EmptyWorkDir();
  if (input.flags & (fuzz::kWriteRc | fuzz::kSmallGrid)) {
    std::string rc(input.flags & fuzz::kWriteRc ? input.rc : std::string_view());
    if (input.flags & fuzz::kSmallGrid) {
      if (rc.size() > kMaxRcWithSmallGrid) rc.resize(kMaxRcWithSmallGrid);
      rc += "\nmax_lines=" + std::to_string(input.small_lines) +
            "\nmax_char=" + std::to_string(input.small_chars) + "\n";
    }
    WriteFile(kRcName, rc);
  }
  if ((input.flags & fuzz::kNameDocument) && (input.flags & fuzz::kWriteDocument)) {
    WriteFile(kDocumentName, std::string(input.document));
  }
}

// Runs the turns of a started session, checking the state before the first and after each.
// A small grid is checked whole every time. In a large one each turn checks the slots that
// commands work on, and the end checks the slots in use, or every slot when `check_whole_grid`.
void RunTurns(EditorState& state, bool check_whole_grid) {
  using fuzz::Coverage;
  bool small = static_cast<long>(lines) * lsize <= kWholeEveryTurn;
  Coverage each_turn = small ? Coverage::kAllSlots : Coverage::kHotSlots;
  Coverage at_end = small || check_whole_grid ? Coverage::kAllSlots : Coverage::kUsedSlots;
  int turn = 0;
  Require(fuzz::CheckState(state, at_end), "after start-up", turn);
  while (RunTurn(state)) {
    ++turn;
    Require(fuzz::CheckState(state, each_turn), "after", turn);
  }
  Require(fuzz::CheckState(state, at_end), "at the end, after", turn);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* temp = std::getenv("TMPDIR");
  std::string pattern = std::string(temp && *temp ? temp : "/tmp") + "/pellak-fuzz-XXXXXX";
  home_dir = open(".", O_RDONLY | O_DIRECTORY);
  if (mkdtemp(pattern.data()) == nullptr || home_dir < 0) std::abort();
  if (getcwd(fuzz::own_directory, sizeof fuzz::own_directory - 1) == nullptr) std::abort();
  std::strcat(fuzz::own_directory, "/");
  work_dir = pattern;
  std::atexit(RemoveWorkDir);
  if (std::freopen("/dev/null", "w", stdout) == nullptr) std::abort();
  terminate_hook = EndSession;
  shell_hook = NoShell;
  return 0;
}

// Each session runs in the private directory; libFuzzer's own files stay where it was started.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input input = fuzz::SplitInput(data, size);
  bool check_whole_grid = (input.flags & fuzz::kCheckWholeGridMask) == fuzz::kCheckWholeGrid;
  if (chdir(work_dir.c_str()) != 0) std::abort();
  PrepareFiles(input);
  lines = kDefaultLines;
  lsize = kDefaultLsize;
  used_lines = 0;
  SetInputFromMemory(input.keys.data(), input.keys.size());

  std::string name = kDocumentName;
  char* argv[] = {const_cast<char*>("pellak"), name.data(), nullptr};
  int argc = (input.flags & fuzz::kNameDocument) ? 2 : 1;
  auto state = std::make_unique<EditorState>();
  fuzz::guard_on = true;
  try {
    if (StartUp(*state, argc, argv) == 0 && state->grid != nullptr && lines <= kMaxLines &&
        static_cast<long>(lines) * lsize <= kMaxGridBytes) {
      RunTurns(*state, check_whole_grid);
    }
  } catch (const SessionEnded&) {
    if (state->grid != nullptr) {
      fuzz::Coverage coverage = check_whole_grid ? fuzz::Coverage::kAllSlots : fuzz::Coverage::kUsedSlots;
      Require(fuzz::CheckState(*state, coverage), "after Terminate", -1);
    }
  }
  fuzz::guard_on = false;
  ShutDown(*state);
  if (fchdir(home_dir) != 0) std::abort();
  return 0;
}
