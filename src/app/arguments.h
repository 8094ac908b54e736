// The program arguments: the options and the file to edit.
#pragma once

// The program and its version, as --version and the start-up banner print them.
inline constexpr char kProgramVersion[] = "Pellak 1.03.2";

// What the program arguments ask for.
struct Arguments {
  bool answered = false;  // --help or --version was answered, and the editor does not start
  int status = 0;         // the exit status when answered
  char* file = nullptr;   // the file to edit, or nullptr for none
};

// Reads the program arguments: "--help" prints the usage and "--version" the version (the first
// of them wins), "--" ends the options, and any other argument is a file name. Warns on
// standard error when more than one file name is given. Returns what the arguments ask for.
Arguments ReadArguments(int argc, char** argv);
