#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "file/file_io.h"
#include "file/save.h"
#include "test_grid.h"

namespace {

// Returns the text `grid` saves as.
std::string Saved(TestGrid& grid) {
  size_t size = 0;
  std::unique_ptr<char[]> text = AssembleText(grid.data(), &size);
  return std::string(text.get(), size);
}

TEST(AssembleText, WritesEveryLineUpToTheLastWithText) {
  TestGrid g(8, 8);
  EXPECT_EQ(Saved(g), "\n");  // an empty document is one newline
  g.Set(4, "five");
  EXPECT_EQ(Saved(g), "\n\n\n\nfive\n");
  g.Set(0, "1234567");  // a full line
  g.Set(2, "\r");
  EXPECT_EQ(Saved(g), "1234567\n\n\r\n\nfive\n");
}

class FileIo : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/pellak_file_io_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { ASSERT_EQ(std::system(("rm -rf " + dir_).c_str()), 0); }
  std::string Path(const std::string& name) { return dir_ + "/" + name; }
  static std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
  }
  static void Put(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
  }
  std::string Write(const std::string& path, const std::string& text) {
    return WriteWholeFile(path.c_str(), text.data(), text.size());
  }
  std::string dir_;
};

TEST_F(FileIo, WritesAndReadsBackEveryByte) {
  std::string text("a\r\n\0b\n", 6);
  EXPECT_EQ(Write(Path("f"), text), "");
  EXPECT_EQ(Contents(Path("f")), text);
  FileText read = ReadWholeFile(Path("f").c_str());
  ASSERT_TRUE(read.ok) << read.reason;
  EXPECT_EQ(read.size, 6);
  EXPECT_EQ(std::string(read.text.get(), 7), text + '\0');
}

TEST_F(FileIo, ReplacingKeepsModeOwnerAndLinks) {
  Put(Path("f"), "old old old\n");
  ASSERT_EQ(chmod(Path("f").c_str(), 0640), 0);
  bool root = geteuid() == 0;
  if (root) {
    ASSERT_EQ(chown(Path("f").c_str(), 1234, 2345), 0);
  }
  EXPECT_EQ(Write(Path("f"), "new\n"), "");
  struct stat info;
  ASSERT_EQ(stat(Path("f").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  if (root) {
    EXPECT_EQ(info.st_uid, 1234u);
    EXPECT_EQ(info.st_gid, 2345u);
  }
  EXPECT_EQ(Contents(Path("f")), "new\n");

  // A symbolic link keeps pointing at the file, which gets the new text.
  ASSERT_EQ(symlink("f", Path("link").c_str()), 0);
  EXPECT_EQ(Write(Path("link"), "via link\n"), "");
  struct stat link_info;
  ASSERT_EQ(lstat(Path("link").c_str(), &link_info), 0);
  EXPECT_TRUE(S_ISLNK(link_info.st_mode));
  EXPECT_EQ(Contents(Path("f")), "via link\n");

  // Hard links stay one file.
  ASSERT_EQ(link(Path("f").c_str(), Path("hard").c_str()), 0);
  EXPECT_EQ(Write(Path("hard"), "both\n"), "");
  EXPECT_EQ(Contents(Path("f")), "both\n");
  // No temporary file is left behind.
  EXPECT_EQ(std::system(("test $(ls -A " + dir_ + " | wc -l) -eq 3").c_str()), 0);
}

TEST_F(FileIo, WriteFailuresAreReportedAndKeepTheOldFile) {
  EXPECT_EQ(Write(Path("missing/f"), "x\n"), "No such file or directory");
  Put(Path("plain"), "keep\n");
  EXPECT_EQ(Write(Path("plain/f"), "x\n"), "Not a directory");
  ASSERT_EQ(mkdir(Path("dir").c_str(), 0755), 0);
  EXPECT_EQ(Write(Path("dir"), "x\n"), "Is a directory");
  EXPECT_EQ(Write("/dev/full", "x\n"), "No space left on device");
  EXPECT_EQ(Contents(Path("plain")), "keep\n");
}

TEST_F(FileIo, ReadRefusesWhatIsNotAWholeRegularFile) {
  FileText missing = ReadWholeFile(Path("none").c_str());
  EXPECT_FALSE(missing.ok);
  EXPECT_TRUE(missing.missing);
  FileText dir = ReadWholeFile(dir_.c_str());
  EXPECT_FALSE(dir.ok);
  EXPECT_FALSE(dir.missing);
  EXPECT_EQ(dir.reason, "Is a directory");
  FileText device = ReadWholeFile("/dev/zero");
  EXPECT_FALSE(device.ok);
  EXPECT_EQ(device.reason, "not a regular file");
  EXPECT_EQ(device.text, nullptr);
  // A file whose content does not match its size (it grew or shrank while read).
  FileText changing = ReadWholeFile("/proc/self/status");
  EXPECT_FALSE(changing.ok);
  EXPECT_EQ(changing.reason, "the file changed while it was read");
  // A size that leaves no room for the terminator in an int (sparse, costs no disk).
  Put(Path("huge"), "");
  ASSERT_EQ(truncate(Path("huge").c_str(), 2147483647), 0);
  FileText huge = ReadWholeFile(Path("huge").c_str());
  EXPECT_FALSE(huge.ok);
  EXPECT_EQ(huge.reason, "the file is too large");
}

}  // namespace
