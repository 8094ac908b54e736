// The recovery file: where unsaved work goes when a session ends without the user's quit, and
// the places the editor keeps files for a document.
#pragma once

#include <string>

// The places tried for the files kept for a document, in order: the document's directory, the
// home directory ($HOME, else the account's), and the private directories of $TMPDIR and /tmp.
inline constexpr int kKeptPlaces = 4;

// Opens place number `place` (0 to kKeptPlaces-1) for the document `file_name` as an
// O_DIRECTORY descriptor and stores its path in *path: with a final slash, or "" for a document
// in the working directory. A private directory is made when missing only with `make`.
// Returns -1 with errno set when the place is not there or not usable.
int OpenKeptPlace(const char* file_name, int place, bool make, std::string* path);

// Returns the number `number` name of the recovery file of `stem`: STEM.hup for 0, else
// STEM.N.hup.
std::string RecoveryName(const std::string& stem, int number);

// Returns the stem of the recovery files of `file_name`: its base name ("pellak" without one)
// shortened so that every recovery file name fits NAME_MAX.
std::string RecoveryStem(const char* file_name);

inline constexpr int kMaxRecoveryNumber = 99;

// Writes the document of `grid` in the file format to a new file, mode 0600, named by
// RecoveryName with the first number not taken, in the first of the kept places where that
// works, and syncs it and its directory. No existing file is written over and no link is
// followed. Returns the path written (absolute), or an empty string with the last failure's
// reason in *reason.
std::string WriteRecoveryFile(const char* file_name, const char* grid, std::string* reason);
