// What a file name stands for, found by the kernel as it opens the name (so that its checks on
// symbolic links apply), and the identity that tells whether a file is still the one seen.
#pragma once

#include <sys/stat.h>

#include <string>

#include "core/editor_state.h"
#include "file/system_calls.h"

// What a name stands for now.
enum class Found {
  kNothing,       // no file of that name: the name is free
  kFile,          // a file (any type), open as `file`
  kDanglingLink,  // a symbolic link that leads to no file
  kRefused,       // something is there that cannot be checked or must not be written; see reason
};

// The outcome of FindFile. Every descriptor is an O_PATH one: it opens nothing for reading or
// writing, and keeps the directory or file it was opened on, whatever happens to names.
struct FoundFile {
  Found kind = Found::kRefused;
  std::string reason;        // kRefused: why
  int error = 0;             // kRefused by a failed system call: its errno
  Descriptor name_dir;       // the directory that holds the name
  std::string name_leaf;     // the last part of the name
  bool is_link = false;      // the name itself is a symbolic link...
  std::string link_text;     // ...that says this
  Descriptor file;           // kFile: the file itself
  struct stat info = {};     // kFile: its status
  Descriptor link_dir;       // kFile through a link: the directory that holds the file, when
  std::string link_leaf;     // it could be told, and the file's name there

  // Returns the directory holding the file, or -1 when it cannot be told.
  int FileDir() const { return is_link ? link_dir.get() : name_dir.get(); }
  // Returns the file's name in FileDir.
  const std::string& FileLeaf() const { return is_link ? link_leaf : name_leaf; }
};

// Finds what `name` stands for by opening it, the kernel following any symbolic links. A
// failure other than "no such file", a symbolic link another user has put in a shared sticky
// directory, and a name that changes while it is looked at are refused with a reason.
FoundFile FindFile(const char* name);

// Returns the identity (device, inode, size, modification and change times) of `info`.
FileIdentity IdentityOf(const struct stat& info);

// Returns true when `info` describes the file `known` remembers, unchanged.
bool SameFile(const FileIdentity& known, const struct stat& info);

// Returns true when `info` is the same file as `before`, with the same size and modification
// time; its change time is not compared, since renaming the file changes it.
bool SameFileRenamed(const struct stat& before, const struct stat& info);
