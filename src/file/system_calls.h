// Small system-call helpers of the file layer: whole writes with EINTR retried, syncs, the
// directory of a path, descriptors closed on every path, and reopening a file by its descriptor.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>

// An open descriptor that is closed when it goes out of scope. Only for descriptors nothing was
// written through (O_PATH, directories, read-only files), whose close cannot lose data; a file
// written through is closed with Close and its result checked.
class Descriptor {
 public:
  Descriptor() = default;
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  Descriptor(Descriptor&& other) noexcept : fd_(other.Release()) {}
  Descriptor& operator=(Descriptor&& other) noexcept;
  ~Descriptor();
  int get() const { return fd_; }
  bool ok() const { return fd_ >= 0; }
  // Hands the descriptor over to the caller, who closes it from then on.
  int Release();

 private:
  int fd_ = -1;
};

// Returns the text of the current errno.
std::string Reason();

// Writes all `size` bytes of `data` to `fd` (at `offset` when it is not negative), retrying
// after EINTR. Returns false on an error, with errno set (EIO when nothing could be written).
bool WriteAll(int fd, const char* data, size_t size, off_t offset = -1);

// Flushes `fd` to the disk. Returns false on a failure (errno set); a device or pipe that cannot
// be synced counts as synced.
bool Sync(int fd);

// Makes a name just made or replaced in the directory `dir` last: syncs the directory, or, where
// it cannot be opened for that (a directory that can be written but not read), the whole file
// system of the file `fd`. Returns false on a failure (errno set).
bool SyncDirectory(int dir, int fd);

// Closes `fd` written through. Returns false when the close failed (errno set).
bool Close(int fd);

// Opens the file `path_fd` (an O_PATH descriptor) again with `flags`, the very same file and no
// other. Returns the new descriptor, or -1 with errno set (ENOSYS when the system has no
// /proc/self/fd to do it with).
int Reopen(int path_fd, int flags);

// Returns the path under which the kernel reaches the file of `fd`, or "" when it cannot tell.
std::string PathOf(int fd);

// Returns the text of the symbolic link `name` in the directory `dir`, or "" when it cannot be
// read.
std::string LinkText(int dir, const std::string& name);

// Creates a new file `prefix` + six random characters in the directory `dir`, never taking an
// existing name, with `flags` added to O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC and `mode`.
// Returns its descriptor and stores its name in *name, or -1 with errno set.
int CreateUniqueFile(int dir, const std::string& prefix, int flags, mode_t mode, std::string* name);

// Returns `prefix` followed by six random letters and digits.
std::string RandomName(const std::string& prefix);

// Returns the /proc path that stands for the open file `fd`.
std::string ProcPath(int fd);
