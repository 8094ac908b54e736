#include "core/process.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>

void (*terminate_hook)(int status) = nullptr;
int (*shell_hook)(const char* command) = nullptr;

namespace {

// How long a session that is ending after a hangup or termination waits for a screen or
// standard error that takes nothing (a terminal stopped with Ctrl-S, a paused pipe reader).
constexpr int kLastWaitMs = 2000;
constexpr int kErrorTries = 3;  // cut-short writes of a line on standard error before it is dropped

volatile sig_atomic_t stop_signal = 0;
volatile sig_atomic_t interrupted = 0;
bool installed = false;
sigset_t handled;  // the signals with a handler

// Records a hangup or a termination; the loop acts on it once the current work is done.
void OnStop(int sig) { stop_signal = sig; }

// Records a Ctrl-C or Ctrl-\ typed at the terminal.
void OnInterrupt(int) { interrupted = 1; }

// Installs `handler` for `sig` with `flags`.
void Handle(int sig, void (*handler)(int), int flags) {
  struct sigaction action = {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = flags;
  if (sigaction(sig, &action, nullptr) == 0) sigaddset(&handled, sig);
}

// Sets the disposition of SIGPIPE.
void SetPipeAction(void (*handler)(int)) {
  struct sigaction action = {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  (void)sigaction(SIGPIPE, &action, nullptr);  // fails only for an invalid signal
}

// Waits until `fd` is ready for `events`. A hangup or termination always ends the wait, a
// Ctrl-C only when `interruptible`. Returns false when a signal ended it or had come already.
bool Wait(int fd, short events, bool interruptible) {
  pollfd wanted = {fd, events, 0};
  if (!installed) return poll(&wanted, 1, -1) >= 0 || errno != EINTR;
  // The handled signals are blocked from the test of the flags until ppoll lets them in, so
  // none can slip in between and leave the wait unwoken.
  sigset_t open_mask;
  (void)sigprocmask(SIG_BLOCK, &handled, &open_mask);  // cannot fail with valid sets
  int ready = -1;
  if (!stop_signal && !(interruptible && interrupted))
    ready = ppoll(&wanted, 1, nullptr, &open_mask);
  else
    errno = EINTR;
  int error = errno;
  (void)sigprocmask(SIG_SETMASK, &open_mask, nullptr);
  return ready >= 0 || error != EINTR;
}

// Returns true when `fd` can take output now or within kLastWaitMs (or has failed, which the
// write then reports).
bool ReadyWithin(int fd) {
  pollfd wanted = {fd, POLLOUT, 0};
  return poll(&wanted, 1, kLastWaitMs) > 0;
}

bool screen_lost = false;  // after a hangup, the screen took nothing within kLastWaitMs

// Writes standard output's buffered bytes for the stream WaitForSlowScreen makes. Returns how
// many were written; fewer than `size` is the stream's error.
ssize_t WriteScreen(void*, const char* data, size_t size) {
  size_t done = 0;
  while (done < size) {
    if (stop_signal && (screen_lost || !ReadyWithin(STDOUT_FILENO))) {
      screen_lost = true;
      break;
    }
    ssize_t put = write(STDOUT_FILENO, data + done, size - done);
    if (put > 0) {
      done += static_cast<size_t>(put);
    } else if (put < 0 && errno == EAGAIN) {
      (void)WaitForOutput(STDOUT_FILENO);  // a hangup meanwhile is seen at the loop's top
    } else if (put == 0 || errno != EINTR) {
      break;  // gone: its reader closed, a closed terminal, a full disk
    }
  }
  return static_cast<ssize_t>(done);
}

}  // namespace

[[noreturn]] void Terminate(int status) {
  std::fflush(stdout);
  if (terminate_hook) terminate_hook(status);
  std::exit(status);
}

int RunShell(const char* command) {
  std::fflush(stdout);
  if (shell_hook) return shell_hook(command);
  if (!installed) return std::system(command);
  // The command sees a closed pipe as it would from a shell (system() itself lets it have
  // Ctrl-C); a hangup meanwhile is recorded and acted on after it.
  SetPipeAction(SIG_DFL);
  int status = std::system(command);
  SetPipeAction(SIG_IGN);
  return status;
}

void InstallSignalHandlers(bool interactive) {
  sigemptyset(&handled);
  // Without SA_RESTART a hangup also cuts short a write to a stalled screen, so the editor
  // never hangs on its way to the recovery file; file reads and writes retry after EINTR.
  Handle(SIGHUP, OnStop, 0);
  Handle(SIGTERM, OnStop, 0);
  if (interactive) {
    // Ctrl-C only has to end a wait for input, which WaitForInput sees anyway: with
    // SA_RESTART it breaks no write to the screen.
    Handle(SIGINT, OnInterrupt, SA_RESTART);
    Handle(SIGQUIT, OnInterrupt, SA_RESTART);
  }
  SetPipeAction(SIG_IGN);
  installed = true;
}

bool WaitForInput(int fd) { return Wait(fd, POLLIN, true); }

bool WaitForOutput(int fd) { return Wait(fd, POLLOUT, false); }

int StopSignal() { return stop_signal; }

void RecordHangup() { stop_signal = SIGHUP; }

bool TakeInterrupt() {
  if (!interrupted) return false;
  interrupted = 0;
  return true;
}

bool InterruptPending() { return interrupted != 0; }

[[noreturn]] void DieOfSignal(int sig) {
  std::fflush(stdout);
  struct sigaction action = {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  (void)sigaction(sig, &action, nullptr);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, sig);
  (void)sigprocmask(SIG_UNBLOCK, &only, nullptr);
  (void)raise(sig);
  std::_Exit(128 + sig);  // not reached: the signal ends the process
}

void DropOutputIfGone() {
  if (!std::ferror(stdout)) return;
  int null_fd = open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (null_fd >= 0) {
    (void)dup2(null_fd, STDOUT_FILENO);  // nothing is left to report a failure to
    if (null_fd != STDOUT_FILENO) (void)close(null_fd);
  }
  std::clearerr(stdout);
}

void WaitForSlowScreen() {
  cookie_io_functions_t io = {nullptr, WriteScreen, nullptr, nullptr};
  // Without the stream (no memory) output goes on through the plain one.
  if (FILE* screen = fopencookie(nullptr, "w", io)) stdout = screen;
}

bool PutErrorLine(const std::string& line) {
  const char* data = line.data();
  size_t size = line.size();
  for (int tries = 0; size > 0;) {
    if (!ReadyWithin(STDERR_FILENO)) return false;
    ssize_t put = write(STDERR_FILENO, data, size);
    if (put > 0) {
      data += put;
      size -= static_cast<size_t>(put);
    } else if (put == 0 || (errno != EINTR && errno != EAGAIN) || ++tries == kErrorTries) {
      return false;
    }
  }
  return true;
}
