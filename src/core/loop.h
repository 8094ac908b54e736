// Start-up, the command loop and the end of the editor.
#pragma once

struct EditorState;

// Starts the editor with the program arguments, runs the loop until the user quits or input
// ends, and returns the exit status.
int RunEditor(int argc, char** argv);

// Runs start-up: banner, command table, settings, RC file, grid, buffers, start-up load.
// Returns 0 on success or the exit status to end with.
int StartUp(EditorState& state, int argc, char** argv);

// Runs one turn of the loop. Returns false when the editor is to end.
bool RunTurn(EditorState& state);

// Releases what start-up acquired.
void ShutDown(EditorState& state);

// Ends the process with `status` after flushing output; the one way out besides returning
// from RunEditor. A harness that runs the editor in-process may set terminate_hook, which must
// not return (it may throw).
[[noreturn]] void Terminate(int status);
extern void (*terminate_hook)(int status);

// Flushes output and runs `command` with the system shell, waiting for it; returns what
// system() returns. A harness may set shell_hook to run commands its own way instead.
int RunShell(const char* command);
extern int (*shell_hook)(const char* command);

namespace cmd {
void quit(EditorState& state);
}  // namespace cmd
