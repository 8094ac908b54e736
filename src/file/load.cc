#include "file/load.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "core/display.h"
#include "core/editor_state.h"
#include "core/grid.h"
#include "core/input.h"
#include "core/process.h"
#include "file/file_identity.h"
#include "file/leftovers.h"
#include "file/name_answer.h"
#include "file/read_file.h"
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
const char kLoadCancelled[] = "The load was cancelled; the document is unchanged";
const char kNoMemory[] = "not enough memory to load the file; the document is unchanged";
const char kNoMemoryReason[] = "not enough memory for the file";
const char kZeroByte[] =
    "WARNING!  Byte %i is a zero byte, which ends the text: the %i bytes from it on were not "
    "loaded\nand will be lost if you save to the same filename!\n";
const int kWarningAnswerSize = 16;  // 15 characters and a terminator
const double kMostLoaded = 99.9;  // the highest figure shown while text is left out

// Runs the open dialog. Returns true when `open_name` holds the file to load, false when
// nothing is to be opened ('x', end of input, or a save that failed).
bool AskOpenName(char* open_name, char* grid, char* file_name, FileIdentity& known) {
  std::puts(kOpenQuestion);
  char answer[kNameSize];
  if (ReadNameAnswer(answer) != NameRead::kOk || std::strcmp(answer, "x") == 0) return false;
  if (std::strcmp(answer, "s") == 0) {
    if (!SaveDocument(file_name, grid, known)) {
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
float LoadedPercentage(char last, int length, int examined, int pending) {
  double loaded;
  if (examined < length - 1) {
    loaded = examined;
  } else if (pending > 0 || (examined == length - 1 && last != '\n')) {
    loaded = length - 1;
  } else {
    return -1.0f;
  }
  double percentage = loaded * 100.0 / length;
  return static_cast<float>(percentage < kMostLoaded ? percentage : kMostLoaded);
}

// A load in progress. Its lines go straight into the grid when the document is empty, since
// then a failed read loses nothing; otherwise into a staging area, so the document stays as it
// was until the whole file has been read and the user has agreed to a partial load.
struct Placement {
  explicit Placement(char* document) : grid(document) {}
  Placement(const Placement&) = delete;
  Placement& operator=(const Placement&) = delete;
  ~Placement() {
    if (target && target != grid) FreeGrid(target);
  }
  char* grid;
  char* target = nullptr;   // where the lines go; nullptr until the first block
  bool no_memory = false;   // no staging area could be made
  bool dense = false;       // the text fills most of each slot
  bool ended = false;       // a zero byte has ended the text
  bool stopped = false;     // every slot has its line: the line limit
  int line = 0;             // slot of the line being placed
  int column = 0;           // characters of it placed so far
  int length = 0;           // characters of text so far (up to a zero byte)
  int examined = 0;         // where the line limit stopped the scan
  int pending = 0;          // characters of a line begun when it stopped
  char last = 0;            // the last character of the text
  std::vector<int> splits;  // numbers of the lines split, warned about once the file is read
};

// Returns true when no slot of `grid` holds text. A grid never written is not even read: a
// read would map a page there, which keeps a large page from taking its place.
bool DocumentEmpty(const char* grid) {
  return UsedLines() == 0 || (DocLength(grid) == 0 && grid[0] == 0);
}

// Picks where the lines of a file of `file_size` bytes go, its first block in view. Returns
// false when no staging area can be made.
bool ChooseTarget(Placement& load, const char* block, size_t count, size_t file_size) {
  load.target = DocumentEmpty(load.grid) ? load.grid : MapGridArea();
  if (!load.target) return false;
  // Large pages pay only where the text fills most of the slots: judged by the first block,
  // and asked for the slots the whole file would fill at that rate.
  size_t newlines = static_cast<size_t>(std::count(block, block + count, '\n'));
  size_t per_slot = std::min(count / (newlines + 1), static_cast<size_t>(lsize - 1));
  load.dense = per_slot * 2 >= static_cast<size_t>(lsize);
  if (load.dense) {
    size_t slots = std::min(static_cast<size_t>(lines), file_size / per_slot + 1);
    AdviseLargePages(load.target, slots * static_cast<size_t>(lsize));
  }
  return true;
}

// Ends the line being placed; marks the load stopped once every slot is taken.
void EndLine(Placement& load) {
  ++load.line;
  load.column = 0;
  load.stopped = load.line >= lines;
}

// Places the `count` characters of `text`, which begin at character `offset` of the file's
// text, splitting lines longer than lsize-1 characters.
void PlaceLines(Placement& load, const char* text, size_t count, int offset) {
  const char* at = text;
  const char* end = text + count;
  while (at < end) {
    size_t room = static_cast<size_t>(lsize - 1 - load.column);
    // A newline right behind a full line still ends it; only a further character splits it.
    size_t look = std::min(static_cast<size_t>(end - at), room + 1);
    // Lines written straight into the grid count as used at once, so that every slot from
    // UsedLines() on stays empty even when the load ends at the partial-load question.
    char* slot = (load.target == load.grid ? WritableSlot(load.line, load.grid)
                                           : SlotOf(load.line, load.target)) + load.column;
    const char* newline = static_cast<const char*>(std::memchr(at, '\n', look));
    if (newline) {
      std::memcpy(slot, at, static_cast<size_t>(newline - at));
      at = newline + 1;
      EndLine(load);
    } else if (look > room) {
      std::memcpy(slot, at, room);
      at += room;
      load.splits.push_back(load.line + 1);
      EndLine(load);
      load.pending = 1;  // the character behind the split begins the next line
    } else {
      std::memcpy(slot, at, look);
      load.column += static_cast<int>(look);
      at += look;
    }
    if (load.stopped) {
      load.examined = offset + static_cast<int>(at - text) + load.pending;
      return;
    }
    load.pending = 0;
  }
}

// Takes the next `count` bytes of a file of `file_size` bytes: the text up to the first zero
// byte is placed line by line until the slots run out; the rest is only read.
void TakeBlock(Placement& load, const char* block, size_t count, size_t file_size) {
  if (load.ended) return;
  if (!load.target && !ChooseTarget(load, block, count, file_size)) {
    load.no_memory = load.ended = true;
    return;
  }
  const void* zero = std::memchr(block, 0, count);
  if (zero) {
    count = static_cast<size_t>(static_cast<const char*>(zero) - block);
    load.ended = true;
  }
  if (count == 0) return;
  int offset = load.length;
  load.length += static_cast<int>(count);
  load.last = block[count - 1];
  if (!load.stopped) PlaceLines(load, block, count, offset);
}

// Empties the slots a load wrote straight into the (empty) grid before it failed.
void DropPlaced(Placement& load) {
  if (load.target == load.grid) EndLoad(0, load.grid);
}

// Reports the lines of a load that has read its whole file, asks before a partial load, and
// makes the lines the document. Returns false when the partial load was not agreed to: the
// document is then as it was, but for the slots DropPlaced has to empty.
bool FinishLoad(Placement& load) {
  bool final_line = load.column > 0 && !load.stopped;
  int count = load.line + (final_line ? 1 : 0);
  for (int number : load.splits) std::printf(kSplit, number);
  std::printf(kGenerated, count);
  if (load.stopped) {
    float percentage = LoadedPercentage(load.last, load.length, load.examined, load.pending);
    if (percentage >= 0 && DataWarning(percentage) != 0) return false;
  }
  size_t bytes = static_cast<size_t>(count) * static_cast<size_t>(lsize);
  if (load.target != load.grid) {  // staged, or an empty file
    if (load.dense) AdviseLargePages(load.grid, bytes);
    if (load.target) MoveIntoGrid(load.target, bytes, load.grid);
    load.target = nullptr;
  }
  EndLoad(count, load.grid);
  unsaved_changes = false;  // the grid now holds the file
  return true;
}

}  // namespace

int DataWarning(float percentage) {
  std::printf(kPartial, static_cast<double>(percentage));
  char answer[kWarningAnswerSize];
  int count = ReadLine(answer, kWarningAnswerSize);
  // Ctrl-C cancels the load; so does a hangup, after which the document kept is the intact one.
  if (count == kReadInterrupted) {
    std::puts(kLoadCancelled);
    return 1;
  }
  if (count >= 0 && std::strcmp(answer, kGoOn) == 0) return 0;
  partial_load_refused = true;
  return 1;
}

void ParseLines(const char* text, char* grid) {
  Placement load(grid);
  size_t size = std::strlen(text);
  if (size > 0) TakeBlock(load, text, size, size);
  if (load.no_memory) {
    std::puts(kNoMemory);
    return;
  }
  if (!FinishLoad(load)) DropPlaced(load);
}

namespace {

// Does what Open does, but for naming what earlier sessions left for the file.
bool LoadFile(char* open_name, char* grid, char* file_name, FileIdentity& known) {
  Placement load(grid);
  FileText file = ReadFileInBlocks(
      open_name, [&load](const char* block, size_t count, size_t file_size) {
        TakeBlock(load, block, count, file_size);
      });
  if (file.ok && load.no_memory) {
    file.ok = false;
    file.reason = kNoMemoryReason;
  }
  if (!file.ok) {
    DropPlaced(load);
    if (file.missing) {
      // A name that does not exist becomes the document's, for a save to create the file.
      std::printf(kNotFound, ShownName(open_name).c_str());
      std::strcpy(file_name, open_name);
      known = FileIdentity();
    } else {
      std::printf(kCannotLoad, ShownName(open_name).c_str(), file.reason.c_str());
    }
    return false;
  }
  std::printf(kOpened, ShownName(open_name).c_str());
  std::printf(kReadBytes, file.size);
  if (!FinishLoad(load)) {
    DropPlaced(load);
    return false;
  }
  if (load.length < file.size) std::printf(kZeroByte, load.length + 1, file.size - load.length);
  std::strcpy(file_name, open_name);
  known = IdentityOf(file.info);
  return true;
}

}  // namespace

bool Open(LoadMode mode, char* open_name, char* grid, char* file_name, FileIdentity& known) {
  if (mode == LoadMode::kAsk && !AskOpenName(open_name, grid, file_name, known)) return false;
  bool loaded = LoadFile(open_name, grid, file_name, known);
  ReportLeftovers(open_name);
  return loaded;
}

void OnOpen(EditorState& state) {
  // An undo of the old document has nothing to do with the new one.
  if (Open(LoadMode::kAsk, state.open_name, state.grid, state.file_name, state.file_identity))
    state.undo_kind = UndoKind::kNone;
}
