#include "app/loop.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "app/arguments.h"
#include "app/command_table.h"
#include "config/rc_file.h"
#include "core/display.h"
#include "core/editor_state.h"
#include "core/grid.h"
#include "core/input.h"
#include "core/process.h"
#include "edit/undo.h"
#include "file/leftovers.h"
#include "file/load.h"
#include "file/recovery.h"
#include "file/save.h"

namespace {

const char kBanner[] = "\n%s by Orvane\n";
const char kQuitConfirm[] = "Enter 'q' again to quit or anything else to continue";
const char kQuitLine[] = "q\n";
const char kHowToQuit[] = "Interrupted: to quit, enter '%s' and then 'q'\n";
const char kKeysLine[] = "\nEnter '%s' for help or '%s' to quit\n";
const char kCannotRead[] = "pellak: cannot read standard input: %s\n";
const char kRecovered[] = "pellak: %s: the unsaved document was written to %s\n";
const char kNotRecovered[] = "pellak: %s: the unsaved document could not be written anywhere: %s\n";
const char kNameTooLong[] = "pellak: file name is longer than %i characters: %s\n";
const char kEndAtQuestion[] = "end of input at the quit question";
const char kReadFailed[] = "standard input unreadable";
const char kLoadRefused[] = "partial load refused";
const char kTooLarge[] =
    "pellak: the document grid of max_lines=%i by max_char=%i is too large; lower them in %s\n";
const char kNoMemory[] =
    "pellak: not enough memory for the document grid of max_lines=%i by max_char=%i; lower them "
    "in %s\n";

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

// Returns `format` filled in with the texts that follow it, as one string.
__attribute__((format(printf, 1, 2))) std::string Formatted(const char* format, ...) {
  va_list args, again;
  va_start(args, format);
  va_copy(again, args);
  int size = std::vsnprintf(nullptr, 0, format, args);
  std::string text(size < 0 ? 0 : static_cast<size_t>(size) + 1, '\0');
  if (size >= 0) std::vsnprintf(text.data(), text.size(), format, again);
  va_end(again);
  va_end(args);
  if (size < 0) return format;
  text.pop_back();  // the terminator
  return text;
}

// Writes the unsaved document to a recovery file and says where on standard error, `why` the
// session ended leading the line.
void KeepWork(const EditorState& state, const char* why) {
  std::string reason;
  std::string path = WriteRecoveryFile(state.file_name, state.grid, &reason);
  // The work is safe (or cannot be made so): no stopped terminal may hold up the end from here.
  if (path.empty()) (void)PutErrorLine(Formatted(kNotRecovered, why, reason.c_str()));
  else (void)PutErrorLine(Formatted(kRecovered, why, ShownName(path.c_str()).c_str()));
}

// Acts on end of input at the command prompt. At a terminal, with unsaved changes, it asks the
// quit question as the quit key does; otherwise the editor ends. Returns false to end.
bool EndOfInput(EditorState& state) {
  if (!InputIsTerminal()) return false;
  std::putchar('\n');  // Ctrl-D echoes nothing: what follows starts on a line of its own
  if (!unsaved_changes || InputError() != 0) return false;
  OnQuit(state);
  return true;
}

// Returns the exit status of a session that has left its loop. A session that ends otherwise
// than by the user's quit or the end of piped input (a hangup, a termination, a read error, end
// of input at a terminal's quit question, a refused partial load) ends with status 1, its
// unsaved work in a recovery file; after a signal without unsaved work the signal takes its
// course.
int EndStatus(const EditorState& state) {
  int sig = StopSignal();
  if (InputError() != 0 && !sig)
    (void)PutErrorLine(Formatted(kCannotRead, std::strerror(InputError())));
  const char* why = sig ? strsignal(sig)
                    : InputError() != 0 ? kReadFailed
                    : partial_load_refused ? kLoadRefused
                    : state.quit_unconfirmed ? kEndAtQuestion
                                       : nullptr;
  if (!why) return last_save_failed ? 1 : 0;
  if (!unsaved_changes && sig) DieOfSignal(sig);
  if (unsaved_changes) KeepWork(state, why);
  return 1;
}

}  // namespace

int StartUp(EditorState& state, const char* file, bool read_rc) {
  if (file && std::strlen(file) >= kNameSize) {
    PrintError(kNameTooLong, kNameSize - 1, ShownName(file).c_str());
    return 1;
  }
  std::printf(kBanner, kProgramVersion);
  partial_load_refused = false;  // a harness may run one session after another
  state.file_name[0] = state.open_name[0] = state.launch_text[0] = 0;
  state.command_table = kCommandTable;
  MakeKeys(kCommandTable, state.command_names);
  SetDefaultValues(kCommandTable, state.command_keys);
  if (read_rc) {
    ReadRC(state.command_names, state.command_keys, state.launch_text, &state.anchor_pos,
           &state.show_numbers_on, &state.page_length);
  }
  std::printf(kKeysLine, ShownName(state.command_keys[kHelp]).c_str(),
              ShownName(state.command_keys[kQuit]).c_str());

  switch (AllocateGrid(&state.grid)) {
    case GridAlloc::kOk:
      break;
    case GridAlloc::kTooLarge:
      PrintError(kTooLarge, lines, lsize - 1, kRcFileName);
      return 1;
    case GridAlloc::kNoMemory:
      PrintError(kNoMemory, lines, lsize - 1, kRcFileName);
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
    PrintError(kNoMemory, lines, lsize - 1, kRcFileName);
    return 1;
  }
  state.cut_size = state.insert_length = state.copy_length = state.paste_length = 0;

  if (file) {
    std::strcpy(state.open_name, file);
    std::strcpy(state.file_name, file);
    Open(LoadMode::kNoQuestion, state.open_name, state.grid, state.file_name, state.file_identity);
    if (partial_load_refused) return 1;
  } else {
    ReportLeftovers("");  // what a session without a file name left
  }
  state.undo_kind = UndoKind::kNone;
  state.undo_line = state.undo_line2 = 0;
  state.line_lock = state.cur_pos = state.cur_line = 0;
  return 0;
}

bool RunTurn(EditorState& state) {
  char* line = state.input_line.get();
  if (StopSignal() || partial_load_refused || std::strcmp(line, kQuitLine) == 0) return false;
  DropOutputIfGone();
  Display(state.cur_line, state.cur_pos, state.page_length - 1, state.grid,
          state.show_numbers_on, state.file_name);
  int count = ReadLine(line, lsize);
  if (count == kReadInterrupted) {
    if (StopSignal()) return false;
    std::printf(kHowToQuit, ShownName(state.command_keys[kQuit]).c_str());
    return true;
  }
  if (count < 0) return EndOfInput(state);
  // A later piece of an over-long line is typed text: only a line's start can be a key.
  bool typed = ReadContinuesLine();

  if (std::strcmp(line, "\n") == 0 && state.cur_line < lines - 1) {
    ++state.cur_line;
    return true;
  }
  if (char* newline = std::strchr(line, '\n')) *newline = 0;

  if (!typed) {
    for (const CommandRow& row : kCommandTable) {
      if (IsKey(state, row.command, line) && (line[0] != '!' || row.command == kUndo)) {
        row.handler(state);
        return true;
      }
    }
    if (line[0] == '!') {
      line[0] = line[1];
      if (line[0]) line[1] = 0;
    }
  }
  EnterText(state, line);
  return true;
}

void ShutDown(EditorState& state) {
  FreeGrid(state.grid);
  state.grid = nullptr;
}

int RunEditor(int argc, char** argv) {
  static char out_buffer[1 << 16];  // standard output's buffer for the whole run
  WaitForSlowScreen();
  std::setvbuf(stdout, out_buffer, _IOFBF, sizeof out_buffer);
  Arguments arguments = ReadArguments(argc, argv);
  if (arguments.answered) return arguments.status;
  InstallSignalHandlers(InputIsTerminal());
  auto state = std::make_unique<EditorState>();
  int status = StartUp(*state, arguments.file, arguments.read_rc);
  if (status == 0) {
    while (RunTurn(*state)) {
    }
    status = EndStatus(*state);
  }
  ShutDown(*state);
  std::fflush(stdout);
  return status;
}

void OnQuit(EditorState& state) {
  std::puts(kQuitConfirm);
  char* line = state.input_line.get();
  // "q" and end of input confirm the quit; Ctrl-C and any other answer go on. At a terminal
  // end of input ends the session all the same, but keeps unsaved work as a hangup does.
  bool answered = ReadAnswer(line, lsize);
  if (answered ? std::strcmp(line, "q") == 0 : AtEndOfInput()) {
    // A second Ctrl-D, or a terminal that failed, is no answer of the user's.
    state.quit_unconfirmed = !answered && InputIsTerminal() && unsaved_changes;
    std::strcpy(line, kQuitLine);
  } else {
    line[0] = 0;
  }
}
