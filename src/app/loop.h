// Start-up, the command loop and the end of the editor.
#pragma once

struct EditorState;

// Starts the editor with the program arguments, runs the loop until the user quits or input
// ends, and returns the exit status.
int RunEditor(int argc, char** argv);

// Runs start-up: banner, command table, settings, RC file (unless `read_rc` is false: then the
// built-in keys and settings hold), grid, buffers, start-up load. Returns 0 on success or the
// exit status to end with, after a line on standard error saying why.
int StartUp(EditorState& state, int argc, char** argv, bool read_rc = true);

// Runs one turn of the loop. Returns false when the editor is to end.
bool RunTurn(EditorState& state);

// Releases what start-up acquired.
void ShutDown(EditorState& state);

namespace cmd {
void quit(EditorState& state);
}  // namespace cmd
