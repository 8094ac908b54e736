#include "edit/inline_edit.h"

#include "core/editor_state.h"

namespace cmd {

void new_insert(EditorState&) {}
void clip_insert(EditorState&) {}
void clip_paste(EditorState&) {}
void clip_cut(EditorState&) {}
void clip_copy(EditorState&) {}
void trim_end(EditorState&) {}
void trim_wrap(EditorState&) {}
void line_clear(EditorState&) {}

}  // namespace cmd
