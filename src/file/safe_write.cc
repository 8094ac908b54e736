#include "file/safe_write.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "file/kept_files.h"
#include "file/system_calls.h"

namespace {

const char kNoReader[] = "no program is reading from that pipe";
const char kNoCopy[] = "no copy of its old content can be kept: ";
const char kBusy[] = "another program is saving it at this moment";
const char kBlockDevice[] = "it is a block device";
const char kAccessList[] = "system.posix_acl_access";
const int kMaxTries = 100;  // random names tried for a temporary file
constexpr off_t kCopyBlock = 1 << 16;

// Returns the result of a write that failed with `reason`, leaving the file as `outcome` says.
WriteResult Failed(WriteOutcome outcome, const std::string& reason) {
  WriteResult result;
  result.outcome = outcome;
  result.reason = reason;
  return result;
}

// Returns the result of a write that found the name no longer standing for the file found.
WriteResult Moved() { return Failed(WriteOutcome::kMoved, ""); }

// Returns the result of a write whose file `fd` now holds the new content on the disk.
WriteResult Written(int fd) {
  struct stat info;
  if (fstat(fd, &info) != 0) return Failed(WriteOutcome::kUnknown, Reason());
  WriteResult result;
  result.outcome = WriteOutcome::kWritten;
  result.identity = IdentityOf(info);
  return result;
}

// Returns the name of the temporary file of a save of `leaf`, but for its random part.
std::string SavePrefix(const std::string& leaf) {
  return "." + FitStem(leaf, 1 + std::strlen(kSaveTag) + kRandomPart) + kSaveTag;
}

// Returns the name of a copy of the old content of `leaf`, but for its random part.
std::string CopyPrefix(const std::string& leaf) {
  return FitStem(leaf, std::strlen(kCopyTag) + kRandomPart) + kCopyTag;
}

// Returns the path of `name` in the directory `dir`, to be shown in a message.
std::string PathIn(int dir, const std::string& name) {
  std::string path = PathOf(dir);
  return path.empty() ? name : path + (path.back() == '/' ? "" : "/") + name;
}

// A temporary file being written in a directory: unnamed where the file system allows it, so
// that nothing is left of it when the editor is killed; else under a random name.
struct TempFile {
  int dir = -1;
  int fd = -1;
  std::string name;  // "" while it has none

  // Opens one in `dir` for `leaf`, with `mode` (which the umask and a default access list
  // narrow). Returns false, with errno set, when none can be made there.
  bool Open(int directory, const std::string& leaf, mode_t mode) {
    dir = directory;
    fd = openat(dir, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, mode);
    if (fd >= 0) return true;
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return false;
    fd = CreateUniqueFile(dir, SavePrefix(leaf), O_RDWR, mode, &name);
    return fd >= 0;
  }

  // Gives the unnamed file the name `target` in its directory, never replacing a file there.
  // Returns false with errno set (EEXIST when the name is taken).
  bool Link(const std::string& target) const {
    if (linkat(fd, "", dir, target.c_str(), AT_EMPTY_PATH) == 0) return true;
    // Without the right to link by descriptor, the same file through /proc.
    if (errno != ENOENT && errno != EPERM) return false;
    return linkat(AT_FDCWD, ProcPath(fd).c_str(), dir, target.c_str(), AT_SYMLINK_FOLLOW) == 0;
  }

  // Gives the unnamed file a random name of the temporary files of `leaf`. Returns false with
  // errno set.
  bool Name(const std::string& leaf) {
    for (int tries = 0; tries < kMaxTries; ++tries) {
      std::string candidate = RandomName(SavePrefix(leaf));
      if (Link(candidate)) {
        name = candidate;
        return true;
      }
      if (errno != EEXIST) return false;
    }
    return false;
  }

  // Makes the new content the file `leaf`, only while that name is free. Returns 0, or the
  // errno of the failure (EEXIST when the name is taken).
  int Publish(const std::string& leaf) {
    if (name.empty()) return Link(leaf) ? 0 : errno;
    if (renameat2(dir, name.c_str(), dir, leaf.c_str(), RENAME_NOREPLACE) == 0) {
      name.clear();
      return 0;
    }
    if (errno != EINVAL && errno != ENOSYS) return errno;
    // No renaming without replacing here: a second link, which never replaces, then the
    // temporary name goes.
    if (linkat(dir, name.c_str(), dir, leaf.c_str(), 0) != 0) return errno;
    Discard();
    return 0;
  }

  // Removes the temporary name, if any; the descriptor stays open.
  void Discard() {
    // The failure being reported (or the save done) does not depend on the removal.
    if (!name.empty()) (void)unlinkat(dir, name.c_str(), 0);
    name.clear();
  }

  // Closes the file nothing is to come of and removes its name.
  void Abandon() {
    Discard();
    (void)close(fd);  // abandoned: nothing written through it is kept
    fd = -1;
  }
};

// Gives the file `fd` every extended attribute of the file `source` (a path) that the process
// can read, access lists included, and takes away an access list it got from its directory
// that `source` lacks. Returns false when one cannot be set or the list cannot be read.
bool CopyExtendedAttributes(const std::string& source, int fd) {
  ssize_t length = listxattr(source.c_str(), nullptr, 0);
  if (length < 0) return errno == ENOTSUP;
  std::string names(static_cast<size_t>(length), '\0');
  length = listxattr(source.c_str(), names.data(), names.size());
  if (length < 0) return false;
  bool had_access_list = false;
  std::string value;
  for (size_t at = 0; at < static_cast<size_t>(length); at += std::strlen(&names[at]) + 1) {
    const char* attribute = &names[at];
    had_access_list = had_access_list || std::strcmp(attribute, kAccessList) == 0;
    ssize_t size = getxattr(source.c_str(), attribute, nullptr, 0);
    if (size < 0) continue;  // one the process cannot read
    value.resize(static_cast<size_t>(size));
    size = getxattr(source.c_str(), attribute, value.data(), value.size());
    if (size < 0) return false;
    if (fsetxattr(fd, attribute, value.data(), static_cast<size_t>(size), 0) != 0) return false;
  }
  return had_access_list || fremovexattr(fd, kAccessList) == 0 || errno == ENODATA ||
         errno == ENOTSUP;
}

// Gives the temporary file `fd` the permissions, extended attributes and, where the process
// may, the owner of the file `found` (O_PATH, status `old`) it replaces. Returns false when one
// of them cannot be kept.
bool CopyAttributes(int fd, int found, const struct stat& old) {
  if ((old.st_uid != geteuid() || old.st_gid != getegid()) && fchown(fd, old.st_uid, old.st_gid) != 0)
    return false;
  // The mode comes last: a change of owner clears the set-id bits, and the bits then match the
  // access list's mask exactly as they did on the old file.
  return CopyExtendedAttributes(ProcPath(found), fd) && fchmod(fd, old.st_mode & 07777) == 0;
}

// Puts back on the file `fd` the set-user-ID and set-group-ID bits of the user's own file
// `info`, which a write or truncation by a process without CAP_FSETID clears. Returns false
// when they cannot be set.
bool KeepSetIds(int fd, const struct stat& info) {
  if ((info.st_mode & (S_ISUID | S_ISGID)) == 0 || info.st_uid != geteuid()) return true;
  return fchmod(fd, info.st_mode & 07777) == 0;
}

// Returns true when the directory or file `fd` only takes new names (append-only) or none
// (immutable): a file there cannot be renamed over, nor a temporary name removed.
bool KeepsItsNames(int fd) {
  struct statx info;
  if (statx(fd, "", AT_EMPTY_PATH, 0, &info) != 0) return false;
  uint64_t flags = STATX_ATTR_APPEND | STATX_ATTR_IMMUTABLE;
  return (info.stx_attributes_mask & info.stx_attributes & flags) != 0;
}

// How a swap of the temporary file and the file went.
enum class Swap { kDone, kMoved, kInPlace, kFailed, kStuck };

// Puts the synced temporary file `file` in place of `leaf` in its directory, only while that
// name stands for the file `old`, unchanged; on kDone the file swapped out is under the
// temporary name. The temporary file is named only now, so that a kill leaves a name behind
// only for the three calls from the swap to the removal of what was swapped out.
Swap SwapIn(TempFile& file, const std::string& leaf, const struct stat& old) {
  int dir = file.dir;
  struct stat now;
  // Checked right before the swap, through the directory found, not by a new lookup.
  if (fstatat(dir, leaf.c_str(), &now, AT_SYMLINK_NOFOLLOW) != 0)
    return errno == ENOENT ? Swap::kMoved : Swap::kFailed;
  if (!SameFile(IdentityOf(old), now)) return Swap::kMoved;
  if (file.name.empty() && !file.Name(leaf)) return Swap::kFailed;
  const std::string& temp = file.name;
  if (renameat2(dir, temp.c_str(), dir, leaf.c_str(), RENAME_EXCHANGE) == 0) {
    // Whatever was swapped out must be that file; anything else goes back at once.
    if (fstatat(dir, temp.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0 && SameFileRenamed(old, now))
      return Swap::kDone;
    return renameat2(dir, temp.c_str(), dir, leaf.c_str(), RENAME_EXCHANGE) == 0 ? Swap::kMoved
                                                                                 : Swap::kStuck;
  }
  // No exchange on this file system: a plain rename right after the check.
  if ((errno == EINVAL || errno == ENOSYS) && renameat(dir, temp.c_str(), dir, leaf.c_str()) == 0)
    return Swap::kDone;
  if (errno == EBUSY || errno == EXDEV) return Swap::kInPlace;
  if (errno == ENOENT) return Swap::kMoved;
  return Swap::kFailed;
}

// Writes through a temporary file swapped in for the regular file `found`. Returns false when
// no temporary file with the old attributes can be swapped in (write in place instead); else
// stores the outcome.
bool WriteReplacing(const FoundFile& found, const ContentWriter& write, WriteResult* result) {
  int dir = found.FileDir();
  const std::string& leaf = found.FileLeaf();
  if (dir < 0 || found.info.st_nlink != 1 || KeepsItsNames(dir) || KeepsItsNames(found.file.get()))
    return false;
  TempFile temp;
  if (!temp.Open(dir, leaf, 0600)) return false;
  if (!CopyAttributes(temp.fd, found.file.get(), found.info)) {
    temp.Abandon();
    return false;
  }
  if (!write(temp.fd) || !KeepSetIds(temp.fd, found.info) || !Sync(temp.fd)) {
    *result = Failed(WriteOutcome::kUnchanged, Reason());
    temp.Abandon();
    return true;
  }
  switch (SwapIn(temp, leaf, found.info)) {
    case Swap::kDone:
      temp.Discard();  // the old file, swapped out
      break;
    case Swap::kMoved:
      temp.Abandon();
      *result = Moved();
      return true;
    case Swap::kInPlace:
      temp.Abandon();
      return false;
    case Swap::kFailed:
      *result = Failed(WriteOutcome::kUnchanged, Reason());
      temp.Abandon();
      return true;
    case Swap::kStuck:
      // The new content is under the name and what another program put there is under the
      // temporary name; both stay.
      *result = Failed(WriteOutcome::kOldInCopy, Reason());
      result->old_copy = PathIn(dir, temp.name);
      (void)close(temp.fd);  // its content is on the disk already
      return true;
  }
  *result = SyncDirectory(dir, temp.fd) ? Written(temp.fd) : Failed(WriteOutcome::kUnknown, Reason());
  if (!Close(temp.fd) && result->outcome == WriteOutcome::kWritten)
    *result = Failed(WriteOutcome::kUnknown, Reason());
  return true;
}

// Writes a new file under the free name of `found`, named only once its content is on the disk.
WriteResult WriteNewFile(const FoundFile& found, const ContentWriter& write) {
  TempFile temp;
  if (!temp.Open(found.name_dir.get(), found.name_leaf, 0666))
    return Failed(WriteOutcome::kUnchanged, Reason());
  if (!write(temp.fd) || !Sync(temp.fd)) {
    WriteResult result = Failed(WriteOutcome::kUnchanged, Reason());
    temp.Abandon();
    return result;
  }
  int error = temp.Publish(found.name_leaf);
  if (error != 0) {
    temp.Abandon();
    return error == EEXIST ? Moved() : Failed(WriteOutcome::kUnchanged, std::strerror(error));
  }
  WriteResult result = SyncDirectory(found.name_dir.get(), temp.fd)
                           ? Written(temp.fd)
                           : Failed(WriteOutcome::kUnknown, Reason());
  if (!Close(temp.fd) && result.outcome == WriteOutcome::kWritten)
    result = Failed(WriteOutcome::kUnknown, Reason());
  return result;
}

// Opens the file `found` again with `flags`: the same file through the system, else by its name
// once more, refused (ESTALE) unless it is still that file. Returns the descriptor or -1.
int OpenFound(const FoundFile& found, int flags) {
  flags |= O_NOCTTY | O_CLOEXEC;
  int fd = Reopen(found.file.get(), flags);
  if (fd >= 0 || errno != ENOSYS) return fd;
  fd = found.FileDir() >= 0 ? openat(found.FileDir(), found.FileLeaf().c_str(), flags | O_NOFOLLOW)
                            : openat(found.name_dir.get(), found.name_leaf.c_str(), flags);
  if (fd < 0) return -1;
  struct stat info;
  if (fstat(fd, &info) == 0 && info.st_dev == found.info.st_dev && info.st_ino == found.info.st_ino)
    return fd;
  (void)close(fd);  // another file: nothing is written through it
  errno = ESTALE;
  return -1;
}

// Returns the outcome of OpenFound failing.
WriteResult OpenFailed() {
  return errno == ESTALE ? Moved() : Failed(WriteOutcome::kUnchanged, Reason());
}

// Takes a write lock on the whole file `fd`, without waiting. Returns false with errno set
// (EAGAIN when another program holds one).
bool LockFile(int fd) {
  struct flock lock = {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  if (fcntl(fd, F_OFD_SETLK, &lock) == 0) return true;
  if (errno == EACCES) errno = EAGAIN;
  if (errno != EINVAL) return false;
  if (flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
  if (errno == EWOULDBLOCK) errno = EAGAIN;
  return false;
}

// Copies `size` bytes from offset 0 of `from` to offset 0 of `to`. Returns false on an error
// (errno set).
bool CopyContent(int from, int to, off_t size) {
  char block[kCopyBlock];
  for (off_t at = 0; at < size;) {
    size_t want = static_cast<size_t>(std::min<off_t>(size - at, kCopyBlock));
    ssize_t got = pread(from, block, want, at);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      if (got == 0) errno = EIO;  // the file ended early
      return false;
    }
    if (!WriteAll(to, block, static_cast<size_t>(got), at)) return false;
    at += got;
  }
  return true;
}

// A copy of the old content of a file written in place.
struct KeptCopy {
  int fd = -1;
  Descriptor private_dir;  // the private directory it is in, if it is there
  int dir = -1;            // the directory it is in
  std::string name;        // its name there
  std::string path;        // its path, to be shown
};

// Copies the `size` bytes of `fd`, the file `found`, into a new file of a random name beside
// it, else in the user's private temporary directory, and syncs the copy to the disk. Returns
// false, with errno set, when no copy could be made.
bool KeepCopy(const FoundFile& found, int fd, off_t size, KeptCopy* copy) {
  std::string prefix = CopyPrefix(found.FileDir() >= 0 ? found.FileLeaf() : found.name_leaf);
  int error = EACCES;
  for (int place = 0; place < 3; ++place) {
    // A directory that only takes new names would keep the copy for ever.
    copy->dir = KeepsItsNames(found.FileDir()) ? -1 : found.FileDir();
    if (place > 0) {
      std::string ignored;
      // $TMPDIR first, then /tmp; each "pellak-UID" in it is the user's alone.
      copy->private_dir = Descriptor(OpenPrivateDirectory(TemporaryParent(place == 2), &ignored));
      copy->dir = copy->private_dir.get();
      if (copy->dir < 0) error = errno;
    }
    if (copy->dir < 0) continue;
    copy->fd = CreateUniqueFile(copy->dir, prefix, O_RDWR, 0600, &copy->name);
    if (copy->fd < 0) {
      error = errno;
      continue;
    }
    if (CopyContent(fd, copy->fd, size) && Sync(copy->fd) && SyncDirectory(copy->dir, copy->fd)) {
      copy->path = PathIn(copy->dir, copy->name);
      return true;
    }
    error = errno;
    // The unfinished copy is of no use; the failure is reported through the next place.
    (void)close(copy->fd);
    (void)unlinkat(copy->dir, copy->name.c_str(), 0);
    copy->fd = -1;
  }
  errno = error;
  return false;
}

// Writes the regular file `found` in place under a lock, once its descriptor is seen to be the
// file found, unchanged, keeping a copy of its old content until the new content is on the disk.
WriteResult WriteKeepingCopy(const FoundFile& found, size_t size, const ContentWriter& write) {
  int fd = OpenFound(found, O_RDWR);
  if (fd < 0) return OpenFailed();
  struct stat old;
  WriteResult refusal;
  bool checked = false;
  if (!LockFile(fd)) refusal = Failed(WriteOutcome::kUnchanged, errno == EAGAIN ? kBusy : Reason());
  else if (fstat(fd, &old) != 0) refusal = Failed(WriteOutcome::kUnchanged, Reason());
  // The change time also tells when the name no longer stands for the file: it lost a link.
  else if (!SameFile(IdentityOf(found.info), old)) refusal = Moved();
  else checked = true;
  KeptCopy copy;
  if (checked && !KeepCopy(found, fd, old.st_size, &copy))
    refusal = Failed(WriteOutcome::kUnchanged, std::string(kNoCopy) + Reason());
  if (copy.fd < 0) {
    (void)close(fd);  // nothing was written through it; the lock goes with it
    return refusal;
  }
  // Reserving the room first finds a full disk before a byte of the file changes.
  int error = size > 0 ? posix_fallocate(fd, 0, static_cast<off_t>(size)) : 0;
  bool reserved = error == 0 || error == EOPNOTSUPP || error == EINVAL;
  if (!reserved) errno = error;
  bool ok = reserved && write(fd) && ftruncate(fd, static_cast<off_t>(size)) == 0 &&
            KeepSetIds(fd, old) && Sync(fd);
  WriteResult result = ok ? Written(fd) : Failed(WriteOutcome::kOldInCopy, Reason());
  if (!ok && CopyContent(copy.fd, fd, old.st_size) && ftruncate(fd, old.st_size) == 0 &&
      KeepSetIds(fd, old) && Sync(fd))
    result.outcome = WriteOutcome::kUnchanged;  // the old content is back
  if (!Close(fd) && result.outcome != WriteOutcome::kOldInCopy)
    result = Failed(WriteOutcome::kOldInCopy, Reason());
  bool keep = result.outcome == WriteOutcome::kOldInCopy;
  if (keep) result.old_copy = copy.path;
  // The copy is removed once it is no longer needed; one left behind holds only the old
  // content, so how closing or removing it goes changes nothing of the outcome.
  (void)close(copy.fd);
  if (!keep) (void)unlinkat(copy.dir, copy.name.c_str(), 0);
  return result;
}

// Writes a character device or a pipe in place.
WriteResult WriteDevice(const FoundFile& found, const ContentWriter& write) {
  // Without O_NONBLOCK a pipe with no reader would keep the open waiting for ever; the flag
  // is dropped again once it is open, so the writes themselves wait as usual.
  int fd = OpenFound(found, O_WRONLY | O_NONBLOCK);
  if (fd < 0) {
    if (errno == ENXIO && S_ISFIFO(found.info.st_mode)) return Failed(WriteOutcome::kUnchanged, kNoReader);
    return OpenFailed();
  }
  int mode = fcntl(fd, F_GETFL);
  bool ok = mode >= 0 && fcntl(fd, F_SETFL, mode & ~O_NONBLOCK) == 0 && write(fd) && Sync(fd);
  WriteResult result = ok ? Written(fd) : Failed(WriteOutcome::kUnknown, Reason());
  if (!Close(fd) && result.outcome == WriteOutcome::kWritten)
    result = Failed(WriteOutcome::kUnknown, Reason());
  return result;
}

// Removes the file `fd` that this save made through a link, found again by the kernel's path
// for it. Returns true when it is gone.
bool RemoveMadeFile(int fd) {
  struct stat info;
  std::string path = PathOf(fd);
  std::string directory = DirectoryPartOf(path);
  if (directory.empty() || fstat(fd, &info) != 0) return false;
  Descriptor dir(open(directory.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  std::string leaf = path.substr(directory.size());
  struct stat there;
  return dir.ok() && fstatat(dir.get(), leaf.c_str(), &there, AT_SYMLINK_NOFOLLOW) == 0 &&
         there.st_dev == info.st_dev && there.st_ino == info.st_ino &&
         unlinkat(dir.get(), leaf.c_str(), 0) == 0;
}

// Makes the file a symbolic link to no file leads to, the kernel following the link, and writes
// it in place; a file someone else has made there meanwhile is not written.
WriteResult WriteThroughLink(const FoundFile& found, const ContentWriter& write) {
  int fd = openat(found.name_dir.get(), found.name_leaf.c_str(),
                  O_WRONLY | O_CREAT | O_NOCTTY | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) return Failed(WriteOutcome::kUnchanged, Reason());
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size != 0 ||
      info.st_nlink != 1 || info.st_uid != geteuid()) {
    (void)close(fd);  // not the file this open made: nothing was written through it
    return Moved();
  }
  bool ok = write(fd) && Sync(fd) && syncfs(fd) == 0;  // syncfs: the name, wherever it is
  WriteResult result = ok ? Written(fd) : Failed(WriteOutcome::kUnknown, Reason());
  if (!ok && RemoveMadeFile(fd)) result.outcome = WriteOutcome::kUnchanged;
  if (!Close(fd) && result.outcome == WriteOutcome::kWritten)
    result = Failed(WriteOutcome::kUnknown, Reason());
  return result;
}

}  // namespace

WriteResult WriteFoundFile(const FoundFile& found, size_t size, const ContentWriter& write) {
  switch (found.kind) {
    case Found::kRefused:
      return Failed(WriteOutcome::kUnchanged, found.reason);
    case Found::kNothing:
      return WriteNewFile(found, write);
    case Found::kDanglingLink:
      return WriteThroughLink(found, write);
    case Found::kFile:
      break;
  }
  mode_t type = found.info.st_mode & S_IFMT;
  if (type == S_IFDIR) return Failed(WriteOutcome::kUnchanged, std::strerror(EISDIR));
  if (type == S_IFBLK) return Failed(WriteOutcome::kUnchanged, kBlockDevice);
  if (type != S_IFREG) return WriteDevice(found, write);
  // The file itself must be writable: a swap would otherwise replace a read-only file.
  bool writable = faccessat(AT_FDCWD, ProcPath(found.file.get()).c_str(), W_OK, AT_EACCESS) == 0;
  if (!writable && errno == ENOENT && found.FileDir() >= 0)  // no /proc: by its name
    writable = faccessat(found.FileDir(), found.FileLeaf().c_str(), W_OK, AT_EACCESS) == 0;
  if (!writable) return Failed(WriteOutcome::kUnchanged, Reason());
  WriteResult result;
  if (WriteReplacing(found, write, &result)) return result;
  return WriteKeepingCopy(found, size, write);
}
