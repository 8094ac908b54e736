// Navigation: moving the cursor and the current line, searching, and the display toggles.
#pragma once

struct EditorState;

// Looks for `text` in the lines of `grid` from `from_line` to the last, each from column 0.
// Returns true and sets *line and *column to the first occurrence, or returns false; the empty
// text is found at column 0 of `from_line`.
bool FindInDocument(const char* text, int from_line, const char* grid, int* line, int* column);

// Handlers of commands (their rows: app/command_table.cc).
void OnPositionBack(EditorState& state);
void OnPositionForw(EditorState& state);
void OnPositionDown(EditorState& state);
void OnPositionUp(EditorState& state);
void OnPositionBeg(EditorState& state);
void OnPositionEnd(EditorState& state);
void OnPageBack(EditorState& state);
void OnPageForw(EditorState& state);
void OnPageLength(EditorState& state);
void OnJumpLine(EditorState& state);
void OnJumpDoc(EditorState& state);
void OnLockTog(EditorState& state);
void OnGoToLine(EditorState& state);
void OnGoToPos(EditorState& state);
void OnAnchorGo(EditorState& state);
void OnAnchorSet(EditorState& state);
void OnNumTog(EditorState& state);
