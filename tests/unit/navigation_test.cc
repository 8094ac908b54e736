#include "core/navigation.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <random>
#include <string>

#include "core/editor_state.h"
#include "core/input.h"
#include "test_grid.h"

namespace {

// An editor state on a grid of 10 lines of 8 bytes (7 characters each).
class NavigationTest : public testing::Test {
 protected:
  NavigationTest() : grid_(10, 8) {
    state_.grid = grid_.data();
    state_.jump_text = MakeLineBuffer(static_cast<size_t>(lsize));
  }
  void TearDown() override { SetInputFromStdin(); }

  // Runs `command` with `answers` as the input it reads; returns what it printed.
  std::string Run(void (*command)(EditorState&), const std::string& answers = "") {
    input_ = answers;
    SetInputFromMemory(input_.data(), input_.size());
    testing::internal::CaptureStdout();
    command(state_);
    std::fflush(stdout);
    return testing::internal::GetCapturedStdout();
  }

  TestGrid grid_;
  EditorState state_;
  std::string input_;
};

TEST_F(NavigationTest, PageMovesStayInTheGridWhateverTheStep) {
  state_.cur_line = 4;
  state_.page_length = INT_MAX;
  Run(cmd::page_forw);
  EXPECT_EQ(state_.cur_line, 9);
  Run(cmd::page_back);
  EXPECT_EQ(state_.cur_line, 0);
  // A step below 1 cannot come from the page-length question; the moves still stay inside.
  state_.page_length = INT_MIN;
  Run(cmd::page_forw);
  EXPECT_EQ(state_.cur_line, 0);
  state_.cur_line = 9;
  Run(cmd::page_back);
  EXPECT_EQ(state_.cur_line, 9);
}

// At the end of input no question moves the cursor or changes the page length.
TEST_F(NavigationTest, EndOfInputAtAQuestionChangesNothing) {
  grid_.Set(0, "abc");
  grid_.Set(5, "abc");
  state_.cur_pos = 2;
  for (auto command : {cmd::page_length, cmd::go_to_line, cmd::go_to_pos, cmd::jump_line,
                       cmd::jump_doc}) {
    Run(command, "");
    EXPECT_EQ(state_.cur_line, 0);
    EXPECT_EQ(state_.cur_pos, 2);
    EXPECT_EQ(state_.page_length, 8);
  }
}

// Random commands with random answers never take the cursor out of the grid.
TEST_F(NavigationTest, NoCommandLeavesTheGrid) {
  void (*commands[])(EditorState&) = {
      cmd::position_back, cmd::position_forw, cmd::position_down, cmd::position_up,
      cmd::position_beg,  cmd::position_end,  cmd::page_back,     cmd::page_forw,
      cmd::page_length,   cmd::jump_line,     cmd::jump_doc,      cmd::lock_tog,
      cmd::go_to_line,    cmd::go_to_pos,     cmd::anchor_go,     cmd::anchor_set,
      cmd::num_tog};
  const char* answers[] = {"0\n", "1\n", "-1\n", "7\n", "8\n", "9\n", "10\n", "11\n",
                           "2147483647\n", "-9999999\n", "x\n", "\n", "b\n", "cd\n", ""};
  grid_.Set(0, "abcd");
  grid_.Set(4, "bcd");
  grid_.Set(9, "1234567");
  std::mt19937 random(7);
  for (int step = 0; step < 2000; ++step) {
    auto command = commands[random() % std::size(commands)];
    Run(command, answers[random() % std::size(answers)]);
    ASSERT_GE(state_.cur_line, 0);
    ASSERT_LT(state_.cur_line, lines);
    ASSERT_GE(state_.cur_pos, 0);
    ASSERT_LT(state_.cur_pos, lsize);
    ASSERT_GE(state_.page_length, 1);
  }
  EXPECT_TRUE(grid_.Sound());
  EXPECT_EQ(grid_.Text(0), "abcd");  // moving never writes
}

}  // namespace
