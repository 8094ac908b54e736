// The commands: their row indices, the arrays of their names and keys, and the shape of a row
// of the command table, which lives in app/command_table.cc.
#pragma once

inline constexpr int kCommandCount = 37;
inline constexpr int kNameField = 16;  // a command name and its terminator
inline constexpr int kKeyField = 2;    // one key character and its terminator

// Row indices of the command table.
enum Command : int {
  kPositionBack, kPositionForw, kPositionDown, kPositionUp, kPositionBeg, kPositionEnd,
  kPageBack, kPageForw, kPageLength, kJumpLine, kJumpDoc, kLockTog, kGoToLine, kGoToPos,
  kAnchorGo, kAnchorSet, kLineClear, kLineMove, kLineInsert, kLineDelete, kLineCopy,
  kClipCopy, kClipCut, kClipPaste, kClipInsert, kNewInsert, kTrimEnd, kTrimWrap, kUndo,
  kSavePrompt, kSaveOverwrite, kOpen, kHelp, kNumTog, kCommandExec, kCommandEdit, kQuit,
};

using CommandNames = char[kCommandCount][kNameField];
using CommandKeys = char[kCommandCount][kKeyField];

struct EditorState;
using Handler = void (*)(EditorState&);

// One row of the command table: everything about one command.
struct CommandRow {
  Command command;   // its row index in command_names and command_keys
  const char* name;  // its name in the RC file, at most kNameField-1 characters
  char key;          // its default key
  Handler handler;   // runs it
  const char* help;  // its line in the help menu, behind its key
};

// Returns the row of `command` in `table`, a command table of kCommandCount rows.
const CommandRow& RowOf(Command command, const CommandRow* table);

// Writes the names of the 37 commands of `table` into `command_names`, each in its row.
void MakeKeys(const CommandRow* table, CommandNames& command_names);

// Writes the default keys of the 37 commands of `table` into `command_keys`, each in its row.
void SetDefaultValues(const CommandRow* table, CommandKeys& command_keys);
