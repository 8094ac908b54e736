// Whole-line commands: wedge, delete, move and copy line slots.
#pragma once

struct EditorState;

namespace cmd {
void line_insert(EditorState& state);
void line_delete(EditorState& state);
void line_move(EditorState& state);
void line_copy(EditorState& state);
}  // namespace cmd
