#include "core/navigation.h"

#include "core/editor_state.h"

namespace cmd {

void position_back(EditorState&) {}
void position_forw(EditorState&) {}
void position_down(EditorState&) {}
void position_up(EditorState&) {}
void position_beg(EditorState&) {}
void position_end(EditorState&) {}
void page_back(EditorState&) {}
void page_forw(EditorState&) {}
void page_length(EditorState&) {}
void jump_line(EditorState&) {}
void jump_doc(EditorState&) {}
void lock_tog(EditorState&) {}
void go_to_line(EditorState&) {}
void go_to_pos(EditorState&) {}
void anchor_go(EditorState&) {}
void anchor_set(EditorState&) {}
void num_tog(EditorState&) {}

}  // namespace cmd
