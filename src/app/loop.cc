#include "app/loop.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "app/arguments.h"
#include "app/dispatch.h"
#include "config/rc_file.h"
#include "core/display.h"
#include "core/editor_state.h"
#include "core/grid.h"
#include "core/input.h"
#include "edit/undo.h"
#include "file/load.h"

namespace {

const char kBanner[] = "\nPellak 1.03.2 by Orvane";
const char kQuitConfirm[] = "Enter 'q' again to quit or anything else to continue";
const char kQuitLine[] = "q\n";
const char kTooLarge[] = "The document grid of max_lines=%i by max_char=%i is too large; lower them in %s\n";
const char kNoMemory[] =
    "Not enough memory for the document grid of max_lines=%i by max_char=%i; lower them in %s\n";

// Makes a zero-filled buffer of lsize bytes, or of `minimum` bytes when lsize is smaller.
LineBufferPtr LineBuffer(size_t minimum = 0) {
  return MakeLineBuffer(std::max(static_cast<size_t>(lsize), minimum));
}

// Enters `text` over the current line at the cursor and moves on unless the line is locked.
void EnterText(EditorState& state, const char* text) {
  RecordLineUndo(state);
  Replace(state.cur_line, state.cur_pos, lines, text, state.grid);
  if (!state.line_lock && state.cur_line < lines - 1) ++state.cur_line;
}

}  // namespace

int StartUp(EditorState& state, int argc, char** argv) {
  if (argc > 1 && std::strlen(argv[1]) >= kNameSize) {
    std::printf("File name is longer than %i characters: %s\n", kNameSize - 1, argv[1]);
    return 1;
  }
  std::puts(kBanner);
  state.file_name[0] = state.open_name[0] = state.launch_text[0] = 0;
  MakeKeys(state.command_names);
  SetDefaultValues(state.command_keys);
  state.show_numbers_on = 1;
  state.anchor_pos = 0;
  state.page_length = 8;
  ReadRC(state.command_names, state.command_keys, state.launch_text, &state.anchor_pos,
         &state.show_numbers_on, &state.page_length);
  std::printf("\nEnter '%s' for help or '%s' to quit\n", state.command_keys[kHelp],
              state.command_keys[kQuit]);

  switch (AllocateGrid(&state.grid)) {
    case GridAlloc::kOk:
      break;
    case GridAlloc::kTooLarge:
      std::printf(kTooLarge, lines, lsize - 1, kRcFileName);
      return 1;
    case GridAlloc::kNoMemory:
      std::printf(kNoMemory, lines, lsize - 1, kRcFileName);
      return 1;
  }
  state.number_text[0] = 0;
  try {
    state.insert_text = LineBuffer();
    state.jump_text = LineBuffer();
    state.input_line = LineBuffer(sizeof kQuitLine);  // end of input at the quit question stores it
    state.clipboard = LineBuffer();
    state.undo_text = LineBuffer();
    state.undo_text2 = LineBuffer();
  } catch (const std::bad_alloc&) {  // a huge max_char: six lines of it may not fit
    std::printf(kNoMemory, lines, lsize - 1, kRcFileName);
    return 1;
  }
  state.cut_size = state.insert_length = state.copy_length = state.paste_length = 0;

  if (argc > 1) {
    std::strcpy(state.open_name, argv[1]);
    std::strcpy(state.file_name, argv[1]);
    Open(1, state.open_name, state.grid, state.file_name, state.file_identity);
  }
  state.undo_kind = state.undo_line = state.undo_line2 = 0;
  state.line_lock = state.cur_pos = state.cur_line = 0;
  return 0;
}

bool RunTurn(EditorState& state) {
  char* line = state.input_line.get();
  if (std::strcmp(line, kQuitLine) == 0) return false;
  Display(state.cur_line, state.cur_pos, state.page_length - 1, state.grid,
          state.show_numbers_on, state.file_name);
  if (ReadLine(line, lsize) < 0) return false;  // end of input ends the editor as a quit

  if (std::strcmp(line, "\n") == 0 && state.cur_line < lines - 1) {
    ++state.cur_line;
    return true;
  }
  if (char* newline = std::strchr(line, '\n')) *newline = 0;

  for (const Dispatch& entry : kDispatchOrder) {
    if (IsKey(state, entry.command, line) && (line[0] != '!' || entry.command == kUndo)) {
      entry.handler(state);
      return true;
    }
  }
  if (line[0] == '!') {
    line[0] = line[1];
    if (line[0]) line[1] = 0;
  }
  EnterText(state, line);
  return true;
}

void ShutDown(EditorState& state) {
  FreeGrid(state.grid);
  state.grid = nullptr;
}

int RunEditor(int argc, char** argv) {
  static char out_buffer[1 << 16];
  std::setvbuf(stdout, out_buffer, _IOFBF, sizeof out_buffer);
  Arguments arguments = ReadArguments(argc, argv);
  if (arguments.answered) return arguments.status;
  // Start-up sees the program name and the file to edit, as if they were the only arguments.
  char* edit_argv[] = {argv[0], arguments.file, nullptr};
  auto state = std::make_unique<EditorState>();
  int status = StartUp(*state, arguments.file ? 2 : 1, edit_argv);
  if (status == 0) {
    while (RunTurn(*state)) {
    }
  }
  ShutDown(*state);
  std::fflush(stdout);
  return status;
}

namespace cmd {

void quit(EditorState& state) {
  std::puts(kQuitConfirm);
  // End of input here confirms the quit.
  if (ReadLine(state.input_line.get(), lsize) < 0) std::strcpy(state.input_line.get(), kQuitLine);
}

}  // namespace cmd
