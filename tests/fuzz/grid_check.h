// Checks of the editor's state that must hold after every turn.
#pragma once

struct EditorState;

namespace fuzz {

// Returns nullptr when slot `line` of `grid` keeps the grid rules (terminator inside the slot,
// zeros behind it; all zero from used_lines on), else a description of the fault.
const char* CheckSlot(const char* grid, int line);

// Returns nullptr when every slot of `grid` keeps the grid rules, else the first fault.
const char* CheckGrid(const char* grid);

// How much of the grid CheckState reads.
enum class Coverage {
  kHotSlots,   // the slots a command works on: current, next, undo lines, first and last
  kUsedSlots,  // the hot slots and every slot below used_lines
  kAllSlots,   // every slot
};

// Returns nullptr when the cursor of `state` is inside the grid and the slots of its grid
// named by `coverage` are sound, else the fault.
const char* CheckState(const EditorState& state, Coverage coverage);

}  // namespace fuzz
