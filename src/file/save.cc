#include "file/save.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/display.h"
#include "core/editor_state.h"
#include "core/grid.h"
#include "core/input.h"
#include "file/file_identity.h"
#include "file/leftovers.h"
#include "file/name_answer.h"
#include "file/safe_write.h"
#include "file/text_format.h"

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
const char kIsLink[] = "%s is a symbolic link to %s.\n";
const char kIsDanglingLink[] = "%s is a symbolic link to %s, which leads to no file.\n";
const char kIsCharacterDevice[] = "%s is a character device.\n";
const char kIsFifo[] = "%s is a fifo.\n";
const char kIsOther[] = "%s is not a regular file.\n";
const char kOverwrite[] = "Overwrite it? (y/n)";
const char kLeftAsItIs[] = "The file was left as it is; nothing was saved";
const char kKeepsChanging[] = "another program keeps changing or replacing it";
const int kMaxAttempts = 10;  // writes tried while other programs change the file

// Returns true when something of that name exists, readable or not, and stores the identity of
// the file it stands for in *seen (none for a link to no file or what cannot be looked at).
// Only a name that is not there at all is free, so an unreadable file is never replaced
// without the question.
bool NameTaken(const char* name, FileIdentity* seen) {
  *seen = FileIdentity();
  if (name[0] == 0) return false;  // no name: the save asks for one
  FoundFile found = FindFile(name);
  if (found.kind == Found::kFile) *seen = IdentityOf(found.info);
  if (found.kind == Found::kRefused) return found.error != ENOENT && found.error != ENOTDIR;
  return found.kind != Found::kNothing;
}

// Reads one name answer into `name`. Returns false, after saying why, when input has ended or
// the name was too long.
bool ReadName(char* name) {
  NameRead read = ReadNameAnswer(name);
  if (read == NameRead::kEnd) std::puts(kEndNotSaved);
  return read == NameRead::kOk;
}

// Says what `found`, under the name `shown`, is when it is not a plain regular file.
void DescribeFound(const std::string& shown, const FoundFile& found) {
  if (found.is_link) {
    std::string target = ShownName(found.link_text.c_str());
    std::printf(found.kind == Found::kDanglingLink ? kIsDanglingLink : kIsLink, shown.c_str(),
                target.c_str());
  }
  if (found.kind != Found::kFile) return;
  mode_t type = found.info.st_mode & S_IFMT;
  if (type == S_IFCHR) std::printf(kIsCharacterDevice, shown.c_str());
  else if (type == S_IFIFO) std::printf(kIsFifo, shown.c_str());
  else if (type != S_IFREG) std::printf(kIsOther, shown.c_str());
}

// Returns true when the file `found` under `name` may be written: nothing is there, or what the
// write refuses anyway (a directory, a block device, what cannot be looked at), or the file the
// editor last read or wrote under that name (`known`), or the user says so at the question,
// told what the name now stands for.
bool MayOverwrite(const char* name, const FoundFile& found, const FileIdentity& known) {
  if (found.kind == Found::kNothing || found.kind == Found::kRefused) return true;
  if (found.kind == Found::kFile) {
    mode_t type = found.info.st_mode & S_IFMT;
    if (type == S_IFDIR || type == S_IFBLK || SameFile(known, found.info)) return true;
  }
  std::string shown = ShownName(name);
  if (known.exists) std::printf(kChangedSince, shown.c_str());
  else if (found.kind == Found::kFile) std::printf(kNotRead, shown.c_str());
  DescribeFound(shown, found);
  if (Confirm(kOverwrite)) return true;
  std::puts(kLeftAsItIs);
  return false;
}

// Prints what the write `result` of the file `name` came to.
void Report(const char* name, const WriteResult& result) {
  std::string shown = ShownName(name);
  switch (result.outcome) {
    case WriteOutcome::kWritten:
      std::printf(kSaved, shown.c_str());
      break;
    case WriteOutcome::kUnchanged:
    case WriteOutcome::kMoved:
      std::printf(kNotSaved, shown.c_str(), result.reason.c_str());
      break;
    case WriteOutcome::kOldInCopy:
      std::printf(kOldContentIn, shown.c_str(), result.reason.c_str(),
                  ShownName(result.old_copy.c_str()).c_str());
      break;
    case WriteOutcome::kUnknown:
      std::printf(kSaveFailed, shown.c_str(), result.reason.c_str());
      break;
  }
}

// What a save came to: a Ctrl-C at the name question is no attempt that failed.
enum class SaveOutcome { kWritten, kFailed, kCancelled };

// Does what SaveDocument does, without recording the outcome.
SaveOutcome SaveOnce(char* file_name, const char* grid, FileIdentity& known) {
  while (file_name[0] == 0) {
    known = FileIdentity();  // a name typed here holds no file the user has agreed to
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
  size_t size = DocumentSize(grid);
  WriteResult result;
  // A file changed, replaced or made under the name while it was written is asked about anew;
  // one that never holds still is given up on rather than chased for ever.
  for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
    FoundFile found = FindFile(file_name);
    if (!MayOverwrite(file_name, found, known)) return SaveOutcome::kFailed;
    result = WriteFoundFile(found, size, [grid](int fd) { return WriteDocument(fd, grid); });
    if (result.outcome != WriteOutcome::kMoved) break;
    result.reason = kKeepsChanging;
  }
  Report(file_name, result);
  if (result.outcome != WriteOutcome::kWritten) return SaveOutcome::kFailed;
  known = result.identity;
  return SaveOutcome::kWritten;
}

}  // namespace

bool SaveDocument(char* file_name, const char* grid, FileIdentity& known) {
  SaveOutcome outcome = SaveOnce(file_name, grid, known);
  if (outcome != SaveOutcome::kCancelled) last_save_failed = outcome == SaveOutcome::kFailed;
  if (outcome == SaveOutcome::kWritten) unsaved_changes = false;
  return outcome == SaveOutcome::kWritten;
}

int DefineSaveName(char* file_name, FileIdentity& agreed) {
  char name[kNameSize];
  std::puts(kSaveNameQuestion);
  if (!ReadName(name)) return 0;
  if (std::strcmp(name, "x") == 0) return 0;
  FileIdentity seen;
  if (NameTaken(name, &seen)) {
    std::puts(kFileExists);
    char answer[kNameSize];
    if (!ReadName(answer)) return 0;
    if (std::strcmp(answer, "o") != 0) {
      std::strcpy(name, answer);
      while (NameTaken(name, &seen)) {
        std::puts(kTryAgain);
        if (!ReadName(name)) return 0;
      }
    }
  }
  // 'o' agrees to the file seen at the question, and only to that one.
  agreed = seen;
  std::strcpy(file_name, name);
  return 1;
}

void OnSavePrompt(EditorState& state) {
  FileIdentity agreed;
  if (!DefineSaveName(state.file_name, agreed)) return;
  state.file_identity = agreed;
  SaveDocument(state.file_name, state.grid, state.file_identity);
}

void OnSaveOverwrite(EditorState& state) {
  SaveDocument(state.file_name, state.grid, state.file_identity);
}
