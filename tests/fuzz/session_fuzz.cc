// libFuzzer target: one whole editing session per input, run in-process in a private working
// directory; after start-up and after every turn the grid and the cursor are checked.
// An input is a flags byte, two small grid sizes, then the RC text, 0x1e, the document, 0x1e
// and the keystrokes; without two 0x1e marks everything after the sizes is keystrokes.
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

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

// file_guard.cc: while fuzz_guard_on, a name with a directory part is refused unless it lies
// in fuzz_own_directory, and a real shell aborts.
extern bool fuzz_guard_on;
extern char fuzz_own_directory[4096];

namespace {

enum Flags : uint8_t { kWriteRc = 1, kNameDocument = 2, kWriteDocument = 4, kSmallGrid = 8 };
constexpr char kMark = '\x1e';
constexpr long kWholeEveryTurn = 1L << 16;  // grids up to this size are checked whole each turn
constexpr long kMaxGridBytes = 16L << 20;   // larger grids make each turn too slow to fuzz

std::string work_dir;
int home_dir = -1;

struct SessionEnded {};  // thrown by the Terminate hook: the session ends, the fuzzer goes on
[[noreturn]] void EndSession(int) { throw SessionEnded{}; }

// Writes `text` to `name`; aborts when it cannot.
void WriteFile(const char* name, std::string_view text) {
  FILE* file = std::fopen(name, "wb");
  if (!file || std::fwrite(text.data(), 1, text.size(), file) != text.size() || std::fclose(file))
    std::abort();
}

// Removes every file of the working directory, so no session depends on the one before.
void EmptyWorkDir() {
  DIR* dir = opendir(".");
  if (!dir) std::abort();
  while (dirent* entry = readdir(dir)) {
    const char* name = entry->d_name;
    if (std::strcmp(name, ".") && std::strcmp(name, "..") && unlink(name)) std::abort();
  }
  closedir(dir);
}

// Returns the fault of slot `line`, or nullptr when it has a terminator and only zeros behind
// it (only zeros at all from UsedLines() on). Not instrumented: it is no part of what is tested.
__attribute__((no_sanitize("address", "coverage")))
const char* BrokenSlot(const char* grid, int line) {
  if (line < 0 || line >= lines) return nullptr;
  const char* slot = SlotOf(line, grid);
  const char* end = slot + (line < UsedLines() ? strnlen(slot, static_cast<size_t>(lsize)) : 0);
  if (end == slot + lsize) return "slot without its terminator";
  while (end < slot + lsize)
    if (*end++) return line < UsedLines() ? "bytes behind a terminator" : "bytes at or after used_lines";
  return nullptr;
}

// Aborts when the cursor is outside the grid or a checked slot is broken: every slot when
// `whole`, else the slots in use and those the commands work on.
void Check(const EditorState& state, bool whole, int turn) {
  const char* fault = state.cur_line < 0 || state.cur_line >= lines ? "cur_line outside the grid"
                      : state.cur_pos < 0 || state.cur_pos >= lsize ? "cur_pos outside the slot"
                                                                     : nullptr;
  int end = whole ? lines : (UsedLines() < lines ? UsedLines() : lines);
  for (int line = 0; line < end && !fault; ++line) fault = BrokenSlot(state.grid, line);
  for (int line : {state.cur_line, state.cur_line + 1, state.undo_line, state.undo_line2, lines - 1})
    if (!fault) fault = BrokenSlot(state.grid, line);
  if (!fault) return;
  fuzz_guard_on = false;
  std::fprintf(stderr, "INVARIANT BROKEN after turn %d: %s\n", turn, fault);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* temp = std::getenv("TMPDIR");
  work_dir = std::string(temp && *temp ? temp : "/tmp") + "/pellak-fuzz-XXXXXX";
  home_dir = open(".", O_RDONLY | O_DIRECTORY);
  if (!mkdtemp(work_dir.data()) || home_dir < 0) std::abort();
  // libFuzzer writes crash inputs here, while the guard is still on.
  if (!getcwd(fuzz_own_directory, sizeof fuzz_own_directory - 1)) std::abort();
  std::strcat(fuzz_own_directory, "/");
  std::atexit([] {  // the private directory goes when the fuzzer ends
    if (chdir(work_dir.c_str()) == 0) EmptyWorkDir();
    (void)rmdir(work_dir.c_str());
  });
  if (!std::freopen("/dev/null", "w", stdout)) std::abort();
  terminate_hook = EndSession;
  shell_hook = [](const char*) { return 0; };  // commands are not run
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  uint8_t flags = data[0];
  std::string_view rest(reinterpret_cast<const char*>(data + 3), size - 3), rc, document;
  size_t first = rest.find(kMark), second = rest.find(kMark, first + 1);
  if (first != std::string_view::npos && second != std::string_view::npos) {
    rc = rest.substr(0, first);
    document = rest.substr(first + 1, second - first - 1);
    rest.remove_prefix(second + 1);
  }
  if (chdir(work_dir.c_str()) != 0) std::abort();
  EmptyWorkDir();
  if (flags & (kWriteRc | kSmallGrid)) {
    std::string text(flags & kWriteRc ? rc : std::string_view());
    if (flags & kSmallGrid)  // sizes from 1 to 40, after the RC text so that they win
      text += "\nmax_lines=" + std::to_string(1 + data[1] % 40) +
              "\nmax_char=" + std::to_string(1 + data[2] % 40) + "\n";
    WriteFile(".pellak_rc", text);
  }
  if ((flags & kNameDocument) && (flags & kWriteDocument)) WriteFile("doc.txt", document);
  lines = kDefaultLines, lsize = kDefaultLsize;
  SetInputFromMemory(rest.data(), rest.size());

  auto state = std::make_unique<EditorState>();
  int turn = 0;
  fuzz_guard_on = true;
  try {
    if (StartUp(*state, flags & kNameDocument ? "doc.txt" : nullptr) == 0 && state->grid &&
        lines <= 2 * kDefaultLines && static_cast<long>(lines) * lsize <= kMaxGridBytes) {
      bool small = static_cast<long>(lines) * lsize <= kWholeEveryTurn;
      Check(*state, small, turn);
      while (RunTurn(*state)) Check(*state, small, ++turn);
    }
  } catch (const SessionEnded&) {
    if (state->grid) Check(*state, false, turn);
  }
  fuzz_guard_on = false;
  ShutDown(*state);
  if (fchdir(home_dir) != 0) std::abort();
  return 0;
}
