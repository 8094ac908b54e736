// EditorState: everything the editor keeps from one turn to the next.
#pragma once

#include <sys/types.h>

#include <cstring>
#include <ctime>
#include <memory>

#include "core/commands.h"
#include "core/input.h"

inline constexpr int kNameSize = 256;   // file_name, open_name, launch_text: 255 characters

// The file under the document's name as the editor last read or wrote it, so that a save can
// tell when another program has changed, replaced or made the file since.
struct FileIdentity {
  bool exists = false;  // false: no file was read or written under the name
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  timespec modified = {};
};

struct EditorState {
  char* grid = nullptr;  // lines x lsize bytes, owned
  int cur_line = 0;      // 0 .. lines-1
  int cur_pos = 0;       // 0 .. lsize-1
  int anchor_pos = 0;
  int page_length = 8;
  int show_numbers_on = 1;
  int line_lock = 0;
  char file_name[kNameSize] = {};
  char open_name[kNameSize] = {};
  FileIdentity file_identity;  // of the file under file_name
  char launch_text[kNameSize] = {};
  CommandNames command_names = {};
  CommandKeys command_keys = {};
  // Line-sized buffers of lsize bytes each, made once the grid size is known.
  std::unique_ptr<char[]> insert_text;
  std::unique_ptr<char[]> jump_text;
  std::unique_ptr<char[]> input_line;
  std::unique_ptr<char[]> clipboard;
  std::unique_ptr<char[]> undo_text;
  std::unique_ptr<char[]> undo_text2;
  char number_text[kNumberSize] = {};
  int cut_size = 0;
  int insert_length = 0;
  int copy_length = 0;
  int paste_length = 0;
  int undo_kind = 0;
  int undo_line = 0;
  int undo_line2 = 0;
};

// Returns true when `line` is the key of command `command`.
inline bool IsKey(const EditorState& state, Command command, const char* line) {
  return std::strcmp(line, state.command_keys[command]) == 0;
}
