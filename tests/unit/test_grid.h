// A small grid for unit tests, with the global sizes restored afterwards. A guard slot of 'G'
// bytes follows it, so that a write past the last slot is seen.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "core/grid.h"

class TestGrid {
 public:
  TestGrid(int line_count, int line_size) : saved_{lines, lsize} {
    lines = line_count;
    lsize = line_size;
    ForgetUsedLines();
    bytes_.assign(static_cast<size_t>(line_count) * static_cast<size_t>(line_size), 0);
    bytes_.insert(bytes_.end(), static_cast<size_t>(line_size), 'G');
  }
  ~TestGrid() { lines = saved_[0], lsize = saved_[1]; }

  char* data() { return bytes_.data(); }
  // Puts `text` (shorter than lsize) into line `line` as a fresh slot.
  void Set(int line, const std::string& text) {
    Clear(line, data());
    std::memcpy(WritableSlot(line, data()), text.data(), text.size());
  }
  std::string Text(int line) { return std::string(SlotOf(line, data())); }
  // Returns true when every slot is terminated and zero behind its terminator, and every
  // slot from UsedLines() on is empty, and the guard slot is intact.
  bool Sound() {
    for (int i = 0; i < lines; ++i) {
      const char* slot = SlotOf(i, data());
      size_t length = i < UsedLines() ? strnlen(slot, static_cast<size_t>(lsize)) : 0;
      if (length == static_cast<size_t>(lsize)) return false;
      for (size_t k = length; k < static_cast<size_t>(lsize); ++k)
        if (slot[k] != 0) return false;
    }
    return std::string(bytes_.end() - lsize, bytes_.end()) == std::string(static_cast<size_t>(lsize), 'G');
  }

 private:
  int saved_[2];
  std::vector<char> bytes_;
};
