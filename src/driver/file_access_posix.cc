// POSIX implementation of the folder and file access of the scan.
//
// The folder is opened once as a directory descriptor; every later open,
// check and rename is relative to it (openat, fstatat, renameat2), so a long
// folder path is resolved once and a folder renamed away mid-run does not
// redirect the scan elsewhere.

#include "driver/file_access.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace driver {

const char kPathSeparator = '/';

// An inode number is free again as soon as the last name and descriptor of
// its file are gone.
const bool kIdentityHeldByOpenFile = true;

namespace {

std::string describeErrno(const char* call, const std::string& subject, int error) {
  return std::string(call) + "(" + subject + "): " + std::strerror(error);
}

EntryKind kindOf(mode_t mode) {
  if (S_ISREG(mode)) {
    return EntryKind::kRegular;
  }
  if (S_ISDIR(mode)) {
    return EntryKind::kDirectory;
  }
  return EntryKind::kOther;
}

}  // namespace

struct Folder::Impl {
  DIR* dir = nullptr;
  int fd = -1;  // owned by |dir|
};

struct OpenFile::Impl {
  int fd = -1;
};

Folder::Folder(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

Folder::~Folder() {
  if (impl_->dir != nullptr) {
    ::closedir(impl_->dir);
  }
}

std::unique_ptr<Folder> Folder::open(const std::string& path, std::string* err) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    *err = describeErrno("open", path, errno);
    return nullptr;
  }
  DIR* dir = ::fdopendir(fd);
  if (dir == nullptr) {
    const int error = errno;
    ::close(fd);
    *err = describeErrno("fdopendir", path, error);
    return nullptr;
  }
  auto impl = std::make_unique<Impl>();
  impl->dir = dir;
  impl->fd = fd;
  return std::unique_ptr<Folder>(new Folder(std::move(impl)));
}

bool Folder::next(FolderEntry* entry, std::string* err) {
  errno = 0;
  const dirent* d = ::readdir(impl_->dir);
  if (d == nullptr) {
    if (errno != 0) {
      *err = describeErrno("readdir", ".", errno);
    }
    return false;
  }
  entry->name = d->d_name;
  entry->hidden = d->d_name[0] == '.';
  switch (d->d_type) {
    case DT_REG:
      entry->kind = EntryKind::kRegular;
      break;
    case DT_DIR:
      entry->kind = EntryKind::kDirectory;
      break;
    case DT_UNKNOWN: {
      // Some file systems leave the type to a stat of the entry itself.
      struct stat st;
      if (!entry->hidden &&
          ::fstatat(impl_->fd, d->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
        entry->kind = kindOf(st.st_mode);
      } else {
        entry->kind = EntryKind::kOther;
      }
      break;
    }
    default:
      entry->kind = EntryKind::kOther;
      break;
  }
  return true;
}

OpenFile::OpenFile() : impl_(std::make_unique<Impl>()) {}

OpenFile::~OpenFile() { close(); }

OpenFile::OpenFile(OpenFile&& other) noexcept
    : impl_(std::make_unique<Impl>()), identity_(other.identity_), size_(other.size_) {
  std::swap(impl_->fd, other.impl_->fd);
}

OpenFile& OpenFile::operator=(OpenFile&& other) noexcept {
  if (this != &other) {
    close();
    std::swap(impl_->fd, other.impl_->fd);
    identity_ = other.identity_;
    size_ = other.size_;
  }
  return *this;
}

bool OpenFile::isOpen() const { return impl_->fd >= 0; }

void OpenFile::close() {
  if (impl_->fd >= 0) {
    ::close(impl_->fd);
    impl_->fd = -1;
  }
}

std::size_t OpenFile::readAt(std::uint64_t offset, std::span<unsigned char> out) {
  std::size_t done = 0;
  while (done < out.size()) {
    const ssize_t n = ::pread(impl_->fd, out.data() + done, out.size() - done,
                              static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      break;
    }
    done += static_cast<std::size_t>(n);
  }
  return done;
}

bool openEntry(Folder& folder, const std::string& name, bool for_update, OpenFile* file,
               std::string* err) {
  file->close();
  const int flags =
      (for_update ? O_RDWR : O_RDONLY) | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
  // Without touching the file's access time, where the file is ours (or we
  // are root): examining a folder of evidence must not change what it says
  // of when each file was last read. Another's file is opened as usual.
  int fd;
  do {
    fd = ::openat(folder.impl().fd, name.c_str(), flags | O_NOATIME);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0 && errno == EPERM) {
    // Once: an immutable file refuses the plain open with EPERM too.
    do {
      fd = ::openat(folder.impl().fd, name.c_str(), flags);
    } while (fd < 0 && errno == EINTR);
  }
  if (fd < 0) {
    *err = describeErrno("open", name, errno);
    return false;
  }
  struct stat st;
  if (::fstat(fd, &st) != 0) {
    const int error = errno;
    ::close(fd);
    *err = describeErrno("fstat", name, error);
    return false;
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    *err = "open(" + name + "): not a regular file";
    return false;
  }
  // Root may open any file for writing; a file with no write bit at all is
  // still read-only to the person who runs the tool.
  if (for_update && (st.st_mode & 0222) == 0) {
    ::close(fd);
    *err = "open(" + name + "): file is read-only";
    return false;
  }
  file->impl_->fd = fd;
  file->identity_ = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
  file->size_ = static_cast<std::uint64_t>(st.st_size);
  return true;
}

namespace {

// True when entry |name| of the folder |dir_fd| is, without following a
// link, the regular file |expected|. |links| receives the entry's link
// count, whatever it is, or stays as it was when there is no such entry.
bool isExamined(int dir_fd, const std::string& name, const FileIdentity& expected,
                nlink_t* links = nullptr) {
  struct stat st;
  if (::fstatat(dir_fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
    return false;
  }
  if (links != nullptr) {
    *links = st.st_nlink;
  }
  return S_ISREG(st.st_mode) && FileIdentity{static_cast<std::uint64_t>(st.st_dev),
                      static_cast<std::uint64_t>(st.st_ino)} == expected;
}

// After |from| was renamed to |to|: the rename moved the examined file, or
// else whatever took its place between the check and the rename (a link, a
// file of another), which goes back to its name unless that name is taken
// again; it is never removed.
RenameResult confirmRenamed(int dir_fd, const std::string& from, const std::string& to,
                            const FileIdentity& expected) {
  if (isExamined(dir_fd, to, expected)) {
    return RenameResult::kRenamed;
  }
  ::renameat2(dir_fd, to.c_str(), dir_fd, from.c_str(), RENAME_NOREPLACE);
  return RenameResult::kFileChanged;
}

}  // namespace

RenameResult renameNoReplace(Folder& folder, const std::string& from, const std::string& to,
                             const FileIdentity& expected, std::string* err) {
  // No call renames a file by its descriptor, so the name is checked before
  // the rename and the new name after it: another process may swap the
  // entry in between.
  const int dir_fd = folder.impl().fd;
  if (!isExamined(dir_fd, from, expected)) {
    return RenameResult::kFileChanged;
  }
  if (::renameat2(dir_fd, from.c_str(), dir_fd, to.c_str(), RENAME_NOREPLACE) == 0) {
    return confirmRenamed(dir_fd, from, to, expected);
  }
  int error = errno;
  if (error == EEXIST) {
    return RenameResult::kTargetExists;
  }
  if (error != EINVAL && error != ENOSYS) {
    *err = describeErrno("renameat2", from, error);
    return RenameResult::kFailed;
  }
  // The file system has no RENAME_NOREPLACE. A hard link refuses an existing
  // name just the same; without links, the file keeps its name: a plain
  // rename could replace a file.
  if (::linkat(dir_fd, from.c_str(), dir_fd, to.c_str(), 0) != 0) {
    error = errno;
    if (error == EEXIST) {
      return RenameResult::kTargetExists;
    }
    *err = describeErrno("link", from, error);
    return RenameResult::kFailed;
  }
  // The new name goes again if it links another entry than the examined
  // file, which keeps its own name; and the old name goes only while it
  // still names the examined file. A new name is removed only where the
  // entry keeps another.
  nlink_t links = 0;
  if (!isExamined(dir_fd, to, expected, &links)) {
    if (links > 1) {
      ::unlinkat(dir_fd, to.c_str(), 0);
    }
    return RenameResult::kFileChanged;
  }
  if (!isExamined(dir_fd, from, expected)) {
    if (links > 1) {
      ::unlinkat(dir_fd, to.c_str(), 0);
      return RenameResult::kFileChanged;
    }
    return RenameResult::kRenamed;  // its old name went meanwhile: it bears the new one alone
  }
  if (::unlinkat(dir_fd, from.c_str(), 0) != 0) {
    error = errno;
    ::unlinkat(dir_fd, to.c_str(), 0);  // leave the file with one name, as before
    *err = describeErrno("unlink", from, error);
    return RenameResult::kFailed;
  }
  return RenameResult::kRenamed;
}

}  // namespace driver
