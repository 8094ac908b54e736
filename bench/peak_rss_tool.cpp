// pellak_peak_rss: runs a command with standard input from a file and output to /dev/null,
// and prints the peak resident memory of the command in KiB. It is a small process of its
// own because a child's peak memory also counts the pages of the process that started it.
// Usage: pellak_peak_rss DIR INPUT COMMAND [ARGS...]
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fputs("usage: pellak_peak_rss DIR INPUT COMMAND [ARGS...]\n", stderr);
    return 2;
  }
  pid_t pid = fork();
  if (pid < 0) return 2;
  if (pid == 0) {
    int in = open(argv[2], O_RDONLY);
    int out = open("/dev/null", O_WRONLY);
    if (in < 0 || out < 0 || chdir(argv[1]) != 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0) _exit(127);
    execv(argv[3], argv + 3);
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) < 0) return 2;
  std::printf("%ld %d\n", usage.ru_maxrss, WIFEXITED(status) ? WEXITSTATUS(status) : -1);
  return 0;
}
