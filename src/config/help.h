// The help menu and its four sections.
#pragma once

#include "core/commands.h"

struct EditorState;

// Shows the limits and the help menu, answering until the user leaves with 'x'.
void Help(const CommandKeys& command_keys);

namespace cmd {
void help(EditorState& state);
}  // namespace cmd
