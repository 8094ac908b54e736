#include "file/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char kNotRegular[] = "not a regular file";
const char kTooLarge[] = "the file is too large";
const char kChanged[] = "the file changed while it was read";
const char kNoReader[] = "no program is reading from that pipe";
const char kNoCopy[] = "no copy of its old content can be kept: ";
const char kCopySuffix[] = ".pellak-backup";
const char kAccessList[] = "system.posix_acl_access";
const int kMaxLinkHops = 40;  // as many as the system follows
const int kMaxCopies = 99;    // names tried for a copy of the old content
constexpr off_t kCopyBlock = 1 << 16;
constexpr size_t kReadBlock = 1 << 16;

// Returns the text of the current errno.
std::string Reason() { return std::strerror(errno); }

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

// Returns the result of a write that failed with `reason`, leaving the file as `outcome` says.
WriteResult Failed(WriteOutcome outcome, const std::string& reason) {
  WriteResult result;
  result.outcome = outcome;
  result.reason = reason;
  return result;
}

// Returns the result of a write whose file `fd` now holds the new content on the disk.
WriteResult Written(int fd) {
  struct stat info;
  if (fstat(fd, &info) != 0) return Failed(WriteOutcome::kUnknown, Reason());
  WriteResult result;
  result.outcome = WriteOutcome::kWritten;
  result.identity = IdentityOf(info);
  return result;
}

// Flushes `fd` to the disk. Returns false on a failure (errno set); a device or pipe that
// cannot be synced counts as synced.
bool Sync(int fd) { return fsync(fd) == 0 || errno == EINVAL; }

// Returns the directory part of `path` with its slash ("" for a plain name).
std::string DirectoryOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

// Flushes the directory holding `path` to the disk, so that a name just made or replaced there
// lasts. Returns false on a failure (errno set).
bool SyncDirectory(const std::string& path) {
  std::string dir = DirectoryOf(path);
  int fd = open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = Sync(fd);
  int error = errno;
  if (close(fd) != 0 && ok) return false;
  errno = error;
  return ok;
}

// Writes a new file or a device or pipe in place. A new file that cannot be written in full is
// removed again.
WriteResult WriteInPlace(const std::string& target, bool is_new, const ContentWriter& write) {
  // Without O_NONBLOCK a pipe with no reader would keep the open waiting for ever; the flag
  // is dropped again once the file is open, so the writes themselves wait as usual.
  int flags = O_WRONLY | O_CLOEXEC | O_NONBLOCK | (is_new ? O_CREAT | O_EXCL : O_TRUNC);
  int fd = open(target.c_str(), flags, 0666);
  if (fd < 0) {
    int error = errno;
    struct stat info;
    // ENXIO on a pipe means that nothing reads from it; on a device it keeps its own text.
    if (error == ENXIO && stat(target.c_str(), &info) == 0 && S_ISFIFO(info.st_mode))
      return Failed(WriteOutcome::kUnchanged, kNoReader);
    return Failed(WriteOutcome::kUnchanged, std::strerror(error));
  }
  int mode = fcntl(fd, F_GETFL);
  bool ok = mode >= 0 && fcntl(fd, F_SETFL, mode & ~O_NONBLOCK) == 0 && write(fd) && Sync(fd) &&
            (!is_new || SyncDirectory(target));
  WriteResult result = ok ? Written(fd) : Failed(WriteOutcome::kUnknown, Reason());
  if (close(fd) != 0 && result.outcome == WriteOutcome::kWritten)
    result = Failed(WriteOutcome::kUnknown, Reason());
  if (is_new && result.outcome != WriteOutcome::kWritten && unlink(target.c_str()) == 0)
    result.outcome = WriteOutcome::kUnchanged;  // the file is gone again, as it was
  return result;
}

// Creates a file for a copy under the first free name of `base`, `base`-2, ... (an existing
// file is never taken). Returns its descriptor and stores its name in *path, or -1 (errno set).
int CreateCopyFile(const std::string& base, std::string* path) {
  for (int number = 1; number <= kMaxCopies; ++number) {
    *path = number == 1 ? base : base + "-" + std::to_string(number);
    int fd = open(path->c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// Copies `size` bytes from offset 0 of `from` to offset 0 of `to`. Returns false on an error
// (errno set).
bool CopyContent(int from, int to, off_t size) {
  static char block[kCopyBlock];
  for (off_t at = 0; at < size;) {
    size_t want = static_cast<size_t>(std::min<off_t>(size - at, kCopyBlock));
    ssize_t got = pread(from, block, want, at);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      if (got == 0) errno = EIO;  // the file ended early
      return false;
    }
    for (ssize_t done = 0; done < got;) {
      ssize_t put = pwrite(to, block + done, static_cast<size_t>(got - done), at + done);
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) {
        if (put == 0) errno = EIO;
        return false;
      }
      done += put;
    }
    at += got;
  }
  return true;
}

// Copies the `size` bytes of `fd`, the file `target`, into a new file beside it, or in the
// temporary directory when none can be made there, and syncs the copy to the disk. Returns the
// copy's descriptor and stores its name in *path, or -1 with errno set.
int KeepCopy(const std::string& target, int fd, off_t size, std::string* path) {
  const char* tmp = std::getenv("TMPDIR");
  size_t slash = target.rfind('/');
  std::string base = target.substr(slash == std::string::npos ? 0 : slash + 1);
  const std::string places[] = {target + kCopySuffix,
                                std::string(tmp && tmp[0] ? tmp : "/tmp") + "/" + base + kCopySuffix};
  int error = 0;
  for (const std::string& place : places) {
    int copy = CreateCopyFile(place, path);
    if (copy < 0) {
      error = errno;
      continue;
    }
    if (CopyContent(fd, copy, size) && Sync(copy) && SyncDirectory(*path)) return copy;
    error = errno;
    // The unfinished copy is of no use; the failure is reported through the next place.
    (void)close(copy);
    (void)unlink(path->c_str());
  }
  errno = error;
  return -1;
}

// Writes the existing regular file `target` in place, keeping a copy of its old content until
// the new content is on the disk.
WriteResult WriteKeepingCopy(const std::string& target, size_t size, const ContentWriter& write) {
  int fd = open(target.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return Failed(WriteOutcome::kUnchanged, Reason());
  struct stat old;
  std::string copy_path;
  int copy = fstat(fd, &old) == 0 ? KeepCopy(target, fd, old.st_size, &copy_path) : -1;
  if (copy < 0) {
    WriteResult result = Failed(WriteOutcome::kUnchanged, std::string(kNoCopy) + Reason());
    (void)close(fd);  // nothing was written through it
    return result;
  }
  // Reserving the room first finds a full disk before a byte of the file changes.
  int error = size > 0 ? posix_fallocate(fd, 0, static_cast<off_t>(size)) : 0;
  bool reserved = error == 0 || error == EOPNOTSUPP || error == EINVAL;
  if (!reserved) errno = error;
  bool ok = reserved && write(fd) && ftruncate(fd, static_cast<off_t>(size)) == 0 && Sync(fd);
  WriteResult result = ok ? Written(fd) : Failed(WriteOutcome::kOldInCopy, Reason());
  if (!ok && CopyContent(copy, fd, old.st_size) && ftruncate(fd, old.st_size) == 0 && Sync(fd))
    result.outcome = WriteOutcome::kUnchanged;  // the old content is back
  if (close(fd) != 0 && result.outcome != WriteOutcome::kOldInCopy)
    result = Failed(WriteOutcome::kOldInCopy, Reason());
  bool keep = result.outcome == WriteOutcome::kOldInCopy;
  if (keep) result.old_copy = copy_path;
  // The copy is removed once it is no longer needed; one left behind holds only the old
  // content, so how closing or removing it goes changes nothing of the outcome.
  (void)close(copy);
  if (!keep) (void)unlink(copy_path.c_str());
  return result;
}

// Finds the file a name finally stands for, following symbolic links, and stores it in *path;
// a link to a missing file gives the name of the file it would create. Returns false, with
// errno set, when the links loop or lead through more links than the system follows.
bool FollowLinks(const char* name, std::string* path) {
  *path = name;
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    struct stat info;
    if (lstat(path->c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return true;
    std::string target(static_cast<size_t>(info.st_size) + 1, '\0');
    ssize_t got = readlink(path->c_str(), target.data(), target.size());
    if (got <= 0 || static_cast<size_t>(got) >= target.size()) return true;
    target.resize(static_cast<size_t>(got));
    if (target[0] != '/') target = DirectoryOf(*path) + target;
    *path = target;
  }
  errno = ELOOP;
  return false;
}

// Returns the permission bits a newly created file gets under the current umask.
mode_t NewFileMode() {
  mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

// Gives the file `fd` every extended attribute of the file `source` that the process can read,
// access lists included, and takes away an access list it got from its directory that `source`
// lacks. Returns false when one cannot be set or the list cannot be read.
bool CopyExtendedAttributes(const char* source, int fd) {
  ssize_t length = listxattr(source, nullptr, 0);
  if (length < 0) return errno == ENOTSUP;
  std::string names(static_cast<size_t>(length), '\0');
  length = listxattr(source, names.data(), names.size());
  if (length < 0) return false;
  bool had_access_list = false;
  std::string value;
  for (size_t at = 0; at < static_cast<size_t>(length); at += std::strlen(&names[at]) + 1) {
    const char* attribute = &names[at];
    had_access_list = had_access_list || std::strcmp(attribute, kAccessList) == 0;
    ssize_t size = getxattr(source, attribute, nullptr, 0);
    if (size < 0) continue;  // one the process cannot read
    value.resize(static_cast<size_t>(size));
    size = getxattr(source, attribute, value.data(), value.size());
    if (size < 0) return false;
    if (fsetxattr(fd, attribute, value.data(), static_cast<size_t>(size), 0) != 0) return false;
  }
  return had_access_list || fremovexattr(fd, kAccessList) == 0 || errno == ENODATA ||
         errno == ENOTSUP;
}

// Gives the temporary file the permissions, extended attributes and, where the process may, the
// owner of the file `target` it replaces. Returns false when one of them cannot be kept.
bool CopyAttributes(int fd, const std::string& target, const struct stat* old) {
  if (!old) return fchmod(fd, NewFileMode()) == 0;
  if ((old->st_uid != geteuid() || old->st_gid != getegid()) &&
      fchown(fd, old->st_uid, old->st_gid) != 0)
    return false;
  // The mode comes last: a change of owner clears the set-id bits, and the bits then match the
  // access list's mask exactly as they did on the old file.
  return CopyExtendedAttributes(target.c_str(), fd) && fchmod(fd, old->st_mode & 07777) == 0;
}

// Writes through a temporary file renamed over `target`. Returns false when no temporary file
// with the old attributes can be made (write in place instead); else stores the outcome.
bool WriteReplacing(const std::string& target, const struct stat* old, const ContentWriter& write,
                    WriteResult* result) {
  std::string temp = DirectoryOf(target) + ".pellak-save-XXXXXX";
  int fd = mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return false;
  if (!CopyAttributes(fd, target, old)) {
    // The temporary file is abandoned unused; nothing depends on how its removal goes.
    (void)close(fd);
    (void)unlink(temp.c_str());
    return false;
  }
  bool ok = write(fd) && Sync(fd);
  *result = ok ? Written(fd) : Failed(WriteOutcome::kUnchanged, Reason());
  if (close(fd) != 0 && ok) *result = Failed(WriteOutcome::kUnchanged, Reason());
  if (result->outcome == WriteOutcome::kWritten && rename(temp.c_str(), target.c_str()) != 0)
    *result = Failed(WriteOutcome::kUnchanged, Reason());
  if (result->outcome != WriteOutcome::kWritten) {
    (void)unlink(temp.c_str());  // the failure is already being reported
  } else if (!SyncDirectory(target)) {
    *result = Failed(WriteOutcome::kUnknown, Reason());
  }
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

FileIdentity IdentityOf(const struct stat& info) {
  FileIdentity identity;
  identity.exists = true;
  identity.device = info.st_dev;
  identity.inode = info.st_ino;
  identity.size = info.st_size;
  identity.modified = info.st_mtim;
  return identity;
}

bool SameFile(const FileIdentity& known, const struct stat& info) {
  return known.exists && known.device == info.st_dev && known.inode == info.st_ino &&
         known.size == info.st_size && known.modified.tv_sec == info.st_mtim.tv_sec &&
         known.modified.tv_nsec == info.st_mtim.tv_nsec;
}

WriteResult WriteWholeFile(const char* name, size_t size, const ContentWriter& write) {
  std::string target;
  if (!FollowLinks(name, &target)) return Failed(WriteOutcome::kUnchanged, Reason());
  struct stat info;
  bool exists = stat(target.c_str(), &info) == 0;
  if (!exists && errno != ENOENT) return Failed(WriteOutcome::kUnchanged, Reason());
  if (exists && S_ISDIR(info.st_mode)) return Failed(WriteOutcome::kUnchanged, std::strerror(EISDIR));
  // The file itself must be writable: a rename would otherwise replace a read-only file.
  if (exists && access(target.c_str(), W_OK) != 0) return Failed(WriteOutcome::kUnchanged, Reason());
  bool regular = exists && S_ISREG(info.st_mode);
  WriteResult result;
  if ((!exists || (regular && info.st_nlink == 1)) &&
      WriteReplacing(target, exists ? &info : nullptr, write, &result))
    return result;
  if (regular) return WriteKeepingCopy(target, size, write);
  return WriteInPlace(target, !exists, write);
}
