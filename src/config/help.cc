#include "config/help.h"

#include "core/editor_state.h"

void Help(const CommandKeys&) {}

namespace cmd {

void help(EditorState&) {}

}  // namespace cmd
