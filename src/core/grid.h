// The document grid: `lines` slots of `lsize` bytes, one line per slot.
//
// Rules every writer keeps:
//   1. every slot holds its terminating zero byte, at column lsize-1 at the latest;
//   2. every byte of a slot behind its terminator is zero.
#pragma once

#include <cstddef>

// Grid sizes, fixed once the RC file has been read at start-up.
extern int lines;
extern int lsize;

// Every slot from used_lines on is empty: an upper bound on the lines that hold text, which
// lets the whole-grid operations follow the document instead of the grid. Every writer that
// may put text into slot i calls MarkUsed(i); nothing ever needs to lower it.
extern int used_lines;

// Records that line `line` may now hold text.
inline void MarkUsed(int line) {
  if (line >= used_lines) used_lines = line + 1;
}

// True while the document may differ from what was last loaded or saved. Every writer of the
// grid calls MarkChanged once it changes a slot; a successful load or save clears it.
extern bool unsaved_changes;
inline void MarkChanged() { unsaved_changes = true; }

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

// Fills a line shorter than `column` with spaces up to the column; a longer line is untouched.
void SpaceFill(char* slot, int column);

// Writes `text` over line `line` from `column` on (typing); prints a message and changes nothing
// for a line outside 0..line_count-1 or a column at or behind lsize-1. Text that would run past
// column lsize-2 is dropped.
void Replace(int line, int column, int line_count, const char* text, char* grid);

// Empties line `line`, zeroing its whole slot.
void Clear(int line, char* grid);

// Cuts line `line` off at `column`; a column at or beyond lsize changes nothing.
void Trim(int line, int column, char* grid);

// Returns the index of the last line holding text, or 0 when no line does.
int DocLength(const char* grid);

// Result of AllocateGrid.
enum class GridAlloc { kOk, kTooLarge, kNoMemory };

// Allocates a zero-filled grid of lines x lsize bytes into *grid (used_lines becomes 0); pages
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
