#include "config/launch.h"

#include <cstdio>
#include <cstring>

#include "core/display.h"
#include "core/editor_state.h"
#include "core/input.h"
#include "core/process.h"
#include "file/save.h"

namespace {

const char kInMemory[] = "Command in memory = ";
const char kFromRc[] = "The launch command comes from the RC file: ";
const char kRunIt[] = "Run it? (y/n)";
const char kNotAgreed[] = "The command was not run";
const char kNoneInMemory[] = "There is no command in memory";
const char kAskCommand[] = "Enter new command or [enter] to keep current one";
const char kNotRun[] = "The document was not saved, so the command was not run";
const char kCommandTooLong[] = "A command has at most %i characters; that one was not used\n";

// Answers of at most this many characters keep the remembered command.
constexpr size_t kShortAnswer = 1;

// Prints `label` and the command `text` on one line, its control bytes shown as '?'.
void ShowCommand(const char* label, const char* text) {
  std::fputs(label, stdout);
  PutVisible(text, std::strlen(text));
  std::putchar('\n');
}

}  // namespace

bool SetCommand(char* text, int capacity) {
  if (text[0]) ShowCommand(kInMemory, text);
  else std::puts(kNoneInMemory);
  std::puts(kAskCommand);
  char answer[kNameSize];
  long ignored = 0;
  AnswerRead read = ReadAnswerLine(answer, kNameSize, true, &ignored);
  // A command cut short could do something else than meant: a long one is not taken.
  if (read == AnswerRead::kTooLong) std::printf(kCommandTooLong, kNameSize - 1);
  // End of input and Ctrl-C keep what is remembered, as a short answer does.
  if (read != AnswerRead::kOk || std::strlen(answer) <= kShortAnswer) return false;
  size_t length = std::strlen(answer);
  if (length > static_cast<size_t>(capacity) - 1) length = static_cast<size_t>(capacity) - 1;
  std::memcpy(text, answer, length);
  text[length] = 0;
  return true;
}

// Saves the document, then hands the remembered command to the shell, asking for one first
// when none is remembered. A command the user has not typed (one from the RC file, which may
// have come with a downloaded directory) is shown and runs only once the user agrees.
void OnCommandExec(EditorState& state) {
  if (!state.launch_text[0] && SetCommand(state.launch_text, kNameSize)) {
    state.launch_confirmed = true;
  }
  if (!state.launch_text[0]) return;
  // The command works on the saved file: after a failed save it would see an old one.
  if (!SaveDocument(state.file_name, state.grid, state.file_identity)) {
    std::puts(kNotRun);
    return;
  }
  if (!state.launch_confirmed) {
    ShowCommand(kFromRc, state.launch_text);
    if (!Confirm(kRunIt)) {
      std::puts(kNotAgreed);
      return;
    }
    state.launch_confirmed = true;
  }
  // The shell's own output is all the user sees of a failing command; its status is not used.
  (void)RunShell(state.launch_text);
}

// Shows the remembered command and lets the user replace it; a replacement needs no question.
void OnCommandEdit(EditorState& state) {
  if (SetCommand(state.launch_text, kNameSize)) state.launch_confirmed = true;
}
