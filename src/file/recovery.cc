#include "file/recovery.h"

#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "file/kept_files.h"
#include "file/text_format.h"

namespace {

const char kWorkingDirectory[] = ".";
// The longest ending a recovery name adds to its stem.
const size_t kLongestEnding = std::strlen(".") + std::to_string(kMaxRecoveryNumber).size() +
                              std::strlen(kRecoveryTag);

// Returns the home directory with a final slash: $HOME, else the one of the user's account, or
// "" when there is none.
std::string HomeDirectory() {
  const char* home = std::getenv("HOME");
  if (!home || !home[0]) {
    const passwd* account = getpwuid(getuid());
    home = account ? account->pw_dir : nullptr;
  }
  if (!home || !home[0]) return "";
  std::string path = home;
  if (path.back() != '/') path += '/';
  return path;
}

// Returns the working directory with a final slash, or "" when it cannot be told.
std::string WorkingDirectory() {
  char path[4096];
  if (getcwd(path, sizeof path) == nullptr) return "";
  return std::string(path) + "/";
}

// Writes the document into the new file `name` of the directory `dir` and syncs it. Returns 1
// when written, 0 when the name is taken, -1 on another failure (the reason then in *reason
// and no file left behind).
int WriteNew(int dir, const std::string& name, const char* grid, std::string* reason) {
  int fd = openat(dir, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
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
  (void)unlinkat(dir, name.c_str(), 0);  // the failure is being reported; a part is no use
  return -1;
}

// Tries the free recovery names of `stem` in the directory `dir`. Returns the name written, or
// an empty string.
std::string WriteInto(int dir, const std::string& stem, const char* grid, std::string* reason) {
  for (int number = 0; number <= kMaxRecoveryNumber; ++number) {
    std::string name = RecoveryName(stem, number);
    int result = WriteNew(dir, name, grid, reason);
    if (result == 1) return name;
    if (result < 0) return "";
  }
  *reason = std::strerror(EEXIST);
  return "";
}

}  // namespace

int OpenKeptPlace(const char* file_name, int place, bool make, std::string* path) {
  if (place >= 2) {
    std::string parent = TemporaryParent(place == 3);
    return make ? OpenPrivateDirectory(parent, path) : FindPrivateDirectory(parent, path);
  }
  *path = place == 0 ? DirectoryPartOf(file_name) : HomeDirectory();
  if (place == 1 && path->empty()) {
    errno = ENOENT;
    return -1;
  }
  const char* directory = path->empty() ? kWorkingDirectory : path->c_str();
  return open(directory, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

std::string RecoveryName(const std::string& stem, int number) {
  std::string name = stem;
  if (number > 0) name.append(".").append(std::to_string(number));
  return name + kRecoveryTag;
}

std::string RecoveryStem(const char* file_name) {
  return FitStem(BaseNameOf(file_name), kLongestEnding);
}

std::string WriteRecoveryFile(const char* file_name, const char* grid, std::string* reason) {
  std::string stem = RecoveryStem(file_name);
  for (int place = 0; place < kKeptPlaces; ++place) {
    std::string directory;
    int dir = OpenKeptPlace(file_name, place, true, &directory);
    if (dir < 0) {
      *reason = std::strerror(errno);
      continue;
    }
    std::string name = WriteInto(dir, stem, grid, reason);
    // The name in its directory is on the disk too; a file system that cannot sync a
    // directory (EINVAL) keeps the synced file all the same.
    bool synced = name.empty() || fsync(dir) == 0 || errno == EINVAL;
    if (!synced) *reason = std::strerror(errno);
    (void)close(dir);  // only read through: nothing to lose
    if (name.empty() || !synced) continue;
    if (directory.empty() || directory[0] != '/') directory = WorkingDirectory() + directory;
    return directory + name;
  }
  return "";
}
