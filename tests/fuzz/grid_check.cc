#include "grid_check.h"

#include <cstdint>
#include <cstring>

#include "core/editor_state.h"
#include "core/grid.h"

namespace fuzz {

namespace {

// Returns true when the `count` bytes at `bytes` are all zero. It reads whole words and is kept
// out of the instrumentation: it runs over the whole grid and is not what is being tested.
__attribute__((no_sanitize("address", "coverage"))) bool AllZero(const char* bytes, long count) {
  long i = 0;
  for (; i < count && reinterpret_cast<uintptr_t>(bytes + i) % sizeof(uint64_t) != 0; ++i) {
    if (bytes[i] != 0) return false;
  }
  uint64_t any = 0;
  for (; i + 8 <= count; i += 8) any |= *reinterpret_cast<const uint64_t*>(bytes + i);
  if (any != 0) return false;
  for (; i < count; ++i) {
    if (bytes[i] != 0) return false;
  }
  return true;
}

}  // namespace

__attribute__((no_sanitize("coverage"))) const char* CheckSlot(const char* grid, int line) {
  if (line < 0 || line >= lines) return nullptr;
  const char* slot = SlotOf(line, grid);
  if (line >= used_lines) return AllZero(slot, lsize) ? nullptr : "bytes in a slot at or after used_lines";
  const void* end = std::memchr(slot, 0, static_cast<size_t>(lsize));
  if (end == nullptr) return "slot without its terminator";
  const char* rest = static_cast<const char*>(end);
  return AllZero(rest, slot + lsize - rest) ? nullptr : "bytes behind a terminator";
}

__attribute__((no_sanitize("coverage"))) const char* CheckGrid(const char* grid) {
  if (used_lines < 0) return "used_lines is negative";
  for (int line = 0; line < lines; ++line) {
    if (const char* fault = CheckSlot(grid, line)) return fault;
  }
  return nullptr;
}

const char* CheckState(const EditorState& state, Coverage coverage) {
  if (state.cur_line < 0 || state.cur_line >= lines) return "cur_line outside the grid";
  if (state.cur_pos < 0 || state.cur_pos >= lsize) return "cur_pos outside the slot";
  if (coverage == Coverage::kAllSlots) return CheckGrid(state.grid);
  for (int line : {0, state.cur_line, state.cur_line + 1, state.undo_line, state.undo_line2, lines - 1}) {
    if (const char* fault = CheckSlot(state.grid, line)) return fault;
  }
  if (coverage == Coverage::kHotSlots) return nullptr;
  int used = used_lines < lines ? used_lines : lines;
  for (int line = 0; line < used; ++line) {
    if (const char* fault = CheckSlot(state.grid, line)) return fault;
  }
  return nullptr;
}

}  // namespace fuzz
