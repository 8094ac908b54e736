#include "core/process.h"

#include <cstdio>
#include <cstdlib>

void (*terminate_hook)(int status) = nullptr;
int (*shell_hook)(const char* command) = nullptr;

[[noreturn]] void Terminate(int status) {
  std::fflush(stdout);
  if (terminate_hook) terminate_hook(status);
  std::exit(status);
}

int RunShell(const char* command) {
  std::fflush(stdout);
  if (shell_hook) return shell_hook(command);
  return std::system(command);
}
