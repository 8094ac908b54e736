// Edits inside one line: insert, cut, copy and paste through the clipboard, trim, clear.
#pragma once

struct EditorState;

namespace cmd {
void new_insert(EditorState& state);
void clip_insert(EditorState& state);
void clip_paste(EditorState& state);
void clip_cut(EditorState& state);
void clip_copy(EditorState& state);
void trim_end(EditorState& state);
void trim_wrap(EditorState& state);
void line_clear(EditorState& state);
}  // namespace cmd
