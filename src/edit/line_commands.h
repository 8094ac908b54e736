// Whole-line commands: wedge, delete, move and copy line slots. Wedge and Delete shift the
// grid's slots and are the grid's own functions (core/grid.h).
#pragma once

#include "core/grid.h"

struct EditorState;

// Copies the slot of `source` onto `destination` and empties `source`; a line moved onto
// itself stays as it was.
void Move(int source, int destination, char* grid);

// Copies the slot of `source` onto `destination`.
void Copy(int source, int destination, char* grid);

namespace cmd {
void line_insert(EditorState& state);
void line_delete(EditorState& state);
void line_move(EditorState& state);
void line_copy(EditorState& state);
}  // namespace cmd
