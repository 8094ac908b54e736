#include "file/load.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "core/editor_state.h"
#include "core/grid.h"
#include "core/input.h"
#include "core/process.h"
#include "file/file_io.h"
#include "file/name_answer.h"
#include "file/save.h"

namespace {

const char kOpenQuestion[] =
    "Enter a filename to open a new file and discard the buffer in memory\n"
    "Enter 's' to first save the current buffer in memory\n"
    "Enter 'x' to not open a file and return";
const char kOpenNext[] = "Next, enter a new filename to open";
const char kNotSavedNotOpened[] = "The document was not saved, so no file is opened";
const char kNotFound[] = "File %s not found!\n";
const char kCannotLoad[] = "Could not load %s: %s; the document is unchanged\n";
const char kOpened[] = "Opened %s\n";
const char kReadBytes[] = "Read %i bytes, ";
const char kSplit[] = "WARNING!  Line %i is being split\n";
const char kGenerated[] = "%i Lines Generated\n";
const char kPartial[] =
    "\nWarning!! Only %.1f percent of the data was loaded!\n"
    "The unloaded data will be lost if you save to the same filename!\n"
    "Do you wish to continue (Y,n)?\n"
    "If not, restart with more lines by editing the .pellak_rc file.\n";
const char kGoOn[] = "Y\n";
const char kParsingError[] = "Data Parsing Error";
const char kNoMemory[] = "not enough memory to load the file; the document is unchanged";
const char kZeroByte[] =
    "WARNING!  Byte %i is a zero byte, which ends the text: the %i bytes from it on were not "
    "loaded\nand will be lost if you save to the same filename!\n";
const int kWarningAnswerSize = 16;  // 15 characters and a terminator
const int kNoPosition = -1;
const double kMostLoaded = 99.9;  // the highest figure shown while text is left out
const int kNewlineMark = 1;
const int kSplitMark = 2;

// Runs the open dialog. Returns true when `open_name` holds the file to load, false when
// nothing is to be opened ('x', end of input, or a save that failed).
bool AskOpenName(char* open_name, char* grid, char* file_name) {
  std::puts(kOpenQuestion);
  char answer[kNameSize];
  if (ReadNameAnswer(answer) != NameRead::kOk || std::strcmp(answer, "x") == 0) return false;
  if (std::strcmp(answer, "s") == 0) {
    if (!SaveDocument(file_name, grid)) {
      std::puts(kNotSavedNotOpened);
      return false;
    }
    std::puts(kOpenNext);
    if (ReadNameAnswer(answer) != NameRead::kOk) return false;
  }
  std::strcpy(open_name, answer);
  return true;
}

// Returns the percentage of the text that a scan stopped by the line limit has loaded, or a
// negative value when nothing but a final newline is left out. A last character left out
// alone (or the one character after a split at the very end) counts as loss too. Since
// something is lost, the figure never rounds up to a full 100.0.
float LoadedPercentage(const char* text, int length, int examined, int pending) {
  double loaded;
  if (examined < length - 1) {
    loaded = examined;
  } else if (pending > 0 || (examined == length - 1 && text[length - 1] != '\n')) {
    loaded = length - 1;
  } else {
    return -1.0f;
  }
  double percentage = loaded * 100.0 / length;
  return static_cast<float>(percentage < kMostLoaded ? percentage : kMostLoaded);
}

// Returns how many line ends a text of `length` characters can give in the grid: each takes a
// character of its own, and a last line without a newline takes one more. The mark tables
// need one entry more, so a small file in a grid of many lines needs only small tables.
int MarkCount(int length) { return length < lines ? length + 1 : lines; }

// A scan in progress over the text of one load.
struct Scan {
  int* positions;
  int* kinds;
  int length;        // of the text
  int next = 1;      // the next mark to record; also the 1-based number of the current line
  int start = 0;     // where the current line begins
  int examined = 0;  // characters looked at; those from start on belong to the current line
};

// Records mark `next` at `position` with `kind`.
void Record(Scan& scan, int position, int kind) {
  scan.positions[scan.next] = position;
  scan.kinds[scan.next++] = kind;
}

// Scans on to the end of the current line: a newline up to column lsize-1, or a split at the
// character beyond a full line (with its warning). Returns false when the text ends first.
bool MarkNextEnd(const char* text, Scan& scan) {
  bool full = scan.start + lsize <= scan.length;
  int window_end = full ? scan.start + lsize : scan.length;
  const void* found = std::memchr(text + scan.examined, '\n',
                                  static_cast<size_t>(window_end - scan.examined));
  if (found) {
    int at = static_cast<int>(static_cast<const char*>(found) - text);
    Record(scan, at, kNewlineMark);
    scan.start = scan.examined = at + 1;
    return true;
  }
  if (!full) {
    scan.examined = scan.length;
    return false;
  }
  int at = scan.start + lsize - 1;
  std::printf(kSplit, scan.next);
  Record(scan, at, kSplitMark);
  scan.start = at;
  scan.examined = at + 1;
  return true;
}

}  // namespace

int DataWarning(float percentage) {
  std::printf(kPartial, static_cast<double>(percentage));
  char answer[kWarningAnswerSize];
  if (ReadLine(answer, kWarningAnswerSize) < 0 || std::strcmp(answer, kGoOn) != 0) Terminate(1);
  return 0;
}

int MarkLines(const char* text, int* positions, int* kinds) {
  Scan scan{positions, kinds, static_cast<int>(std::strlen(text))};
  positions[0] = 0;
  for (int i = 1; i < MarkCount(scan.length); ++i) positions[i] = kNoPosition;
  bool stopped = false;
  while (scan.examined < scan.length && !stopped) {
    if (!MarkNextEnd(text, scan)) break;
    stopped = scan.next > lines;
  }
  int pending = scan.examined - scan.start;
  bool final_line = pending > 0 && !stopped;
  std::printf(kGenerated, scan.next - 1 + (final_line ? 1 : 0));
  if (stopped) {
    float percentage = LoadedPercentage(text, scan.length, scan.examined, pending);
    if (percentage >= 0) DataWarning(percentage);
  }
  if (final_line) Record(scan, scan.length, kSplitMark);
  return scan.next;
}

void ParseLines(const char* text, char* grid) {
  size_t entries = static_cast<size_t>(MarkCount(static_cast<int>(std::strlen(text)))) + 1;
  std::unique_ptr<int[]> positions(new (std::nothrow) int[entries]);
  std::unique_ptr<int[]> kinds(new (std::nothrow) int[entries]);
  if (!positions || !kinds) {
    std::puts(kNoMemory);
    return;
  }
  std::fill(kinds.get(), kinds.get() + entries, kNewlineMark);
  int count = MarkLines(text, positions.get(), kinds.get()) - 1;
  // Only slots below used_lines can hold text (every later slot is all zero), so clearing
  // those empties the whole grid without touching pages the document never reached.
  std::memset(grid, 0, static_cast<size_t>(used_lines) * static_cast<size_t>(lsize));
  used_lines = count;
  const int* at = positions.get();
  const int* kind = kinds.get();
  for (int k = 0; k < count; ++k) {
    int begin = at[k] + (k > 0 && kind[k] == kNewlineMark ? 1 : 0);
    int size = at[k + 1] - begin;
    if (size < 0 || size > lsize - 1) {
      std::puts(kParsingError);
      Terminate(1);
    }
    std::memcpy(SlotOf(k, grid), text + begin, static_cast<size_t>(size));
  }
  unsaved_changes = false;  // the grid now holds the file
}

void Open(int ask, char* open_name, char* grid, char* file_name) {
  if (ask == 0 && !AskOpenName(open_name, grid, file_name)) return;
  FileText file = ReadWholeFile(open_name);
  if (!file.ok) {
    if (file.missing)
      std::printf(kNotFound, open_name);
    else
      std::printf(kCannotLoad, open_name, file.reason.c_str());
    return;
  }
  std::printf(kOpened, open_name);
  std::printf(kReadBytes, file.size);
  ParseLines(file.text.get(), grid);
  int length = static_cast<int>(std::strlen(file.text.get()));
  if (length < file.size) std::printf(kZeroByte, length + 1, file.size - length);
}

namespace cmd {

void open(EditorState& state) {
  Open(0, state.open_name, state.grid, state.file_name);
  std::strcpy(state.file_name, state.open_name);
}

}  // namespace cmd
