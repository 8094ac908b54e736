// Navigation: moving the cursor and the current line, searching, and the display toggles.
#pragma once

struct EditorState;

// Looks for `text` in the lines of `grid` from `from_line` to the last, each from column 0.
// Returns true and sets *line and *column to the first occurrence, or returns false; the empty
// text is found at column 0 of `from_line`.
bool FindInDocument(const char* text, int from_line, const char* grid, int* line, int* column);

namespace cmd {
void position_back(EditorState& state);
void position_forw(EditorState& state);
void position_down(EditorState& state);
void position_up(EditorState& state);
void position_beg(EditorState& state);
void position_end(EditorState& state);
void page_back(EditorState& state);
void page_forw(EditorState& state);
void page_length(EditorState& state);
void jump_line(EditorState& state);
void jump_doc(EditorState& state);
void lock_tog(EditorState& state);
void go_to_line(EditorState& state);
void go_to_pos(EditorState& state);
void anchor_go(EditorState& state);
void anchor_set(EditorState& state);
void num_tog(EditorState& state);
}  // namespace cmd
