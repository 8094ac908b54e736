#include "edit/inline_edit.h"

#include <cstdio>
#include <cstring>

#include "core/editor_state.h"
#include "core/grid.h"
#include "core/input.h"
#include "edit/undo.h"

namespace {

const char kAskInsert[] = "Enter string to insert";
const char kAskCutSize[] = "Enter cut size";
const char kAskCopySize[] = "Copy how many characters?";
const char kInsertTooLongForPosition[] =
    "Insert was truncated because it is too long for the position";
const char kInsertLineTooLong[] = "Insert was truncated because the line would have exceeded %i\n";
const char kMaximumCutSize[] = "Maximum cut size is %i\n";
const char kNothingToCut[] = "There is nothing to cut at this position";
const char kCutShortened[] = "Cut size will be shortened to %i\n";
const char kNothingToPaste[] = "There is nothing to paste";
const char kPasteShortened[] = "Paste string was shortened to fit onto line";
const char kNothingToCopy[] = "There is nothing to copy";
const char kCopyShortened[] = "Copy size will be shortened to %i\n";
const char kNegativeSize[] = "A size below zero cannot be cut or copied";

// Prints the refusal of a size below zero. Returns true when `count` is below zero.
bool RefuseNegative(int count) {
  if (count >= 0) return false;
  std::puts(kNegativeSize);
  return true;
}

// Copies `count` characters at the cursor into the clipboard, replacing its text.
void TakeIntoClipboard(EditorState& state, int count) {
  std::memcpy(state.clipboard.get(), SlotOf(state.cur_line, state.grid) + state.cur_pos,
              static_cast<size_t>(count));
  state.clipboard[static_cast<size_t>(count)] = 0;
}

// Checks `text` for an insert at the cursor and inserts what fits, with an undo of the line.
void InsertAtCursor(EditorState& state, const char* text) {
  if (!CheckInsert(state.cur_line, state.cur_pos, state.insert_length, text, state.grid)) return;
  RecordLineUndo(state);
  Insert(state.cur_line, state.cur_pos, state.insert_length, text, state.grid);
}

}  // namespace

int CheckInsert(int line, int column, int& length, const char* text, const char* grid) {
  int text_length = static_cast<int>(std::strlen(text));
  int line_length = TextLength(SlotOf(line, grid));
  length = text_length;
  if (column + text_length > lsize - 1) {
    std::puts(kInsertTooLongForPosition);
    length = lsize - column - 1;
  }
  if (line_length + text_length > lsize - 1) {
    std::printf(kInsertLineTooLong, lsize);
    if (lsize - line_length - 1 < length) length = lsize - line_length - 1;
  }
  return length > 0 ? 1 : 0;
}

void Insert(int line, int column, int length, const char* text, char* grid) {
  char* slot = WritableSlot(line, grid);
  MarkChanged();
  SpaceFill(line, column, grid);
  size_t kept = static_cast<size_t>(TextLength(slot) - column);
  std::memmove(slot + column + length, slot + column, kept);
  std::memcpy(slot + column, text, static_cast<size_t>(length));
}

int CheckCut(int line, int column, int& count, const char* grid) {
  int available = CharsFrom(SlotOf(line, grid), column);
  if (count > lsize - column) {
    std::printf(kMaximumCutSize, lsize - column);
    return 0;
  }
  if (RefuseNegative(count)) return 0;
  if (available <= 0) {
    std::puts(kNothingToCut);
    return 0;
  }
  if (available < count) {
    count = available;
    std::printf(kCutShortened, available);
  }
  return 1;
}

void Cut(int line, int column, int count, char* grid) {
  char* slot = SlotOf(line, grid);
  MarkChanged();
  int length = TextLength(slot);
  size_t rest = static_cast<size_t>(length - column - count);
  std::memmove(slot + column, slot + column + count, rest);
  std::memset(slot + length - count, 0, static_cast<size_t>(count));
}

int CheckPaste(int column, int& length, const char* text) {
  int text_length = static_cast<int>(std::strlen(text));
  if (text_length <= 0) {
    std::puts(kNothingToPaste);
    return 0;
  }
  length = text_length;
  if (column + text_length > lsize - 1) {
    std::puts(kPasteShortened);
    length = lsize - column - 1;
  }
  return 1;
}

void Paste(int line, int column, int length, const char* text, char* grid) {
  char* slot = WritableSlot(line, grid);
  MarkChanged();
  SpaceFill(line, column, grid);
  std::memcpy(slot + column, text, static_cast<size_t>(length));
}

int CheckCopy(int line, int column, int& count, const char* grid) {
  int available = CharsFrom(SlotOf(line, grid), column);
  if (RefuseNegative(count)) return 0;
  if (available <= 0) {
    std::puts(kNothingToCopy);
    return 0;
  }
  if (available < count) {
    std::printf(kCopyShortened, available);
    count = available;
  }
  return 1;
}

void OnNewInsert(EditorState& state) {
  std::puts(kAskInsert);
  if (!ReadAnswer(state.insert_text.get(), lsize)) return;  // end of input: nothing to insert
  InsertAtCursor(state, state.insert_text.get());
}

void OnClipInsert(EditorState& state) {
  if (state.clipboard[0] == 0) {
    std::puts(kNothingToPaste);
    return;
  }
  InsertAtCursor(state, state.clipboard.get());
}

void OnClipPaste(EditorState& state) {
  if (!CheckPaste(state.cur_pos, state.paste_length, state.clipboard.get())) return;
  RecordLineUndo(state);
  Paste(state.cur_line, state.cur_pos, state.paste_length, state.clipboard.get(), state.grid);
}

void OnClipCut(EditorState& state) {
  std::puts(kAskCutSize);
  if (!ReadNumber(state.number_text, &state.cut_size)) return;  // end of input: no cut
  if (!CheckCut(state.cur_line, state.cur_pos, state.cut_size, state.grid)) return;
  RecordLineUndo(state);
  TakeIntoClipboard(state, state.cut_size);
  Cut(state.cur_line, state.cur_pos, state.cut_size, state.grid);
}

void OnClipCopy(EditorState& state) {
  std::puts(kAskCopySize);
  if (!ReadNumber(state.number_text, &state.copy_length)) return;  // end of input: no copy
  if (!CheckCopy(state.cur_line, state.cur_pos, state.copy_length, state.grid)) return;
  TakeIntoClipboard(state, state.copy_length);
}

void OnTrimEnd(EditorState& state) {
  RecordLineUndo(state);
  Trim(state.cur_line, state.cur_pos, state.grid);
}

void OnLineClear(EditorState& state) {
  RecordLineUndo(state);
  Clear(state.cur_line, state.grid);
}

void OnTrimWrap(EditorState& state) {
  int line = state.cur_line;
  if (line >= lines - 1) return;
  StoreDoubleUndo(line, line + 1, state.undo_text.get(), state.undo_text2.get(), state.grid);
  const char* rest = "";
  if (CharsFrom(SlotOf(line, state.grid), state.cur_pos) > 0) rest = SlotOf(line, state.grid) + state.cur_pos;
  if (CheckInsert(line + 1, 0, state.insert_length, rest, state.grid))
    Insert(line + 1, 0, state.insert_length, rest, state.grid);
  Trim(line, state.cur_pos, state.grid);
  state.undo_line = line;
  state.undo_line2 = line + 1;
  state.undo_kind = UndoKind::kWrap;
  state.cur_line = line + 1;
  state.cur_pos = 0;
}
