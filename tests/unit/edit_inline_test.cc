// In-line edits: the checks with their limits, messages and order, and refused edits.
#include "edit/inline_edit.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "edit_fixture.h"

namespace {

const std::string kLineTooLong = "Insert was truncated because the line would have exceeded 16\n";
const std::string kTooLongForPosition =
    "Insert was truncated because it is too long for the position\n";

// Runs CheckInsert on line 0 and returns what it printed; the length goes to *length.
std::string InsertCheck(int column, const std::string& text, int* length, int* verdict,
                        char* grid) {
  testing::internal::CaptureStdout();
  *verdict = CheckInsert(0, column, *length, text.c_str(), grid);
  std::fflush(stdout);
  return testing::internal::GetCapturedStdout();
}

using InlineEdits = EditTest;  // grid of 12 lines x 16 bytes: lines hold 15 characters

TEST_F(InlineEdits, CheckInsertLimitsTheLengthToTheSlot) {
  int length = -1, verdict = -1;
  // Line of 10, 10 more at column 4: only the line limit applies, 5 characters fit.
  grid_.Set(0, "0123456789");
  EXPECT_EQ(InsertCheck(4, "abcdefghij", &length, &verdict, grid_.data()), kLineTooLong);
  EXPECT_EQ(verdict, 1);
  EXPECT_EQ(length, 5);
  Insert(0, 4, length, "abcdefghij", grid_.data());
  EXPECT_EQ(grid_.Text(0), "0123abcde456789");

  // A full line refuses any insert: the position message first when it applies too.
  EXPECT_EQ(InsertCheck(14, "ab", &length, &verdict, grid_.data()),
            kTooLongForPosition + kLineTooLong);
  EXPECT_EQ(verdict, 0);
  EXPECT_EQ(InsertCheck(0, "a", &length, &verdict, grid_.data()), kLineTooLong);
  EXPECT_EQ(verdict, 0);

  // Both limits apply: the smaller wins, whichever it is.
  grid_.Set(0, "012345678901");  // 12 characters
  EXPECT_EQ(InsertCheck(13, "abcde", &length, &verdict, grid_.data()),
            kTooLongForPosition + kLineTooLong);
  EXPECT_EQ(length, 2);
  grid_.Set(0, "01234567890123");  // 14 characters
  InsertCheck(12, "abcde", &length, &verdict, grid_.data());
  EXPECT_EQ(length, 1);
  EXPECT_EQ(verdict, 1);
}

TEST_F(InlineEdits, CheckCutTestsInOrder) {
  grid_.Set(0, "abcdef");
  struct Case {
    int column, count;
    std::string said;
    int verdict, count_after;
  } cases[] = {
      {4, 10, "Cut size will be shortened to 2\n", 1, 2},
      {1, 3, "", 1, 3},
      {1, 0, "", 1, 0},
      {10, 7, "Maximum cut size is 6\n", 0, 7},  // the maximum comes before the text test
      {10, 6, "There is nothing to cut at this position\n", 0, 6},
      {6, 1, "There is nothing to cut at this position\n", 0, 1},
      {15, 2, "Maximum cut size is 1\n", 0, 2},
      {2, -1, "A size below zero cannot be cut or copied\n", 0, -1},
  };
  for (Case& c : cases) {
    int count = c.count;
    testing::internal::CaptureStdout();
    int verdict = CheckCut(0, c.column, count, grid_.data());
    std::fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), c.said) << c.column << "," << c.count;
    EXPECT_EQ(verdict, c.verdict) << c.column << "," << c.count;
    EXPECT_EQ(count, c.count_after) << c.column << "," << c.count;
  }
}

// Every refusal, end of input included, leaves the line, the clipboard and the undo alone.
TEST_F(InlineEdits, RefusedEditsChangeNothing) {
  grid_.Set(0, "012345678901234");  // full line
  state_.undo_kind = 5;
  state_.undo_line = 7;
  At(0, 3);
  const std::string negative = "A size below zero cannot be cut or copied\n";
  EXPECT_EQ(Run(cmd::new_insert, "a\n"), "Enter string to insert\n" + kLineTooLong);
  EXPECT_EQ(Run(cmd::new_insert, "\n"), "Enter string to insert\n");
  EXPECT_EQ(Run(cmd::new_insert, ""), "Enter string to insert\n");  // end of input
  EXPECT_EQ(Run(cmd::clip_insert), "There is nothing to paste\n");
  EXPECT_EQ(Run(cmd::clip_paste), "There is nothing to paste\n");
  std::strcpy(state_.clipboard.get(), "keep");
  EXPECT_EQ(Run(cmd::clip_cut, "-3\n"), "Enter cut size\n" + negative);
  EXPECT_EQ(Run(cmd::clip_copy, "-999999\n"), "Copy how many characters?\n" + negative);
  EXPECT_EQ(Run(cmd::clip_copy, " -1\n"), "Copy how many characters?\n" + negative);
  EXPECT_EQ(Run(cmd::clip_cut, ""), "Enter cut size\n");
  EXPECT_EQ(Run(cmd::clip_copy, ""), "Copy how many characters?\n");
  EXPECT_EQ(grid_.Text(0), "012345678901234");
  EXPECT_EQ(Clipboard(), "keep");
  EXPECT_EQ(state_.undo_kind, 5);
  EXPECT_EQ(state_.undo_line, 7);
  EXPECT_TRUE(grid_.Sound());
}

}  // namespace
