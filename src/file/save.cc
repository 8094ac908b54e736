#include "file/save.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "core/editor_state.h"
#include "core/grid.h"
#include "core/input.h"
#include "file/file_io.h"
#include "file/name_answer.h"

namespace {

const char kSaveNameQuestion[] = "Enter a filename to save to, or 'x' to return";
const char kFileExists[] = "The file already exists.\nEnter a new filename or 'o' to overwrite";
const char kTryAgain[] = "File exists. Try again";
const char kNameQuestion[] = "Enter a filename to save to";
const char kSaved[] = "Saved to %s\n";
const char kNotSaved[] = "Could not save to %s: %s; nothing was saved\n";
const char kEndNotSaved[] = "End of input: nothing was saved";
const char kNoMemory[] = "Not enough memory to save the document; nothing was saved";

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

std::unique_ptr<char[]> AssembleText(const char* grid, size_t* size) {
  int last = DocLength(grid);
  size_t room = (static_cast<size_t>(last) + 1) * static_cast<size_t>(lsize);
  std::unique_ptr<char[]> out(new (std::nothrow) char[room]);
  *size = 0;
  if (!out) return out;
  char* end = out.get();
  for (int k = 0; k <= last; ++k) {
    const char* slot = SlotOf(k, grid);
    size_t length = static_cast<size_t>(TextLength(slot));
    std::memcpy(end, slot, length);
    end += length;
    *end++ = '\n';
  }
  *size = static_cast<size_t>(end - out.get());
  return out;
}

bool last_save_failed = false;

namespace {

// What a save came to: a Ctrl-C at the name question is no attempt that failed.
enum class SaveOutcome { kWritten, kFailed, kCancelled };

// Does what SaveDocument does, without recording the outcome.
SaveOutcome SaveOnce(char* file_name, const char* grid) {
  size_t size = 0;
  std::unique_ptr<char[]> text = AssembleText(grid, &size);
  if (!text) {
    std::puts(kNoMemory);
    return SaveOutcome::kFailed;
  }
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
  std::string reason = WriteWholeFile(file_name, text.get(), size);
  if (!reason.empty()) {
    std::printf(kNotSaved, file_name, reason.c_str());
    return SaveOutcome::kFailed;
  }
  std::printf(kSaved, file_name);
  return SaveOutcome::kWritten;
}

}  // namespace

bool SaveDocument(char* file_name, const char* grid) {
  SaveOutcome outcome = SaveOnce(file_name, grid);
  if (outcome != SaveOutcome::kCancelled) last_save_failed = outcome == SaveOutcome::kFailed;
  if (outcome == SaveOutcome::kWritten) unsaved_changes = false;
  return outcome == SaveOutcome::kWritten;
}

void Save(char* file_name, const char* grid) { SaveDocument(file_name, grid); }

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
  if (DefineSaveName(state.file_name)) Save(state.file_name, state.grid);
}

void save_overwrite(EditorState& state) { Save(state.file_name, state.grid); }

}  // namespace cmd
