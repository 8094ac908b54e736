// The launch command: a remembered command line run by the system shell after a save.
#pragma once

struct EditorState;

// Shows the remembered command and asks for a new one; a short answer keeps the old text.
// Returns true when the text was replaced by what the user typed.
bool SetCommand(char* text, int capacity);

// Handlers of commands (their rows: app/command_table.cc).
void OnCommandExec(EditorState& state);
void OnCommandEdit(EditorState& state);
