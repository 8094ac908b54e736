#include "config/launch.h"

#include "core/editor_state.h"

void SetCommand(char*, int) {}

namespace cmd {

void command_exec(EditorState&) {}
void command_edit(EditorState&) {}

}  // namespace cmd
