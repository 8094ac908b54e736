// One-step undo: saving line slots before an edit and putting them back.
#pragma once

#include "core/editor_state.h"

// Sets *undo_line to `line` and copies the line's whole slot into `buffer`.
void StoreUndo(int line, int* undo_line, char* buffer, const char* grid);

// Copies `buffer`, a whole slot, back onto line `line`.
void RecallUndo(int line, const char* buffer, char* grid);

// Copies the slots of `first` and `second` into the two buffers; stores nothing when `second`
// lies outside the grid.
void StoreDoubleUndo(int first, int second, char* buffer, char* buffer2, const char* grid);

// Saves the current line's whole slot for undo and records an undo of `kind` for it (an edit
// inside the line unless told otherwise).
void RecordLineUndo(EditorState& state, UndoKind kind = UndoKind::kLine);

// Handlers of commands (their rows: app/command_table.cc).
void OnUndo(EditorState& state);
