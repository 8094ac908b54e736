// Keeps the editor's file access inside the fuzzer's private directory and away from the shell.
#pragma once

namespace fuzz {

// While set, file names with a directory part are refused and a real shell aborts the run.
extern bool guard_on;

}  // namespace fuzz
