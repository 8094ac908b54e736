// The command table: one row per command with its name, default key, handler and help line.
#pragma once

#include <string_view>

#include "core/commands.h"

// The 37 commands in dispatch order: an input line is compared with their keys from the first
// row on, and the first match runs, so a row's place is its command's dispatch rank. Start-up
// hands the table to the lower layers through EditorState::command_table.
extern const CommandRow kCommandTable[kCommandCount];

// Returns true when `table` has a row for each of the kCommandCount commands, and no command,
// name or default key twice.
template <size_t N>
constexpr bool EachCommandOnce(const CommandRow (&table)[N]) {
  if (N != kCommandCount) return false;
  for (size_t i = 0; i < N; ++i) {
    if (table[i].command < 0 || table[i].command >= kCommandCount) return false;
    if (!table[i].name || !table[i].help) return false;
    if (std::string_view(table[i].name).size() >= kNameField) return false;
    for (size_t j = 0; j < i; ++j) {
      if (table[i].command == table[j].command || table[i].key == table[j].key ||
          std::string_view(table[i].name) == table[j].name)
        return false;
    }
  }
  return true;
}
