// Windows implementation of the folder and file access of the scan.
//
// The folder is enumerated with FindFirstFileA / FindNextFileA over the
// pattern "<folder>\*"; files are reached by their path, the folder, a
// backslash and the name, through the system's single-byte (ANSI) calls,
// the code page the enumeration's names are in. Links (reparse points) are
// never followed: an entry that is one counts as neither file nor folder,
// and a file is opened without following one.

#include "driver/file_access.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include "driver/system_error_win32.h"

namespace driver {

const char kPathSeparator = '\\';

// A file ID carries a sequence number that changes when its record is
// reused; and an open file would change how other programs may remove or
// replace it.
const bool kIdentityHeldByOpenFile = false;

namespace {

std::string describeError(const char* call, const std::string& subject, DWORD error) {
  return std::string(call) + "(" + subject + "): " + systemMessage(error);
}

bool isValid(HANDLE handle) { return handle != INVALID_HANDLE_VALUE; }

std::string entryPath(const std::string& folder, const std::string& name) {
  return folder + kPathSeparator + name;
}

EntryKind kindOf(DWORD attributes) {
  if ((attributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE)) != 0) {
    return EntryKind::kOther;
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return EntryKind::kDirectory;
  }
  return EntryKind::kRegular;
}

FileIdentity identityOf(const BY_HANDLE_FILE_INFORMATION& info) {
  return {info.dwVolumeSerialNumber,
          (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

// Opens |path| without following a link and reads what the system knows of
// it. INVALID_HANDLE_VALUE with |err| filled on failure.
HANDLE openAndDescribe(const std::string& path, DWORD access, BY_HANDLE_FILE_INFORMATION* info,
                       std::string* err) {
  HANDLE handle = ::CreateFileA(path.c_str(), access,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (!isValid(handle)) {
    *err = describeError("CreateFileA", path, ::GetLastError());
    return INVALID_HANDLE_VALUE;
  }
  if (!::GetFileInformationByHandle(handle, info)) {
    *err = describeError("GetFileInformationByHandle", path, ::GetLastError());
    ::CloseHandle(handle);
    return INVALID_HANDLE_VALUE;
  }
  return handle;
}

}  // namespace

struct Folder::Impl {
  std::string path;
  HANDLE find = INVALID_HANDLE_VALUE;
  WIN32_FIND_DATAA data{};
  bool pending = false;  // |data| holds an entry not yet handed out
  bool done = false;
};

struct OpenFile::Impl {
  HANDLE handle = INVALID_HANDLE_VALUE;
};

Folder::Folder(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

Folder::~Folder() {
  if (isValid(impl_->find)) {
    ::FindClose(impl_->find);
  }
}

std::unique_ptr<Folder> Folder::open(const std::string& path, std::string* err) {
  auto impl = std::make_unique<Impl>();
  impl->path = path;
  const std::string pattern = path + kPathSeparator + "*";
  impl->find = ::FindFirstFileA(pattern.c_str(), &impl->data);
  if (!isValid(impl->find)) {
    *err = describeError("FindFirstFileA", pattern, ::GetLastError());
    return nullptr;
  }
  impl->pending = true;
  return std::unique_ptr<Folder>(new Folder(std::move(impl)));
}

bool Folder::next(FolderEntry* entry, std::string* err) {
  if (impl_->done) {
    return false;
  }
  if (!impl_->pending && !::FindNextFileA(impl_->find, &impl_->data)) {
    // Whatever the reason, the enumeration is over: asking again after an
    // error could hand out the previous entry without end.
    const DWORD error = ::GetLastError();
    impl_->done = true;
    if (error != ERROR_NO_MORE_FILES) {
      *err = describeError("FindNextFileA", impl_->path, error);
    }
    return false;
  }
  impl_->pending = false;
  entry->name = impl_->data.cFileName;
  entry->hidden = (impl_->data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0;
  entry->kind = kindOf(impl_->data.dwFileAttributes);
  return true;
}

OpenFile::OpenFile() : impl_(std::make_unique<Impl>()) {}

OpenFile::~OpenFile() { close(); }

OpenFile::OpenFile(OpenFile&& other) noexcept
    : impl_(std::make_unique<Impl>()), identity_(other.identity_), size_(other.size_) {
  std::swap(impl_->handle, other.impl_->handle);
}

OpenFile& OpenFile::operator=(OpenFile&& other) noexcept {
  if (this != &other) {
    close();
    std::swap(impl_->handle, other.impl_->handle);
    identity_ = other.identity_;
    size_ = other.size_;
  }
  return *this;
}

bool OpenFile::isOpen() const { return isValid(impl_->handle); }

void OpenFile::close() {
  if (isValid(impl_->handle)) {
    ::CloseHandle(impl_->handle);
    impl_->handle = INVALID_HANDLE_VALUE;
  }
}

std::size_t OpenFile::readAt(std::uint64_t offset, std::span<unsigned char> out) {
  std::size_t done = 0;
  while (done < out.size()) {
    // On a handle opened for synchronous access the OVERLAPPED only carries
    // the offset; the call still waits for its bytes.
    OVERLAPPED at{};
    const std::uint64_t position = offset + done;
    at.Offset = static_cast<DWORD>(position);
    at.OffsetHigh = static_cast<DWORD>(position >> 32);
    DWORD n = 0;
    if (!::ReadFile(impl_->handle, out.data() + done, static_cast<DWORD>(out.size() - done), &n,
                    &at) ||
        n == 0) {
      break;
    }
    done += n;
  }
  return done;
}

bool openEntry(Folder& folder, const std::string& name, bool for_update, OpenFile* file,
               std::string* err) {
  file->close();
  // Read and write access, as "r+b" asks for: a file with the read-only
  // attribute, or one that another program holds without sharing, is
  // refused.
  const DWORD access = for_update ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ;
  BY_HANDLE_FILE_INFORMATION info;
  const std::string path = entryPath(folder.impl().path, name);
  HANDLE handle = openAndDescribe(path, access, &info, err);
  if (!isValid(handle)) {
    return false;
  }
  if (kindOf(info.dwFileAttributes) != EntryKind::kRegular ||
      ::GetFileType(handle) != FILE_TYPE_DISK) {
    ::CloseHandle(handle);
    *err = "CreateFileA(" + path + "): not a regular file";
    return false;
  }
  // An administrator's write access, or a file system that keeps the
  // attribute as permission bits for a privileged user, must not turn a
  // read-only file into a writable one.
  if (for_update && (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
    ::CloseHandle(handle);
    *err = "CreateFileA(" + path + "): file is read-only";
    return false;
  }
  file->impl_->handle = handle;
  file->identity_ = identityOf(info);
  file->size_ = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  return true;
}

RenameResult renameNoReplace(Folder& folder, const std::string& from, const std::string& to,
                             const FileIdentity& expected, std::string* err) {
  const std::string from_path = entryPath(folder.impl().path, from);
  const std::string to_path = entryPath(folder.impl().path, to);
  // The file is renamed through a handle of its own, once the handle is
  // known to be the examined file: whatever another process puts in the
  // entry's place meanwhile, the rename moves the examined file or nothing.
  BY_HANDLE_FILE_INFORMATION info;
  HANDLE handle = openAndDescribe(from_path, DELETE | FILE_READ_ATTRIBUTES, &info, err);
  if (!isValid(handle)) {
    return RenameResult::kFileChanged;
  }
  if (kindOf(info.dwFileAttributes) != EntryKind::kRegular || identityOf(info) != expected) {
    ::CloseHandle(handle);
    return RenameResult::kFileChanged;
  }
  // The new path in the system's wide form, after the structure that
  // carries it; never replacing a file of that name.
  const int wide_length = ::MultiByteToWideChar(CP_ACP, 0, to_path.c_str(), -1, nullptr, 0);
  std::vector<unsigned char> request(sizeof(FILE_RENAME_INFO) +
                                     static_cast<std::size_t>(wide_length) * sizeof(WCHAR));
  auto* rename_info = reinterpret_cast<FILE_RENAME_INFO*>(request.data());
  rename_info->ReplaceIfExists = FALSE;
  rename_info->RootDirectory = nullptr;
  rename_info->FileNameLength = static_cast<DWORD>((wide_length - 1) * sizeof(WCHAR));
  const bool converted =
      wide_length > 0 && ::MultiByteToWideChar(CP_ACP, 0, to_path.c_str(), -1,
                                               rename_info->FileName, wide_length) == wide_length;
  const bool renamed =
      converted && ::SetFileInformationByHandle(handle, FileRenameInfo, rename_info,
                                                static_cast<DWORD>(request.size()));
  const DWORD error = ::GetLastError();
  ::CloseHandle(handle);
  if (renamed) {
    return RenameResult::kRenamed;
  }
  // Some file systems refuse a taken name as access denied.
  if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ||
      (error == ERROR_ACCESS_DENIED &&
       ::GetFileAttributesA(to_path.c_str()) != INVALID_FILE_ATTRIBUTES)) {
    return RenameResult::kTargetExists;
  }
  *err = describeError("SetFileInformationByHandle", from_path, error);
  return RenameResult::kFailed;
}

}  // namespace driver
