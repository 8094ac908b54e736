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
    state_.jump_text = std::make_unique<char[]>(static_cast<size_t>(lsize));
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

TEST_F(NavigationTest, PageLengthKeepsItsValueForAnswersBelowOne) {
  for (const char* answer : {"0\n", "-4\n", "x\n", "\n", ""}) {
    EXPECT_EQ(Run(cmd::page_length, answer), "Enter number of lines to display\n");
    EXPECT_EQ(state_.page_length, 8) << "answer [" << answer << "]";
  }
  Run(cmd::page_length, " +12\n");
  EXPECT_EQ(state_.page_length, 12);
}

TEST_F(NavigationTest, EndOfALineThatFillsItsSlot) {
  grid_.Set(3, "1234567");
  state_.cur_line = 3;
  state_.cur_pos = 2;
  Run(cmd::position_end);
  EXPECT_EQ(state_.cur_pos, 7);  // the last column of the slot, on the terminator
  Run(cmd::position_forw);
  EXPECT_EQ(state_.cur_pos, 7);
}

TEST_F(NavigationTest, AnchorOutsideTheLineIsHeldToIt) {
  state_.anchor_pos = 50;
  Run(cmd::anchor_go);
  EXPECT_EQ(state_.cur_pos, 7);
  state_.anchor_pos = -3;
  Run(cmd::anchor_go);
  EXPECT_EQ(state_.cur_pos, 0);
}

TEST_F(NavigationTest, GoToAcceptsExactlyTheGrid) {
  Run(cmd::go_to_line, "10\n");
  EXPECT_EQ(state_.cur_line, 9);
  Run(cmd::go_to_line, "11\n");
  EXPECT_EQ(state_.cur_line, 9);
  Run(cmd::go_to_pos, "8\n");
  EXPECT_EQ(state_.cur_pos, 7);
  Run(cmd::go_to_pos, "9\n");
  EXPECT_EQ(state_.cur_pos, 7);
  EXPECT_EQ(Run(cmd::go_to_pos, ""), "Go to which position?\n");  // end of input: no move
  EXPECT_EQ(state_.cur_pos, 7);
}

TEST_F(NavigationTest, FindInDocumentLooksFromColumnZeroOfEachLine) {
  grid_.Set(2, "ab cab");
  grid_.Set(9, "  cab");
  int line = -1;
  int column = -1;
  ASSERT_TRUE(FindInDocument("cab", 2, grid_.data(), &line, &column));
  EXPECT_EQ(line, 2);
  EXPECT_EQ(column, 3);
  ASSERT_TRUE(FindInDocument("cab", 3, grid_.data(), &line, &column));
  EXPECT_EQ(line, 9);
  EXPECT_EQ(column, 2);
  EXPECT_FALSE(FindInDocument("cabx", 0, grid_.data(), &line, &column));
  EXPECT_EQ(line, 9);  // a miss leaves the results alone
  ASSERT_TRUE(FindInDocument("", 5, grid_.data(), &line, &column));
  EXPECT_EQ(line, 5);
  EXPECT_EQ(column, 0);
}

TEST_F(NavigationTest, SearchesAtTheEndOfInputMoveNothing) {
  grid_.Set(0, "abc");
  state_.cur_pos = 2;
  EXPECT_EQ(Run(cmd::jump_doc, ""), "Enter jump string\n");
  EXPECT_EQ(Run(cmd::jump_line, ""), "Enter jump string\n");
  EXPECT_EQ(state_.cur_pos, 2);
  EXPECT_EQ(state_.cur_line, 0);
}

TEST_F(NavigationTest, SearchTextTakesAtMostALineOfCharacters) {
  grid_.Set(1, "abcdefg");
  state_.cur_line = 1;
  // Seven characters are taken; the eighth and the newline stay for the next read.
  Run(cmd::jump_line, "abcdefgh\n");
  EXPECT_STREQ(state_.jump_text.get(), "abcdefg");
  EXPECT_EQ(state_.cur_pos, 0);
  char rest[8];
  ASSERT_EQ(ReadLine(rest, 8), 2);
  EXPECT_STREQ(rest, "h\n");
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
