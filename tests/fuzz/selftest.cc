// Self-test of the fuzzer's own parts: a checker that never fires, an input split that loses
// a section, or a guard that lets a path through would make a green fuzz run worthless.
#include <stdlib.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/editor_state.h"
#include "core/grid.h"
#include "file_guard.h"
#include "fuzz_input.h"
#include "grid_check.h"

namespace {

int failures = 0;

// Counts a failure and reports `what` when `ok` is false.
void Expect(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "FAIL: %s\n", what);
  ++failures;
}

// A 4 x 8 grid holding "abc" in line 0 and "x" in line 2, with used_lines 3.
std::vector<char> SoundGrid() {
  lines = 4;
  lsize = 8;
  std::vector<char> grid(32, 0);
  std::memcpy(grid.data(), "abc", 3);
  grid[16] = 'x';
  used_lines = 3;
  return grid;
}

// Every fault the grid check knows must be found, and a sound grid must pass.
void TestGridCheck() {
  std::vector<char> grid = SoundGrid();
  Expect(fuzz::CheckGrid(grid.data()) == nullptr, "a sound grid passes");

  grid = SoundGrid();
  std::memset(grid.data() + 8, 'y', 8);  // line 1 full to the last byte
  Expect(fuzz::CheckGrid(grid.data()) != nullptr, "a slot without terminator is found");

  grid = SoundGrid();
  grid[6] = 'z';  // "abc", zero, then a stray byte
  Expect(fuzz::CheckGrid(grid.data()) != nullptr, "a byte behind the terminator is found");

  grid = SoundGrid();
  grid[29] = 'w';  // a stray byte inside line 3, which is at used_lines
  Expect(fuzz::CheckGrid(grid.data()) != nullptr, "a byte at used_lines is found");
}

// The per-turn check covers the cursor and the slots the last command worked on.
void TestStateCheck() {
  std::vector<char> grid = SoundGrid();
  EditorState state;
  state.grid = grid.data();
  using fuzz::Coverage;
  Expect(fuzz::CheckState(state, Coverage::kHotSlots) == nullptr, "a sound state passes");
  state.cur_pos = lsize;
  Expect(fuzz::CheckState(state, Coverage::kHotSlots) != nullptr, "a column behind the slot is found");
  state.cur_pos = 0;
  state.cur_line = lines;
  Expect(fuzz::CheckState(state, Coverage::kHotSlots) != nullptr, "a line behind the grid is found");
  state.cur_line = 0;

  grid[24] = 'w';  // text in line 3, which is at used_lines and the last line
  Expect(fuzz::CheckState(state, Coverage::kHotSlots) != nullptr, "text in the last line is found");
  lines = 5;       // line 3 is no longer the last line, nor one the state names
  grid.resize(40, 0);
  state.grid = grid.data();
  Expect(fuzz::CheckState(state, Coverage::kUsedSlots) == nullptr, "slots from used_lines on are skipped");
  Expect(fuzz::CheckState(state, Coverage::kAllSlots) != nullptr, "the whole check reads them");
  state.undo_line2 = 3;
  Expect(fuzz::CheckState(state, Coverage::kHotSlots) != nullptr, "the undo line is checked each turn");

  grid = SoundGrid();
  grid[20] = 'q';  // a stray byte behind the "x" of line 2, below used_lines
  state.grid = grid.data();
  state.undo_line2 = 0;
  Expect(fuzz::CheckState(state, Coverage::kHotSlots) == nullptr, "line 2 is not a hot slot");
  Expect(fuzz::CheckState(state, Coverage::kUsedSlots) != nullptr, "but a slot in use");
  state.grid = nullptr;
}

// Splits `text` as a fuzzer input; the result points into `text`.
fuzz::Input Split(const std::string& text) {
  return fuzz::SplitInput(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

// The three sections and the header come apart as documented.
void TestSplit() {
  std::string text = std::string("\x0b\x02\x51") + "help=?\x1e" + "one\ntwo\n\x1e" + "J\nx\n";
  fuzz::Input input = Split(text);
  Expect(input.flags == 0x0b, "flags byte");
  Expect(input.small_lines == 3 && input.small_chars == 1 + 0x51 % fuzz::kSmallLimit, "small sizes");
  Expect(input.rc == "help=?", "RC section");
  Expect(input.document == "one\ntwo\n", "document section");
  Expect(input.keys == "J\nx\n", "keys section");

  text = std::string("\x00\x00\x00", 3) + "abc\x1e" + "def";
  input = Split(text);
  Expect(input.rc.empty() && input.document.empty() && input.keys == "abc\x1e" "def",
         "with one mark everything is keys");
  text = "\x01\x02";
  input = Split(text);
  Expect(input.flags == 0 && input.keys.empty(), "a short input is empty");
}

// While the guard is on, names with a directory part are refused before reaching the system.
void TestGuard() {
  fuzz::guard_on = true;
  errno = 0;
  FILE* file = std::fopen("/dev/null", "rb");
  Expect(file == nullptr && errno == EACCES, "an absolute name is refused");
  Expect(std::rename("a", "../b") == -1 && errno == EACCES, "a rename out of the directory is refused");
  char temp[] = "/tmp/pellak-guard-XXXXXX";
  Expect(mkostemp(temp, 0) == -1 && errno == EACCES, "a temporary file out of the directory is refused");
  std::strcpy(fuzz::own_directory, "/dev/");
  file = std::fopen("/dev/null", "rb");
  Expect(file != nullptr, "a name in the fuzzer's own directory opens");
  if (file) std::fclose(file);
  Expect(std::fopen("/dev/../etc/passwd", "rb") == nullptr, "a name climbing out of it is refused");
  fuzz::own_directory[0] = 0;
  fuzz::guard_on = false;
  file = std::fopen("/dev/null", "rb");
  Expect(file != nullptr, "without the guard the name opens");
  if (file) std::fclose(file);
}

}  // namespace

int main() {
  TestGridCheck();
  TestStateCheck();
  TestSplit();
  TestGuard();
  if (failures == 0) std::puts("fuzz self-test passed");
  return failures == 0 ? 0 : 1;
}
