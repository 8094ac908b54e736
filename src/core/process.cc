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

bool WaitForInput(int fd) {
  pollfd wanted = {fd, POLLIN, 0};
  if (!installed) return poll(&wanted, 1, -1) >= 0 || errno != EINTR;
  // The handled signals are blocked from the test of the flags until ppoll lets them in, so
  // none can slip in between and leave the wait unwoken.
  sigset_t open_mask;
  (void)sigprocmask(SIG_BLOCK, &handled, &open_mask);  // cannot fail with valid sets
  int ready = -1;
  if (!stop_signal && !interrupted) ready = ppoll(&wanted, 1, nullptr, &open_mask);
  else errno = EINTR;
  int error = errno;
  (void)sigprocmask(SIG_SETMASK, &open_mask, nullptr);
  return ready >= 0 || error != EINTR;
}

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
