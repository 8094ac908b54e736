// The file found is the file written: whatever happens to the name between FindFile and the
// write is caught, in both save paths.
#include "file/safe_write.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "file/system_calls.h"

namespace {

class SafeWriteTest : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/pellak-safe-write-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { ASSERT_EQ(std::system(("rm -rf " + dir_).c_str()), 0); }
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }
  void Put(const std::string& name, const std::string& text) const {
    std::ofstream(Path(name), std::ios::binary) << text;
  }
  std::string Get(const std::string& name) const {
    std::ostringstream text;
    text << std::ifstream(Path(name), std::ios::binary).rdbuf();
    return text.str();
  }
  // Writes `text` to the file `found`.
  static WriteResult Write(const FoundFile& found, const std::string& text) {
    return WriteFoundFile(found, text.size(),
                          [&text](int fd) { return WriteAll(fd, text.data(), text.size()); });
  }
  // Returns the names in the directory, one line each, sorted.
  std::string Listing() const {
    std::string command = "ls -A " + dir_, names;
    FILE* ls = popen(command.c_str(), "r");
    for (int c; ls && (c = std::fgetc(ls)) != EOF;) names += static_cast<char>(c);
    if (ls) pclose(ls);
    return names;
  }
  std::string dir_;
};

TEST_F(SafeWriteTest, AFileReplacedOrRewrittenAfterItWasFoundIsNotWritten) {
  for (int links : {1, 2}) {  // swapped in through a temporary file, or written in place
    SCOPED_TRACE(links);
    Put("a.txt", "old\n");
    if (links == 2) {
      ASSERT_EQ(link(Path("a.txt").c_str(), Path("b.txt").c_str()), 0);
    }
    FoundFile found = FindFile(Path("a.txt").c_str());
    ASSERT_EQ(found.kind, Found::kFile);
    // The same size with the modification time put back: only the change time tells.
    struct stat before;
    ASSERT_EQ(stat(Path("a.txt").c_str(), &before), 0);
    int fd = open(Path("a.txt").c_str(), O_WRONLY);
    ASSERT_TRUE(WriteAll(fd, "OLD\n", 4, 0));
    ASSERT_EQ(close(fd), 0);
    struct timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(utimensat(AT_FDCWD, Path("a.txt").c_str(), times, 0), 0);
    EXPECT_EQ(Write(found, "mine\n").outcome, WriteOutcome::kMoved);
    EXPECT_EQ(Get("a.txt"), "OLD\n");
    // Another file renamed over the name.
    found = FindFile(Path("a.txt").c_str());
    Put("c.txt", "other\n");
    ASSERT_EQ(rename(Path("c.txt").c_str(), Path("a.txt").c_str()), 0);
    EXPECT_EQ(Write(found, "mine\n").outcome, WriteOutcome::kMoved);
    EXPECT_EQ(Get("a.txt"), "other\n");
    // Unchanged, it is written, and only the file and its links are left.
    found = FindFile(Path("a.txt").c_str());
    WriteResult result = Write(found, "mine\n");
    ASSERT_EQ(result.outcome, WriteOutcome::kWritten);
    EXPECT_EQ(Get("a.txt"), "mine\n");
    struct stat after;
    ASSERT_EQ(stat(Path("a.txt").c_str(), &after), 0);
    EXPECT_TRUE(SameFile(result.identity, after));
    EXPECT_EQ(Listing(), links == 2 ? "a.txt\nb.txt\n" : "a.txt\n");
    ASSERT_EQ(std::system(("rm -f " + dir_ + "/*").c_str()), 0);
  }
}

}  // namespace
