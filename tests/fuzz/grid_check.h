// Checks of the editor's state that must hold after every turn.
#pragma once

struct EditorState;

namespace fuzz {

// Returns nullptr when slot `line` of `grid` keeps the grid rules (terminator inside the slot,
// zeros behind it; all zero from used_lines on), else a description of the fault.
const char* CheckSlot(const char* grid, int line);

// Returns nullptr when every slot of `grid` keeps the grid rules, else the first fault.
const char* CheckGrid(const char* grid);

// Returns nullptr when the cursor of `state` is inside the grid and its grid is sound, else
// the fault. With `whole` false only the slots below used_lines and those the last command
// worked on (current, next, undo lines, last) are checked.
const char* CheckState(const EditorState& state, bool whole);

}  // namespace fuzz
