// A fresh temporary working directory for one test; the old one is restored afterwards.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

class ScratchDir {
 public:
  ScratchDir() {
    char here[4096];
    if (getcwd(here, sizeof here)) home_ = here;
    char scratch[] = "/tmp/pellak_test_XXXXXX";
    if (mkdtemp(scratch)) dir_ = scratch;
    entered_ = !home_.empty() && !dir_.empty() && chdir(dir_.c_str()) == 0;
  }
  ~ScratchDir() {
    if (!home_.empty()) {
      EXPECT_EQ(chdir(home_.c_str()), 0);
    }
    if (!dir_.empty()) {
      EXPECT_EQ(std::system(("rm -rf '" + dir_ + "'").c_str()), 0);
    }
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  // Returns true when the test runs inside the fresh directory.
  bool entered() const { return entered_; }

 private:
  std::string home_;
  std::string dir_;
  bool entered_ = false;
};
