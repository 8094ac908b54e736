#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "core/grid.h"

// A large area starts on a large page and keeps none of its spare pages; moved into the grid,
// all of it is given back, the part behind what was moved too.
TEST(Grid, LargeAreasGiveTheirPagesBack) {
  const int saved[] = {lines, lsize};
  lines = 3 * 8192 + 1, lsize = 256;  // a little over 6 MiB: four large pages of 2 MiB
  const size_t large = size_t{1} << 21, page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  auto gone = [page](char* at) { return msync(at, page, MS_ASYNC) != 0 && errno == ENOMEM; };
  char* area = MapGridArea();
  ASSERT_NE(area, nullptr);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(area) % large, 0u);
  EXPECT_EQ(msync(area, 4 * large, MS_ASYNC), 0);
  EXPECT_TRUE(gone(area - page));
  EXPECT_TRUE(gone(area + 4 * large));
  char* grid = MapGridArea();
  MoveIntoGrid(area, large + page, grid);
  EXPECT_TRUE(gone(area) && gone(area + large) && gone(area + 4 * large - page));
  FreeGrid(grid);
  lines = saved[0], lsize = saved[1];
}
