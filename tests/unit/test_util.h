#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>

namespace testutil {

using namespace std::string_view_literals;

// The smallest valid PNG: signature, IHDR of a 1x1 grey image, IDAT, IEND.
inline constexpr std::string_view kPng =
    "\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x01\0\0\0\x01\x08\0\0\0\0:~\x9bU"
    "\0\0\0\nIDATx\x9c" "c`\0\0\0\x02\0\x01H\xaf\xa4q\0\0\0\0IEND\xae" "B`\x82"sv;

// A temporary folder for one test; removed afterwards unless the test
// failed, when its path is printed for a look.
class ScopedTempDir {
 public:
  ScopedTempDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "trueext-test-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~ScopedTempDir() {
    if (testing::Test::HasFailure()) {
      std::printf("kept test folder %s\n", path_.c_str());
      return;
    }
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Keeps an environment variable as it was before the test changed it.
class ScopedEnv {
 public:
  explicit ScopedEnv(const char* name) : name_(name) {
    if (const char* value = std::getenv(name)) {
      saved_ = value;
    }
  }
  ~ScopedEnv() {
    if (saved_) {
      ::setenv(name_, saved_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> saved_;
};

inline void writeFile(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace testutil
