#include "core/display.h"

#include <gtest/gtest.h>

#include <string>

#include "test_grid.h"

namespace {

std::string Screen(int line, int column, int above, TestGrid& g, int numbers, const char* name) {
  testing::internal::CaptureStdout();
  Display(line, column, above, g.data(), numbers, name);
  std::fflush(stdout);
  return testing::internal::GetCapturedStdout();
}

TEST(Display, AllRowFormsWithoutNumbers) {
  TestGrid g(20, 16);
  g.Set(0, "abc");
  g.Set(1, "abcdefgh");
  g.Set(2, "abcde");
  g.Set(3, "abcdefg");
  EXPECT_EQ(Screen(3, 5, 3, g, 0, "f.txt"),
            "\nEditing 4:6 f.txt\n\n"
            "\n"        // other line ending before the cursor
            "  fgh\n"   // other line with text at the cursor
            "\n"        // other line ending exactly at the cursor
            "> fg\n"    // current line with text
            "> ");
  EXPECT_EQ(Screen(2, 5, 0, g, 2, ""), "\nEditing 3:6 \n\n>\n> ");
}

TEST(Display, AllRowFormsWithNumbers) {
  TestGrid g(20, 16);
  g.Set(0, "abc");
  g.Set(1, "abcdefgh");
  g.Set(9, "0123456789");
  EXPECT_EQ(Screen(1, 5, 1, g, 1, "n"),
            "\nEditing 2:6 n\n\n"
            " 1\n"
            "[2] fgh\n"
            "  > ");
  EXPECT_EQ(Screen(0, 3, 1, g, 1, "n"),
            "\nEditing 1:4 n\n\n"
            "[1] \n"
            " 2  defgh\n"
            "  > ");
  // A two-digit label widens the prompt by one blank.
  EXPECT_EQ(Screen(9, 8, 2, g, 1, "n"),
            "\nEditing 10:9 n\n\n"
            " 8\n"
            " 9\n"
            "[10] 89\n"
            "   > ");
}

TEST(Display, WindowPlacement) {
  TestGrid g(30, 8);
  std::string top = Screen(0, 0, 7, g, 1, "");
  EXPECT_EQ(top, "\nEditing 1:1 \n\n[1] \n 2\n 3\n 4\n 5\n 6\n 7\n 8\n  > ");
  std::string middle = Screen(20, 0, 7, g, 1, "");
  EXPECT_EQ(middle,
            "\nEditing 21:1 \n\n 14\n 15\n 16\n 17\n 18\n 19\n 20\n[21] \n   > ");
  std::string end = Screen(29, 0, 2, g, 0, "");
  EXPECT_EQ(end, "\nEditing 30:1 \n\n\n\n>\n> ");
  std::string single = Screen(5, 0, 0, g, 1, "");
  EXPECT_EQ(single, "\nEditing 6:1 \n\n[6] \n  > ");
  // With the window larger than the grid it stops at the last slot.
  TestGrid small(3, 8);
  EXPECT_EQ(Screen(0, 0, 7, small, 1, ""), "\nEditing 1:1 \n\n[1] \n 2\n 3\n  > ");
}

TEST(Display, ColumnAtTheLastByteOfTheSlot) {
  TestGrid g(2, 8);
  g.Set(0, "1234567");
  EXPECT_EQ(Screen(0, 7, 0, g, 0, ""), "\nEditing 1:8 \n\n>\n> ");
  EXPECT_EQ(Screen(0, 6, 0, g, 0, ""), "\nEditing 1:7 \n\n> 7\n> ");
}

}  // namespace
