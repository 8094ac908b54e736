#include "config/launch.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/editor_state.h"
#include "core/input.h"
#include "core/loop.h"
#include "scratch_dir.h"
#include "test_grid.h"

namespace {

std::vector<std::string> shell_calls;
std::string saved_when_run;  // doc.txt as the command would have found it

// Records a command instead of running it, with the saved file it would see.
int RecordShell(const char* command) {
  shell_calls.emplace_back(command);
  std::ifstream in("doc.txt", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  saved_when_run = in ? text.str() : "(no file)";
  return 0;
}

// Feeds the launch prompt from memory and records shell commands, in a scratch directory.
class LaunchTest : public testing::Test {
 protected:
  void SetUp() override {
    shell_calls.clear();
    shell_hook = RecordShell;
    ASSERT_TRUE(scratch_.entered());
    state_.grid = grid_.data();
  }
  void TearDown() override {
    shell_hook = nullptr;
    SetInputFromStdin();
  }
  void Feed(const std::string& text) {
    input_ = text;
    SetInputFromMemory(input_.data(), input_.size());
  }
  // Runs SetCommand on `text` with `input` typed; returns what it printed.
  std::string Edit(char* text, int capacity, const std::string& input) {
    Feed(input);
    testing::internal::CaptureStdout();
    SetCommand(text, capacity);
    return testing::internal::GetCapturedStdout();
  }
  // Runs the command `handler` with `input` typed; returns what it printed.
  std::string Run(void (*handler)(EditorState&), const std::string& input) {
    Feed(input);
    testing::internal::CaptureStdout();
    handler(state_);
    return testing::internal::GetCapturedStdout();
  }

  TestGrid grid_{4, 16};
  EditorState state_;
  std::string input_;

 private:
  ScratchDir scratch_;
};

TEST_F(LaunchTest, AnswersOfTwoCharactersOrLessKeepTheCommand) {
  char text[kNameSize] = "make";
  const std::string answers[] = {"\n", "x\n", "ab", std::string("\0ignored\n", 9)};
  for (const std::string& answer : answers) {
    Edit(text, kNameSize, answer);
    EXPECT_STREQ(text, "make") << answer;
  }
  Edit(text, kNameSize, "ls\n");
  EXPECT_STREQ(text, "ls");
  Edit(text, kNameSize, "  ls -l  \n");
  EXPECT_STREQ(text, "  ls -l  ");  // blanks at either end stay
}

TEST_F(LaunchTest, EndOfInputKeepsTheCommand) {
  char text[kNameSize] = "make";
  Edit(text, kNameSize, "");
  EXPECT_STREQ(text, "make");
}

TEST_F(LaunchTest, TheAnswerIsCutToTheCapacity) {
  char text[8] = "old";
  Edit(text, 5, "abcdefg\n");
  EXPECT_STREQ(text, "abcd");
}

TEST_F(LaunchTest, ExecRunsTheRememberedTextUnchangedWithoutAsking) {
  std::strcpy(state_.file_name, "doc.txt");
  std::strcpy(state_.launch_text, " make  run ");
  grid_.Set(1, "second");
  std::string said = Run(cmd::command_exec, "not read\n");
  EXPECT_EQ(said.find("Enter new command"), std::string::npos) << said;
  ASSERT_EQ(shell_calls.size(), 1u);
  EXPECT_EQ(shell_calls[0], " make  run ");
  EXPECT_EQ(saved_when_run, "\nsecond\n");  // saved before the command ran
}

}  // namespace
