#include "config/help.h"

#include <cstdio>

#include "core/display.h"
#include "core/editor_state.h"
#include "core/grid.h"
#include "core/input.h"

namespace {

constexpr int kAnswerSize = 16;  // a help answer: 15 characters and a terminator
constexpr int kPlain = -1;       // a help line that shows no key

// One printed line of a help section: `text` alone, or a command's key and `text`.
struct HelpLine {
  int command;
  const char* text;
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
    {kPositionBack, "to move back a space"},
    {kPositionForw, "to move forward a space"},
    {kPlain, ""},
    {kPositionDown, "to move up a line"},
    {kPositionUp, "to move down a line"},
    {kPlain, ""},
    {kPositionBeg, "to move to the beginning of a line"},
    {kPositionEnd, "to move to the end of a line"},
    {kPlain, ""},
    {kPageBack, "to move back a page"},
    {kPageForw, "to move forward a page"},
    {kPageLength, "to set page length"},
    {kPlain, ""},
    {kJumpLine, "to jump to a string in the line"},
    {kJumpDoc, "to jump to a string on current or later lines"},
    {kPlain, ""},
    {kLockTog, "to lock/unlock line switching"},
    {kPlain, ""},
    {kGoToLine, "to go to a line number"},
    {kGoToPos, "to go a position in a line"},
    {kPlain, ""},
    {kAnchorGo, "to move to an anchored position"},
    {kAnchorSet, "to set the anchored position"},
    {kPlain, ""},
};

const HelpLine kEditing[] = {
    {kPlain, "\nEditing:\n-------"},
    {kPlain, ""},
    {kLineClear, "to clear a line"},
    {kLineMove, "to move a line"},
    {kLineInsert, "to wedge (insert) a new line"},
    {kLineDelete, "to delete a line and shift lines up"},
    {kLineCopy, "to copy a whole line"},
    {kPlain, ""},
    {kClipCopy, "to copy text to memory"},
    {kClipCut, "to cut text to memory"},
    {kPlain, ""},
    {kClipPaste, "to paste text from memory by overwriting"},
    {kClipInsert, "to paste text from memory by inserting and shifting"},
    {kNewInsert, "to insert new text"},
    {kPlain, ""},
    {kTrimEnd, "to trim line at current position by deleting text"},
    {kTrimWrap, "to trim line and send extra text to next line"},
    {kPlain, ""},
    {kUndo, "to undo an edit"},
    {kPlain, ""},
};

// The open line always names 'O', whatever key the open command has.
const HelpLine kFile[] = {
    {kPlain, "\nFile:\n----"},
    {kPlain, ""},
    {kPlain, "Filenames can be entered as 1st run argument"},
    {kPlain, ""},
    {kSavePrompt, "to save a file with new name prompt"},
    {kSaveOverwrite, "to save a file using existing name"},
    {kPlain, ""},
    {kPlain, "    'O' to open a file and replace current buffer"},
    {kPlain, ""},
};

const HelpLine kMore[] = {
    {kPlain, ""},
    {kPlain, "    '!' followed by a command letter enters the letter and not the command"},
    {kNumTog, "to toggle the display of line numbers"},
    {kHelp, "to view help menu"},
    {kCommandExec, "to launch a command"},
    {kCommandEdit, "to enter the command to be launched"},
    {kQuit, "to quit"},
    {kPlain, ""},
};

// Prints the lines of one help section with the keys of `command_keys`.
template <size_t N>
void PrintSection(const HelpLine (&section)[N], const CommandKeys& command_keys) {
  for (const HelpLine& line : section) {
    if (line.command == kPlain) std::puts(line.text);
    else std::printf(kKeyLine, ShownName(command_keys[line.command]).c_str(), line.text);
  }
}

// Prints the section chosen by the first character of an answer. Returns false for 'x', which
// leaves help; any other answer returns true, whether or not it named a section.
bool Answer(char choice, const CommandKeys& command_keys) {
  switch (choice) {
    case 'n': PrintSection(kNavigation, command_keys); return true;
    case 'e': PrintSection(kEditing, command_keys); return true;
    case 'f': PrintSection(kFile, command_keys); return true;
    case 'm': PrintSection(kMore, command_keys); return true;
    case 'x': return false;
    default: return true;
  }
}

}  // namespace

void Help(const CommandKeys& command_keys) {
  std::printf(kLimits, lsize - 1, lines);
  char answer[kAnswerSize];
  do {
    std::fputs(kMenu, stdout);
    if (!ReadMenuAnswer(answer, kAnswerSize)) return;  // end of input or Ctrl-C leaves help
  } while (Answer(answer[0], command_keys));
}

namespace cmd {

// Shows the help menu with the keys in force.
void help(EditorState& state) { Help(state.command_keys); }

}  // namespace cmd
