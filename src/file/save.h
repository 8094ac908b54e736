// Saving the document grid to a text file.
#pragma once

struct EditorState;

// Writes lines 0 to DocLength of `grid` to the file `file_name`, asking for a name first when
// it is empty, and reports the outcome.
void Save(char* file_name, const char* grid);

// Runs the save-name dialog. Returns 1 when a name is settled in `file_name`, 0 when declined.
int DefineSaveName(char* file_name);

namespace cmd {
void save_prompt(EditorState& state);
void save_overwrite(EditorState& state);
}  // namespace cmd
