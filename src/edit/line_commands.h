// Whole-line commands: wedge, delete, move and copy line slots.
#pragma once

struct EditorState;

// Opens an empty line at `line`; the lines from there on move down one slot and the text of
// the last slot falls out of the grid.
void Wedge(int line, char* grid);

// Removes line `line`; the lines behind it move up one slot and the last slot is left empty.
void Delete(int line, char* grid);

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
