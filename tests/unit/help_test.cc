#include "config/help.h"

#include <gtest/gtest.h>

#include <string>

#include "core/input.h"
#include "test_grid.h"

namespace {

const char kMenu[] =
    "'n'  Navigation Commands\n'e'  Editing Commands\n'f'  File Commands\n"
    "'m'  More Commands\n'x'  Exit Help\n";

// Runs Help with `keys` and `answers` as its input; returns what it printed.
std::string RunHelp(const CommandKeys& keys, const std::string& answers) {
  SetInputFromMemory(answers.data(), answers.size());
  testing::internal::CaptureStdout();
  Help(keys);
  std::fflush(stdout);
  std::string out = testing::internal::GetCapturedStdout();
  SetInputFromStdin();
  return out;
}

TEST(Help, LimitsFollowTheGridSizes) {
  TestGrid grid(500, 81);
  CommandKeys keys;
  SetDefaultValues(keys);
  EXPECT_EQ(RunHelp(keys, "x\n"),
            std::string("\nLimits:  Line length = 80     Total Lines = 500\n\n") + kMenu);
}

TEST(Help, SectionsShowTheKeysInForceButOpenAlwaysAsO) {
  CommandKeys keys;
  SetDefaultValues(keys);
  keys[kHelp][0] = '?';
  keys[kOpen][0] = 'o';
  keys[kPositionBack][0] = 'B';
  keys[kUndo][0] = '!';
  std::string more = RunHelp(keys, "m\nx\n");
  EXPECT_NE(more.find("\n    '?' to view help menu\n"), std::string::npos);
  EXPECT_EQ(more.find("'h'"), std::string::npos);
  std::string file = RunHelp(keys, "f\nx\n");
  EXPECT_NE(file.find("\n    'O' to open a file and replace current buffer\n"), std::string::npos);
  EXPECT_EQ(file.find("'o'"), std::string::npos);
  EXPECT_NE(RunHelp(keys, "n\nx\n").find("\n    'B' to move back a space\n"), std::string::npos);
  EXPECT_NE(RunHelp(keys, "e\nx\n").find("\n    '!' to undo an edit\n"), std::string::npos);
}

TEST(Help, EndOfInputLeavesHelpAfterOneMenu) {
  CommandKeys keys;
  SetDefaultValues(keys);
  std::string out = RunHelp(keys, "");
  EXPECT_EQ(out, std::string("\nLimits:  Line length = 255     Total Lines = 32767\n\n") + kMenu);
  // A last answer without its line end still counts, then the input ends.
  std::string partial = RunHelp(keys, "q");
  EXPECT_EQ(partial.size(), out.size() + sizeof kMenu - 1);
}

}  // namespace
