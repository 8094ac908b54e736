// Linked with --wrap for each function below: the editor's calls arrive at __wrap_NAME, which
// refuses names that could leave the working directory before calling the real function.
#include "file_guard.h"

#include <fcntl.h>
#include <sys/types.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace fuzz {
bool guard_on = false;
char own_directory[4096] = {};
}  // namespace fuzz

namespace {

// Returns true when `path` is inside the fuzzer's own directory.
bool InOwnDirectory(const char* path) {
  size_t length = std::strlen(fuzz::own_directory);
  return length > 0 && std::strncmp(path, fuzz::own_directory, length) == 0 &&
         std::strstr(path, "/../") == nullptr;
}

// Returns true when `path` may be used: always outside a session, else only plain names and
// the fuzzer's own files.
bool Allowed(const char* path) {
  if (!fuzz::guard_on || path == nullptr || std::strchr(path, '/') == nullptr) return true;
  if (InOwnDirectory(path)) return true;
  errno = EACCES;
  return false;
}

// Reads the mode argument of open() when the flags ask for one.
mode_t ModeOf(int flags, va_list args) {
  return (flags & (O_CREAT | O_TMPFILE)) != 0 ? static_cast<mode_t>(va_arg(args, int)) : 0;
}

}  // namespace

extern "C" {

FILE* __real_fopen(const char* path, const char* mode);
FILE* __real_freopen(const char* path, const char* mode, FILE* stream);
int __real_open(const char* path, int flags, ...);
int __real_openat(int dir, const char* path, int flags, ...);
int __real_creat(const char* path, mode_t mode);
int __real_rename(const char* from, const char* to);
int __real_remove(const char* path);
int __real_unlink(const char* path);
int __real_truncate(const char* path, off_t length);
int __real_mkstemp(char* path);
int __real_mkostemp(char* path, int flags);
int __real_link(const char* from, const char* to);
int __real_symlink(const char* target, const char* path);
int __real_system(const char* command);
FILE* __real_popen(const char* command, const char* mode);

// Each __wrap_NAME returns what NAME returns, or NAME's failure value (errno EACCES) when it
// refuses a name.
FILE* __wrap_fopen(const char* path, const char* mode) {
  return Allowed(path) ? __real_fopen(path, mode) : nullptr;
}
FILE* __wrap_freopen(const char* path, const char* mode, FILE* stream) {
  return Allowed(path) ? __real_freopen(path, mode, stream) : nullptr;
}
int __wrap_open(const char* path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  mode_t mode = ModeOf(flags, args);
  va_end(args);
  return Allowed(path) ? __real_open(path, flags, mode) : -1;
}
int __wrap_openat(int dir, const char* path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  mode_t mode = ModeOf(flags, args);
  va_end(args);
  return Allowed(path) ? __real_openat(dir, path, flags, mode) : -1;
}
int __wrap_creat(const char* path, mode_t mode) { return Allowed(path) ? __real_creat(path, mode) : -1; }
int __wrap_rename(const char* from, const char* to) {
  return Allowed(from) && Allowed(to) ? __real_rename(from, to) : -1;
}
int __wrap_remove(const char* path) { return Allowed(path) ? __real_remove(path) : -1; }
int __wrap_unlink(const char* path) { return Allowed(path) ? __real_unlink(path) : -1; }
int __wrap_truncate(const char* path, off_t length) {
  return Allowed(path) ? __real_truncate(path, length) : -1;
}
int __wrap_mkstemp(char* path) { return Allowed(path) ? __real_mkstemp(path) : -1; }
int __wrap_mkostemp(char* path, int flags) {
  return Allowed(path) ? __real_mkostemp(path, flags) : -1;
}
int __wrap_link(const char* from, const char* to) {
  return Allowed(from) && Allowed(to) ? __real_link(from, to) : -1;
}
int __wrap_symlink(const char* target, const char* path) {
  return Allowed(target) && Allowed(path) ? __real_symlink(target, path) : -1;
}

// The launch command must go through RunShell, which the harness replaces; reaching the real
// shell is a fault of its own.
int __wrap_system(const char* command) {
  if (fuzz::guard_on) {
    std::fprintf(stderr, "the editor called system(\"%s\") directly\n", command ? command : "");
    std::abort();
  }
  return __real_system(command);
}
FILE* __wrap_popen(const char* command, const char* mode) {
  if (fuzz::guard_on) {
    std::fprintf(stderr, "the editor called popen(\"%s\")\n", command ? command : "");
    std::abort();
  }
  return __real_popen(command, mode);
}

}  // extern "C"
