// The help menu and its four sections.
#pragma once

#include "core/commands.h"

struct EditorState;

// Shows the limits and the help menu, with the keys of `command_keys` and the help lines of the
// command table `table`, answering until the user leaves with 'x'.
void Help(const CommandKeys& command_keys, const CommandRow* table);

// Handlers of commands (their rows: app/command_table.cc).
void OnHelp(EditorState& state);
