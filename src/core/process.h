// The editor's ways out to the operating system: ending the process, running a shell command
// and the signals it handles. A harness that runs the editor in-process replaces the first two
// through the hooks and installs no signal handlers.
#pragma once

#include <string>

// Ends the process with `status` after flushing output. Besides returning from RunEditor, the
// process ends only here or in DieOfSignal. A harness that runs the editor in-process may set
// terminate_hook, which must not return (it may throw).
[[noreturn]] void Terminate(int status);
extern void (*terminate_hook)(int status);

// Flushes output and runs `command` with the system shell, waiting for it; returns what
// system() returns. The command gets the default action of SIGPIPE. A harness may set
// shell_hook to run commands its own way instead.
int RunShell(const char* command);
extern int (*shell_hook)(const char* command);

// Makes SIGHUP and SIGTERM, and with `interactive` SIGINT and SIGQUIT, set a flag instead of
// ending the process, and ignores SIGPIPE. The flags are acted on at the next wait for input.
void InstallSignalHandlers(bool interactive);

// Waits until `fd` has input. Returns false when one of the handled signals came first or had
// come already.
bool WaitForInput(int fd);

// Waits until `fd` can take more output. Returns false when a hangup or termination came first
// or had come already; a Ctrl-C does not end this wait.
bool WaitForOutput(int fd);

// Returns the SIGHUP or SIGTERM received, or 0.
int StopSignal();

// Acts as if SIGHUP had come: for a terminal found gone without one.
void RecordHangup();

// Returns true once for each Ctrl-C or Ctrl-\ received and not yet taken.
bool TakeInterrupt();

// Returns true while a Ctrl-C or Ctrl-\ waits to be taken.
bool InterruptPending();

// Ends the process as signal `sig` would have without a handler.
[[noreturn]] void DieOfSignal(int sig);

// Once writing to standard output has failed (its reader gone, a full disk, a closed
// terminal), sends all further output to /dev/null, so the session goes on without a screen.
void DropOutputIfGone();

// Makes standard output wait for a slow reader: where its descriptor is non-blocking, a write
// that cannot go on yet waits until it can, so only a screen that is gone fails. Once a hangup
// or termination has come, a write goes out only when the screen takes it at once or within a
// moment; else the screen counts as gone, so that no output holds up the end of the session.
void WaitForSlowScreen();

// Writes `line` to standard error like a screen write after a hangup: it is dropped when a
// stopped terminal or a full pipe does not take it within a moment. Returns true when written.
bool PutErrorLine(const std::string& line);
