// In-line edits: the checks with their limits and messages, the actions, and the handlers.
#include "edit/inline_edit.h"

#include <gtest/gtest.h>

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

TEST_F(InlineEdits, InsertShiftsTheRestRightAndFillsWithSpaces) {
  grid_.Set(0, "hello");
  Insert(0, 2, 2, "XY", grid_.data());
  EXPECT_EQ(grid_.Text(0), "heXYllo");
  grid_.Set(1, "abc");
  Insert(1, 6, 2, "XYZ", grid_.data());  // only the first `length` characters go in
  EXPECT_EQ(grid_.Text(1), "abc   XY");
  EXPECT_TRUE(grid_.Sound());
}

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

TEST_F(InlineEdits, CheckInsertAtTheLastColumnsAndWithEmptyText) {
  int length = -1, verdict = -1;
  EXPECT_EQ(InsertCheck(15, "a", &length, &verdict, grid_.data()), kTooLongForPosition);
  EXPECT_EQ(verdict, 0);
  EXPECT_EQ(InsertCheck(14, "ab", &length, &verdict, grid_.data()), kTooLongForPosition);
  EXPECT_EQ(length, 1);
  Insert(0, 14, length, "ab", grid_.data());
  EXPECT_EQ(grid_.Text(0), std::string(14, ' ') + "a");
  EXPECT_TRUE(grid_.Sound());
  EXPECT_EQ(InsertCheck(3, "", &length, &verdict, grid_.data()), "");
  EXPECT_EQ(verdict, 0);
}

TEST_F(InlineEdits, CutLeavesNothingBehind) {
  grid_.Set(0, "abcdef");
  Cut(0, 1, 3, grid_.data());
  EXPECT_EQ(grid_.Text(0), "aef");
  EXPECT_TRUE(grid_.Sound());
  Replace(0, 3, lines, "X", grid_.data());
  EXPECT_EQ(grid_.Text(0), "aefX");
  Cut(0, 0, 4, grid_.data());
  EXPECT_EQ(grid_.Text(0), "");
  EXPECT_TRUE(grid_.Sound());
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

TEST_F(InlineEdits, PasteOverwritesAndFills) {
  grid_.Set(0, "hello");
  Paste(0, 1, 3, "xyz", grid_.data());
  EXPECT_EQ(grid_.Text(0), "hxyzo");
  grid_.Set(1, "abc");
  Paste(1, 5, 3, "xyz", grid_.data());
  EXPECT_EQ(grid_.Text(1), "abc  xyz");
  EXPECT_TRUE(grid_.Sound());
}

TEST_F(InlineEdits, CheckPasteShortensAtTheEndOfTheSlot) {
  int length = -1;
  const std::string shortened = "Paste string was shortened to fit onto line\n";
  auto check = [&](int column, const char* text) {
    testing::internal::CaptureStdout();
    int verdict = CheckPaste(column, length, text);
    std::fflush(stdout);
    return std::to_string(verdict) + ":" + testing::internal::GetCapturedStdout();
  };
  EXPECT_EQ(check(3, "abc"), "1:");
  EXPECT_EQ(length, 3);
  EXPECT_EQ(check(14, "abc"), "1:" + shortened);
  EXPECT_EQ(length, 1);
  EXPECT_EQ(check(15, "abc"), "1:" + shortened);
  EXPECT_EQ(length, 0);
  EXPECT_EQ(check(0, ""), "0:There is nothing to paste\n");
  // A paste of nothing at the last column still fills a short line up to it.
  grid_.Set(0, "ab");
  Paste(0, 15, 0, "abc", grid_.data());
  EXPECT_EQ(grid_.Text(0), "ab" + std::string(13, ' '));
  EXPECT_TRUE(grid_.Sound());
}

TEST_F(InlineEdits, CheckCopyHasOnlyTheTextLimit) {
  grid_.Set(0, "abcdef");
  auto check = [&](int column, int count) {
    testing::internal::CaptureStdout();
    int verdict = CheckCopy(0, column, count, grid_.data());
    std::fflush(stdout);
    return std::to_string(verdict) + ":" + std::to_string(count) + ":" +
           testing::internal::GetCapturedStdout();
  };
  EXPECT_EQ(check(4, 10), "1:2:Copy size will be shortened to 2\n");
  EXPECT_EQ(check(0, 6), "1:6:");
  EXPECT_EQ(check(0, 0), "1:0:");
  EXPECT_EQ(check(6, 1), "0:1:There is nothing to copy\n");
  EXPECT_EQ(check(12, 1), "0:1:There is nothing to copy\n");
  EXPECT_EQ(check(1, -5), "0:-5:A size below zero cannot be cut or copied\n");
}

TEST_F(InlineEdits, NewInsertReadsTheTextAndRecordsUndo) {
  grid_.Set(3, "hello");
  At(3, 2);
  EXPECT_EQ(Run(cmd::new_insert, "XY\nnext\n"), "Enter string to insert\n");
  EXPECT_EQ(grid_.Text(3), "heXYllo");
  EXPECT_EQ(state_.undo_kind, 1);
  EXPECT_EQ(state_.undo_line, 3);
  EXPECT_EQ(UndoText(), "hello");
  EXPECT_EQ(Pending(), "next\n");
  EXPECT_EQ(state_.cur_line, 3);
  EXPECT_EQ(state_.cur_pos, 2);
}

TEST_F(InlineEdits, NewInsertTakesAtMostALineOfText) {
  At(0, 0);
  Run(cmd::new_insert, "0123456789abcdefghij\n");
  EXPECT_EQ(grid_.Text(0), "0123456789abcde");
  EXPECT_EQ(Pending(), "fghij\n");  // the rest is read by the next turn
  EXPECT_TRUE(grid_.Sound());
}

TEST_F(InlineEdits, RefusedOrEmptyInsertsLeaveEverythingAsItWas) {
  grid_.Set(0, "012345678901234");  // full line
  state_.undo_kind = 5;
  state_.undo_line = 7;
  At(0, 3);
  EXPECT_EQ(Run(cmd::new_insert, "a\n"), "Enter string to insert\n" + kLineTooLong);
  EXPECT_EQ(Run(cmd::new_insert, "\n"), "Enter string to insert\n");
  EXPECT_EQ(Run(cmd::new_insert, ""), "Enter string to insert\n");  // end of input
  EXPECT_EQ(Run(cmd::clip_insert), "There is nothing to paste\n");
  EXPECT_EQ(Run(cmd::clip_paste), "There is nothing to paste\n");
  EXPECT_EQ(grid_.Text(0), "012345678901234");
  EXPECT_EQ(state_.undo_kind, 5);
  EXPECT_EQ(state_.undo_line, 7);
}

TEST_F(InlineEdits, ClipboardCarriesTextAcrossCommands) {
  grid_.Set(0, "abcdef");
  At(0, 1);
  EXPECT_EQ(Run(cmd::clip_cut, "3\n"), "Enter cut size\n");
  EXPECT_EQ(grid_.Text(0), "aef");
  EXPECT_EQ(Clipboard(), "bcd");
  EXPECT_EQ(UndoText(), "abcdef");
  EXPECT_EQ(state_.undo_kind, 1);

  grid_.Set(2, "hello");
  At(2, 1);
  Run(cmd::clip_insert);
  EXPECT_EQ(grid_.Text(2), "hbcdello");
  Run(cmd::clip_paste);
  EXPECT_EQ(grid_.Text(2), "hbcdello");  // same text over itself
  At(2, 6);
  Run(cmd::clip_paste);
  EXPECT_EQ(grid_.Text(2), "hbcdelbcd");
  EXPECT_EQ(UndoText(), "hbcdello");

  At(2, 4);
  state_.undo_kind = 0;
  EXPECT_EQ(Run(cmd::clip_copy, "10\n"), "Copy how many characters?\nCopy size will be shortened to 5\n");
  EXPECT_EQ(Clipboard(), "elbcd");
  EXPECT_EQ(grid_.Text(2), "hbcdelbcd");
  EXPECT_EQ(state_.undo_kind, 0);  // a copy records no undo
  EXPECT_TRUE(grid_.Sound());
}

TEST_F(InlineEdits, SizeOfZeroEmptiesTheClipboard) {
  grid_.Set(0, "abcdef");
  std::strcpy(state_.clipboard.get(), "old");
  At(0, 2);
  Run(cmd::clip_copy, "xyz\n");  // no digits: 0
  EXPECT_EQ(Clipboard(), "");
  std::strcpy(state_.clipboard.get(), "old");
  Run(cmd::clip_cut, "0\n");
  EXPECT_EQ(Clipboard(), "");
  EXPECT_EQ(grid_.Text(0), "abcdef");
  EXPECT_EQ(state_.undo_kind, 1);
}

TEST_F(InlineEdits, NegativeSizesAreRefused) {
  grid_.Set(0, "abcdef");
  std::strcpy(state_.clipboard.get(), "keep");
  At(0, 2);
  const std::string refusal = "A size below zero cannot be cut or copied\n";
  EXPECT_EQ(Run(cmd::clip_cut, "-3\n"), "Enter cut size\n" + refusal);
  EXPECT_EQ(Run(cmd::clip_copy, "-2147483648\n"), "Copy how many characters?\n" + refusal);
  EXPECT_EQ(Pending(), "3648\n");  // a number answer takes 7 characters: -214748
  EXPECT_EQ(Run(cmd::clip_copy, " -1\n"), "Copy how many characters?\n" + refusal);
  EXPECT_EQ(grid_.Text(0), "abcdef");
  EXPECT_EQ(Clipboard(), "keep");
  EXPECT_EQ(state_.undo_kind, 0);
  EXPECT_TRUE(grid_.Sound());
}

TEST_F(InlineEdits, CutAndCopyStopAtEndOfInput) {
  grid_.Set(0, "abcdef");
  std::strcpy(state_.clipboard.get(), "keep");
  EXPECT_EQ(Run(cmd::clip_cut, ""), "Enter cut size\n");
  EXPECT_EQ(Run(cmd::clip_copy, ""), "Copy how many characters?\n");
  EXPECT_EQ(grid_.Text(0), "abcdef");
  EXPECT_EQ(Clipboard(), "keep");
  EXPECT_EQ(state_.undo_kind, 0);
}

TEST_F(InlineEdits, TrimEndAndLineClear) {
  grid_.Set(0, "hello world");
  At(0, 5);
  Run(cmd::trim_end);
  EXPECT_EQ(grid_.Text(0), "hello");
  At(0, 0);
  Run(cmd::trim_end);
  EXPECT_EQ(grid_.Text(0), "");
  EXPECT_EQ(UndoText(), "hello");
  grid_.Set(1, "text");
  At(1, 3);
  Run(cmd::line_clear);
  EXPECT_EQ(grid_.Text(1), "");
  EXPECT_EQ(UndoText(), "text");
  EXPECT_EQ(state_.undo_line, 1);
  EXPECT_EQ(state_.undo_kind, 1);
  EXPECT_EQ(state_.cur_pos, 3);
  EXPECT_TRUE(grid_.Sound());
}

TEST_F(InlineEdits, TrimWrapMovesTheRestToTheNextLine) {
  grid_.Set(4, "hello world");
  grid_.Set(5, "next");
  At(4, 5);
  EXPECT_EQ(Run(cmd::trim_wrap), "");
  EXPECT_EQ(grid_.Text(4), "hello");
  EXPECT_EQ(grid_.Text(5), " worldnext");
  EXPECT_EQ(state_.cur_line, 5);
  EXPECT_EQ(state_.cur_pos, 0);
  EXPECT_EQ(state_.undo_kind, 6);
  EXPECT_EQ(state_.undo_line, 4);
  EXPECT_EQ(state_.undo_line2, 5);
  EXPECT_EQ(UndoText(), "hello world");
  EXPECT_EQ(std::string(state_.undo_text2.get()), "next");
  EXPECT_TRUE(grid_.Sound());

  At(4, 9);  // behind the end of "hello"
  Run(cmd::trim_wrap);
  EXPECT_EQ(grid_.Text(4), "hello");
  EXPECT_EQ(grid_.Text(5), " worldnext");
  EXPECT_EQ(state_.cur_line, 5);
  EXPECT_EQ(state_.undo_kind, 6);
}

TEST_F(InlineEdits, TrimWrapDropsWhatDoesNotFitAndSkipsTheLastLine) {
  grid_.Set(0, "abcdefgh");
  grid_.Set(1, "0123456789");
  At(0, 2);
  EXPECT_EQ(Run(cmd::trim_wrap), kLineTooLong);
  EXPECT_EQ(grid_.Text(0), "ab");
  EXPECT_EQ(grid_.Text(1), "cdefg0123456789");
  EXPECT_TRUE(grid_.Sound());

  grid_.Set(11, "last");
  At(11, 1);
  state_.undo_kind = 0;
  EXPECT_EQ(Run(cmd::trim_wrap), "");
  EXPECT_EQ(grid_.Text(11), "last");
  EXPECT_EQ(state_.cur_line, 11);
  EXPECT_EQ(state_.cur_pos, 1);
  EXPECT_EQ(state_.undo_kind, 0);
}

}  // namespace
