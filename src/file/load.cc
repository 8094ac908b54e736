#include "file/load.h"

#include "core/editor_state.h"

void Open(int, char*, char*, char*) {}

namespace cmd {

void open(EditorState&) {}

}  // namespace cmd
