#include "core/grid.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "test_grid.h"

namespace {

std::string Captured(void (*body)(TestGrid&), TestGrid& grid) {
  testing::internal::CaptureStdout();
  body(grid);
  std::fflush(stdout);
  return testing::internal::GetCapturedStdout();
}

TEST(Replace, FillsOverwritesAndKeepsToTheSlot) {
  TestGrid g(4, 16);
  Replace(0, 5, lines, "abc", g.data());
  EXPECT_EQ(g.Text(0), "     abc");
  Replace(1, 4, lines, "", g.data());
  EXPECT_EQ(g.Text(1), "    ");
  g.Set(2, "hello");
  Replace(2, 1, lines, "XY", g.data());
  EXPECT_EQ(g.Text(2), "hXYlo");
  Replace(2, 3, lines, "XYZ", g.data());
  EXPECT_EQ(g.Text(2), "hXYXYZ");
  Replace(3, 3, lines, "abcdefghijklmnopqrstuvwxyz", g.data());
  EXPECT_EQ(g.Text(3), "   abcdefghijkl");  // what runs past the slot is dropped
  EXPECT_TRUE(g.Sound());
}

TEST(Replace, RefusesTheLastColumnAndBadLines) {
  TestGrid g(4, 16);
  g.Set(2, "keep");
  std::string said = Captured([](TestGrid& t) {
    Replace(2, lsize - 1, lines, "x", t.data());
    Replace(-1, 0, lines, "x", t.data());
    Replace(4, 0, lines, "x", t.data());
  }, g);
  EXPECT_EQ(said, "At End Of Line\nInvalid Line Number\nInvalid Line Number\n");
  EXPECT_EQ(g.Text(2), "keep");
  Replace(2, lsize - 2, lines, "xyz", g.data());  // only one character fits
  EXPECT_EQ(g.Text(2), std::string("keep") + std::string(10, ' ') + "x");
  EXPECT_TRUE(g.Sound());
}

TEST(ClearAndTrim, ZeroWhatTheyRemove) {
  TestGrid g(3, 16);
  g.Set(0, "some text here");
  Clear(0, g.data());
  for (int i = 0; i < lsize; ++i) EXPECT_EQ(SlotOf(0, g.data())[i], 0);
  g.Set(1, "hello world");
  Trim(1, 20, g.data());
  Trim(1, 11, g.data());
  EXPECT_EQ(g.Text(1), "hello world");
  Trim(1, 5, g.data());
  EXPECT_EQ(g.Text(1), "hello");
  Replace(1, 5, lines, "!", g.data());
  EXPECT_EQ(g.Text(1), "hello!");  // nothing of the old text comes back
  Trim(1, 0, g.data());
  EXPECT_EQ(g.Text(1), "");
  EXPECT_TRUE(g.Sound());
}

TEST(DocLength, FindsTheLastLineWithText) {
  TestGrid g(10, 8);
  EXPECT_EQ(DocLength(g.data()), 0);
  g.Set(0, "a");
  EXPECT_EQ(DocLength(g.data()), 0);
  g.Set(5, "x");
  EXPECT_EQ(DocLength(g.data()), 5);
  g.Set(9, "last");
  EXPECT_EQ(DocLength(g.data()), 9);
  Clear(0, g.data());
  Clear(9, g.data());
  EXPECT_EQ(DocLength(g.data()), 5);
}

TEST(AllocateGrid, RefusesSizesBeyondThe32BitRange) {
  TestGrid g(1, 2);
  char* grid = nullptr;
  lines = 65536;
  lsize = 32768;  // 2^31 bytes: one byte beyond the signed 32-bit range
  EXPECT_EQ(AllocateGrid(&grid), GridAlloc::kTooLarge);
  EXPECT_EQ(grid, nullptr);
  lines = INT_MAX;
  lsize = INT_MAX;
  EXPECT_EQ(AllocateGrid(&grid), GridAlloc::kTooLarge);
  lines = 32767;
  lsize = 256;
  ASSERT_EQ(AllocateGrid(&grid), GridAlloc::kOk);
  EXPECT_EQ(grid[0], 0);
  EXPECT_EQ(grid[32767 * 256 - 1], 0);
  FreeGrid(grid);
}

}  // namespace
