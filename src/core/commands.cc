#include "core/commands.h"

#include <cstring>

const CommandRow& RowOf(Command command, const CommandRow* table) {
  int row = 0;
  while (row < kCommandCount - 1 && table[row].command != command) ++row;
  return table[row];
}

void MakeKeys(const CommandRow* table, CommandNames& command_names) {
  for (int i = 0; i < kCommandCount; ++i) {
    char* name = command_names[table[i].command];
    std::memset(name, 0, kNameField);
    std::strncpy(name, table[i].name, kNameField - 1);
  }
}

void SetDefaultValues(const CommandRow* table, CommandKeys& command_keys) {
  for (int i = 0; i < kCommandCount; ++i) {
    command_keys[table[i].command][0] = table[i].key;
    command_keys[table[i].command][1] = 0;
  }
}
