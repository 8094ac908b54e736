// Writing a whole file safely: only the file that was found and checked is written, with its
// permissions, owner and extended attributes kept, and a failure never leaves neither the old
// nor the new content on the disk.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "core/editor_state.h"
#include "file/file_identity.h"

// How a write left the file.
enum class WriteOutcome {
  kWritten,    // the new content is on the disk
  kUnchanged,  // the write failed and the file is as it was
  kOldInCopy,  // the write failed; the old content is in `old_copy`
  kUnknown,    // the write failed after the file (or the device or pipe) was changed
  kMoved,      // nothing was written: the name stands for another file than the one found now
};

// What writing a whole file gives.
struct WriteResult {
  WriteOutcome outcome = WriteOutcome::kUnchanged;
  std::string reason;     // why it failed
  std::string old_copy;   // kOldInCopy: the file that holds the old content
  FileIdentity identity;  // kWritten: the file as written
};

// Puts out the content on an open file; returns false on an error, with errno set.
using ContentWriter = std::function<bool(int fd)>;

// Writes `size` bytes put out by `write` as the whole content of the file `found` stands for,
// and syncs them to the disk, working only through the directories the kernel reached.
//  - A free name gets a new file, made with the permissions every new file gets (the umask, or
//    the directory's default access list) and named only while the name is still free.
//  - A regular file is replaced through a temporary file in its directory, swapped in only
//    while the name still stands for the file found, keeping its permissions, owner, group and
//    extended attributes; a symbolic link keeps pointing at it. Where that cannot be done
//    (several hard links, a directory the process cannot write or that only takes new names,
//    an attribute that cannot be kept, a mount point) it is written in place under a lock,
//    once its descriptor is seen to be the file found, with a copy of the old content kept
//    until the new content is on the disk and put back when the write fails.
//  - A character device or a pipe is written in place (a pipe with no reader is refused rather
//    than waited for); a directory and a block device are refused.
//  - A symbolic link that leads to no file makes that file, should the user have agreed.
// The outcome is kMoved, with nothing written, when the file is found changed or replaced, or a
// free name taken, before the new content is put in its place.
WriteResult WriteFoundFile(const FoundFile& found, size_t size, const ContentWriter& write);
