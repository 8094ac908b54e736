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
    {kPositionDown, "position_down", ',', cmd::position_down, "to move up a line"},
    {kPositionUp, "position_up", '.', cmd::position_up, "to move down a line"},
    {kPositionForw, "position_forw", 'n', cmd::position_forw, "to move forward a space"},
    {kPositionBack, "position_back", 'b', cmd::position_back, "to move back a space"},
    {kPageForw, "page_forw", '>', cmd::page_forw, "to move forward a page"},
    {kPageBack, "page_back", '<', cmd::page_back, "to move back a page"},
    {kPositionBeg, "position_beg", 'l', cmd::position_beg, "to move to the beginning of a line"},
    {kLockTog, "lock_tog", 'L', cmd::lock_tog, "to lock/unlock line switching"},
    {kNumTog, "num_tog", '#', cmd::num_tog, "to toggle the display of line numbers"},
    {kJumpLine, "jump_line", 'j', cmd::jump_line, "to jump to a string in the line"},
    {kJumpDoc, "jump_doc", 'J', cmd::jump_doc, "to jump to a string on current or later lines"},
    {kGoToLine, "go_to_line", 'g', cmd::go_to_line, "to go to a line number"},
    {kGoToPos, "go_to_pos", 'G', cmd::go_to_pos, "to go a position in a line"},
    {kPositionEnd, "position_end", 'e', cmd::position_end, "to move to the end of a line"},
    {kClipCopy, "clip_copy", 'c', cmd::clip_copy, "to copy text to memory"},
    {kClipInsert, "clip_insert", 'V', cmd::clip_insert,
     "to paste text from memory by inserting and shifting"},
    {kClipPaste, "clip_paste", 'v', cmd::clip_paste, "to paste text from memory by overwriting"},
    {kLineClear, "line_clear", 'd', cmd::line_clear, "to clear a line"},
    {kNewInsert, "new_insert", 'i', cmd::new_insert, "to insert new text"},
    {kClipCut, "clip_cut", 'x', cmd::clip_cut, "to cut text to memory"},
    {kTrimEnd, "trim_end", 't', cmd::trim_end, "to trim line at current position by deleting text"},
    {kTrimWrap, "trim_wrap", 'T', cmd::trim_wrap, "to trim line and send extra text to next line"},
    {kSavePrompt, "save_prompt", 's', cmd::save_prompt, "to save a file with new name prompt"},
    {kSaveOverwrite, "save_overwrite", 'S', cmd::save_overwrite,
     "to save a file using existing name"},
    {kOpen, "open", 'O', cmd::open, "to open a file and replace current buffer"},
    {kLineMove, "line_move", 'm', cmd::line_move, "to move a line"},
    {kLineCopy, "line_copy", 'C', cmd::line_copy, "to copy a whole line"},
    {kAnchorSet, "anchor_set", 'A', cmd::anchor_set, "to set the anchored position"},
    {kAnchorGo, "anchor_go", 'a', cmd::anchor_go, "to move to an anchored position"},
    {kLineInsert, "line_insert", 'w', cmd::line_insert, "to wedge (insert) a new line"},
    {kLineDelete, "line_delete", 'D', cmd::line_delete, "to delete a line and shift lines up"},
    {kHelp, "help", 'h', cmd::help, "to view help menu"},
    {kPageLength, "page_length", 'p', cmd::page_length, "to set page length"},
    {kUndo, "undo", 'z', cmd::undo, "to undo an edit"},
    {kCommandExec, "command_exec", '=', cmd::command_exec, "to launch a command"},
    {kCommandEdit, "command_edit", '+', cmd::command_edit, "to enter the command to be launched"},
    {kQuit, "quit", 'q', cmd::quit, "to quit"},
};

namespace {

// Returns true when `table` has a row for each of the kCommandCount commands, and no command,
// name or default key twice.
template <size_t N>
constexpr bool EachCommandOnce(const CommandRow (&table)[N]) {
  if (N != kCommandCount) return false;
  for (size_t i = 0; i < N; ++i) {
    if (table[i].command < 0 || table[i].command >= kCommandCount) return false;
    if (!table[i].name || !table[i].handler || !table[i].help) return false;
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
