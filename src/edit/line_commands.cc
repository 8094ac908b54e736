#include "edit/line_commands.h"

#include <cstdio>
#include <cstring>

#include "core/editor_state.h"
#include "core/grid.h"
#include "core/input.h"
#include "edit/undo.h"

namespace {

const char kAskMoveDestination[] = "Move line %i to where?\n";
const char kAskCopyDestination[] = "Copy line %i to where?\n";
const char kBadMoveDestination[] = "Destination line is not valid";
const char kBadCopyDestination[] = "Desination line is not valid";

// Reads the 1-based destination line asked for. Returns true with the 0-based index in
// *destination, or false (after printing `invalid` for a line outside the grid, or silently at
// end of input).
bool ReadDestination(EditorState& state, const char* invalid, int* destination) {
  int number = 0;
  if (!ReadNumber(state.number_text, &number)) return false;
  if (number < 1 || number > lines) {
    std::puts(invalid);
    return false;
  }
  *destination = number - 1;
  return true;
}

// Saves the current line and `destination` for undo and records `kind` for the pair.
void RecordPairUndo(EditorState& state, int destination, UndoKind kind) {
  StoreDoubleUndo(state.cur_line, destination, state.undo_text.get(), state.undo_text2.get(),
                  state.grid);
  state.undo_line = state.cur_line;
  state.undo_line2 = destination;
  state.undo_kind = kind;
}

// Asks where the current line goes, then moves (or copies) it there, with its undo.
void SendLine(EditorState& state, bool move) {
  std::printf(move ? kAskMoveDestination : kAskCopyDestination, state.cur_line + 1);
  int destination = 0;
  if (!ReadDestination(state, move ? kBadMoveDestination : kBadCopyDestination, &destination))
    return;
  RecordPairUndo(state, destination, move ? UndoKind::kMove : UndoKind::kCopy);
  if (move) {
    Move(state.cur_line, destination, state.grid);
  } else {
    Copy(state.cur_line, destination, state.grid);
  }
}

}  // namespace

void Move(int source, int destination, char* grid) {
  if (source == destination) return;
  Copy(source, destination, grid);
  Clear(source, grid);
}

void Copy(int source, int destination, char* grid) {
  if (source == destination) return;
  MarkChanged();
  std::memcpy(WritableSlot(destination, grid), SlotOf(source, grid), static_cast<size_t>(lsize));
}

void OnLineInsert(EditorState& state) {
  Wedge(state.cur_line, state.grid);
  state.undo_line = state.cur_line;
  state.undo_kind = UndoKind::kWedge;
}

void OnLineDelete(EditorState& state) {
  RecordLineUndo(state, UndoKind::kDelete);
  Delete(state.cur_line, state.grid);
}

void OnLineMove(EditorState& state) { SendLine(state, true); }

void OnLineCopy(EditorState& state) { SendLine(state, false); }
