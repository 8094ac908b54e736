#include "file/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

const char kNotRegular[] = "not a regular file";
const char kTooLarge[] = "the file is too large";
const char kChanged[] = "the file changed while it was read";
const char kNoReader[] = "no program is reading from that pipe";
const int kMaxLinkHops = 40;

// Returns the text of the current errno.
std::string Reason() { return std::strerror(errno); }

constexpr size_t kReadBlock = 1 << 16;

// Reads exactly `size` bytes from `fd`, handing them to `take` block by block; returns false
// on a read error or a short file (errno is then set, 0 for a short file).
bool ReadAll(int fd, size_t size, const BlockSink& take) {
  static char block[kReadBlock];
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

// Reads the open file `fd` through `take` into `result`.
void ReadOpenFile(int fd, const BlockSink& take, FileText& result) {
  struct stat info;
  if (fstat(fd, &info) != 0) {
    result.reason = Reason();
    return;
  }
  result.info = info;
  if (S_ISDIR(info.st_mode)) {
    result.reason = std::strerror(EISDIR);
    return;
  }
  if (!S_ISREG(info.st_mode)) {
    result.reason = kNotRegular;
    return;
  }
  if (info.st_size >= INT_MAX) {
    result.reason = kTooLarge;
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

// Writes all `size` bytes of `data` to `fd`; returns false on an error (errno set).
bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t put = write(fd, data, size);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      if (put == 0) errno = EIO;
      return false;
    }
    data += put;
    size -= static_cast<size_t>(put);
  }
  return true;
}

// Writes the file in place: creates it or cuts it to nothing, then writes. Returns the reason
// of a failure or an empty string.
std::string WriteInPlace(const char* name, const char* data, size_t size) {
  // Without O_NONBLOCK a pipe with no reader would keep the open waiting for ever; the flag
  // is dropped again once the file is open, so the writes themselves wait as usual.
  int fd = open(name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK, 0666);
  if (fd < 0) {
    int error = errno;
    struct stat info;
    // ENXIO on a pipe means that nothing reads from it; on a device it keeps its own text.
    if (error == ENXIO && stat(name, &info) == 0 && S_ISFIFO(info.st_mode)) return kNoReader;
    return std::strerror(error);
  }
  int flags = fcntl(fd, F_GETFL);
  if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    std::string reason = Reason();
    (void)close(fd);  // the failure is already being reported
    return reason;
  }
  bool written = WriteAll(fd, data, size);
  std::string reason = written ? "" : Reason();
  if (close(fd) != 0 && written) reason = Reason();
  return reason;
}

// Returns the file a name finally stands for, following symbolic links; a link to a missing
// file gives the name of the file it would create.
std::string FollowLinks(const char* name) {
  std::string path = name;
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    struct stat info;
    if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    std::string target(static_cast<size_t>(info.st_size) + 1, '\0');
    ssize_t got = readlink(path.c_str(), target.data(), target.size());
    if (got <= 0 || static_cast<size_t>(got) >= target.size()) return path;
    target.resize(static_cast<size_t>(got));
    if (target[0] != '/') {
      size_t slash = path.rfind('/');
      if (slash != std::string::npos) target = path.substr(0, slash + 1) + target;
    }
    path = target;
  }
  return path;
}

// Returns the directory part of `path` with its slash ("" for a plain name).
std::string DirectoryOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

// Returns the permission bits a newly created file gets under the current umask.
mode_t NewFileMode() {
  mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

// Gives the temporary file the permissions and, where the process may, the owner of the file
// it replaces. Returns false when the owner cannot be kept.
bool CopyAttributes(int fd, const struct stat* old) {
  if (!old) return fchmod(fd, NewFileMode()) == 0;
  if ((old->st_uid != geteuid() || old->st_gid != getegid()) &&
      fchown(fd, old->st_uid, old->st_gid) != 0)
    return false;
  return fchmod(fd, old->st_mode & 07777) == 0;
}

// Writes through a temporary file renamed over `target`. Returns false, with *reason empty,
// when no temporary file with the old attributes can be made (write in place instead).
bool WriteReplacing(const std::string& target, const struct stat* old, const char* data,
                    size_t size, std::string* reason) {
  std::string temp = DirectoryOf(target) + ".pellak-save-XXXXXX";
  int fd = mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return false;
  if (!CopyAttributes(fd, old)) {
    // The temporary file is abandoned unused; nothing depends on how its removal goes.
    (void)close(fd);
    (void)unlink(temp.c_str());
    return false;
  }
  bool ok = WriteAll(fd, data, size);
  if (!ok) *reason = Reason();
  if (close(fd) != 0 && ok) {
    ok = false;
    *reason = Reason();
  }
  if (ok && rename(temp.c_str(), target.c_str()) != 0) {
    ok = false;
    *reason = Reason();
  }
  if (!ok) (void)unlink(temp.c_str());  // the failure is already being reported
  return true;
}

}  // namespace

FileText ReadFileInBlocks(const char* name, const BlockSink& take) {
  FileText result;
  // O_NONBLOCK: opening a pipe with no writer must not wait; it is refused as not regular.
  int fd = open(name, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    result.missing = (errno == ENOENT || errno == ENOTDIR);
    result.reason = Reason();
    return result;
  }
  ReadOpenFile(fd, take, result);
  if (close(fd) != 0 && result.ok) {
    result.reason = Reason();
    result.ok = false;
  }
  return result;
}

std::string WriteWholeFile(const char* name, const char* data, size_t size) {
  std::string target = FollowLinks(name);
  struct stat info;
  bool exists = stat(target.c_str(), &info) == 0;
  if (exists && S_ISDIR(info.st_mode)) return std::strerror(EISDIR);
  // The file itself must be writable: a rename would otherwise replace a read-only file.
  if (exists && access(target.c_str(), W_OK) != 0) return Reason();
  bool replace = !exists || (S_ISREG(info.st_mode) && info.st_nlink == 1);
  std::string reason;
  if (replace && WriteReplacing(target, exists ? &info : nullptr, data, size, &reason))
    return reason;
  return WriteInPlace(target.c_str(), data, size);
}
