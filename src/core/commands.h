// The command table: 37 command names and the keys that run them.
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

// Writes the 37 command names into `command_names`, row by row.
void MakeKeys(CommandNames& command_names);

// Writes the 37 default keys into `command_keys`, row by row.
void SetDefaultValues(CommandKeys& command_keys);
