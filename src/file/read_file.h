// Reading a whole file for a load, with every failure reported as a reason.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <functional>
#include <string>

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
// `take`, so no memory the size of the file is needed. The file is looked at before it is
// opened: directories, devices and pipes are refused without being opened. Also refuses files
// that change while they are read and files whose size and terminator do not fit an int; the
// blocks handed over before such a failure is found are then to be dropped.
FileText ReadFileInBlocks(const char* name, const BlockSink& take);
