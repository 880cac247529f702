#pragma once

// The file system as the scan sees it: one open folder, its entries, and the
// files in it, opened and renamed relative to the folder so that the folder's
// own path is resolved only once. The platform's calls live in
// file_access_<platform>.cc; nothing here names them.

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "signatures/byte_source.h"

namespace driver {

// Separator the platform uses between a folder and a name.
extern const char kPathSeparator;

// Whether a file's identity is its own only while the file is open: where
// it is, a removed file's number may pass to the next file made.
extern const bool kIdentityHeldByOpenFile;

// Identity of a file on its volume; a file keeps it across renames.
struct FileIdentity {
  std::uint64_t volume = 0;
  std::uint64_t index = 0;
  bool operator==(const FileIdentity&) const = default;
};

enum class EntryKind { kRegular, kDirectory, kOther };

struct FolderEntry {
  std::string name;
  bool hidden = false;  // hidden by the platform's convention
  EntryKind kind = EntryKind::kOther;
};

// An open folder. Entries come in the platform's order, once each as far as
// the platform guarantees it.
class Folder {
 public:
  // Opens |path| for enumeration; nullptr with |err| filled on failure.
  static std::unique_ptr<Folder> open(const std::string& path, std::string* err);
  ~Folder();
  Folder(const Folder&) = delete;
  Folder& operator=(const Folder&) = delete;

  // Fills |entry| with the next entry. False at the end of the folder, or on
  // a read error (then |err| is filled); either way the enumeration is over.
  bool next(FolderEntry* entry, std::string* err);

  struct Impl;
  Impl& impl() { return *impl_; }

 private:
  explicit Folder(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

// A regular file of the folder, open until destroyed.
class OpenFile : public signatures::ByteSource {
 public:
  OpenFile();
  ~OpenFile() override;
  OpenFile(OpenFile&& other) noexcept;
  OpenFile& operator=(OpenFile&& other) noexcept;

  bool isOpen() const;
  FileIdentity identity() const { return identity_; }
  std::uint64_t size() const override { return size_; }
  std::size_t readAt(std::uint64_t offset, std::span<unsigned char> out) override;
  void close();

  struct Impl;

 private:
  friend bool openEntry(Folder&, const std::string&, bool, OpenFile*, std::string*);
  std::unique_ptr<Impl> impl_;
  FileIdentity identity_;
  std::uint64_t size_ = 0;
};

// Opens entry |name| of |folder|. With |for_update| the file must be
// writable: it is opened for reading and writing and refused when its
// permissions grant no write at all. Links are never followed, opening never
// blocks (a FIFO swapped in), and anything but a regular file is refused.
// False with |err| filled on failure.
bool openEntry(Folder& folder, const std::string& name, bool for_update, OpenFile* file,
               std::string* err);

enum class RenameResult {
  kRenamed,
  kTargetExists,  // never replaced
  kFileChanged,   // |from| is no longer the file that was examined
  kFailed,        // any other failure, |err| filled
};

// Renames entry |from| of |folder| to |to| unless |to| exists, and only while
// |from| is still the file of identity |expected|.
RenameResult renameNoReplace(Folder& folder, const std::string& from, const std::string& to,
                             const FileIdentity& expected, std::string* err);

}  // namespace driver
