#include "file/file_identity.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "file/kept_files.h"

namespace {

const char kOthersLink[] = "it is a symbolic link of another user in a shared directory";
const char kChangedWhileLooked[] = "it changed while it was looked at";

// Returns true when `a` and `b` are the same file (device and inode).
bool SameInode(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Returns true when the link `link` in the directory `dir` is one the system refuses to follow
// in a shared sticky directory: the directory is sticky and writable by everyone, and the link
// belongs neither to the user nor to the directory's owner.
bool OthersLinkInSharedPlace(const struct stat& dir, const struct stat& link) {
  bool shared = (dir.st_mode & S_ISVTX) && (dir.st_mode & S_IWOTH);
  return shared && link.st_uid != geteuid() && link.st_uid != dir.st_uid;
}

// Stores in found.link_dir and found.link_leaf the directory and name of the file a link led
// to, when the kernel can tell them and they still stand for that file; leaves them empty
// otherwise.
void FindLinkedDirectory(FoundFile& found) {
  std::string path = PathOf(found.file.get());
  std::string directory = DirectoryPartOf(path);
  if (directory.empty()) return;
  Descriptor dir(open(directory.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  std::string leaf = path.substr(directory.size());
  struct stat info;
  if (!dir.ok() || leaf.empty() ||
      fstatat(dir.get(), leaf.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 ||
      !SameInode(info, found.info))
    return;
  found.link_dir = std::move(dir);
  found.link_leaf = leaf;
}

// Returns `found` refused for `reason`, or for the failed system call's errno.
FoundFile Refused(FoundFile found, const char* reason = nullptr) {
  found.kind = Found::kRefused;
  found.error = reason ? 0 : errno;
  found.reason = reason ? reason : Reason();
  return found;
}

}  // namespace

FoundFile FindFile(const char* name) {
  FoundFile found;
  std::string path = name;
  std::string directory = DirectoryPartOf(path);
  // "dir/" stands for the directory itself.
  found.name_leaf = directory.size() < path.size() ? path.substr(directory.size()) : std::string(1, '.');
  found.name_dir = Descriptor(open(directory.empty() ? "." : directory.c_str(),
                                   O_PATH | O_DIRECTORY | O_CLOEXEC));
  if (!found.name_dir.ok()) return Refused(std::move(found));
  const char* leaf = found.name_leaf.c_str();
  int dir = found.name_dir.get();
  struct stat before;
  if (fstatat(dir, leaf, &before, AT_SYMLINK_NOFOLLOW) != 0) {
    if (errno != ENOENT) return Refused(std::move(found));
    found.kind = Found::kNothing;
    return found;
  }
  found.is_link = S_ISLNK(before.st_mode);
  if (found.is_link) {
    struct stat dir_info;
    if (fstat(dir, &dir_info) != 0) return Refused(std::move(found));
    if (OthersLinkInSharedPlace(dir_info, before)) return Refused(std::move(found), kOthersLink);
    found.link_text = LinkText(dir, found.name_leaf);
  }
  // The kernel follows a link itself, with its own protections; a name that was no link is
  // not followed should it have become one.
  found.file = Descriptor(openat(dir, leaf, O_PATH | O_CLOEXEC | (found.is_link ? 0 : O_NOFOLLOW)));
  if (!found.file.ok()) {
    if (errno != ENOENT) return Refused(std::move(found));
    found.kind = found.is_link ? Found::kDanglingLink : Found::kNothing;
    return found;
  }
  struct stat after;
  if (fstat(found.file.get(), &found.info) != 0) return Refused(std::move(found));
  if (fstatat(dir, leaf, &after, AT_SYMLINK_NOFOLLOW) != 0 || !SameInode(before, after) ||
      (!found.is_link && !SameInode(before, found.info)))
    return Refused(std::move(found), kChangedWhileLooked);
  if (found.is_link) FindLinkedDirectory(found);
  found.kind = Found::kFile;
  return found;
}

FileIdentity IdentityOf(const struct stat& info) {
  FileIdentity identity;
  identity.exists = true;
  identity.device = info.st_dev;
  identity.inode = info.st_ino;
  identity.size = info.st_size;
  identity.modified = info.st_mtim;
  identity.changed = info.st_ctim;
  return identity;
}

bool SameFile(const FileIdentity& known, const struct stat& info) {
  return known.exists && known.device == info.st_dev && known.inode == info.st_ino &&
         known.size == info.st_size && known.modified.tv_sec == info.st_mtim.tv_sec &&
         known.modified.tv_nsec == info.st_mtim.tv_nsec &&
         known.changed.tv_sec == info.st_ctim.tv_sec &&
         known.changed.tv_nsec == info.st_ctim.tv_nsec;
}

bool SameFileRenamed(const struct stat& before, const struct stat& info) {
  return SameInode(before, info) && before.st_size == info.st_size &&
         before.st_mtim.tv_sec == info.st_mtim.tv_sec &&
         before.st_mtim.tv_nsec == info.st_mtim.tv_nsec;
}
