#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "core/grid.h"

namespace {

// Returns true when no page of the `bytes` at `area` is mapped.
bool Unmapped(char* area, size_t bytes) {
  const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  for (size_t at = 0; at < bytes; at += page)
    if (msync(area + at, page, MS_ASYNC) == 0 || errno != ENOMEM) return false;
  return true;
}

// A large area starts on a large page and keeps none of its spare pages; moved into the grid,
// all of it is given back, the part behind what was moved too.
TEST(Grid, LargeAreasGiveTheirPagesBack) {
  const int saved[] = {lines, lsize};
  lines = 3 * 8192 + 1, lsize = 256;  // a little over 6 MiB: four large pages of 2 MiB
  const size_t large = size_t{1} << 21, page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  char* area = MapGridArea();
  ASSERT_NE(area, nullptr);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(area) % large, 0u);
  EXPECT_EQ(msync(area, 4 * large, MS_ASYNC), 0);
  EXPECT_TRUE(Unmapped(area - page, page));
  EXPECT_TRUE(Unmapped(area + 4 * large, page));
  char* grid = MapGridArea();
  std::memset(area, 'x', large + page);
  MoveIntoGrid(area, large + page, grid);
  EXPECT_TRUE(Unmapped(area, 4 * large));
  EXPECT_EQ(grid[large + page - 1], 'x');
  FreeGrid(grid);
  lines = saved[0], lsize = saved[1];
}

}  // namespace
