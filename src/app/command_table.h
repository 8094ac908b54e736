// The command table: one row per command with its name, default key, handler and help line.
#pragma once

#include "core/commands.h"

// The 37 commands in dispatch order: an input line is compared with their keys from the first
// row on, and the first match runs, so a row's place is its command's dispatch rank. Start-up
// hands the table to the lower layers through EditorState::command_table.
extern const CommandRow kCommandTable[kCommandCount];
