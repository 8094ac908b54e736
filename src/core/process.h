// The editor's ways out to the operating system: ending the process and running a shell
// command. A harness that runs the editor in-process replaces them through the hooks.
#pragma once

// Ends the process with `status` after flushing output; the one way out besides returning
// from RunEditor. A harness that runs the editor in-process may set terminate_hook, which must
// not return (it may throw).
[[noreturn]] void Terminate(int status);
extern void (*terminate_hook)(int status);

// Flushes output and runs `command` with the system shell, waiting for it; returns what
// system() returns. A harness may set shell_hook to run commands its own way instead.
int RunShell(const char* command);
extern int (*shell_hook)(const char* command);
