#include "file/system_calls.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>

namespace {

const char kProcFd[] = "/proc/self/fd/";
const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
const int kMaxTries = 100;  // random names tried before giving up

// Returns six random letters or digits.
std::string RandomPart() {
  unsigned char bytes[6];
  size_t got = 0;
  while (got < sizeof bytes) {
    ssize_t part = getrandom(bytes + got, sizeof bytes - got, 0);
    if (part > 0) got += static_cast<size_t>(part);
    else if (errno != EINTR) break;
  }
  // Without the random source, the clock and the process number still make a name no one else
  // is likely to pick; O_EXCL keeps a taken one from being used anyway.
  if (got < sizeof bytes) {
    unsigned long mix = static_cast<unsigned long>(getpid()) * 2654435761UL ^
                        static_cast<unsigned long>(clock());
    for (unsigned char& byte : bytes) byte = static_cast<unsigned char>(mix >>= 5);
  }
  std::string part;
  for (unsigned char byte : bytes) part += kLetters[byte % (sizeof kLetters - 1)];
  return part;
}

}  // namespace

Descriptor& Descriptor::operator=(Descriptor&& other) noexcept {
  if (this != &other) {
    Descriptor old(fd_);  // closes the one held so far
    fd_ = other.Release();
  }
  return *this;
}

Descriptor::~Descriptor() {
  if (fd_ >= 0) (void)close(fd_);  // nothing was written through it
}

int Descriptor::Release() {
  int fd = fd_;
  fd_ = -1;
  return fd;
}

std::string Reason() { return std::strerror(errno); }

bool WriteAll(int fd, const char* data, size_t size, off_t offset) {
  while (size > 0) {
    ssize_t put = offset < 0 ? write(fd, data, size) : pwrite(fd, data, size, offset);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      if (put == 0) errno = EIO;
      return false;
    }
    data += put;
    size -= static_cast<size_t>(put);
    if (offset >= 0) offset += put;
  }
  return true;
}

bool Sync(int fd) { return fsync(fd) == 0 || errno == EINVAL; }

bool SyncDirectory(int dir, int fd) {
  int opened = openat(dir, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (opened < 0) return syncfs(fd) == 0;
  Descriptor directory(opened);
  return Sync(directory.get());
}

bool Close(int fd) { return close(fd) == 0; }

std::string RandomName(const std::string& prefix) { return prefix + RandomPart(); }

std::string ProcPath(int fd) { return kProcFd + std::to_string(fd); }

int Reopen(int path_fd, int flags) {
  std::string path = ProcPath(path_fd);
  int fd = open(path.c_str(), flags | O_CLOEXEC);
  if (fd < 0 && errno == ENOENT && access(kProcFd, X_OK) != 0) errno = ENOSYS;
  return fd;
}

std::string PathOf(int fd) {
  std::string proc = ProcPath(fd);
  char path[PATH_MAX];
  ssize_t got = readlink(proc.c_str(), path, sizeof path);
  if (got <= 0 || static_cast<size_t>(got) >= sizeof path || path[0] != '/') return "";
  return std::string(path, static_cast<size_t>(got));
}

std::string LinkText(int dir, const std::string& name) {
  char text[PATH_MAX];
  ssize_t got = readlinkat(dir, name.c_str(), text, sizeof text);
  if (got <= 0 || static_cast<size_t>(got) >= sizeof text) return "";
  return std::string(text, static_cast<size_t>(got));
}

int CreateUniqueFile(int dir, const std::string& prefix, int flags, mode_t mode, std::string* name) {
  for (int tries = 0; tries < kMaxTries; ++tries) {
    *name = RandomName(prefix);
    int fd = openat(dir, name->c_str(), flags | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}
