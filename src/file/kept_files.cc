#include "file/kept_files.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace {

const char kPrivatePrefix[] = "pellak-";
const char kDefaultTemporary[] = "/tmp/";

// Returns true when `byte` continues a UTF-8 sequence.
bool Continues(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

}  // namespace

std::string BaseNameOf(const std::string& path) {
  size_t slash = path.rfind('/');
  std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  return base.empty() ? kNoNameStem : base;
}

std::string DirectoryPartOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

std::string FitStem(const std::string& stem, size_t extra) {
  size_t room = extra < NAME_MAX ? NAME_MAX - extra : 0;
  if (stem.size() <= room) return stem;
  size_t length = room;
  while (length > 0 && Continues(stem[length])) --length;
  return stem.substr(0, length);
}

int OpenPrivateDirectory(const std::string& parent, std::string* path) {
  *path = parent + kPrivatePrefix + std::to_string(geteuid()) + "/";
  if (mkdir(path->c_str(), 0700) != 0 && errno != EEXIST) return -1;
  return FindPrivateDirectory(parent, path);
}

int FindPrivateDirectory(const std::string& parent, std::string* path) {
  *path = parent + kPrivatePrefix + std::to_string(geteuid()) + "/";
  int fd = open(path->c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ELOOP || errno == ENOTDIR) errno = EPERM;
    return -1;
  }
  struct stat info;
  int error = 0;
  if (fstat(fd, &info) != 0) error = errno;
  else if (info.st_uid != geteuid() || (info.st_mode & 077) != 0) error = EPERM;
  if (error == 0) return fd;
  (void)close(fd);  // refused: nothing was done through it
  errno = error;
  return -1;
}

std::string TemporaryParent(bool fallback) {
  const char* tmp = std::getenv("TMPDIR");
  if (fallback || !tmp || !tmp[0]) return kDefaultTemporary;
  std::string parent = tmp;
  if (parent.back() != '/') parent += '/';
  return parent;
}
