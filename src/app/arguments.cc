#include "app/arguments.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "config/rc_file.h"
#include "core/display.h"

namespace {

const char kUsage[] =
    "Usage: pellak [OPTION]... [--] [FILE]\n"
    "\n"
    "Edits FILE, a plain text file, one line at a time, reading what is typed from standard\n"
    "input. A FILE that does not exist yet names the new document.\n"
    "\n"
    "Options:\n"
    "  -n, --no-rc    use the built-in keys and settings: no RC file is read or written\n"
    "  -h, --help     print this help and exit\n"
    "  -V, --version  print the version and exit\n"
    "  --             end the options: \"pellak -- -n\" edits a file named -n\n"
    "Short options may be combined (-nV); \"-\" alone is a file name.\n"
    "\n"
    "Keys and settings are read from %s in the working directory, which is written\n"
    "with the defaults when it is missing (not with -n).\n"
    "Unsaved work a session could not keep (a hangup, a kill, lost input) is written to\n"
    "FILE.hup beside FILE, else in $HOME or pellak-UID in $TMPDIR or /tmp; the next start\n"
    "names it.\n"
    "\n"
    "Exit status:\n"
    "  0  the editor ended and its last save, if any, succeeded; or this help or the version\n"
    "     was printed\n"
    "  1  the last save failed, input could not be read, a hangup, a termination or the end\n"
    "     of a terminal's input at the quit question ended the editor with unsaved work, a\n"
    "     partial load was refused, start-up failed, or this help or the version could not\n"
    "     be written\n"
    "  2  the command line was not understood\n"
    "\n"
    "Keys, settings, the file format and recovery: man pellak\n";
const char kVersionText[] =
    "%s\n"
    "Copyright (c) 2026 The Pellak developers\n"
    "License MIT: <https://opensource.org/licenses/MIT>.\n"
    "This is free software: you are free to change and redistribute it.\n"
    "There is NO WARRANTY, to the extent permitted by law.\n";
const char kWriteError[] = "pellak: write error: %s\n";
const char kExtraNames[] = "pellak: more than one file name; only the first, %s, is edited\n";
const char kUnknownLong[] = "pellak: unrecognized option '%s'\n";
const char kLongWithValue[] = "pellak: option '--%s' doesn't allow an argument\n";
const char kUnknownShort[] = "pellak: invalid option -- '%s'\n";
const char kTryHelp[] = "Try 'pellak --help' for more information.\n";

// What one option asks for.
enum class Option { kHelp, kVersion, kNoRc, kUnknown };

// The options, with their short and long names.
struct OptionName {
  Option option;
  char letter;
  std::string_view word;
};
constexpr OptionName kOptions[] = {
    {Option::kHelp, 'h', "help"},
    {Option::kVersion, 'V', "version"},
    {Option::kNoRc, 'n', "no-rc"},
};

// Returns the option named by the long name `word` (without its dashes), or kUnknown.
Option LongOption(std::string_view word) {
  for (const OptionName& name : kOptions)
    if (name.word == word) return name.option;
  return Option::kUnknown;
}

// Returns the option named by the letter `letter`, or kUnknown.
Option ShortOption(char letter) {
  for (const OptionName& name : kOptions)
    if (name.letter == letter) return name.option;
  return Option::kUnknown;
}

// Prints the usage or the version. Returns the exit status: 0, or 1 after a line on standard
// error when the text could not be written.
int Answer(Option option) {
  int printed = option == Option::kHelp ? std::printf(kUsage, kRcFileName)
                                        : std::printf(kVersionText, kProgramVersion);
  if (printed >= 0 && std::fflush(stdout) == 0) return 0;
  PrintError(kWriteError, std::strerror(errno));
  return 1;
}

// Prints the hint that follows the line saying why the command line is refused. Returns the
// exit status for it.
int Refused() {
  PrintError(kTryHelp);
  return kUsageStatus;
}

// Acts on the known option `option`: --no-rc is noted, help and version are printed with their
// exit status in `result`. Returns false once the arguments have been answered.
bool Take(Option option, Arguments& result) {
  if (option == Option::kNoRc) {
    result.read_rc = false;
    return true;
  }
  result.status = Answer(option);
  return false;
}

// Reads the option argument `argument` (a '-' and more) into `result`. Returns false once it has
// been answered: help or version printed, or the option refused.
bool ReadOption(const char* argument, Arguments& result) {
  if (argument[1] == '-') {
    std::string_view word = argument + 2;
    size_t equals = word.find('=');
    Option option = LongOption(word.substr(0, equals));
    if (option != Option::kUnknown && equals == std::string_view::npos) return Take(option, result);
    if (option == Option::kUnknown) PrintError(kUnknownLong, ShownName(argument).c_str());
    else PrintError(kLongWithValue, ShownName(word.substr(0, equals)).c_str());
    result.status = Refused();
    return false;
  }
  for (const char* letter = argument + 1; *letter; ++letter) {
    Option option = ShortOption(*letter);
    if (option == Option::kUnknown) {
      PrintError(kUnknownShort, ShownName(std::string_view(letter, 1)).c_str());
      result.status = Refused();
      return false;
    }
    if (!Take(option, result)) return false;
  }
  return true;
}

}  // namespace

Arguments ReadArguments(int argc, char** argv) {
  Arguments result;
  int names = 0;
  bool options = true;
  for (int i = 1; i < argc; ++i) {
    const char* argument = argv[i];
    if (options && std::strcmp(argument, "--") == 0) {
      options = false;
    } else if (options && argument[0] == '-' && argument[1] != 0) {
      if (!ReadOption(argument, result)) {
        result.answered = true;
        return result;
      }
    } else if (names++ == 0) {
      result.file = argv[i];
    }
  }
  if (names > 1) PrintError(kExtraNames, ShownName(result.file).c_str());
  return result;
}
