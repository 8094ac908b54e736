#include "core/grid.h"

#include <sys/mman.h>
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "core/editor_state.h"

int lines = kDefaultLines;
int lsize = kDefaultLsize;

namespace {

const char kInvalidLineNumber[] = "Invalid Line Number";
const char kAtEndOfLine[] = "At End Of Line";

int used_lines = 0;  // every slot from here on is empty (rule 3 of grid.h)

// Records that line `line` may now hold text.
void MarkUsed(int line) {
  if (line >= used_lines) used_lines = line + 1;
}

// Returns the byte count of `count` whole slots.
size_t Slots(int count) { return static_cast<size_t>(count) * static_cast<size_t>(lsize); }

}  // namespace

int UsedLines() { return used_lines; }

void MarkChanged() { unsaved_changes = true; }

char* WritableSlot(int line, char* grid) {
  MarkUsed(line);
  return SlotOf(line, grid);
}

int TextLength(const char* slot) {
  const void* end = std::memchr(slot, 0, static_cast<size_t>(lsize));
  return end ? static_cast<int>(static_cast<const char*>(end) - slot) : lsize - 1;
}

int CharsFrom(const char* slot, int column) {
  int length = TextLength(slot);
  return column < length ? length - column : 0;
}

void SpaceFill(int line, int column, char* grid) {
  char* slot = SlotOf(line, grid);
  int length = TextLength(slot);
  if (length >= column) return;
  MarkUsed(line);
  MarkChanged();
  std::memset(slot + length, ' ', static_cast<size_t>(column - length));
  slot[column] = 0;
}

void Replace(int line, int column, int line_count, const char* text, char* grid) {
  if (line < 0 || line >= line_count) {
    std::puts(kInvalidLineNumber);
    return;
  }
  if (column >= lsize - 1) {
    std::puts(kAtEndOfLine);
    return;
  }
  if (column < 0) column = 0;
  char* slot = WritableSlot(line, grid);
  MarkChanged();
  SpaceFill(line, column, grid);
  size_t room = static_cast<size_t>(lsize - 1 - column);
  size_t count = std::strlen(text);
  if (count > room) count = room;
  std::memcpy(slot + column, text, count);
}

void Clear(int line, char* grid) {
  MarkChanged();
  std::memset(SlotOf(line, grid), 0, static_cast<size_t>(lsize));
}

void Trim(int line, int column, char* grid) {
  if (column < 0 || column >= lsize) return;
  MarkChanged();
  std::memset(SlotOf(line, grid) + column, 0, static_cast<size_t>(lsize - column));
}

// Slots from used_lines on are empty, so only the slots below it are moved: shifting empty
// slots onto empty slots would change nothing.
void Wedge(int line, char* grid) {
  if (line >= used_lines) return;  // slot `line` and all behind it are empty already
  MarkChanged();
  int top = used_lines - 1 < lines - 2 ? used_lines - 1 : lines - 2;  // last slot that moves
  if (top >= line) std::memmove(SlotOf(line + 1, grid), SlotOf(line, grid), Slots(top - line + 1));
  Clear(line, grid);
  if (used_lines < lines) ++used_lines;
}

void Delete(int line, char* grid) {
  if (line >= used_lines) return;  // nothing behind it to pull up, and the line is empty
  MarkChanged();
  int last = used_lines - 1;
  std::memmove(SlotOf(line, grid), SlotOf(line + 1, grid), Slots(last - line));
  Clear(last, grid);
  used_lines = last;  // every slot from `last` on is now empty
}

int DocLength(const char* grid) {
  if (lines <= 0) return 0;
  int last = used_lines < lines ? used_lines - 1 : lines - 1;
  for (int i = last; i > 0; --i) {
    if (SlotOf(i, grid)[0] != 0) return i;
  }
  return 0;
}

void EndLoad(int count, char* grid) {
  // Only slots below used_lines can hold text (every later slot is all zero), so clearing
  // those empties the rest of the grid without touching pages the document never reached.
  if (used_lines > count) std::memset(SlotOf(count, grid), 0, Slots(used_lines - count));
  used_lines = count;
}

void ForgetUsedLines() { used_lines = 0; }

namespace {

constexpr size_t kLargePage = size_t{1} << 21;
constexpr size_t kMovePiece = kLargePage;

// Returns the size of the mapping of a grid: its bytes, rounded up to whole large pages when it
// is larger than one, so that its last part can have a large page too (unused, it costs nothing).
size_t GridBytes() {
  size_t bytes = static_cast<size_t>(lines) * static_cast<size_t>(lsize);
  return bytes < kLargePage ? bytes : (bytes + kLargePage - 1) / kLargePage * kLargePage;
}

// Returns the page size.
size_t PageSize() {
  static const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  return page;
}

}  // namespace

GridAlloc AllocateGrid(char** grid) {
  *grid = nullptr;
  if (lines <= 0 || lsize <= 1) return GridAlloc::kTooLarge;
  long long bytes = static_cast<long long>(lines) * lsize;
  if (bytes > INT_MAX) return GridAlloc::kTooLarge;
  *grid = MapGridArea();
  if (!*grid) return GridAlloc::kNoMemory;
  used_lines = 0;
  return GridAlloc::kOk;
}

char* MapGridArea() {
  size_t bytes = GridBytes();
  // A large grid starts on a large-page boundary: mapped with a large page to spare, it is
  // trimmed to it. Anonymous pages are zero and take no memory until written.
  size_t spare = bytes < kLargePage ? 0 : kLargePage;
  void* block = mmap(nullptr, bytes + spare, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (block == MAP_FAILED) return nullptr;
  char* start = static_cast<char*>(block);
  if (spare == 0) return start;
  size_t head = (kLargePage - reinterpret_cast<uintptr_t>(start) % kLargePage) % kLargePage;
  // Trimming parts of our own fresh mapping cannot fail; an untrimmed part would only stay unused.
  if (head > 0) (void)munmap(start, head);
  if (spare > head) (void)munmap(start + head + bytes, spare - head);
  return start + head;
}

void FreeGrid(char* grid) {
  // Unmapping a whole mapping of our own cannot fail.
  if (grid) (void)munmap(grid, GridBytes());
}

void AdviseLargePages(char* area, size_t bytes) {
  if (bytes < kLargePage || reinterpret_cast<uintptr_t>(area) % PageSize() != 0) return;
  // Advice only: where the kernel has no large pages the load simply takes more page faults.
  (void)madvise(area, bytes, MADV_HUGEPAGE);
}

void MoveIntoGrid(char* from, size_t bytes, char* grid) {
  for (size_t done = 0; done < bytes; done += kMovePiece) {
    size_t piece = bytes - done < kMovePiece ? bytes - done : kMovePiece;
    std::memcpy(grid + done, from + done, piece);
    // A piece is whole pages: it goes back at once (should that fail, it goes with the rest).
    if (piece == kMovePiece) (void)munmap(from + done, piece);
  }
  FreeGrid(from);
}
