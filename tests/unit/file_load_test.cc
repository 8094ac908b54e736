#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/input.h"
#include "core/loop.h"
#include "file/load.h"
#include "test_grid.h"

namespace {

struct Ended {
  int status;
};

// Makes Terminate throw instead of ending the test process.
[[noreturn]] void ThrowEnded(int status) { throw Ended{status}; }

class LoadTest : public testing::Test {
 protected:
  void SetUp() override { terminate_hook = ThrowEnded; }
  void TearDown() override {
    terminate_hook = nullptr;
    SetInputFromStdin();
  }
  // Loads `text` into `grid` with `answer` typed at any question; returns what was printed.
  std::string Load(TestGrid& grid, const std::string& text, const std::string& answer = "") {
    answer_ = answer;
    SetInputFromMemory(answer_.data(), answer_.size());
    testing::internal::CaptureStdout();
    try {
      ParseLines(text.c_str(), grid.data());
    } catch (const Ended& ended) {
      status_ = ended.status;
    }
    std::fflush(stdout);
    return testing::internal::GetCapturedStdout();
  }
  std::string answer_;
  int status_ = -1;
};

TEST_F(LoadTest, SplitsAtNewlinesAndKeepsEmptyLines) {
  TestGrid g(8, 16);
  EXPECT_EQ(Load(g, "\n\nx\n"), "3 Lines Generated\n");
  EXPECT_EQ(g.Text(0), "");
  EXPECT_EQ(g.Text(1), "");
  EXPECT_EQ(g.Text(2), "x");
  EXPECT_EQ(used_lines, 3);
  EXPECT_TRUE(g.Sound());
  // A last line without a newline gives the same lines; carriage returns are text.
  EXPECT_EQ(Load(g, "a\r\nbeta"), "2 Lines Generated\n");
  EXPECT_EQ(g.Text(0), "a\r");
  EXPECT_EQ(g.Text(1), "beta");
  EXPECT_EQ(g.Text(2), "");
  EXPECT_TRUE(g.Sound());
}

TEST_F(LoadTest, EmptyTextAndLoneNewlineGiveAnEmptyDocument) {
  TestGrid g(4, 16);
  g.Set(0, "old");
  g.Set(3, "old too");
  EXPECT_EQ(Load(g, ""), "0 Lines Generated\n");
  EXPECT_EQ(g.Text(0), "");
  EXPECT_EQ(g.Text(3), "");
  EXPECT_TRUE(g.Sound());
  g.Set(2, "old");
  EXPECT_EQ(Load(g, "\n"), "1 Lines Generated\n");
  EXPECT_EQ(g.Text(2), "");
  EXPECT_TRUE(g.Sound());
}

TEST_F(LoadTest, ShortFileOverLongLinesLeavesOnlyTheNewLines) {
  TestGrid g(6, 16);
  for (int i = 0; i < 6; ++i) g.Set(i, "fifteen chars!!");
  Load(g, "ab\ncd\n");
  EXPECT_EQ(g.Text(0), "ab");
  EXPECT_EQ(g.Text(1), "cd");
  for (int i = 2; i < 6; ++i) EXPECT_EQ(g.Text(i), "") << i;
  EXPECT_TRUE(g.Sound());
}

TEST_F(LoadTest, SplitsOnlyAtACharacterBeyondAFullLine) {
  TestGrid g(8, 6);  // five characters a line
  // A newline right after five characters ends the line without a split.
  EXPECT_EQ(Load(g, "12345\nab\n"), "2 Lines Generated\n");
  EXPECT_EQ(g.Text(0), "12345");
  EXPECT_EQ(g.Text(1), "ab");
  // Six and twelve characters: each further character starts a new piece.
  EXPECT_EQ(Load(g, "123456\nabcdefghijkl"),
            "WARNING!  Line 1 is being split\n"
            "WARNING!  Line 3 is being split\n"
            "WARNING!  Line 4 is being split\n"
            "5 Lines Generated\n");
  std::vector<std::string> want = {"12345", "6", "abcde", "fghij", "kl", ""};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(g.Text(i), want[static_cast<size_t>(i)]) << i;
  // Exactly ten characters without a newline: the second piece is full, no third split.
  EXPECT_EQ(Load(g, "abcdefghij"), "WARNING!  Line 1 is being split\n2 Lines Generated\n");
  EXPECT_EQ(g.Text(1), "fghij");
  EXPECT_EQ(g.Text(2), "");
  EXPECT_TRUE(g.Sound());
}

TEST_F(LoadTest, LineLimitAsksBeforeAPartialLoad) {
  TestGrid g(3, 16);
  std::string out = Load(g, "a\nb\nc\nd\n", "Y\n");
  EXPECT_EQ(out,
            "3 Lines Generated\n"
            "\nWarning!! Only 75.0 percent of the data was loaded!\n"
            "The unloaded data will be lost if you save to the same filename!\n"
            "Do you wish to continue (Y,n)?\n"
            "If not, restart with more lines by editing the .pellak_rc file.\n");
  EXPECT_EQ(status_, -1);
  EXPECT_EQ(g.Text(0), "a");
  EXPECT_EQ(g.Text(2), "c");
  EXPECT_TRUE(g.Sound());
}

TEST_F(LoadTest, RefusedPartialLoadEndsBeforeAnySlotChanges) {
  for (const char* answer : {"y\n", "\n", "Yes\n", ""}) {  // "" is end of input
    TestGrid g(3, 16);
    g.Set(0, "kept");
    status_ = -1;
    Load(g, "a\nb\nc\nd\n", answer);
    EXPECT_EQ(status_, 1) << answer;
    EXPECT_EQ(g.Text(0), "kept") << answer;
  }
}

TEST_F(LoadTest, OnlyAFinalNewlineMayBeLeftOutSilently) {
  TestGrid g(3, 16);
  // Three lines and the newline of an empty fourth: nothing is lost.
  EXPECT_EQ(Load(g, "a\nb\nc\n\n"), "3 Lines Generated\n");
  EXPECT_EQ(status_, -1);
  // A last character without a newline would be lost: warned.
  std::string out = Load(g, "a\nb\nc\nd", "Y\n");
  EXPECT_NE(out.find("Only 85.7 percent"), std::string::npos) << out;
  // The one character after a split at the very end has no slot left: warned.
  TestGrid small(2, 4);
  out = Load(small, "abcdefg", "Y\n");
  EXPECT_NE(out.find("WARNING!  Line 2 is being split\n2 Lines Generated\n"), std::string::npos) << out;
  EXPECT_NE(out.find("Only 85.7 percent"), std::string::npos) << out;
  EXPECT_EQ(small.Text(1), "def");
  EXPECT_TRUE(small.Sound());
}

TEST_F(LoadTest, MarksRecordLineEndsAndTheirKinds) {
  TestGrid g(8, 4);
  std::vector<int> positions(9), kinds(9, 1);
  testing::internal::CaptureStdout();
  int next = MarkLines("ab\nabcd\nx", positions.data(), kinds.data());
  testing::internal::GetCapturedStdout();
  ASSERT_EQ(next, 5);
  EXPECT_EQ(std::vector<int>(positions.begin(), positions.begin() + 5),
            (std::vector<int>{0, 2, 6, 7, 9}));
  EXPECT_EQ(std::vector<int>(kinds.begin(), kinds.begin() + 5), (std::vector<int>{1, 1, 2, 1, 2}));
}

}  // namespace
