#include "app/arguments.h"

#include <cstdio>
#include <cstring>

#include "config/rc_file.h"

namespace {

const char kUsage[] =
    "Usage: pellak [--] [FILE]\n"
    "       pellak --help | --version\n"
    "\n"
    "Edits FILE, a plain text file, one line at a time, reading what is typed from standard\n"
    "input. A FILE that does not exist yet names the new document. \"--\" ends the options:\n"
    "\"pellak -- --help\" edits a file named --help.\n"
    "Keys and settings are read from %s in the working directory, which is written\n"
    "with the defaults when it is missing.\n"
    "Unsaved work a session could not keep (a hangup, a kill, lost input) is written to\n"
    "FILE.hup beside FILE, else in $HOME or pellak-UID in $TMPDIR or /tmp; the next start\n"
    "names it. Keys, settings, the file format and recovery: man pellak\n";
const char kExtraNames[] = "pellak: more than one file name; only the first, %s, is edited\n";

}  // namespace

Arguments ReadArguments(int argc, char** argv) {
  Arguments result;
  int names = 0;
  bool options = true;
  for (int i = 1; i < argc; ++i) {
    const char* argument = argv[i];
    if (options && std::strcmp(argument, "--") == 0) {
      options = false;
      continue;
    }
    bool help = options && std::strcmp(argument, "--help") == 0;
    if (help || (options && std::strcmp(argument, "--version") == 0)) {
      int printed =
          help ? std::printf(kUsage, kRcFileName) : std::printf("%s\n", kProgramVersion);
      return {true, printed >= 0 && std::fflush(stdout) == 0 ? 0 : 1, nullptr};
    }
    if (names++ == 0) result.file = argv[i];
  }
  // A warning that cannot be written has nowhere else to go; the editor starts all the same.
  if (names > 1) static_cast<void>(std::fprintf(stderr, kExtraNames, result.file));
  return result;
}
