#include "config/help.h"

#include <cstdio>

#include "core/display.h"
#include "core/editor_state.h"
#include "core/grid.h"
#include "core/input.h"

namespace {

constexpr int kAnswerSize = 16;  // a help answer: 15 characters and a terminator
constexpr int kPlain = -1;       // a help line that shows no key

// One printed line of a help section: the plain `text`, or a command's key and help line.
struct HelpLine {
  int command;
  const char* text = nullptr;
  const char* fixed_key = nullptr;  // shown instead of the command's key
};

const char kLimits[] = "\nLimits:  Line length = %i     Total Lines = %i\n\n";
const char kKeyLine[] = "    '%s' %s\n";
const char kMenu[] =
    "'n'  Navigation Commands\n"
    "'e'  Editing Commands\n"
    "'f'  File Commands\n"
    "'m'  More Commands\n"
    "'x'  Exit Help\n";

const HelpLine kNavigation[] = {
    {kPlain, "\nNavigation:\n----------"},
    {kPlain, ""},
    {kPositionBack},
    {kPositionForw},
    {kPlain, ""},
    {kPositionDown},
    {kPositionUp},
    {kPlain, ""},
    {kPositionBeg},
    {kPositionEnd},
    {kPlain, ""},
    {kPageBack},
    {kPageForw},
    {kPageLength},
    {kPlain, ""},
    {kJumpLine},
    {kJumpDoc},
    {kPlain, ""},
    {kLockTog},
    {kPlain, ""},
    {kGoToLine},
    {kGoToPos},
    {kPlain, ""},
    {kAnchorGo},
    {kAnchorSet},
    {kPlain, ""},
};

const HelpLine kEditing[] = {
    {kPlain, "\nEditing:\n-------"},
    {kPlain, ""},
    {kLineClear},
    {kLineMove},
    {kLineInsert},
    {kLineDelete},
    {kLineCopy},
    {kPlain, ""},
    {kClipCopy},
    {kClipCut},
    {kPlain, ""},
    {kClipPaste},
    {kClipInsert},
    {kNewInsert},
    {kPlain, ""},
    {kTrimEnd},
    {kTrimWrap},
    {kPlain, ""},
    {kUndo},
    {kPlain, ""},
};

// The open line always names 'O', whatever key the open command has.
const HelpLine kFile[] = {
    {kPlain, "\nFile:\n----"},
    {kPlain, ""},
    {kPlain, "Filenames can be entered as 1st run argument"},
    {kPlain, ""},
    {kSavePrompt},
    {kSaveOverwrite},
    {kPlain, ""},
    {kOpen, nullptr, "O"},
    {kPlain, ""},
};

const HelpLine kMore[] = {
    {kPlain, ""},
    {kPlain, "    '!' followed by a command letter enters the letter and not the command"},
    {kNumTog},
    {kHelp},
    {kCommandExec},
    {kCommandEdit},
    {kQuit},
    {kPlain, ""},
};

// Prints the lines of one help section with the keys of `command_keys` and the help lines of
// `table`.
template <size_t N>
void PrintSection(const HelpLine (&section)[N], const CommandKeys& command_keys,
                  const CommandRow* table) {
  for (const HelpLine& line : section) {
    if (line.command == kPlain) {
      std::puts(line.text);
      continue;
    }
    Command command = static_cast<Command>(line.command);
    const char* key = line.fixed_key ? line.fixed_key : command_keys[command];
    std::printf(kKeyLine, ShownName(key).c_str(), RowOf(command, table).help);
  }
}

// Prints the section chosen by the first character of an answer. Returns false for 'x', which
// leaves help; any other answer returns true, whether or not it named a section.
bool Answer(char choice, const CommandKeys& command_keys, const CommandRow* table) {
  switch (choice) {
    case 'n': PrintSection(kNavigation, command_keys, table); return true;
    case 'e': PrintSection(kEditing, command_keys, table); return true;
    case 'f': PrintSection(kFile, command_keys, table); return true;
    case 'm': PrintSection(kMore, command_keys, table); return true;
    case 'x': return false;
    default: return true;
  }
}

}  // namespace

void Help(const CommandKeys& command_keys, const CommandRow* table) {
  std::printf(kLimits, lsize - 1, lines);
  char answer[kAnswerSize];
  do {
    std::fputs(kMenu, stdout);
    if (!ReadMenuAnswer(answer, kAnswerSize)) return;  // end of input or Ctrl-C leaves help
  } while (Answer(answer[0], command_keys, table));
}

// Shows the help menu with the keys in force.
void OnHelp(EditorState& state) { Help(state.command_keys, state.command_table); }
