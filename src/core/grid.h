// The document grid: `lines` slots of `lsize` bytes, one line per slot.
//
// Rules every writer keeps:
//   1. every slot holds its terminating zero byte, at column lsize-1 at the latest;
//   2. every byte of a slot behind its terminator is zero.
// And one the grid's own functions keep, so that no caller has to:
//   3. every slot from UsedLines() on is empty. Every function here that writes text counts
//      its slot as used, and so does WritableSlot, through which every other writer gets its
//      slot; Wedge raises the count by one, and Delete and EndLoad lower it.
#pragma once

#include <cstddef>

// Grid sizes, fixed once the RC file has been read at start-up.
extern int lines;
extern int lsize;

// Returns the count of slots, from the first on, that may hold text: every slot from it on is
// empty. It lets the whole-grid operations follow the document instead of the grid.
int UsedLines();

// Records that the document may now differ from what was last loaded or saved (sets
// unsaved_changes, core/editor_state.h). Every writer of the grid calls it once it changes a
// slot; a successful load or save clears it.
void MarkChanged();

inline constexpr int kDefaultLines = 32767;
inline constexpr int kDefaultLsize = 256;

// Returns the first byte of line slot `line` of `grid`.
inline char* SlotOf(int line, char* grid) {
  return grid + static_cast<long>(line) * static_cast<long>(lsize);
}
inline const char* SlotOf(int line, const char* grid) {
  return grid + static_cast<long>(line) * static_cast<long>(lsize);
}

// Returns the length of a slot's text, never more than lsize-1.
int TextLength(const char* slot);

// Returns the number of characters of a slot's text from `column` on; 0 at or behind its end.
int CharsFrom(const char* slot, int column);

// Returns slot `line` of `grid` for a writer that may put text into it, counting it as used.
char* WritableSlot(int line, char* grid);

// Fills line `line` with spaces up to `column` when it is shorter; a longer line is untouched.
void SpaceFill(int line, int column, char* grid);

// Writes `text` over line `line` from `column` on (typing); prints a message and changes nothing
// for a line outside 0..line_count-1 or a column at or behind lsize-1. Text that would run past
// column lsize-2 is dropped.
void Replace(int line, int column, int line_count, const char* text, char* grid);

// Empties line `line`, zeroing its whole slot.
void Clear(int line, char* grid);

// Cuts line `line` off at `column`; a column at or beyond lsize changes nothing.
void Trim(int line, int column, char* grid);

// Opens an empty line at `line`; the lines from there on move down one slot and the text of
// the last slot falls out of the grid.
void Wedge(int line, char* grid);

// Removes line `line`; the lines behind it move up one slot and the last slot is left empty.
void Delete(int line, char* grid);

// Returns the index of the last line holding text, or 0 when no line does.
int DocLength(const char* grid);

// Makes the first `count` slots of `grid`, just filled by a load, the whole document: every
// slot behind them that may hold text is emptied. A load that is dropped ends with a count of 0.
void EndLoad(int count, char* grid);

// Counts no slot as used, for a zero-filled grid made otherwise than by AllocateGrid.
void ForgetUsedLines();

// Result of AllocateGrid.
enum class GridAlloc { kOk, kTooLarge, kNoMemory };

// Allocates a zero-filled grid of lines x lsize bytes into *grid (no slot counts as used); pages
// never written cost no memory. Returns kTooLarge when the size does not fit a signed 32-bit integer.
GridAlloc AllocateGrid(char** grid);

// Releases a grid made by AllocateGrid, or an area made by MapGridArea.
void FreeGrid(char* grid);

// Maps a zero-filled area of lines x lsize bytes whose pages cost no memory until written;
// returns nullptr when that fails.
char* MapGridArea();

// Lets the kernel back the first `bytes` of a grid or area, about to be filled with text, with
// large pages: far fewer page faults for a large document. Parts too small for a large page
// stay as they are, so a small document costs no more memory.
void AdviseLargePages(char* area, size_t bytes);

// Copies the first `bytes` of the area `from` (made by MapGridArea) over `grid` and releases
// the area, piece by piece, so the two never take that memory twice at the end of a load.
void MoveIntoGrid(char* from, size_t bytes, char* grid);
