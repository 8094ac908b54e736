#include "edit/line_commands.h"

#include "core/editor_state.h"

namespace cmd {

void line_insert(EditorState&) {}
void line_delete(EditorState&) {}
void line_move(EditorState&) {}
void line_copy(EditorState&) {}

}  // namespace cmd
