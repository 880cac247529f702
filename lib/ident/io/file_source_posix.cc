#include "file_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

#include "scoped_fd.h"

namespace ident {

namespace {

class FileSource final : public ByteSource {
 public:
  FileSource(ScopedFd fd, std::uint64_t size) : fd_(std::move(fd)), size_(size) {}

  std::uint64_t size() const override { return size_; }

  bool readAt(std::uint64_t offset, std::size_t length, std::string* out) const override {
    // Never more than the file holds: callers ask for generous heads, and
    // filling a buffer of that size for every small file costs more than
    // reading it.
    if (offset >= size_) {
      out->clear();
      return true;
    }
    length = static_cast<std::size_t>(std::min<std::uint64_t>(length, size_ - offset));
    out->resize(length);
    std::size_t done = 0;
    while (done < length) {
      const ssize_t n = ::pread(fd_.get(), out->data() + done, length - done,
                                static_cast<off_t>(offset + done));
      if (n < 0) {
        if (errno == EINTR) {
          continue;
        }
        out->clear();
        return false;
      }
      if (n == 0) {
        break;  // end of file, or the file shrank since fstat
      }
      done += static_cast<std::size_t>(n);
    }
    out->resize(done);
    return true;
  }

 private:
  ScopedFd fd_;
  std::uint64_t size_;
};

// Opens |path| for reading. O_NONBLOCK keeps a FIFO or a device from
// stalling the open itself; O_NOFOLLOW refuses a symbolic link put in place
// of the file, which is one to analyse, and which is read without touching
// its access time where it is ours to do so (or we are root).
ScopedFd openForReading(const std::string& path, FinalLink link, std::string* err) {
  const int flags = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
  ScopedFd fd;
  if (link == FinalLink::kRefuse) {
    fd.reset(::open(path.c_str(), flags | O_NOFOLLOW | O_NOATIME));
    if (!fd.valid() && errno == EPERM) {
      fd.reset(::open(path.c_str(), flags | O_NOFOLLOW));
    }
  } else {
    fd.reset(::open(path.c_str(), flags));
  }
  if (!fd.valid()) {
    const int saved = errno;
    *err = "open(" + path + "): " + std::strerror(saved);
  }
  return fd;
}

// The size of the file open as |fd|, named |name| in messages, when it is a
// regular file.
std::optional<std::uint64_t> regularFileSize(int fd, const std::string& name, std::string* err) {
  struct stat st;
  if (::fstat(fd, &st) != 0) {
    const int saved = errno;
    *err = "fstat(" + name + "): " + std::strerror(saved);
    return std::nullopt;
  }
  if (!S_ISREG(st.st_mode)) {
    *err = name + ": not a regular file";
    return std::nullopt;
  }
  return static_cast<std::uint64_t>(st.st_size);
}

}  // namespace

std::unique_ptr<ByteSource> openRegularFile(const std::string& path, std::string* err,
                                            FinalLink link) {
  ScopedFd fd = openForReading(path, link, err);
  if (!fd.valid()) {
    return nullptr;
  }
  const std::optional<std::uint64_t> size = regularFileSize(fd.get(), path, err);
  if (!size) {
    return nullptr;
  }
  return std::make_unique<FileSource>(std::move(fd), *size);
}

ScopedFd openRegularFileDescriptor(const std::string& path, std::uint64_t* size,
                                   std::string* err) {
  ScopedFd fd = openForReading(path, FinalLink::kRefuse, err);
  if (!fd.valid()) {
    return fd;
  }
  const std::optional<std::uint64_t> found = regularFileSize(fd.get(), path, err);
  if (!found) {
    return ScopedFd();
  }
  *size = *found;
  return fd;
}

std::unique_ptr<ByteSource> fileSource(ScopedFd fd, std::uint64_t size) {
  return std::make_unique<FileSource>(std::move(fd), size);
}

}  // namespace ident
