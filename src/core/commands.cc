#include "core/commands.h"

#include <cstring>

namespace {

struct Row {
  const char* name;
  char key;
};

// Table order: the row index is the Command value.
constexpr Row kTable[kCommandCount] = {
    {"position_back", 'b'}, {"position_forw", 'n'}, {"position_down", ','},
    {"position_up", '.'},   {"position_beg", 'l'},  {"position_end", 'e'},
    {"page_back", '<'},     {"page_forw", '>'},     {"page_length", 'p'},
    {"jump_line", 'j'},     {"jump_doc", 'J'},      {"lock_tog", 'L'},
    {"go_to_line", 'g'},    {"go_to_pos", 'G'},     {"anchor_go", 'a'},
    {"anchor_set", 'A'},    {"line_clear", 'd'},    {"line_move", 'm'},
    {"line_insert", 'w'},   {"line_delete", 'D'},   {"line_copy", 'C'},
    {"clip_copy", 'c'},     {"clip_cut", 'x'},      {"clip_paste", 'v'},
    {"clip_insert", 'V'},   {"new_insert", 'i'},    {"trim_end", 't'},
    {"trim_wrap", 'T'},     {"undo", 'z'},          {"save_prompt", 's'},
    {"save_overwrite", 'S'}, {"open", 'O'},         {"help", 'h'},
    {"num_tog", '#'},       {"command_exec", '='},  {"command_edit", '+'},
    {"quit", 'q'},
};

}  // namespace

void MakeKeys(CommandNames& command_names) {
  for (int i = 0; i < kCommandCount; ++i) {
    std::memset(command_names[i], 0, kNameField);
    std::strncpy(command_names[i], kTable[i].name, kNameField - 1);
  }
}

void SetDefaultValues(CommandKeys& command_keys) {
  for (int i = 0; i < kCommandCount; ++i) {
    command_keys[i][0] = kTable[i].key;
    command_keys[i][1] = 0;
  }
}
