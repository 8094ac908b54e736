#include "core/commands.h"

#include <cstring>

#include "config/help.h"
#include "config/launch.h"
#include "core/loop.h"
#include "core/navigation.h"
#include "edit/inline_edit.h"
#include "edit/line_commands.h"
#include "edit/undo.h"
#include "file/load.h"
#include "file/save.h"

namespace {

struct Row {
  const char* name;
  char key;
};

// Table order: the row index is the Command value.
constexpr Row kTable[kCommandCount] = {
    {"position_back", 'b'}, {"position_forw", 'n'}, {"position_down", ','},
    {"position_up", '.'},   {"position_beg", 'l'},  {"position_end", 'e'},
    {"page_back", '<'},     {"page_forw", '>'},     {"page_length", 'p'},
    {"jump_line", 'j'},     {"jump_doc", 'J'},      {"lock_tog", 'L'},
    {"go_to_line", 'g'},    {"go_to_pos", 'G'},     {"anchor_go", 'a'},
    {"anchor_set", 'A'},    {"line_clear", 'd'},    {"line_move", 'm'},
    {"line_insert", 'w'},   {"line_delete", 'D'},   {"line_copy", 'C'},
    {"clip_copy", 'c'},     {"clip_cut", 'x'},      {"clip_paste", 'v'},
    {"clip_insert", 'V'},   {"new_insert", 'i'},    {"trim_end", 't'},
    {"trim_wrap", 'T'},     {"undo", 'z'},          {"save_prompt", 's'},
    {"save_overwrite", 'S'}, {"open", 'O'},         {"help", 'h'},
    {"num_tog", '#'},       {"command_exec", '='},  {"command_edit", '+'},
    {"quit", 'q'},
};

}  // namespace

void MakeKeys(CommandNames& command_names) {
  for (int i = 0; i < kCommandCount; ++i) {
    std::memset(command_names[i], 0, kNameField);
    std::strncpy(command_names[i], kTable[i].name, kNameField - 1);
  }
}

void SetDefaultValues(CommandKeys& command_keys) {
  for (int i = 0; i < kCommandCount; ++i) {
    command_keys[i][0] = kTable[i].key;
    command_keys[i][1] = 0;
  }
}

const Dispatch kDispatchOrder[kCommandCount] = {
    {kPositionDown, cmd::position_down},
    {kPositionUp, cmd::position_up},
    {kPositionForw, cmd::position_forw},
    {kPositionBack, cmd::position_back},
    {kPageForw, cmd::page_forw},
    {kPageBack, cmd::page_back},
    {kPositionBeg, cmd::position_beg},
    {kLockTog, cmd::lock_tog},
    {kNumTog, cmd::num_tog},
    {kJumpLine, cmd::jump_line},
    {kJumpDoc, cmd::jump_doc},
    {kGoToLine, cmd::go_to_line},
    {kGoToPos, cmd::go_to_pos},
    {kPositionEnd, cmd::position_end},
    {kClipCopy, cmd::clip_copy},
    {kClipInsert, cmd::clip_insert},
    {kClipPaste, cmd::clip_paste},
    {kLineClear, cmd::line_clear},
    {kNewInsert, cmd::new_insert},
    {kClipCut, cmd::clip_cut},
    {kTrimEnd, cmd::trim_end},
    {kTrimWrap, cmd::trim_wrap},
    {kSavePrompt, cmd::save_prompt},
    {kSaveOverwrite, cmd::save_overwrite},
    {kOpen, cmd::open},
    {kLineMove, cmd::line_move},
    {kLineCopy, cmd::line_copy},
    {kAnchorSet, cmd::anchor_set},
    {kAnchorGo, cmd::anchor_go},
    {kLineInsert, cmd::line_insert},
    {kLineDelete, cmd::line_delete},
    {kHelp, cmd::help},
    {kPageLength, cmd::page_length},
    {kUndo, cmd::undo},
    {kCommandExec, cmd::command_exec},
    {kCommandEdit, cmd::command_edit},
    {kQuit, cmd::quit},
};
