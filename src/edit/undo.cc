#include "edit/undo.h"

#include <cstring>

#include "core/editor_state.h"
#include "core/grid.h"
#include "edit/line_commands.h"

void StoreUndo(int line, int* undo_line, char* buffer, const char* grid) {
  *undo_line = line;
  std::memcpy(buffer, SlotOf(line, grid), static_cast<size_t>(lsize));
}

void RecallUndo(int line, const char* buffer, char* grid) {
  MarkChanged();
  std::memcpy(WritableSlot(line, grid), buffer, static_cast<size_t>(lsize));
}

void StoreDoubleUndo(int first, int second, char* buffer, char* buffer2, const char* grid) {
  if (second < 0 || second >= lines) return;
  std::memcpy(buffer, SlotOf(first, grid), static_cast<size_t>(lsize));
  std::memcpy(buffer2, SlotOf(second, grid), static_cast<size_t>(lsize));
}

void RecordLineUndo(EditorState& state, UndoKind kind) {
  StoreUndo(state.cur_line, &state.undo_line, state.undo_text.get(), state.grid);
  state.undo_kind = kind;
}

void OnUndo(EditorState& state) {
  switch (state.undo_kind) {
    case UndoKind::kLine:
      RecallUndo(state.undo_line, state.undo_text.get(), state.grid);
      break;
    case UndoKind::kWedge:
      Delete(state.undo_line, state.grid);
      break;
    case UndoKind::kDelete:
      Wedge(state.undo_line, state.grid);
      RecallUndo(state.undo_line, state.undo_text.get(), state.grid);
      break;
    case UndoKind::kMove:
    case UndoKind::kWrap:
      RecallUndo(state.undo_line, state.undo_text.get(), state.grid);
      RecallUndo(state.undo_line2, state.undo_text2.get(), state.grid);
      break;
    case UndoKind::kCopy:
      RecallUndo(state.undo_line2, state.undo_text2.get(), state.grid);
      break;
    case UndoKind::kNone:
      return;
  }
  state.cur_line = state.undo_line;
  state.undo_kind = UndoKind::kNone;
}
