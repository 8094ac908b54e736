#include "app/command_table.h"

#include <string_view>

#include "app/loop.h"
#include "config/help.h"
#include "config/launch.h"
#include "core/navigation.h"
#include "edit/inline_edit.h"
#include "edit/line_commands.h"
#include "edit/undo.h"
#include "file/load.h"
#include "file/save.h"

// To add a command: a row index in core/commands.h (its place among the RC file's keys), a
// handler in the layer of its work, a row here where its key is to be compared, and its line
// in a section of the help menu (config/help.cc).
constexpr CommandRow kCommandTable[] = {
    // command, name in the RC file, default key, handler, help line
    {kPositionDown, "position_down", ',', OnPositionDown, "to move up a line"},
    {kPositionUp, "position_up", '.', OnPositionUp, "to move down a line"},
    {kPositionForw, "position_forw", 'n', OnPositionForw, "to move forward a space"},
    {kPositionBack, "position_back", 'b', OnPositionBack, "to move back a space"},
    {kPageForw, "page_forw", '>', OnPageForw, "to move forward a page"},
    {kPageBack, "page_back", '<', OnPageBack, "to move back a page"},
    {kPositionBeg, "position_beg", 'l', OnPositionBeg, "to move to the beginning of a line"},
    {kLockTog, "lock_tog", 'L', OnLockTog, "to lock/unlock line switching"},
    {kNumTog, "num_tog", '#', OnNumTog, "to toggle the display of line numbers"},
    {kJumpLine, "jump_line", 'j', OnJumpLine, "to jump to a string in the line"},
    {kJumpDoc, "jump_doc", 'J', OnJumpDoc, "to jump to a string on current or later lines"},
    {kGoToLine, "go_to_line", 'g', OnGoToLine, "to go to a line number"},
    {kGoToPos, "go_to_pos", 'G', OnGoToPos, "to go a position in a line"},
    {kPositionEnd, "position_end", 'e', OnPositionEnd, "to move to the end of a line"},
    {kClipCopy, "clip_copy", 'c', OnClipCopy, "to copy text to memory"},
    {kClipInsert, "clip_insert", 'V', OnClipInsert,
     "to paste text from memory by inserting and shifting"},
    {kClipPaste, "clip_paste", 'v', OnClipPaste, "to paste text from memory by overwriting"},
    {kLineClear, "line_clear", 'd', OnLineClear, "to clear a line"},
    {kNewInsert, "new_insert", 'i', OnNewInsert, "to insert new text"},
    {kClipCut, "clip_cut", 'x', OnClipCut, "to cut text to memory"},
    {kTrimEnd, "trim_end", 't', OnTrimEnd, "to trim line at current position by deleting text"},
    {kTrimWrap, "trim_wrap", 'T', OnTrimWrap, "to trim line and send extra text to next line"},
    {kSavePrompt, "save_prompt", 's', OnSavePrompt, "to save a file with new name prompt"},
    {kSaveOverwrite, "save_overwrite", 'S', OnSaveOverwrite,
     "to save a file using existing name"},
    {kOpen, "open", 'O', OnOpen, "to open a file and replace current buffer"},
    {kLineMove, "line_move", 'm', OnLineMove, "to move a line"},
    {kLineCopy, "line_copy", 'C', OnLineCopy, "to copy a whole line"},
    {kAnchorSet, "anchor_set", 'A', OnAnchorSet, "to set the anchored position"},
    {kAnchorGo, "anchor_go", 'a', OnAnchorGo, "to move to an anchored position"},
    {kLineInsert, "line_insert", 'w', OnLineInsert, "to wedge (insert) a new line"},
    {kLineDelete, "line_delete", 'D', OnLineDelete, "to delete a line and shift lines up"},
    {kHelp, "help", 'h', OnHelp, "to view help menu"},
    {kPageLength, "page_length", 'p', OnPageLength, "to set page length"},
    {kUndo, "undo", 'z', OnUndo, "to undo an edit"},
    {kCommandExec, "command_exec", '=', OnCommandExec, "to launch a command"},
    {kCommandEdit, "command_edit", '+', OnCommandEdit, "to enter the command to be launched"},
    {kQuit, "quit", 'q', OnQuit, "to quit"},
};

namespace {

// Returns true when `table` has a row for each of the kCommandCount commands, and no command,
// name or default key twice.
template <size_t N>
constexpr bool EachCommandOnce(const CommandRow (&table)[N]) {
  if (N != kCommandCount) return false;
  for (size_t i = 0; i < N; ++i) {
    if (table[i].command < 0 || table[i].command >= kCommandCount) return false;
    if (!table[i].name || !table[i].help) return false;
    if (std::string_view(table[i].name).size() >= kNameField) return false;
    for (size_t j = 0; j < i; ++j) {
      if (table[i].command == table[j].command || table[i].key == table[j].key ||
          std::string_view(table[i].name) == table[j].name)
        return false;
    }
  }
  return true;
}

static_assert(EachCommandOnce(kCommandTable), "every command needs exactly one row");

}  // namespace
