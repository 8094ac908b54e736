// The undo command for every kind of edit, refused edits and repeated undos.
#include "edit/undo.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/commands.h"
#include "core/loop.h"
#include "edit/inline_edit.h"
#include "edit/line_commands.h"
#include "edit_fixture.h"

namespace {

class Undo : public EditTest {
 protected:
  // Lines 1 to 5 hold L1..L5 and the last slot holds "last".
  void SetUp() override {
    for (int i = 0; i < 5; ++i) grid_.Set(i, "L" + std::to_string(i + 1));
    grid_.Set(lines - 1, "last");
  }
  std::vector<std::string> Document() {
    std::vector<std::string> texts;
    for (int i = 0; i < lines; ++i) texts.push_back(grid_.Text(i));
    return texts;
  }
  // Runs `edit`, then undo; checks the document is back and `expected_line` is current.
  void ExpectUndone(void (*edit)(EditorState&), const std::string& answers, int expected_line,
                    int kind) {
    std::vector<std::string> before = Document();
    int column = state_.cur_pos;
    Run(edit, answers);
    ASSERT_EQ(state_.undo_kind, kind);
    ASSERT_NE(Document(), before) << "the edit changed nothing";
    Run(cmd::undo);
    EXPECT_EQ(Document(), before);
    EXPECT_EQ(state_.cur_line, expected_line);
    EXPECT_EQ(state_.undo_kind, 0);
    EXPECT_TRUE(grid_.Sound());
    if (kind != 6) {
      EXPECT_EQ(state_.cur_pos, column);
    }
  }
};

TEST_F(Undo, ReversesEveryInLineEdit) {
  std::strcpy(state_.clipboard.get(), "clip");
  struct Case {
    void (*edit)(EditorState&);
    const char* answers;
  } cases[] = {{cmd::new_insert, "XY\n"}, {cmd::clip_insert, ""}, {cmd::clip_paste, ""},
               {cmd::clip_cut, "1\n"},    {cmd::trim_end, ""},    {cmd::line_clear, ""}};
  for (const Case& c : cases) {
    At(2, 1);
    ExpectUndone(c.edit, c.answers, 2, 1);
  }
}

TEST_F(Undo, ReversesWholeLineEdits) {
  At(2, 3);
  ExpectUndone(cmd::line_delete, "", 2, 3);  // the last slot's text comes back as well
  ExpectUndone(cmd::line_move, "10\n", 2, 4);
  ExpectUndone(cmd::line_copy, "12\n", 2, 5);
  ExpectUndone(cmd::line_move, "12\n", 2, 4);
  Clear(lines - 1, grid_.data());  // a wedge pushes the last slot out for good
  ExpectUndone(cmd::line_insert, "", 2, 2);
}

TEST_F(Undo, OfAWedgeCannotBringBackTheLastSlot) {
  At(0, 0);
  Run(cmd::line_insert);
  EXPECT_EQ(grid_.Text(lines - 1), "");
  Run(cmd::undo);
  EXPECT_EQ(grid_.Text(0), "L1");
  EXPECT_EQ(grid_.Text(4), "L5");
  EXPECT_EQ(grid_.Text(lines - 1), "");
}

TEST_F(Undo, OfACopyRestoresOnlyTheDestination) {
  At(1, 0);
  Run(cmd::line_copy, "4\n");
  grid_.Set(1, "changed later");  // not an edit the record knows of
  Run(cmd::undo);
  EXPECT_EQ(grid_.Text(3), "L4");
  EXPECT_EQ(grid_.Text(1), "changed later");
}

TEST_F(Undo, OfAMoveOntoItself) {
  At(1, 0);
  Run(cmd::line_move, "2\n");
  EXPECT_EQ(grid_.Text(1), "L2");
  EXPECT_EQ(state_.undo_kind, 4);
  Run(cmd::undo);
  EXPECT_EQ(grid_.Text(1), "L2");
  EXPECT_EQ(state_.cur_line, 1);
}

TEST_F(Undo, OfATrimWrapRestoresBothLines) {
  grid_.Set(1, "hello world");
  At(1, 5);
  ExpectUndone(cmd::trim_wrap, "", 1, 6);
  EXPECT_EQ(state_.cur_pos, 0);  // where the wrap put it
}

TEST_F(Undo, HappensOnceAndNotBeforeAnyEdit) {
  At(4, 0);
  std::vector<std::string> before = Document();
  EXPECT_EQ(Run(cmd::undo), "");
  EXPECT_EQ(state_.cur_line, 4);
  Run(cmd::line_delete);
  Run(cmd::undo);
  At(0, 0);
  EXPECT_EQ(Run(cmd::undo), "");
  EXPECT_EQ(Document(), before);
  EXPECT_EQ(state_.cur_line, 0);
}

TEST_F(Undo, AfterARefusedEditReversesTheEditBefore) {
  At(2, 0);
  Run(cmd::line_clear);
  At(5, 0);
  Run(cmd::clip_cut, "2\n");                    // nothing to cut on an empty line
  Run(cmd::line_move, "0\n");                   // no such line
  Run(cmd::line_copy, "abc\n");                 // no such line
  Run(cmd::clip_copy, "3\n");                   // copies record nothing
  Run(cmd::new_insert, "\n");                   // empty insert
  EXPECT_EQ(state_.undo_kind, 1);
  Run(cmd::undo);
  EXPECT_EQ(grid_.Text(2), "L3");
  EXPECT_EQ(state_.cur_line, 2);
}

TEST_F(Undo, OfTypingRefusedAtTheLastColumnOnlyMovesBack) {
  SetDefaultValues(state_.command_keys);
  At(1, lsize - 1);
  std::vector<std::string> before = Document();
  Feed("y\nz\n");
  testing::internal::CaptureStdout();
  bool went_on = RunTurn(state_) && RunTurn(state_);
  std::string said = testing::internal::GetCapturedStdout();
  EXPECT_TRUE(went_on);
  EXPECT_NE(said.find("At End Of Line\n"), std::string::npos);
  EXPECT_EQ(Document(), before);
  EXPECT_EQ(state_.cur_line, 1);
}

}  // namespace
