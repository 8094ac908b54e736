// The undo command brings back the whole document for every kind of edit.
#include "edit/undo.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

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

TEST_F(Undo, BringsBackTheDocumentForEveryKind) {
  std::strcpy(state_.clipboard.get(), "clip");
  struct Case {
    void (*edit)(EditorState&);
    const char* answers;
  } in_line[] = {{cmd::new_insert, "XY\n"}, {cmd::clip_insert, ""}, {cmd::clip_paste, ""},
                 {cmd::clip_cut, "1\n"},    {cmd::trim_end, ""},    {cmd::line_clear, ""}};
  for (const Case& c : in_line) {
    At(2, 1);
    ExpectUndone(c.edit, c.answers, 2, 1);
  }
  At(2, 3);
  ExpectUndone(cmd::line_delete, "", 2, 3);  // the last slot's text comes back as well
  ExpectUndone(cmd::line_move, "10\n", 2, 4);
  ExpectUndone(cmd::line_copy, "12\n", 2, 5);
  ExpectUndone(cmd::line_move, "12\n", 2, 4);
  At(2, 1);
  ExpectUndone(cmd::trim_wrap, "", 2, 6);
  Clear(lines - 1, grid_.data());  // a wedge pushes the last slot out for good
  ExpectUndone(cmd::line_insert, "", 2, 2);
}

}  // namespace
