#include "session.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "ident_api.h"
#include "magic/magic_cookie.h"
#include "test_util.h"

namespace ident {
namespace {

using namespace std::string_view_literals;

using testutil::kPng;

class SessionTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(session_.loadDefinitions(IDENT_BUILD_DIR));
  }
  std::string path(const char* name) const { return (dir_.path() / name).string(); }
  std::string write(const char* name, std::string_view bytes) const {
    testutil::writeFile(dir_.path() / name, bytes);
    return path(name);
  }

  testutil::ScopedTempDir dir_;
  Session session_;
};

TEST_F(SessionTest, AnalysesARealFile) {
  const std::string png = write("picture", kPng);
  ASSERT_TRUE(session_.submit(png.c_str()));
  ASSERT_TRUE(session_.analyze());
  const int count = session_.resultCount();
  ASSERT_GE(count, 1);
  EXPECT_EQ(session_.extension(1), "png");
  EXPECT_EQ(session_.description(1).value_or("").rfind("PNG image data", 0), 0u);
  // Every index up to the count answers, not only the first.
  for (int i = 1; i <= count; ++i) {
    EXPECT_TRUE(session_.description(i)) << i;
  }
  EXPECT_EQ(std::string(kPng), testutil::readFile(png)) << "the file is never written";
}

TEST_F(SessionTest, IndexesOutOfRangeHaveNoAnswer) {
  ASSERT_TRUE(session_.submit(write("picture", kPng).c_str()));
  ASSERT_TRUE(session_.analyze());
  const int count = session_.resultCount();
  for (int index : {0, count + 1, -1}) {
    EXPECT_FALSE(session_.extension(index)) << index;
    EXPECT_FALSE(session_.description(index)) << index;
  }
}

TEST_F(SessionTest, TextDescriptionAndExtension) {
  ASSERT_TRUE(session_.submit(write("notes", "Some plain words.\nNothing more.\n").c_str()));
  ASSERT_TRUE(session_.analyze());
  EXPECT_EQ(session_.extension(1), "txt");
  EXPECT_FALSE(session_.description(1).value_or("").empty());
}

TEST_F(SessionTest, NothingToSayIsZeroResults) {
  ASSERT_TRUE(session_.submit(write("empty", "").c_str()));
  ASSERT_TRUE(session_.analyze()) << "an empty file is readable";
  EXPECT_EQ(session_.resultCount(), 0);
}

TEST_F(SessionTest, UnreadableSubjectsFailTheAnalysis) {
  const std::string png = write("picture", kPng);
  ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0600), 0);
  std::filesystem::create_symlink(png, path("link"));
  std::filesystem::create_directory(path("folder"));
  static const struct {
    const char* what;
    std::string path;
  } kCases[] = {
      {"missing", path("missing")},
      {"fifo (must not block)", path("fifo")},
      {"symbolic link", path("link")},
      {"folder", path("folder")},
      {"device", "/dev/null"},
      {"empty path", ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(session_.submit(png.c_str()));
    ASSERT_TRUE(session_.analyze());
    session_.submit(c.path.c_str());
    EXPECT_FALSE(session_.analyze());
    EXPECT_EQ(session_.resultCount(), 0) << "no stale results";
  }
}

TEST_F(SessionTest, PermissionDenied) {
  if (::geteuid() == 0) {
    GTEST_SKIP() << "root reads every file";
  }
  const std::string locked = write("locked", kPng);
  ASSERT_EQ(::chmod(locked.c_str(), 0), 0);
  session_.submit(locked.c_str());
  EXPECT_FALSE(session_.analyze());
}

// The children of this process, from /proc: the worker is the only one.
std::vector<int> childProcesses() {
  std::vector<int> children;
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    std::ifstream stat(entry.path() / "stat");
    std::string line;
    if (!std::getline(stat, line)) {
      continue;
    }
    const std::size_t paren = line.rfind(')');
    if (paren == std::string::npos || paren + 4 >= line.size() || line[paren + 2] == 'Z') {
      continue;
    }
    if (std::atoi(line.c_str() + line.find(' ', paren + 3) + 1) == ::getpid()) {
      children.push_back(std::atoi(entry.path().filename().c_str()));
    }
  }
  return children;
}

TEST_F(SessionTest, DeadWorkerIsReplacedForTheNextFile) {
  // Text, which only the worker reads (a PNG is known from its first bytes).
  const std::string notes = write("notes", "Some plain words.\nNothing more.\n");
  ::setenv("TRUEEXT_ANALYZE_TIMEOUT", "0.5", 1);
  static const struct {
    const char* what;
    int signal;
  } kCases[] = {{"killed", SIGKILL}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(session_.submit(notes.c_str()));
    ASSERT_TRUE(session_.analyze());
    const std::vector<int> workers = childProcesses();
    ASSERT_EQ(workers.size(), 1u);
    ASSERT_GT(workers[0], 1);  // kill(0) or kill(-1) would reach other processes
    ASSERT_EQ(::kill(workers[0], c.signal), 0);
    {
      // Let it die first: a worker that dies during a request fails that
      // request, which is not what this case is about.
      for (int i = 0; i < 200 && !childProcesses().empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
    }
    // A dead worker is replaced at once: the file after it is analysed.
    EXPECT_TRUE(session_.analyze());
    EXPECT_EQ(session_.extension(1), "txt");
  }
  ::unsetenv("TRUEEXT_ANALYZE_TIMEOUT");
}

TEST_F(SessionTest, ParsersAreLoadedBeforeTheConfinedWorkerNeedsThem) {
  // In a process of its own, where no parser is loaded yet: text starts the
  // worker without them; the CMS message written as text, the zip archive
  // and the DER message after it each need one, which the confined worker
  // could not load itself.
  const std::string samples = IDENT_SAMPLES_DIR;
  const struct {
    std::string path;
    const char* want;
  } kFiles[] = {
      {write("notes", "Some plain words.\nNothing more.\n"), "txt"},
      {write("bundle",
             "-----BEGIN PKCS7-----\n"
             "MIGLBgkqhkiG9w0BBwKgfjB8AgEBMQAwCwYJKoZIhvcNAQcBoGYwZAUFBQUFBQUFBQUFBQUFBQUF\n"
             "BQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUF\n"
             "BQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUxAA==\n-----END PKCS7-----\n"),
       "p7b"},
      {write("macros", testutil::readFile(samples + "/docm.sample")), "docm"},
      {write("signed", testutil::readFile(samples + "/p7m-signed.sample")), "p7m"},
  };
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        Session session;
        int right = 0;
        if (session.loadDefinitions(IDENT_BUILD_DIR)) {
          for (const auto& file : kFiles) {
            right += session.submit(file.path.c_str()) && session.analyze() &&
                     session.extension(1) == file.want;
          }
        }
        std::exit(right == static_cast<int>(std::size(kFiles)) ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

TEST(SessionLoadTest, NothingLoadedFailsEveryAnalysis) {
  testutil::ScopedTempDir dir;
  testutil::writeFile(dir.path() / "picture", kPng);
  const std::string png = (dir.path() / "picture").string();
  Session session;
  EXPECT_FALSE(session.analyze()) << "nothing submitted";
  session.submit(png.c_str());
  EXPECT_FALSE(session.analyze()) << "before any load";
  EXPECT_FALSE(session.loadDefinitions((dir.path().string() + "/").c_str())) << "no pack there";
  session.submit(png.c_str());
  EXPECT_FALSE(session.analyze());
  EXPECT_FALSE(session.loadDefinitions(nullptr));
  ASSERT_TRUE(session.loadDefinitions(IDENT_BUILD_DIR));
  EXPECT_TRUE(session.analyze()) << "the submission outlives the reload";
  // A failed reload drops what the earlier one loaded.
  EXPECT_FALSE(session.loadDefinitions("/nonexistent/"));
  session.submit(png.c_str());
  EXPECT_FALSE(session.analyze());
}

TEST(SessionLoadTest, DatabasesLostAfterTheLoadFailOnlyTheFilesThatNeedThem) {
  // Copies of the compiled databases, ours and the system's, that go away
  // once the definitions are loaded: libmagic gets them only when a file
  // first needs them.
  testutil::ScopedTempDir dir;
  const std::string system = systemMagicPath();
  ASSERT_FALSE(system.empty());
  const std::filesystem::path defs = dir.path() / "defs";
  std::filesystem::create_directory(defs);
  for (const std::string_view name : {Engine::kPackName, Engine::kCommonName,
                                      Engine::kPackCompiledName, Engine::kCommonCompiledName}) {
    // Copied in this order, the compiled forms are the newer.
    std::filesystem::copy_file(IDENT_BUILD_DIR + std::string(name), defs / name);
  }
  const std::filesystem::path copy = dir.path() / "magic.mgc";
  std::filesystem::copy_file(system.substr(0, system.find(':')), copy);
  Session session;
  {
    const testutil::ScopedEnv magic("MAGIC");
    ::setenv("MAGIC", copy.c_str(), 1);
    ASSERT_TRUE(session.loadDefinitions((defs.string() + "/").c_str()));
  }
  std::filesystem::remove(copy);
  std::filesystem::remove(defs / Engine::kPackCompiledName);
  std::filesystem::remove(defs / Engine::kPackName);

  testutil::writeFile(dir.path() / "picture", kPng);
  testutil::writeFile(dir.path() / "notes", "Some plain words.\nNothing more.\n");
  const std::string png = (dir.path() / "picture").string();
  const std::string notes = (dir.path() / "notes").string();
  testing::internal::CaptureStderr();
  session.submit(notes.c_str());
  const bool notes_analysed = session.analyze();
  session.submit(notes.c_str());
  session.analyze();
  const std::string told = testing::internal::GetCapturedStderr();
  EXPECT_FALSE(notes_analysed) << "text needs libmagic's databases";
  // After what libmagic itself says of the missing files, once.
  constexpr std::string_view kTold = "trueext: error: file analysis cannot start: ";
  const std::size_t first = told.find(kTold);
  EXPECT_NE(first, std::string::npos) << told;
  EXPECT_EQ(told.find(kTold, first + 1), std::string::npos) << "said twice: " << told;
  session.submit(png.c_str());
  EXPECT_TRUE(session.analyze()) << "a PNG is known from its first bytes";
}

// The shipped library through its C entry points, as trueext loads it.
class LibraryTest : public testing::Test {
 protected:
  void SetUp() override {
    handle_ = ::dlopen(IDENT_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle_, nullptr) << ::dlerror();
    analyze_ = reinterpret_cast<decltype(&TrID_Analyze)>(::dlsym(handle_, "TrID_Analyze"));
    get_info_ = reinterpret_cast<decltype(&TrID_GetInfo)>(::dlsym(handle_, "TrID_GetInfo"));
    load_ = reinterpret_cast<decltype(&TrID_LoadDefsPack)>(::dlsym(handle_, "TrID_LoadDefsPack"));
    submit_ = reinterpret_cast<decltype(&TrID_SubmitFileA)>(::dlsym(handle_, "TrID_SubmitFileA"));
    ASSERT_TRUE(analyze_ && get_info_ && load_ && submit_);
  }
  void TearDown() override {
    if (handle_ != nullptr) {
      ::dlclose(handle_);
    }
  }

  void* handle_ = nullptr;
  decltype(&TrID_Analyze) analyze_ = nullptr;
  decltype(&TrID_GetInfo) get_info_ = nullptr;
  decltype(&TrID_LoadDefsPack) load_ = nullptr;
  decltype(&TrID_SubmitFileA) submit_ = nullptr;
};

TEST_F(LibraryTest, EntryPointsFollowTheContract) {
  testutil::ScopedTempDir dir;
  testutil::writeFile(dir.path() / "picture", kPng);
  const std::string png = (dir.path() / "picture").string();
  EXPECT_EQ(load_("/nonexistent/"), 0);
  submit_(png.c_str());
  EXPECT_EQ(analyze_(), 0) << "nothing loaded";

  ASSERT_NE(load_(IDENT_BUILD_DIR), 0);
  submit_(png.c_str());
  ASSERT_NE(analyze_(), 0);
  char buffer[TRID_INFO_BUFFER_SIZE + 16];
  std::memset(buffer, '#', sizeof buffer);
  buffer[0] = '\0';
  ASSERT_GE(get_info_(TRID_GET_RES_NUM, 0, buffer), 1);
  get_info_(TRID_GET_RES_FILETYPE, 1, buffer);
  EXPECT_LT(std::strlen(buffer), static_cast<std::size_t>(TRID_INFO_BUFFER_SIZE));
  for (std::size_t i = TRID_INFO_BUFFER_SIZE; i < sizeof buffer; ++i) {
    ASSERT_EQ(buffer[i], '#') << "written past the buffer at " << i;
  }
  get_info_(TRID_GET_RES_FILEEXT, 1, buffer);
  EXPECT_STREQ(buffer, "png");

  // Questions without an answer write an empty text and return 0.
  const int count = get_info_(TRID_GET_RES_NUM, 0, buffer);
  static const struct {
    const char* what;
    int code, index;
  } kCases[] = {
      {"index 0", TRID_GET_RES_FILEEXT, 0},
      {"index past the count", TRID_GET_RES_FILEEXT, count + 1},
      {"negative index", TRID_GET_RES_FILETYPE, -1},
      {"unknown code", 7, 1},
      {"code 0", 0, 1},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(get_info_(c.code, c.index, buffer), 0);
    EXPECT_EQ(buffer[0], '\0');
  }
  EXPECT_EQ(get_info_(TRID_GET_RES_NUM, 0, nullptr), count) << "a null buffer is tolerated";

  submit_((dir.path() / "missing").string().c_str());
  EXPECT_EQ(analyze_(), 0);
  EXPECT_EQ(get_info_(TRID_GET_RES_NUM, 0, buffer), 0);
}

}  // namespace
}  // namespace ident
