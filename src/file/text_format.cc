#include "file/text_format.h"

#include <cstring>

#include "core/grid.h"
#include "file/system_calls.h"

namespace {

constexpr size_t kWriteBlock = 1 << 16;

}  // namespace

size_t DocumentSize(const char* grid) {
  int last = DocLength(grid);
  size_t size = 0;
  for (int k = 0; k <= last; ++k) size += static_cast<size_t>(TextLength(SlotOf(k, grid))) + 1;
  return size;
}

bool WriteDocument(int fd, const char* grid) {
  char block[kWriteBlock];
  size_t used = 0;
  int last = DocLength(grid);
  for (int k = 0; k <= last; ++k) {
    const char* slot = SlotOf(k, grid);
    size_t length = static_cast<size_t>(TextLength(slot));
    // A line longer than the block goes out in pieces.
    while (length + 1 > kWriteBlock - used) {
      size_t part = kWriteBlock - used;
      if (part > length) part = length;
      std::memcpy(block + used, slot, part);
      slot += part;
      length -= part;
      used += part;
      if (used == kWriteBlock) {
        if (!WriteAll(fd, block, used)) return false;
        used = 0;
      }
    }
    std::memcpy(block + used, slot, length);
    used += length;
    block[used++] = '\n';
  }
  return WriteAll(fd, block, used);
}
