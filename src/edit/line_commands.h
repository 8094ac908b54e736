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

// Handlers of commands (their rows: app/command_table.cc).
void OnLineInsert(EditorState& state);
void OnLineDelete(EditorState& state);
void OnLineMove(EditorState& state);
void OnLineCopy(EditorState& state);
