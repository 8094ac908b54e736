#include "core/navigation.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/editor_state.h"
#include "core/grid.h"
#include "core/input.h"

namespace {

const char kLockOn[] = "Line Lock On";
const char kLockOff[] = "Line Lock Off";
const char kAskPageLength[] = "Enter number of lines to display";
const char kAskLine[] = "Go to which line?";
const char kAskPosition[] = "Go to which position?";
const char kAskJump[] = "Enter jump string";
const char kNotInLine[] = "String not found in line %i\n";
const char kNotFound[] = "String not found";

// Returns `value` held inside first..last.
long long Within(long long value, long long first, long long last) {
  if (value < first) return first;
  if (value > last) return last;
  return value;
}

// Returns the line `step` lines from `line`, held inside the grid.
int LineAfter(int line, long long step) {
  return static_cast<int>(Within(static_cast<long long>(line) + step, 0, lines - 1));
}

// Asks `question` and reads a number answer into number_text. Returns its value, or 0 (which
// every number question ignores) at end of input.
int AskNumber(EditorState& state, const char* question) {
  std::puts(question);
  int value = 0;
  if (!ReadNumber(state.number_text, &value)) return 0;
  return value;
}

// Asks for the search text and reads it into jump_text. Returns false at end of input, when
// there is nothing to search for.
bool AskJumpText(EditorState& state) {
  std::puts(kAskJump);
  return ReadAnswer(state.jump_text.get(), lsize);
}

}  // namespace

bool FindInDocument(const char* text, int from_line, const char* grid, int* line, int* column) {
  if (text[0] == 0) {  // the empty text stands at the start of every line
    *line = from_line;
    *column = 0;
    return true;
  }
  // Slots from UsedLines() on are empty and cannot hold a non-empty text.
  int end = std::min(UsedLines(), lines);
  for (int i = from_line; i < end; ++i) {
    const char* slot = SlotOf(i, grid);
    if (slot[0] == 0) continue;
    if (const char* found = std::strstr(slot, text)) {
      *line = i;
      *column = static_cast<int>(found - slot);
      return true;
    }
  }
  return false;
}

// Moves the cursor one column left, stopping at column 0.
void OnPositionBack(EditorState& state) {
  if (state.cur_pos > 0) --state.cur_pos;
}

// Moves the cursor one column right, stopping at the last column of the slot.
void OnPositionForw(EditorState& state) {
  if (state.cur_pos < lsize - 1) ++state.cur_pos;
}

// Goes to the previous line (none above line 1) and to column 0.
void OnPositionDown(EditorState& state) {
  if (state.cur_line > 0) --state.cur_line;
  state.cur_pos = 0;
}

// Goes to the next line (none below the last line) and to column 0.
void OnPositionUp(EditorState& state) {
  if (state.cur_line < lines - 1) ++state.cur_line;
  state.cur_pos = 0;
}

// Moves the cursor to column 0.
void OnPositionBeg(EditorState& state) { state.cur_pos = 0; }

// Puts the cursor just behind the text; a cursor already past the text stays where it is.
void OnPositionEnd(EditorState& state) {
  state.cur_pos += CharsFrom(SlotOf(state.cur_line, state.grid), state.cur_pos);
}

// Goes back page_length lines, stopping at line 1.
void OnPageBack(EditorState& state) {
  state.cur_line = LineAfter(state.cur_line, -static_cast<long long>(state.page_length));
}

// Goes forward page_length lines, stopping at the last line.
void OnPageForw(EditorState& state) { state.cur_line = LineAfter(state.cur_line, state.page_length); }

// Takes a page length of 1 or more; any other answer leaves the page length as it was.
void OnPageLength(EditorState& state) {
  int value = AskNumber(state, kAskPageLength);
  if (value >= 1) state.page_length = value;
}

// Moves the cursor to the first occurrence of the search text at or behind it in the line.
void OnJumpLine(EditorState& state) {
  if (!AskJumpText(state)) return;
  const char* slot = SlotOf(state.cur_line, state.grid);
  const char* found = std::strstr(slot + state.cur_pos, state.jump_text.get());
  if (!found) {
    std::printf(kNotInLine, state.cur_line + 1);
    return;
  }
  state.cur_pos = static_cast<int>(found - slot);
}

// Moves to the first occurrence of the search text in the current line (from column 0) or a
// later one.
void OnJumpDoc(EditorState& state) {
  if (!AskJumpText(state)) return;
  if (!FindInDocument(state.jump_text.get(), state.cur_line, state.grid, &state.cur_line,
                      &state.cur_pos)) {
    std::puts(kNotFound);
  }
}

// Switches line lock on or off and says which.
void OnLockTog(EditorState& state) {
  std::puts(state.line_lock == 0 ? kLockOn : kLockOff);
  state.line_lock = state.line_lock == 0 ? 1 : 0;
}

// Goes to a 1-based line number; a number outside the grid changes nothing.
void OnGoToLine(EditorState& state) {
  int value = AskNumber(state, kAskLine);
  if (value >= 1 && value <= lines) state.cur_line = value - 1;
}

// Goes to a 1-based column; a number outside the line slot changes nothing.
void OnGoToPos(EditorState& state) {
  int value = AskNumber(state, kAskPosition);
  if (value >= 1 && value <= lsize) state.cur_pos = value - 1;
}

// Moves the cursor to the anchor column.
void OnAnchorGo(EditorState& state) {
  state.cur_pos = static_cast<int>(Within(state.anchor_pos, 0, lsize - 1));
}

// Makes the cursor column the anchor column.
void OnAnchorSet(EditorState& state) { state.anchor_pos = state.cur_pos; }

// Switches the line numbers of the screen on or off.
void OnNumTog(EditorState& state) { state.show_numbers_on = state.show_numbers_on == 1 ? 0 : 1; }
