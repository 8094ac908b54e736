// Linked with --wrap for each function below: while a session runs, a path with a directory
// part is refused (EACCES) unless it lies in the fuzzer's own directory or opens an open file
// again (/proc/self/fd/N), and a real shell aborts.
#include <fcntl.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

bool fuzz_guard_on = false;           // set by the harness while a session runs
char fuzz_own_directory[4096] = {};  // where libFuzzer writes its files, ending with a slash

namespace {

const char kOpenAgain[] = "/proc/self/fd/";

// Returns true when `path` may be used.
bool Allowed(const char* path) {
  if (!fuzz_guard_on || !path || !std::strchr(path, '/')) return true;
  // A file already open, opened again by its descriptor: it was let through when first opened.
  if (!std::strncmp(path, kOpenAgain, sizeof kOpenAgain - 1) && !std::strstr(path, "/../"))
    return true;
  size_t own = std::strlen(fuzz_own_directory);
  if (own && !std::strncmp(path, fuzz_own_directory, own) && !std::strstr(path, "/../"))
    return true;
  errno = EACCES;
  return false;
}

// Aborts when a session reaches the real shell instead of the harness's RunShell hook.
void NoShell(const char* command) {
  if (!fuzz_guard_on) return;
  std::fprintf(stderr, "the editor ran a shell: %s\n", command ? command : "");
  std::abort();
}

}  // namespace

extern "C" {
FILE* __real_fopen(const char*, const char*);
int __real_open(const char*, int, ...);
int __real_rename(const char*, const char*);
int __real_remove(const char*);
int __real_unlink(const char*);
int __real_mkostemp(char*, int);
int __real_system(const char*);

FILE* __wrap_fopen(const char* p, const char* m) {
  return Allowed(p) ? __real_fopen(p, m) : nullptr;
}
int __wrap_open(const char* p, int flags, ...) {  // the mode argument comes with O_CREAT
  va_list args;
  va_start(args, flags);
  int mode = flags & (O_CREAT | O_TMPFILE) ? va_arg(args, int) : 0;
  va_end(args);
  return Allowed(p) ? __real_open(p, flags, mode) : -1;
}
int __wrap_rename(const char* a, const char* b) {
  return Allowed(a) && Allowed(b) ? __real_rename(a, b) : -1;
}
int __wrap_remove(const char* p) { return Allowed(p) ? __real_remove(p) : -1; }
int __wrap_unlink(const char* p) { return Allowed(p) ? __real_unlink(p) : -1; }
int __wrap_mkostemp(char* p, int f) { return Allowed(p) ? __real_mkostemp(p, f) : -1; }
int __wrap_system(const char* c) { return NoShell(c), __real_system(c); }
}  // extern "C"
