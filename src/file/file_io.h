// Whole-file reads and writes for loading and saving, with every failure reported as a reason.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <functional>
#include <string>

#include "core/editor_state.h"

// What reading a whole file gives: on success `size` bytes were handed over; otherwise
// `missing` tells "no such file" apart from other failures, and `reason` says what went wrong.
struct FileText {
  int size = 0;
  bool ok = false;
  bool missing = false;
  struct stat info = {};  // the file's status as it was read (device, inode, size, times)
  std::string reason;
};

// Takes the bytes of a file one block at a time, in order; `file_size` is the whole file's.
using BlockSink = std::function<void(const char* block, size_t count, size_t file_size)>;

// Reads the whole regular file `name` through a fixed-size block, handing every block to
// `take`, so no memory the size of the file is needed. Refuses directories, devices, pipes,
// files that change while they are read and files whose size and terminator do not fit an
// int; the blocks handed over before such a failure is found are then to be dropped.
FileText ReadFileInBlocks(const char* name, const BlockSink& take);

// Returns the identity (device, inode, size, modification time) of the file `info` describes.
FileIdentity IdentityOf(const struct stat& info);

// Returns true when `info` describes the file `known` remembers, unchanged.
bool SameFile(const FileIdentity& known, const struct stat& info);

// How a write left the file.
enum class WriteOutcome {
  kWritten,    // the new content is on the disk
  kUnchanged,  // the write failed and the file is as it was
  kOldInCopy,  // the write failed; the old content is in `old_copy`
  kUnknown,    // the write failed after the file (or the device or pipe) was changed
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

// Writes `size` bytes put out by `write` as the whole content of the file `name`, and syncs
// them to the disk. A regular file is replaced through a temporary file in its directory,
// renamed over it once every byte is on the disk, keeping its permission bits, owner, group and
// extended attributes (access lists included); a symbolic link keeps pointing at the replaced
// file. Where that cannot be done (several hard links, a directory the process cannot write,
// an owner or attribute that cannot be kept) the file is written in place: a copy of the old
// content is kept beside it (or in the temporary directory) until the new content is on the
// disk, and put back when the write fails. Devices and pipes are written in place (a pipe with
// no reader is refused rather than waited for). Links that loop are refused.
WriteResult WriteWholeFile(const char* name, size_t size, const ContentWriter& write);
