#include "config/rc_file.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <fstream>
#include <string>

#include "core/editor_state.h"
#include "core/grid.h"
#include "scratch_dir.h"

namespace {

// Runs each test in a fresh directory with the default table and settings, restoring the
// grid sizes and the working directory afterwards.
class RcFileTest : public testing::Test {
 protected:
  void SetUp() override {
    saved_lines_ = lines;
    saved_lsize_ = lsize;
    lines = kDefaultLines;
    lsize = kDefaultLsize;
    ASSERT_TRUE(scratch_.entered());
    MakeKeys(names_);
    SetDefaultValues(keys_);
  }
  void TearDown() override {
    lines = saved_lines_;
    lsize = saved_lsize_;
  }

  // Writes `text` as the RC file.
  void WriteRc(const std::string& text) {
    std::ofstream out(kRcFileName, std::ios::binary);
    out << text;
    ASSERT_TRUE(out.good());
  }
  // Reads the RC file into the fixture's keys and settings; returns ReadRC's result.
  int Read() {
    return ReadRC(names_, keys_, launch_, &anchor_, &numbers_, &page_);
  }
  std::string Key(Command command) { return keys_[command]; }

  CommandNames names_ = {};
  CommandKeys keys_ = {};
  char launch_[kNameSize] = {};
  int anchor_ = 0;
  int numbers_ = 1;
  int page_ = 8;

 private:
  int saved_lines_ = 0;
  int saved_lsize_ = 0;
  ScratchDir scratch_;
};

TEST_F(RcFileTest, TheWrittenFileFollowsTheKeysAndSizesInForce) {
  keys_[kHelp][0] = '?';
  lines = 40;
  lsize = 81;
  MakeRC(names_, keys_, "other_rc");
  std::ifstream in("other_rc", std::ios::binary);
  std::string line;
  int count = 0;
  std::string help_line, size_lines;
  while (std::getline(in, line)) {
    ++count;
    if (line.rfind("help=", 0) == 0) help_line = line;
    if (count == 38 || count == 39) size_lines += line + ";";
  }
  EXPECT_EQ(count, 44);
  EXPECT_EQ(help_line, "help=?");
  EXPECT_EQ(size_lines, "max_lines=40;max_char=80;");
}

TEST_F(RcFileTest, AFileThatCannotBeWrittenIsReportedOnce) {
  testing::internal::CaptureStdout();
  MakeRC(names_, keys_, "no_such_dir/rc");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Cannot make RC file\n");
}

TEST_F(RcFileTest, KeyValuesMustBeExactlyOneCharacter) {
  WriteRc("help=?\nundo=zz\nquit=\ncommand_exec==\nnum_tog=z\r\nopen\nnew_insert= \n"
          "line_clear=\\\n");
  EXPECT_EQ(Read(), 1);
  EXPECT_EQ(Key(kHelp), "?");
  EXPECT_EQ(Key(kUndo), "z");
  EXPECT_EQ(Key(kQuit), "q");
  EXPECT_EQ(Key(kCommandExec), "=");   // the first "=" separates
  EXPECT_EQ(Key(kNumTog), "#");        // a carriage return makes two characters
  EXPECT_EQ(Key(kOpen), "O");          // a name without "=" changes nothing
  EXPECT_EQ(Key(kNewInsert), " ");     // a blank is a key like any other
  EXPECT_EQ(Key(kLineClear), "\\");
}

TEST_F(RcFileTest, ANameAnywhereInTheLineMakesItAKeyLineForEveryNameInIt) {
  WriteRc("#help=k\nxundox=u\npage_back page_forw=P\n");
  Read();
  EXPECT_EQ(Key(kHelp), "k");
  EXPECT_EQ(Key(kUndo), "u");
  EXPECT_EQ(Key(kPageBack), "P");
  EXPECT_EQ(Key(kPageForw), "P");
  EXPECT_EQ(Key(kPageLength), "p");  // "page_" alone is no name
}

TEST_F(RcFileTest, AZeroByteIsNoKey) {
  WriteRc(std::string("help=\0\nquit=Q\n", 14));
  Read();
  EXPECT_EQ(Key(kHelp), "h");
  EXPECT_EQ(Key(kQuit), "Q");
}

TEST_F(RcFileTest, KeyLinesAreNeverSettingLines) {
  WriteRc("launch_command=make help\nlaunch_command=show_numbers\n"
          "lines_per_page=3 # max_lines\n");
  Read();
  EXPECT_STREQ(launch_, "");   // contains "help": a key line
  EXPECT_EQ(Key(kHelp), "h");  // whose value is too long to be a key
  EXPECT_EQ(numbers_, 0);      // taken as show_numbers, the earlier setting
  EXPECT_EQ(lines, 3);         // max_lines is tried before lines_per_page
  EXPECT_EQ(page_, 8);
}

TEST_F(RcFileTest, LaunchCommandKeepsItsTextUpTo255Characters) {
  WriteRc("launch_command=make run \n");
  Read();
  EXPECT_STREQ(launch_, "make run ");
  WriteRc("launch_command=\n");
  Read();
  EXPECT_STREQ(launch_, "make run ");  // an empty value changes nothing
  WriteRc("launch_command=" + std::string(300, 'x') + "\n");
  Read();
  EXPECT_EQ(std::string(launch_), std::string(255, 'x'));
}

TEST_F(RcFileTest, AnchorBoundsFollowTheLineSizeInForce) {
  struct Case {
    std::string text;
    int anchor;
  } cases[] = {
      {"anchor_position=0\n", 7},          {"anchor_position=1\n", 0},
      {"anchor_position=255\n", 254},      {"anchor_position=256\n", 7},
      {"anchor_position=-3\n", 7},         {"anchor_position=12abc\n", 11},
      {"anchor_position=  +5\n", 4},       {"anchor_position=99999999999\n", 7},
      {"max_char=80\nanchor_position=100\n", 7},
      {"max_char=80\nanchor_position=80\n", 79},
      {"anchor_position=256\nmax_char=300\n", 7},  // a later, larger line size is too late
  };
  for (const Case& c : cases) {
    lsize = kDefaultLsize;
    anchor_ = 7;
    WriteRc(c.text);
    Read();
    EXPECT_EQ(anchor_, c.anchor) << c.text;
  }
}

TEST_F(RcFileTest, AnAnchorPastTheFinalLineSizeIsDropped) {
  WriteRc("anchor_position=200\nmax_char=80\n");
  Read();
  EXPECT_EQ(lsize, 81);
  EXPECT_EQ(anchor_, 0);
  WriteRc("anchor_position=80\nmax_char=80\n");
  Read();
  EXPECT_EQ(anchor_, 79);  // still inside the shorter line
}

TEST_F(RcFileTest, PageLengthBoundsFollowTheLineCountInForce) {
  WriteRc("lines_per_page=32767\n");
  Read();
  EXPECT_EQ(page_, 8);
  WriteRc("lines_per_page=32766\n");
  Read();
  EXPECT_EQ(page_, 32766);

  lines = kDefaultLines;
  page_ = 8;
  WriteRc("max_lines=100\nlines_per_page=150\n");
  Read();
  EXPECT_EQ(page_, 8);
  EXPECT_EQ(lines, 100);

  lines = kDefaultLines;
  WriteRc("lines_per_page=150\nmax_lines=100\n");
  Read();
  EXPECT_EQ(page_, 150);
  EXPECT_EQ(lines, 100);
}

TEST_F(RcFileTest, GridSizesTakeOnlyPositiveNumbers) {
  WriteRc("max_lines=-5\nmax_lines=abc\nmax_lines=0\nmax_char=0\nmax_char=-1\n");
  Read();
  EXPECT_EQ(lines, kDefaultLines);
  EXPECT_EQ(lsize, kDefaultLsize);
  WriteRc("max_lines= 100\nmax_char=\t40\n");
  Read();
  EXPECT_EQ(lines, 100);
  EXPECT_EQ(lsize, 41);
}

TEST_F(RcFileTest, TheLargestLineSizeDoesNotWrap) {
  WriteRc("max_char=2147483646\n");
  Read();
  EXPECT_EQ(lsize, INT_MAX);
  // A later line may still bring a clamped max_char back into range.
  WriteRc("max_char=99999999999\nmax_char=80\n");
  Read();
  EXPECT_EQ(lsize, 81);
}

TEST_F(RcFileTest, ShowNumbersIsOnOnlyForExactlyOn) {
  for (const char* value : {"off", "ON", "", "on\r", "on "}) {
    numbers_ = 1;
    WriteRc(std::string("show_numbers=") + value + "\n");
    Read();
    EXPECT_EQ(numbers_, 0) << value;
  }
  WriteRc("show_numbers=on");  // no final line feed
  Read();
  EXPECT_EQ(numbers_, 1);
  numbers_ = 0;
  WriteRc("show_numbers\n");  // no value: nothing changes
  Read();
  EXPECT_EQ(numbers_, 0);
}

}  // namespace
