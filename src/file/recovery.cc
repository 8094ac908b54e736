#include "file/recovery.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "file/text_format.h"

namespace {

const char kNoName[] = "pellak";
const char kEnding[] = ".hup";
const int kMaxNumber = 99;

// Returns the working directory with a final slash, or "" when it cannot be told.
std::string WorkingDirectory() {
  char path[4096];
  if (getcwd(path, sizeof path) == nullptr) return "";
  return std::string(path) + "/";
}

// Writes the document into the new file `path`. Returns 1 when written, 0 when the name is
// taken, -1 on another failure (the reason then in *reason and no file left behind).
int WriteNew(const std::string& path, const char* grid, std::string* reason) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) {
    if (errno == EEXIST) return 0;
    *reason = std::strerror(errno);
    return -1;
  }
  bool written = WriteDocument(fd, grid) && fsync(fd) == 0;
  if (!written) *reason = std::strerror(errno);
  if (close(fd) != 0 && written) {
    written = false;
    *reason = std::strerror(errno);
  }
  if (written) return 1;
  (void)unlink(path.c_str());  // the failure is being reported; a part of the file is no use
  return -1;
}

// Tries the free names of `base` in `directory` (with its final slash). Returns the path
// written or an empty string.
std::string WriteInto(const std::string& directory, const std::string& base, const char* grid,
                      std::string* reason) {
  for (int number = 0; number <= kMaxNumber; ++number) {
    std::string path = directory + base;
    if (number > 0) path.append(".").append(std::to_string(number));
    path += kEnding;
    int result = WriteNew(path, grid, reason);
    if (result == 1) return path;
    if (result < 0) return "";
  }
  *reason = std::strerror(EEXIST);
  return "";
}

}  // namespace

std::string WriteRecoveryFile(const char* file_name, const char* grid, std::string* reason) {
  std::string name = file_name[0] ? file_name : kNoName;
  size_t slash = name.rfind('/');
  std::string directory = slash == std::string::npos ? "" : name.substr(0, slash + 1);
  std::string base = slash == std::string::npos ? name : name.substr(slash + 1);
  if (base.empty()) base = kNoName;
  if (directory.empty() || directory[0] != '/') directory = WorkingDirectory() + directory;
  std::string path = WriteInto(directory, base, grid, reason);
  const char* home = std::getenv("HOME");
  if (path.empty() && home && home[0]) {
    std::string home_directory = home;
    if (home_directory.back() != '/') home_directory += '/';
    path = WriteInto(home_directory, base, grid, reason);
  }
  return path;
}
