#include "driver/file_access.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <vector>

#include "test_util.h"

namespace driver {
namespace {

namespace fs = std::filesystem;

class FileAccessTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string err;
    folder_ = Folder::open(dir_.path().string(), &err);
    ASSERT_NE(folder_, nullptr) << err;
  }

  // Opens |name| and returns its identity, as the scan does before a rename.
  FileIdentity examine(const std::string& name) {
    OpenFile file;
    std::string err;
    EXPECT_TRUE(openEntry(*folder_, name, true, &file, &err)) << err;
    return file.identity();
  }

  testutil::ScopedTempDir dir_;
  std::unique_ptr<Folder> folder_;
};

TEST_F(FileAccessTest, EnumeratesEveryEntryWithItsKind) {
  testutil::writeFile(dir_.path() / "file", "x");
  testutil::writeFile(dir_.path() / ".hidden", "x");
  fs::create_directory(dir_.path() / "sub");
  fs::create_symlink("file", dir_.path() / "link");
  ASSERT_EQ(::mkfifo((dir_.path() / "fifo").c_str(), 0600), 0);

  std::string err;
  auto folder = Folder::open(dir_.path().string(), &err);
  ASSERT_NE(folder, nullptr);
  std::map<std::string, std::pair<bool, EntryKind>> seen;
  FolderEntry entry;
  while (folder->next(&entry, &err)) {
    seen[entry.name] = {entry.hidden, entry.kind};
  }
  EXPECT_TRUE(err.empty()) << err;
  const std::map<std::string, std::pair<bool, EntryKind>> want = {
      {".", {true, EntryKind::kDirectory}},       {"..", {true, EntryKind::kDirectory}},
      {".hidden", {true, EntryKind::kRegular}},   {"file", {false, EntryKind::kRegular}},
      {"sub", {false, EntryKind::kDirectory}},    {"link", {false, EntryKind::kOther}},
      {"fifo", {false, EntryKind::kOther}},
  };
  EXPECT_EQ(seen, want);
}

TEST_F(FileAccessTest, OpenRefusesWhatIsNotAWritableRegularFile) {
  testutil::writeFile(dir_.path() / "plain", "hello");
  testutil::writeFile(dir_.path() / "readonly", "hello");
  fs::permissions(dir_.path() / "readonly", fs::perms::owner_read | fs::perms::group_read);
  fs::create_symlink("plain", dir_.path() / "link");
  fs::create_directory(dir_.path() / "sub");
  ASSERT_EQ(::mkfifo((dir_.path() / "fifo").c_str(), 0600), 0);

  static const struct {
    const char* name;
    bool for_update, want;
  } kCases[] = {
      {"plain", true, true},     {"plain", false, true},
      {"readonly", true, false},  // refused even for root
      {"readonly", false, true},  {"link", false, false},  // never followed
      {"sub", false, false},      {"fifo", true, false},   // must not block
      {"fifo", false, false},     {"missing", false, false},
  };
  for (const auto& c : kCases) {
    OpenFile file;
    std::string err;
    EXPECT_EQ(openEntry(*folder_, c.name, c.for_update, &file, &err), c.want)
        << c.name << " " << c.for_update << " " << err;
    EXPECT_EQ(file.isOpen(), c.want);
    EXPECT_EQ(err.empty(), c.want) << err;
  }
}

TEST_F(FileAccessTest, ReadsAtOffsetsUpToTheEnd) {
  testutil::writeFile(dir_.path() / "f", "0123456789");
  OpenFile file;
  std::string err;
  ASSERT_TRUE(openEntry(*folder_, "f", false, &file, &err));
  EXPECT_EQ(file.size(), 10u);
  std::array<unsigned char, 4> buf{};
  EXPECT_EQ(file.readAt(8, buf), 2u);
  EXPECT_EQ(buf[0], '8');
  EXPECT_EQ(file.readAt(10, buf), 0u);
  EXPECT_EQ(file.readAt(UINT64_C(1) << 62, buf), 0u);
}

TEST_F(FileAccessTest, RenameNeverReplaces) {
  testutil::writeFile(dir_.path() / "a", "new");
  testutil::writeFile(dir_.path() / "a.pdf", "existing");
  const FileIdentity id = examine("a");
  std::string err;
  EXPECT_EQ(renameNoReplace(*folder_, "a", "a.pdf", id, &err), RenameResult::kTargetExists);
  EXPECT_EQ(testutil::readFile(dir_.path() / "a"), "new");
  EXPECT_EQ(testutil::readFile(dir_.path() / "a.pdf"), "existing");

  EXPECT_EQ(renameNoReplace(*folder_, "a", "a.txt", id, &err), RenameResult::kRenamed);
  EXPECT_FALSE(fs::exists(dir_.path() / "a"));
  EXPECT_EQ(testutil::readFile(dir_.path() / "a.txt"), "new");
}

TEST_F(FileAccessTest, RenameRefusesAFileSwappedAfterTheCheck) {
  testutil::writeFile(dir_.path() / "a", "examined");
  const FileIdentity id = examine("a");
  fs::remove(dir_.path() / "a");
  testutil::writeFile(dir_.path() / "other", "someone else's");
  fs::create_symlink("other", dir_.path() / "a");

  std::string err;
  EXPECT_EQ(renameNoReplace(*folder_, "a", "a.pdf", id, &err), RenameResult::kFileChanged);
  EXPECT_TRUE(fs::is_symlink(dir_.path() / "a"));
  EXPECT_FALSE(fs::exists(dir_.path() / "a.pdf"));

  fs::remove(dir_.path() / "a");
  EXPECT_EQ(renameNoReplace(*folder_, "a", "a.pdf", id, &err), RenameResult::kFileChanged);
}

TEST_F(FileAccessTest, NameTooLongFailsCleanly) {
  testutil::writeFile(dir_.path() / "a", "x");
  const FileIdentity id = examine("a");
  std::string err;
  EXPECT_EQ(renameNoReplace(*folder_, "a", "a." + std::string(300, 'e'), id, &err),
            RenameResult::kFailed);
  EXPECT_NE(err.find("File name too long"), std::string::npos) << err;
  EXPECT_TRUE(fs::exists(dir_.path() / "a"));
}

TEST(FolderTest, OpenFailsForWhatIsNotAFolder) {
  testutil::ScopedTempDir dir;
  testutil::writeFile(dir.path() / "file", "x");
  for (const std::string& path :
       {(dir.path() / "missing").string(), (dir.path() / "file").string(), std::string()}) {
    std::string err;
    EXPECT_EQ(Folder::open(path, &err), nullptr) << path;
    EXPECT_FALSE(err.empty());
  }
}

}  // namespace
}  // namespace driver
