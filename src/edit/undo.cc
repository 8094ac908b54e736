#include "edit/undo.h"

#include <cstring>

#include "core/editor_state.h"
#include "core/grid.h"

void StoreUndo(int line, int* undo_line, char* buffer, const char* grid) {
  *undo_line = line;
  std::memcpy(buffer, SlotOf(line, grid), static_cast<size_t>(lsize));
}

void RecallUndo(int line, const char* buffer, char* grid) {
  MarkUsed(line);
  std::memcpy(SlotOf(line, grid), buffer, static_cast<size_t>(lsize));
}

void StoreDoubleUndo(int first, int second, char* buffer, char* buffer2, const char* grid) {
  if (second < 0 || second >= lines) return;
  std::memcpy(buffer, SlotOf(first, grid), static_cast<size_t>(lsize));
  std::memcpy(buffer2, SlotOf(second, grid), static_cast<size_t>(lsize));
}

namespace cmd {

void undo(EditorState&) {}

}  // namespace cmd
