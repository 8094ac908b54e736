#include "file/leftovers.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/display.h"
#include "file/kept_files.h"
#include "file/recovery.h"

namespace {

const char kFoundRecovery[] =
    "Found %s, unsaved work on %s from a session that ended %s: to recover it, open it and "
    "save it under the name you want, then delete it\n";
const char kFoundCopy[] =
    "Found %s, the old content of %s kept by a save that did not finish, %s: if %s is "
    "incomplete, open the copy and save it under that name, then delete it\n";
const char kFoundPart[] =
    "Found %s, the new content of %s written by a save that did not finish, %s; the file itself "
    "was left as it was: look at it, then delete it\n";
const char kNoName[] = "the document without a name";
const char kTimeFormat[] = "%Y-%m-%d %H:%M";
const char kMkstempLetters[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

enum class Kind { kNone, kRecovery, kCopy, kPart };

// A kept file found: its name in its place, what it is and when it was written.
struct Found {
  std::string name;
  Kind kind;
  time_t written;
};

// The files named so far in this session, by device and inode.
std::set<std::pair<dev_t, ino_t>> named;

// Returns true when `name` is `prefix` followed by the six random characters of mkstemp.
bool IsRandomName(const std::string& name, const std::string& prefix) {
  return name.size() == prefix.size() + kRandomPart &&
         name.compare(0, prefix.size(), prefix) == 0 &&
         name.find_first_not_of(kMkstempLetters, prefix.size()) == std::string::npos;
}

// Returns true when `name` is a recovery file name of `stem`: STEM.hup or STEM.N.hup, N from 1
// to the highest number the editor writes.
bool IsRecoveryName(const std::string& name, const std::string& stem) {
  for (int number = 0; number <= kMaxRecoveryNumber; ++number)
    if (name == RecoveryName(stem, number)) return true;
  return false;
}

// Returns what the file `name` is to the document of base name `base`.
Kind KindOf(const std::string& name, const std::string& base) {
  std::string recovery_stem = RecoveryStem(base.c_str());
  if (name.compare(0, recovery_stem.size(), recovery_stem) == 0 &&
      IsRecoveryName(name, recovery_stem))
    return Kind::kRecovery;
  if (IsRandomName(name, FitStem(base, std::strlen(kCopyTag) + kRandomPart) + kCopyTag))
    return Kind::kCopy;
  std::string part_prefix =
      "." + FitStem(base, 1 + std::strlen(kSaveTag) + kRandomPart) + kSaveTag;
  if (IsRandomName(name, part_prefix)) return Kind::kPart;
  return Kind::kNone;
}

// Returns the kept files of the user's for the document of base name `base` in the directory
// `directory` ("" for the working directory) that were not named yet: recovery files, copies, then parts of saves,
// each kind in the order of its names.
std::vector<Found> FindIn(const std::string& directory, const std::string& base) {
  std::vector<Found> found;
  DIR* listing = opendir(directory.empty() ? "." : directory.c_str());
  if (!listing) return found;
  while (const dirent* entry = readdir(listing)) {
    std::string name = entry->d_name;
    Kind kind = KindOf(name, base);
    struct stat info;
    // Only a regular file of the user's is the editor's: another user may make files of any
    // name in a shared directory.
    if (kind == Kind::kNone ||
        fstatat(dirfd(listing), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(info.st_mode) || info.st_uid != geteuid() ||
        !named.insert({info.st_dev, info.st_ino}).second)
      continue;
    found.push_back({name, kind, info.st_mtime});
  }
  (void)closedir(listing);  // only read through
  std::sort(found.begin(), found.end(),
            [](const Found& a, const Found& b) {
              return a.kind != b.kind ? a.kind < b.kind : a.name < b.name;
            });
  return found;
}

// Returns when `written` was, in local time.
std::string WhenText(time_t written) {
  char text[64];
  tm local;
  if (!localtime_r(&written, &local) || std::strftime(text, sizeof text, kTimeFormat, &local) == 0)
    return "?";
  return text;
}

}  // namespace

void ReportLeftovers(const char* file_name) {
  std::string base = BaseNameOf(file_name);
  std::string document = file_name[0] ? ShownName(file_name) : kNoName;
  for (int place = 0; place < kKeptPlaces; ++place) {
    std::string directory;
    // A place that is not there, or not the user's own, holds nothing of the editor's.
    int dir = OpenKeptPlace(file_name, place, false, &directory);
    if (dir < 0) continue;
    (void)close(dir);  // only looked at
    for (const Found& found : FindIn(directory, base)) {
      std::string path = ShownName((directory + found.name).c_str());
      std::string when = WhenText(found.written);
      switch (found.kind) {
        case Kind::kRecovery:
          std::printf(kFoundRecovery, path.c_str(), document.c_str(), when.c_str());
          break;
        case Kind::kCopy:
          std::printf(kFoundCopy, path.c_str(), document.c_str(), when.c_str(), document.c_str());
          break;
        case Kind::kPart:
        case Kind::kNone:
          std::printf(kFoundPart, path.c_str(), document.c_str(), when.c_str());
          break;
      }
    }
  }
}
