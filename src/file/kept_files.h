// Names and places of the files the editor keeps beside a document: the copy of the old content
// during an in-place save, the temporary file of a replacing save, and the recovery file.
//
//   STEM                   the document's base name ("pellak" without a name), cut short so
//                          that every name made from it fits NAME_MAX
//   STEM.pellak-backup-XXXXXX   copy of the old content while a file is written in place
//   .STEM.pellak-save-XXXXXX    temporary file of a replacing save, where the file system has
//                               no unnamed temporary files
//   STEM.hup, STEM.N.hup        recovery file of unsaved work
//
// Places shared with other users get a private directory: $TMPDIR (else /tmp) holds
// "pellak-UID", mode 0700 and owned by the user, so no one else can predict or take a name
// in it.
#pragma once

#include <cstddef>
#include <string>

inline constexpr char kCopyTag[] = ".pellak-backup-";  // then six random characters
inline constexpr char kSaveTag[] = ".pellak-save-";    // then six random characters
inline constexpr char kRecoveryTag[] = ".hup";
inline constexpr char kNoNameStem[] = "pellak";
inline constexpr size_t kRandomPart = 6;  // the XXXXXX of mkstemp

// Returns the base name of `path` (what follows its last slash), or kNoNameStem when that is
// empty.
std::string BaseNameOf(const std::string& path);

// Returns the directory part of `path` with its final slash, or "" for a plain name.
std::string DirectoryPartOf(const std::string& path);

// Returns `stem` cut short, never inside a UTF-8 sequence, so that it and `extra` more bytes
// fit in NAME_MAX bytes.
std::string FitStem(const std::string& stem, size_t extra);

// Opens the user's private directory "pellak-UID" in `parent`, making it (mode 0700) when it
// is missing. It is refused with EPERM when it is a link, not a directory, owned by someone
// else or open to others. Returns an O_DIRECTORY descriptor and stores the directory's path
// with a final slash in *path, or -1 with errno set.
int OpenPrivateDirectory(const std::string& parent, std::string* path);

// Opens the user's private directory in `parent` like OpenPrivateDirectory, but never makes it:
// a missing one fails with ENOENT.
int FindPrivateDirectory(const std::string& parent, std::string* path);

// Returns the temporary directory with a final slash: $TMPDIR when it is set and `fallback`
// is false, else /tmp.
std::string TemporaryParent(bool fallback);
