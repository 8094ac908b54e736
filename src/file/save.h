// Saving the document grid to a text file.
#pragma once

struct EditorState;
struct FileIdentity;

// Writes lines 0 to DocLength of `grid` to the file `file_name`, asking for a name first when
// it is empty, and reports the outcome. `known` is the file last read or written under that
// name (or agreed to at the save-name dialog): another file found there is overwritten only
// when the user says so. Returns true only when the document is on the disk in full; `known`
// is then the file written and the document has no unsaved changes.
bool SaveDocument(char* file_name, const char* grid, FileIdentity& known);

// Runs the save-name dialog. Returns 1 when a name is settled in `file_name`, 0 when declined,
// when input ends or a name is too long (`file_name` is then unchanged). On 1, `agreed` is the
// file the user has agreed to overwrite with 'o', or none.
int DefineSaveName(char* file_name, FileIdentity& agreed);

// Handlers of commands (their rows: app/command_table.cc).
void OnSavePrompt(EditorState& state);
void OnSaveOverwrite(EditorState& state);
