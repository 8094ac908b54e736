// Loading a text file into the document grid.
#pragma once

struct EditorState;

// Loads the file named by `open_name` into `grid`. With `ask` 0 the open dialog runs first and
// may save the document under `file_name` or change `open_name`.
void Open(int ask, char* open_name, char* grid, char* file_name);

namespace cmd {
void open(EditorState& state);
}  // namespace cmd
