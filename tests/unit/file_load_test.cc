#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "core/editor_state.h"
#include "core/input.h"
#include "file/load.h"
#include "test_grid.h"

namespace {

class LoadTest : public testing::Test {
 protected:
  void SetUp() override { partial_load_refused = false; }
  void TearDown() override { partial_load_refused = false, SetInputFromStdin(); }
  // Runs `load` with `answer` typed at any question; returns what was printed.
  std::string Printed(const std::string& answer, const std::function<void()>& load) {
    answer_ = answer;
    partial_load_refused = false;
    SetInputFromMemory(answer_.data(), answer_.size());
    testing::internal::CaptureStdout();
    load();
    std::fflush(stdout);
    return testing::internal::GetCapturedStdout();
  }
  std::string answer_;
};

// The lines a text gives, worked out one character at a time, and whether text other than
// one final newline is left over once every slot is taken.
struct Expected {
  std::vector<std::string> lines;
  int splits = 0;
  bool loss = false;
};

Expected ReferenceLoad(const std::string& text, int line_count, int line_size) {
  Expected want;
  std::string current;
  bool open = false;  // a line has begun and not ended
  size_t at = 0;
  for (; at < text.size() && static_cast<int>(want.lines.size()) < line_count; ++at) {
    char c = text[at];
    if (c == '\n') {
      want.lines.push_back(current);
      current.clear();
      open = false;
    } else if (static_cast<int>(current.size()) == line_size - 1) {
      want.lines.push_back(current);
      ++want.splits;
      current = c;
      open = true;
    } else {
      current += c;
      open = true;
    }
  }
  bool full = static_cast<int>(want.lines.size()) == line_count;
  if (open && !full) want.lines.push_back(current);
  // Once the grid is full, the piece begun at a split is left over too.
  std::string rest = (open && full ? current : "") + text.substr(at);
  want.loss = !rest.empty() && rest != "\n";
  return want;
}

TEST_F(LoadTest, RandomTextsLoadAsTheCharacterByCharacterRulesSay) {
  std::mt19937 random(12345);
  const char alphabet[] = "ab\r\n\n";
  for (int round = 0; round < 1500; ++round) {
    int line_count = 1 + static_cast<int>(random() % 6);
    int line_size = 2 + static_cast<int>(random() % 5);
    TestGrid g(line_count, line_size);
    // Over an old document of full lines, taken; or straight into the empty grid, refused.
    bool refuse = round % 2;
    for (int i = 0; i < line_count && !refuse; ++i)
      g.Set(i, std::string(static_cast<size_t>(line_size - 1), 'o'));
    std::string text;
    for (int n = static_cast<int>(random() % 16); n > 0; --n) text += alphabet[random() % 5];
    Expected want = ReferenceLoad(text, line_count, line_size);
    std::string out = Printed(refuse ? "n\n" : "Y\n", [&] { ParseLines(text.c_str(), g.data()); });
    std::string context = "text \"" + text + "\" grid " + std::to_string(line_count) + "x" +
                          std::to_string(line_size);
    ASSERT_EQ(partial_load_refused, refuse && want.loss) << context;
    size_t splits = 0;
    for (size_t at = out.find("being split"); at != std::string::npos;
         at = out.find("being split", at + 1))
      ++splits;
    EXPECT_EQ(static_cast<int>(splits), want.splits) << context;
    EXPECT_NE(out.find(std::to_string(want.lines.size()) + " Lines Generated\n"),
              std::string::npos) << context << "\n" << out;
    EXPECT_EQ(out.find("percent of the data was loaded") != std::string::npos, want.loss)
        << context << "\n" << out;
    if (partial_load_refused) want.lines.clear();  // no slot is kept
    for (int i = 0; i < line_count; ++i) {
      std::string expected = i < static_cast<int>(want.lines.size()) ? want.lines[i] : "";
      ASSERT_EQ(g.Text(i), expected) << context << " line " << i;
    }
    ASSERT_TRUE(g.Sound()) << context;
    ASSERT_GE(UsedLines(), static_cast<int>(want.lines.size())) << context;
  }
}

TEST_F(LoadTest, FilesOfManyBlocksLoadAsTheCharacterByCharacterRulesSay) {
  std::mt19937 random(7);
  std::string text;  // long lines split and straddle the blocks the file is read in
  while (text.size() < 300000) text += std::string(random() % 700, 'a') + "x\n";
  char name[] = "/tmp/pellak-load-XXXXXX";
  int fd = mkstemp(name);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
  ASSERT_EQ(close(fd), 0);
  for (bool over_a_document : {false, true}) {  // straight into the grid, or staged
    TestGrid g(1000, 256);
    if (over_a_document) g.Set(0, "old");
    Expected want = ReferenceLoad(text, 1000, 256);
    ASSERT_EQ(want.lines.size(), 1000u);
    char file_name[kNameSize] = "";
    FileIdentity known;
    auto out = Printed("Y\n", [&] { Open(LoadMode::kNoQuestion, name, g.data(), file_name, known); });
    EXPECT_EQ(out.find("percent of the data was loaded") != std::string::npos, want.loss);
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(g.Text(i), want.lines[static_cast<size_t>(i)]) << i;
  }
  EXPECT_EQ(unlink(name), 0);
}

}  // namespace
