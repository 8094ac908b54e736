// Saving the document grid to a text file.
#pragma once

#include <cstddef>

struct EditorState;
struct FileIdentity;

// Writes lines 0 to DocLength of `grid` to the file `file_name`, asking for a name first when
// it is empty, and reports the outcome. `known` is the file last read or written under that
// name: unless the save is `confirmed` already, another file found there is overwritten only
// when the user says so. Returns true only when the document is on the disk in full; `known`
// is then the file written and the document has no unsaved changes.
bool SaveDocument(char* file_name, const char* grid, FileIdentity& known, bool confirmed = false);

// True while the last save attempt failed and none has succeeded since.
extern bool last_save_failed;

// Runs the save-name dialog. Returns 1 when a name is settled in `file_name`, 0 when declined,
// when input ends or a name is too long (`file_name` is then unchanged).
int DefineSaveName(char* file_name);

// Returns the size in bytes of the text file of lines 0 to DocLength of `grid`.
size_t DocumentSize(const char* grid);

// Writes the text file of lines 0 to DocLength of `grid` to `fd` through a fixed-size buffer,
// so the memory it takes does not grow with the document or the line size. Returns false on a
// write error, with errno set.
bool WriteDocument(int fd, const char* grid);

namespace cmd {
void save_prompt(EditorState& state);
void save_overwrite(EditorState& state);
}  // namespace cmd
