// Start-up, the command loop and the end of the editor.
#pragma once

struct EditorState;

// Starts the editor with the program arguments, runs the loop until the user quits or input
// ends, and returns the exit status.
int RunEditor(int argc, char** argv);

// Runs start-up on a new `state`, whose built-in settings hold unless the RC file changes them:
// banner, command table, RC file (unless `read_rc` is false: then the built-in keys and
// settings hold), grid, buffers, the load of `file` (none when nullptr). Returns 0 on success
// or the exit status to end with, after a line on standard error saying why.
int StartUp(EditorState& state, const char* file, bool read_rc = true);

// Runs one turn of the loop. Returns false when the editor is to end.
bool RunTurn(EditorState& state);

// Releases what start-up acquired.
void ShutDown(EditorState& state);

// Handlers of commands (their rows: app/command_table.cc).
void OnQuit(EditorState& state);
