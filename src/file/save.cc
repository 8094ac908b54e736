#include "file/save.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/editor_state.h"
#include "core/grid.h"
#include "core/input.h"
#include "file/file_io.h"
#include "file/leftovers.h"
#include "file/name_answer.h"

namespace {

const char kSaveNameQuestion[] = "Enter a filename to save to, or 'x' to return";
const char kFileExists[] = "The file already exists.\nEnter a new filename or 'o' to overwrite";
const char kTryAgain[] = "File exists. Try again";
const char kNameQuestion[] = "Enter a filename to save to";
const char kSaved[] = "Saved to %s\n";
const char kNotSaved[] = "Could not save to %s: %s; nothing was saved\n";
const char kEndNotSaved[] = "End of input: nothing was saved";
const char kOldContentIn[] = "Could not save to %s: %s; its old content is in %s\n";
const char kSaveFailed[] = "Could not save to %s: %s\n";
const char kChangedSince[] = "%s has been changed or replaced since it was read or saved.\n";
const char kNotRead[] = "%s exists, but it was neither loaded nor saved here.\n";
const char kOverwrite[] = "Overwrite it? (y/n)";
const char kLeftAsItIs[] = "The file was left as it is; nothing was saved";

// Returns true when something of that name exists, readable or not: only a name that is not
// there at all is free, so an unreadable file is never replaced without the question.
bool NameTaken(const char* name) {
  struct stat info;
  return stat(name, &info) == 0 || (errno != ENOENT && errno != ENOTDIR);
}

// Reads one name answer into `name`. Returns false, after saying why, when input has ended or
// the name was too long.
bool ReadName(char* name) {
  NameRead read = ReadNameAnswer(name);
  if (read == NameRead::kEnd) std::puts(kEndNotSaved);
  return read == NameRead::kOk;
}

// Returns true when the file `name` may be written: nothing is there, or a directory (which the
// write refuses), or the file the editor last read or wrote under that name (`known`), or the
// user says so at the question.
bool MayOverwrite(const char* name, const FileIdentity& known) {
  struct stat info;
  if (stat(name, &info) != 0 || S_ISDIR(info.st_mode) || SameFile(known, info)) return true;
  std::printf(known.exists ? kChangedSince : kNotRead, name);
  if (Confirm(kOverwrite)) return true;
  std::puts(kLeftAsItIs);
  return false;
}

// Writes all `size` bytes of `data` to `fd`; returns false on an error (errno set).
bool WriteFully(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t put = write(fd, data, size);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      if (put == 0) errno = EIO;
      return false;
    }
    data += put;
    size -= static_cast<size_t>(put);
  }
  return true;
}

constexpr size_t kWriteBlock = 1 << 16;

}  // namespace

size_t DocumentSize(const char* grid) {
  int last = DocLength(grid);
  size_t size = 0;
  for (int k = 0; k <= last; ++k) size += static_cast<size_t>(TextLength(SlotOf(k, grid))) + 1;
  return size;
}

bool WriteDocument(int fd, const char* grid) {
  static char block[kWriteBlock];
  size_t used = 0;
  int last = DocLength(grid);
  for (int k = 0; k <= last; ++k) {
    const char* slot = SlotOf(k, grid);
    size_t length = static_cast<size_t>(TextLength(slot));
    // A line longer than the block goes out in pieces.
    while (length + 1 > kWriteBlock - used) {
      size_t part = kWriteBlock - used;
      if (part > length) part = length;
      std::memcpy(block + used, slot, part);
      slot += part;
      length -= part;
      used += part;
      if (used == kWriteBlock) {
        if (!WriteFully(fd, block, used)) return false;
        used = 0;
      }
    }
    std::memcpy(block + used, slot, length);
    used += length;
    block[used++] = '\n';
  }
  return WriteFully(fd, block, used);
}

bool last_save_failed = false;

namespace {

// What a save came to: a Ctrl-C at the name question is no attempt that failed.
enum class SaveOutcome { kWritten, kFailed, kCancelled };

// Does what SaveDocument does, without recording the outcome.
SaveOutcome SaveOnce(char* file_name, const char* grid, FileIdentity& known, bool confirmed) {
  while (file_name[0] == 0) {
    std::puts(kNameQuestion);
    // A name that was too long leaves file_name empty, so the question comes again.
    NameRead read = ReadNameAnswer(file_name);
    if (read == NameRead::kCancel) return SaveOutcome::kCancelled;
    if (read == NameRead::kEnd) {
      std::puts(kEndNotSaved);
      return SaveOutcome::kFailed;
    }
  }
  ReportLeftovers(file_name);
  if (!confirmed && !MayOverwrite(file_name, known)) return SaveOutcome::kFailed;
  WriteResult result = WriteWholeFile(file_name, DocumentSize(grid),
                                      [grid](int fd) { return WriteDocument(fd, grid); });
  switch (result.outcome) {
    case WriteOutcome::kWritten:
      known = result.identity;
      std::printf(kSaved, file_name);
      return SaveOutcome::kWritten;
    case WriteOutcome::kUnchanged:
      std::printf(kNotSaved, file_name, result.reason.c_str());
      break;
    case WriteOutcome::kOldInCopy:
      std::printf(kOldContentIn, file_name, result.reason.c_str(), result.old_copy.c_str());
      break;
    case WriteOutcome::kUnknown:
      std::printf(kSaveFailed, file_name, result.reason.c_str());
      break;
  }
  return SaveOutcome::kFailed;
}

}  // namespace

bool SaveDocument(char* file_name, const char* grid, FileIdentity& known, bool confirmed) {
  SaveOutcome outcome = SaveOnce(file_name, grid, known, confirmed);
  if (outcome != SaveOutcome::kCancelled) last_save_failed = outcome == SaveOutcome::kFailed;
  if (outcome == SaveOutcome::kWritten) unsaved_changes = false;
  return outcome == SaveOutcome::kWritten;
}

int DefineSaveName(char* file_name) {
  char name[kNameSize];
  std::puts(kSaveNameQuestion);
  if (!ReadName(name)) return 0;
  if (std::strcmp(name, "x") == 0) return 0;
  if (NameTaken(name)) {
    std::puts(kFileExists);
    char answer[kNameSize];
    if (!ReadName(answer)) return 0;
    if (std::strcmp(answer, "o") != 0) {
      std::strcpy(name, answer);
      while (NameTaken(name)) {
        std::puts(kTryAgain);
        if (!ReadName(name)) return 0;
      }
    }
  }
  std::strcpy(file_name, name);
  return 1;
}

namespace cmd {

void save_prompt(EditorState& state) {
  if (!DefineSaveName(state.file_name)) return;
  // The dialog has settled the name, with the user's 'o' for a file that exists.
  state.file_identity = FileIdentity();
  SaveDocument(state.file_name, state.grid, state.file_identity, true);
}

void save_overwrite(EditorState& state) {
  SaveDocument(state.file_name, state.grid, state.file_identity);
}

}  // namespace cmd
