#include "file/read_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

#include "file/system_calls.h"

namespace {

const char kNotRegular[] = "not a regular file";
const char kTooLarge[] = "the file is too large";
const char kChanged[] = "the file changed while it was read";
constexpr size_t kReadBlock = 1 << 16;

// Reads exactly `size` bytes from `fd`, handing them to `take` block by block; returns false
// on a read error or a short file (errno is then set, 0 for a short file).
bool ReadAll(int fd, size_t size, const BlockSink& take) {
  char block[kReadBlock];
  size_t left = size;
  while (left > 0) {
    ssize_t got = read(fd, block, left < kReadBlock ? left : kReadBlock);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      if (got == 0) errno = 0;
      return false;
    }
    take(block, static_cast<size_t>(got), size);
    left -= static_cast<size_t>(got);
  }
  return true;
}

// Returns true when `fd` has no byte left to read.
bool AtEnd(int fd) {
  char extra;
  ssize_t got;
  do got = read(fd, &extra, 1);
  while (got < 0 && errno == EINTR);
  return got == 0;
}

// Returns why the file `info` describes is not to be read as a document, or nullptr.
const char* RefusalOf(const struct stat& info) {
  if (S_ISDIR(info.st_mode)) return std::strerror(EISDIR);
  if (!S_ISREG(info.st_mode)) return kNotRegular;
  if (info.st_size >= INT_MAX) return kTooLarge;
  return nullptr;
}

// Opens for reading the regular file `path_fd` (O_PATH) found under `name`: the same file again
// through the system, else by its name once more, refused unless it is still that file.
// Returns the descriptor, or -1 with the reason in *reason.
int OpenForReading(int path_fd, const char* name, const struct stat& seen, std::string* reason) {
  const int flags = O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC;
  int fd = Reopen(path_fd, flags);
  if (fd < 0 && errno == ENOSYS) fd = open(name, flags);
  if (fd < 0) {
    *reason = Reason();
    return -1;
  }
  struct stat info;
  if (fstat(fd, &info) != 0 || info.st_dev != seen.st_dev || info.st_ino != seen.st_ino) {
    *reason = kChanged;
    (void)close(fd);  // only opened for reading
    return -1;
  }
  return fd;
}

// Reads the open file `fd` through `take` into `result`.
void ReadOpenFile(int fd, const BlockSink& take, FileText& result) {
  struct stat info;
  if (fstat(fd, &info) != 0) {
    result.reason = Reason();
    return;
  }
  result.info = info;
  if (const char* refusal = RefusalOf(info)) {
    result.reason = refusal;
    return;
  }
  size_t size = static_cast<size_t>(info.st_size);
  if (!ReadAll(fd, size, take)) {
    result.reason = errno ? Reason() : kChanged;
  } else if (!AtEnd(fd)) {
    result.reason = kChanged;
  } else {
    result.size = static_cast<int>(size);
    result.ok = true;
  }
}

}  // namespace

FileText ReadFileInBlocks(const char* name, const BlockSink& take) {
  FileText result;
  // Looked at first: opening a device or a pipe can wait or have effects of its own.
  Descriptor path(open(name, O_PATH | O_CLOEXEC));
  struct stat seen;
  if (!path.ok() || fstat(path.get(), &seen) != 0) {
    result.missing = (errno == ENOENT || errno == ENOTDIR);
    result.reason = Reason();
    return result;
  }
  result.info = seen;
  if (const char* refusal = RefusalOf(seen)) {
    result.reason = refusal;
    return result;
  }
  Descriptor file(OpenForReading(path.get(), name, seen, &result.reason));
  if (file.ok()) ReadOpenFile(file.get(), take, result);
  return result;
}
