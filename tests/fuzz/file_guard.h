// Keeps the editor's file access inside the fuzzer's private directory and away from the shell.
#pragma once

namespace fuzz {

// While set, file names with a directory part are refused, except those inside `own_directory`,
// and a real shell aborts the run.
extern bool guard_on;

// The absolute path of the directory where libFuzzer writes its own files (crash inputs,
// the corpus), ending with a slash; empty for none. Writing there must work when a session
// crashes, while the guard is still on.
extern char own_directory[4096];

}  // namespace fuzz
