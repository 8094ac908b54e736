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
sigset_t handled;       // the signals with a handler, blocked outside WaitForInput
sigset_t started_mask;  // the mask the process started with

// Records a hangup or a termination; the loop acts on it once the current work is done.
void OnStop(int sig) { stop_signal = sig; }

// Records a Ctrl-C or Ctrl-\ typed at the terminal.
void OnInterrupt(int) { interrupted = 1; }

// Installs `handler` for `sig` without SA_RESTART, so a waiting call returns.
void Handle(int sig, void (*handler)(int)) {
  struct sigaction action = {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;
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
  // The command sees Ctrl-C and a closed pipe as it would from a shell; a hangup meanwhile is
  // recorded and acted on after it.
  SetPipeAction(SIG_DFL);
  sigset_t saved;
  (void)sigprocmask(SIG_SETMASK, &started_mask, &saved);  // cannot fail with valid sets
  int status = std::system(command);
  (void)sigprocmask(SIG_SETMASK, &saved, nullptr);
  SetPipeAction(SIG_IGN);
  return status;
}

void InstallSignalHandlers(bool interactive) {
  sigemptyset(&handled);
  Handle(SIGHUP, OnStop);
  Handle(SIGTERM, OnStop);
  if (interactive) {
    Handle(SIGINT, OnInterrupt);
    Handle(SIGQUIT, OnInterrupt);
  }
  SetPipeAction(SIG_IGN);
  (void)sigprocmask(SIG_BLOCK, &handled, &started_mask);  // cannot fail with valid sets
  installed = true;
}

bool WaitForInput(int fd) {
  pollfd wanted = {fd, POLLIN, 0};
  // The mask the process started with lets the handled signals in, at this point only.
  int ready = installed ? ppoll(&wanted, 1, nullptr, &started_mask) : poll(&wanted, 1, -1);
  return ready >= 0 || errno != EINTR;
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
