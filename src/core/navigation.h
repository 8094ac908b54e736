// Navigation: moving the cursor and the current line, searching, and the display toggles.
#pragma once

struct EditorState;

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
