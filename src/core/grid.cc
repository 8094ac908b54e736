#include "core/grid.h"

#include <sys/mman.h>

#include <climits>
#include <cstdio>
#include <cstring>

int lines = kDefaultLines;
int lsize = kDefaultLsize;
int used_lines = 0;
bool unsaved_changes = false;

static const char kInvalidLineNumber[] = "Invalid Line Number";
static const char kAtEndOfLine[] = "At End Of Line";

int TextLength(const char* slot) {
  const void* end = std::memchr(slot, 0, static_cast<size_t>(lsize));
  return end ? static_cast<int>(static_cast<const char*>(end) - slot) : lsize - 1;
}

int CharsFrom(const char* slot, int column) {
  int length = TextLength(slot);
  return column < length ? length - column : 0;
}

void SpaceFill(char* slot, int column) {
  int length = TextLength(slot);
  if (length >= column) return;
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
  char* slot = SlotOf(line, grid);
  MarkUsed(line);
  MarkChanged();
  SpaceFill(slot, column);
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

int DocLength(const char* grid) {
  if (lines <= 0) return 0;
  int last = used_lines < lines ? used_lines - 1 : lines - 1;
  for (int i = last; i > 0; --i) {
    if (SlotOf(i, grid)[0] != 0) return i;
  }
  return 0;
}

GridAlloc AllocateGrid(char** grid) {
  *grid = nullptr;
  if (lines <= 0 || lsize <= 1) return GridAlloc::kTooLarge;
  long long bytes = static_cast<long long>(lines) * lsize;
  if (bytes > INT_MAX) return GridAlloc::kTooLarge;
  // Anonymous pages are zero and take no memory until written.
  void* block = mmap(nullptr, static_cast<size_t>(bytes), PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (block == MAP_FAILED) return GridAlloc::kNoMemory;
  *grid = static_cast<char*>(block);
  used_lines = 0;
  return GridAlloc::kOk;
}

void FreeGrid(char* grid) {
  if (grid) munmap(grid, static_cast<size_t>(static_cast<long long>(lines) * lsize));
}
