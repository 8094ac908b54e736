#include "file/save.h"

#include "core/editor_state.h"

void Save(char*, const char*) {}

int DefineSaveName(char*) { return 0; }

namespace cmd {

void save_prompt(EditorState&) {}
void save_overwrite(EditorState&) {}

}  // namespace cmd
