#include "config/rc_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "core/display.h"
#include "core/editor_state.h"
#include "core/grid.h"
#include "core/input.h"
#include "core/process.h"
#include "file/system_calls.h"

namespace {

const char kReading[] = "Reading RC file: %s\n";
const char kMaking[] = "Making RC file: %s\n";
const char kCannotMake[] = "Cannot make RC file: %s\n";
const char kNotUsed[] = "Not using RC file %s: %s; going on with the default keys and settings\n";
const char kNotRegular[] = "it is not a regular file";
const char kTooLarge[] = "it is larger than 1 MiB";
const char kOtherOwner[] = "it belongs to another user";
const char kWorldWritable[] = "every user may write to it";
const char kLineTooLong[] = "pellak: the line size max_char=%i is too large; lower it in %s\n";
const char kLaunchTooLong[] = "A launch_command in %s has more than %i characters; it was not used\n";

// The largest RC file read (kTooLarge names it); a larger one is no hand-written settings file.
constexpr off_t kMaxRcSize = 1 << 20;

// The settings of the file, in the order a line is tested for them.
enum Setting { kMaxLines, kMaxChar, kAnchorPosition, kLinesPerPage, kShowNumbers, kLaunchCommand };
constexpr std::string_view kSettingNames[] = {
    "max_lines", "max_char", "anchor_position", "lines_per_page", "show_numbers", "launch_command",
};

// Where the values read from the file go.
struct Targets {
  CommandKeys& command_keys;
  char* launch_text;
  int* anchor_pos;
  int* show_numbers_on;
  int* page_length;
  long long line_size;  // lsize as the file sets it; max_char=INT_MAX puts it past the int range
};

// The outcome of reading the file.
enum class ReadResult { kOk, kMissing, kRefused };

// Returns why the file open on `fd` is not to be read, or nullptr when it is a regular file of
// at most kMaxRcSize bytes, owned by the running user or root and not writable by every user.
const char* RefusalOf(int fd) {
  struct stat info;
  if (fstat(fd, &info) != 0) return std::strerror(errno);
  if (!S_ISREG(info.st_mode)) return kNotRegular;
  if (info.st_size > kMaxRcSize) return kTooLarge;
  if (info.st_uid != geteuid() && info.st_uid != 0) return kOtherOwner;
  if (info.st_mode & S_IWOTH) return kWorldWritable;
  return nullptr;
}

// Reads the whole open file `fd`, at most kMaxRcSize bytes, into `text`. Returns nullptr, or
// why it was not read.
const char* ReadBounded(int fd, std::string& text) {
  char chunk[4096];
  for (;;) {
    ssize_t got = read(fd, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return std::strerror(errno);
    if (got == 0) return nullptr;
    text.append(chunk, static_cast<size_t>(got));
    if (text.size() > static_cast<size_t>(kMaxRcSize)) return kTooLarge;  // grew while read
  }
}

// Reads the RC file `name` into `text`. Returns kMissing when no file is found under that name
// (a dangling link included, which MakeRC then leaves alone), and kRefused with the reason in
// `reason` when it is not read: it cannot be read, is no regular file, is too large or is not to
// be trusted.
ReadResult ReadWhole(const char* name, std::string& text, const char*& reason) {
  // Looked at before it is opened: opening a fifo or a device can block or have effects.
  struct stat info;
  if (stat(name, &info) != 0) {
    if (errno == ENOENT) return ReadResult::kMissing;
    reason = std::strerror(errno);
    return ReadResult::kRefused;
  }
  reason = kNotRegular;
  if (!S_ISREG(info.st_mode)) return ReadResult::kRefused;
  // Without blocking, and looked at again once open, in case the name was replaced meanwhile.
  int fd = open(name, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    reason = std::strerror(errno);
    return ReadResult::kRefused;
  }
  reason = RefusalOf(fd);
  if (!reason) reason = ReadBounded(fd, text);
  if (close(fd) != 0 && !reason) reason = std::strerror(errno);
  return reason ? ReadResult::kRefused : ReadResult::kOk;
}

// Returns the leading decimal number of `value`, clamped to the int range; 0 without digits.
int ValueOf(std::string_view value) { return ParseInt(std::string(value).c_str()); }

// Gives every command whose name occurs in `line` the key `value` when it is one character.
// Returns true when some command name occurs in the line.
bool ApplyKeyLine(std::string_view line, const std::string_view* value,
                  const CommandNames& command_names, CommandKeys& command_keys) {
  bool key_line = false;
  for (int i = 0; i < kCommandCount; ++i) {
    if (line.find(command_names[i]) == std::string_view::npos) continue;
    key_line = true;
    // A zero byte would make an empty key, which the last line's Enter would run.
    if (value && value->size() == 1 && (*value)[0] != 0) {
      command_keys[i][0] = (*value)[0];
      command_keys[i][1] = 0;
    }
  }
  return key_line;
}

// Sets `setting` from `value` when the value lies within the bounds in force.
void ApplySetting(Setting setting, std::string_view value, Targets& to) {
  int number = 0;
  if (setting != kShowNumbers && setting != kLaunchCommand) number = ValueOf(value);
  switch (setting) {
    case kMaxLines:
      if (number > 0) lines = number;
      break;
    case kMaxChar:
      if (number > 0) {
        to.line_size = number + 1LL;
        lsize = to.line_size > INT_MAX ? INT_MAX : static_cast<int>(to.line_size);
      }
      break;
    case kAnchorPosition:
      if (number > 0 && number < to.line_size) *to.anchor_pos = number - 1;
      break;
    case kLinesPerPage:
      if (number > 0 && number < lines) *to.page_length = number;
      break;
    case kShowNumbers:
      *to.show_numbers_on = value == "on" ? 1 : 0;
      break;
    case kLaunchCommand:
      // A command cut short could do something else than meant: a long one is not taken.
      if (value.size() > kNameSize - 1) {
        std::printf(kLaunchTooLong, kRcFileName, kNameSize - 1);
      } else if (!value.empty()) {
        std::memcpy(to.launch_text, value.data(), value.size());
        to.launch_text[value.size()] = 0;
      }
      break;
  }
}

// Applies one line of the file: a key line when it names a command, else the first setting it
// names. A line without "=" has no value and changes nothing.
void ApplyLine(std::string_view line, const CommandNames& command_names, Targets& to) {
  size_t equals = line.find('=');
  std::string_view value;
  if (equals != std::string_view::npos) value = line.substr(equals + 1);
  const std::string_view* given = equals == std::string_view::npos ? nullptr : &value;
  if (ApplyKeyLine(line, given, command_names, to.command_keys)) return;
  for (int s = kMaxLines; s <= kLaunchCommand; ++s) {
    if (line.find(kSettingNames[s]) == std::string_view::npos) continue;
    if (given) ApplySetting(static_cast<Setting>(s), value, to);
    return;
  }
}

// Applies every line of `text`; line feeds end lines, empty lines are skipped.
void ApplyText(std::string_view text, const CommandNames& command_names, Targets& to) {
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty()) ApplyLine(line, command_names, to);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
}

// Returns the text of the default RC file for the given keys and the grid sizes in force.
std::string DefaultText(const CommandNames& command_names, const CommandKeys& command_keys) {
  std::string text;
  for (int i = 0; i < kCommandCount; ++i) {
    text += command_names[i];
    text += '=';
    text += command_keys[i];
    text += '\n';
  }
  text += "max_lines=" + std::to_string(lines) + "\n";
  text += "max_char=" + std::to_string(lsize - 1) + "\n";
  // 0 lies outside the 1-based anchor_position's range: the built-in anchor stays in force.
  text += "\nanchor_position=0\n";
  text += "lines_per_page=" + std::to_string(kDefaultPageLength) + "\n";
  text += kDefaultShowNumbers ? "show_numbers=on\n" : "show_numbers=off\n";
  text += "launch_command=\n";
  return text;
}

}  // namespace

int ReadRC(const CommandNames& command_names, CommandKeys& command_keys, char* launch_text,
           int* anchor_pos, int* show_numbers_on, int* page_length) {
  std::string text;
  const char* reason = nullptr;
  switch (ReadWhole(kRcFileName, text, reason)) {
    case ReadResult::kMissing:
      std::printf(kMaking, kRcFileName);
      MakeRC(command_names, command_keys, kRcFileName);
      return 0;
    case ReadResult::kRefused:
      std::printf(kNotUsed, kRcFileName, reason);
      return 0;
    case ReadResult::kOk:
      break;
  }
  std::printf(kReading, kRcFileName);
  int anchor_before = *anchor_pos;
  Targets to = {command_keys, launch_text, anchor_pos, show_numbers_on, page_length, lsize};
  ApplyText(text, command_names, to);
  if (to.line_size > INT_MAX) {
    PrintError(kLineTooLong, INT_MAX, kRcFileName);
    Terminate(1);
  }
  // An anchor taken before a later max_char line shortened the lines would lie past the slot.
  if (*anchor_pos > lsize - 2) *anchor_pos = anchor_before;
  return 1;
}

void MakeRC(const CommandNames& command_names, const CommandKeys& command_keys,
            const char* file_name) {
  std::string text = DefaultText(command_names, command_keys);
  // Only a new file: an existing file or link of that name, dangling or not, is left alone.
  int fd = open(file_name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) {
    std::printf(kCannotMake, std::strerror(errno));
    return;
  }
  int error = WriteAll(fd, text.data(), text.size()) ? 0 : errno;
  if (close(fd) != 0 && error == 0) error = errno;
  if (error != 0) {
    // A cut-off file would be read as the settings next time; without it the next start
    // writes a whole one. Nothing more can be done when even the removal fails.
    (void)unlink(file_name);
    std::printf(kCannotMake, std::strerror(error));
  }
}
