// The command table's own check: the real table passes, and each way of spoiling a copy of it
// (a row missing, a command, key or name twice, a name too long or missing, a command out
// of range, no help line) fails.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/command_table.h"

TEST(CommandTableTest, CheckPassesTheTableAndFailsEverySpoiltCopy) {
  EXPECT_TRUE(EachCommandOnce(kCommandTable));
  CommandRow shorter[kCommandCount - 1];
  std::copy(kCommandTable + 1, kCommandTable + kCommandCount, shorter);
  EXPECT_FALSE(EachCommandOnce(shorter));
  const std::string too_long(kNameField, 'a');  // one character more than a name may have
  for (int spoilt = 0; spoilt < 7; ++spoilt) {
    CommandRow copy[kCommandCount];
    std::copy(kCommandTable, kCommandTable + kCommandCount, copy);
    CommandRow &first = copy[0], &last = copy[kCommandCount - 1];
    if (spoilt == 0) last.command = first.command;
    if (spoilt == 1) last.key = copy[3].key;
    if (spoilt == 2) last.name = copy[5].name;
    if (spoilt == 3) first.name = too_long.c_str();
    if (spoilt == 4) first.command = static_cast<Command>(kCommandCount);
    if (spoilt == 5) first.help = nullptr;
    if (spoilt == 6) last.name = nullptr;
    EXPECT_FALSE(EachCommandOnce(copy)) << "spoilt copy " << spoilt;
  }
}
