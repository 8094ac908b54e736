// EditorState: what the editor keeps from one turn to the next, and beside it the few
// process-wide items kept by functions that see no EditorState. The grid sizes `lines` and
// `lsize` are in core/grid.h.
#pragma once

#include <sys/types.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <new>

#include "core/commands.h"
#include "core/input.h"

inline constexpr int kNameSize = 256;   // file_name, open_name, launch_text: 255 characters

// The built-in settings, which the RC file may change; a new RC file is written with them.
inline constexpr int kDefaultAnchor = 0;           // anchor_pos: the first column
inline constexpr int kDefaultPageLength = 8;       // page_length: lines_per_page
inline constexpr bool kDefaultShowNumbers = true;  // show_numbers_on: show_numbers=on

// Frees a buffer made by MakeLineBuffer.
struct FreeLineBuffer {
  void operator()(char* buffer) const { std::free(buffer); }
};
using LineBufferPtr = std::unique_ptr<char[], FreeLineBuffer>;

// Makes a zero-filled buffer of `size` bytes; the pages of a large one cost no memory and no
// time until written. Throws std::bad_alloc when there is no room.
inline LineBufferPtr MakeLineBuffer(size_t size) {
  LineBufferPtr buffer(static_cast<char*>(std::calloc(size, 1)));
  if (!buffer) throw std::bad_alloc();
  return buffer;
}

// The file under the document's name as the editor last read or wrote it, so that a save can
// tell when another program has changed, replaced or made the file since.
struct FileIdentity {
  bool exists = false;  // false: no file was read or written under the name
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  timespec modified = {};
  timespec changed = {};  // status change time: a rewrite that puts the modification time back
};

// What the pending undo puts back; each new edit replaces it.
enum class UndoKind {
  kNone,    // nothing pending
  kLine,    // an edit inside line undo_line: its slot from undo_text
  kWedge,   // a line wedged at undo_line: it is deleted again
  kDelete,  // line undo_line deleted: it is wedged back with its slot from undo_text
  kMove,    // a line moved from undo_line to undo_line2: both slots from the two buffers
  kCopy,    // a line copied onto undo_line2: its slot from undo_text2
  kWrap,    // a line wrapped into the next: undo_line and undo_line2 from the two buffers
};

struct EditorState {
  char* grid = nullptr;  // lines x lsize bytes, owned
  int cur_line = 0;      // 0 .. lines-1
  int cur_pos = 0;       // 0 .. lsize-1
  int anchor_pos = kDefaultAnchor;
  int page_length = kDefaultPageLength;
  int show_numbers_on = kDefaultShowNumbers ? 1 : 0;
  int line_lock = 0;
  char file_name[kNameSize] = {};
  char open_name[kNameSize] = {};
  FileIdentity file_identity;  // of the file under file_name
  char launch_text[kNameSize] = {};
  bool launch_confirmed = false;  // launch_text was typed or agreed to; else (RC file) ask first
  const CommandRow* command_table = nullptr;  // the rows of the 37 commands, set at start-up
  CommandNames command_names = {};
  CommandKeys command_keys = {};
  // Line-sized buffers of lsize bytes each, made once the grid size is known.
  LineBufferPtr insert_text;
  LineBufferPtr jump_text;
  LineBufferPtr input_line;
  LineBufferPtr clipboard;
  LineBufferPtr undo_text;
  LineBufferPtr undo_text2;
  char number_text[kNumberSize] = {};
  int cut_size = 0;
  int insert_length = 0;
  int copy_length = 0;
  int paste_length = 0;
  UndoKind undo_kind = UndoKind::kNone;
  int undo_line = 0;
  int undo_line2 = 0;
  bool quit_unconfirmed = false;  // input ended at a terminal's quit question with unsaved work
};

// What else lasts from one turn to the next. Process-wide, since the functions that keep it
// work below the commands and see no EditorState; defined in core/editor_state.cc.
extern bool unsaved_changes;       // the document may differ from the file last loaded or saved
extern bool last_save_failed;      // the last save failed and none has succeeded since: status 1
extern bool partial_load_refused;  // the user refused a partial load: the session ends, status 1
// Kept behind the functions of their own files:
//   used_lines      core/grid.cc    every slot from UsedLines() on is empty (rule 3, core/grid.h)
//   reader          core/input.cc   input read ahead (64 KiB), end of input, a read error
//   stop_signal, interrupted        core/process.cc  volatile sig_atomic_t flags set by the
//                   signal handlers, read with StopSignal() and TakeInterrupt()
//   installed, handled, screen_lost core/process.cc  the handlers in force, a screen given up
//   terminate_hook, shell_hook      core/process.h   set only by a harness running in-process
//   out_buffer      app/loop.cc     standard output's buffer (64 KiB), for the whole run

// Returns true when `line` is the key of command `command`.
inline bool IsKey(const EditorState& state, Command command, const char* line) {
  return std::strcmp(line, state.command_keys[command]) == 0;
}
