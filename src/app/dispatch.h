// The dispatch order: which handler runs for each command, and in what order an input line is
// compared with the keys.
#pragma once

#include "core/commands.h"

struct EditorState;
using Handler = void (*)(EditorState&);

// One row of the dispatch order: the command and the handler that runs it.
struct Dispatch {
  Command command;
  Handler handler;
};

// The order in which an input line is compared with the keys; the first match runs.
extern const Dispatch kDispatchOrder[kCommandCount];
