// An editor state on a small test grid, with answers fed from memory and output captured.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "core/editor_state.h"
#include "core/input.h"
#include "test_grid.h"

class EditTest : public testing::Test {
 protected:
  explicit EditTest(int line_count = 12, int line_size = 16) : grid_(line_count, line_size) {
    state_.grid = grid_.data();
    for (auto* buffer : {&state_.insert_text, &state_.jump_text, &state_.input_line,
                         &state_.clipboard, &state_.undo_text, &state_.undo_text2})
      *buffer = MakeLineBuffer(static_cast<size_t>(lsize));
    Feed("");
  }
  ~EditTest() override { SetInputFromStdin(); }

  // Makes `text` the input that the next answers are read from.
  void Feed(const std::string& text) {
    input_ = text;
    SetInputFromMemory(input_.data(), input_.size());
  }
  // Runs `handler` with `answers` as the input and returns what it printed.
  std::string Run(void (*handler)(EditorState&), const std::string& answers = "") {
    Feed(answers);
    testing::internal::CaptureStdout();
    handler(state_);
    std::fflush(stdout);
    return testing::internal::GetCapturedStdout();
  }
  // Puts the cursor at `line`, `column`.
  void At(int line, int column) {
    state_.cur_line = line;
    state_.cur_pos = column;
  }
  std::string Clipboard() { return state_.clipboard.get(); }

  TestGrid grid_;
  EditorState state_;
  std::string input_;
};
