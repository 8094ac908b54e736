// The program arguments: the options and the file to edit.
#pragma once

// The program and its version, as --version and the start-up banner print them.
inline constexpr char kProgramVersion[] = "Pellak 1.03.2";

// The exit status of a command line that is not understood.
inline constexpr int kUsageStatus = 2;

// What the program arguments ask for.
struct Arguments {
  bool answered = false;  // help, version or a refusal was printed, and the editor does not start
  int status = 0;         // the exit status when answered
  bool read_rc = true;    // false with --no-rc: built-in keys and settings, no RC file
  char* file = nullptr;   // the file to edit, or nullptr for none
};

// Reads the program arguments in order: "-h"/"--help" prints the usage and "-V"/"--version" the
// version, at once (what follows is not looked at); "-n"/"--no-rc" leaves the RC file alone;
// short options may be combined ("-nV"); "--" ends the options; "-" and every other argument
// that does not begin with '-' is a file name. Any other option is refused on standard error
// with status 2. Warns on standard error when more than one file name is given. Returns what
// the arguments ask for.
Arguments ReadArguments(int argc, char** argv);
