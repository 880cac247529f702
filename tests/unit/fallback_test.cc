#include "identlib/fallback.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "identlib/ident_library.h"
#include "recording_report.h"

namespace identlib {
namespace {

using testutil::RecordingReport;

// Sets the stand-in library's answers for one test and clears them after.
class FallbackTest : public testing::Test {
 protected:
  void TearDown() override {
    for (const char* name : {"TRUEEXT_FAKE_DEFS", "TRUEEXT_FAKE_ANALYZE", "TRUEEXT_FAKE_COUNT",
                             "TRUEEXT_FAKE_EXT", "TRUEEXT_FAKE_DESC", "TRUEEXT_FAKE_FILL"}) {
      ::unsetenv(name);
    }
  }

  // Runs the fallback over one file and returns the rest of its report line.
  std::string fallbackLine(const std::string& name = "data") {
    IdentLibrary library(nullptr, FAKE_LIBRARY);
    driver::RunState state;
    state.folder = "dir";
    state.name = name;
    state.source_path = "dir/" + name;
    report_.line.clear();
    runFallback(library, state, report_);
    return report_.line;
  }

  RecordingReport report_;
};

TEST_F(FallbackTest, EachAnswerGivesItsLine) {
  static const struct {
    const char *analyze, *count, *ext, *desc, *want;
    bool renamed;
  } kCases[] = {
      {"0", "1", "png", "PNG image", "analyze:(\n", false},
      {"1", "0", "png", "PNG image", "0 matches\n", false},
      {"1", "2", "png", "PNG image", "data.png[B]\n", true},
      {"1", "1", "", "Some format", "File type: Some format\n", false},
      {"1", "-1", "", "Odd count", "File type: Odd count\n", false},
  };
  for (const auto& c : kCases) {
    ::setenv("TRUEEXT_FAKE_ANALYZE", c.analyze, 1);
    ::setenv("TRUEEXT_FAKE_COUNT", c.count, 1);
    ::setenv("TRUEEXT_FAKE_EXT", c.ext, 1);
    ::setenv("TRUEEXT_FAKE_DESC", c.desc, 1);
    report_.calls.clear();
    EXPECT_EQ(fallbackLine(), c.want);
    EXPECT_EQ(report_.calls.size(), c.renamed ? 1u : 0u) << c.want;
  }
}

TEST_F(FallbackTest, LineShowsTheNameTheFileBears) {
  static const struct {
    const char *name, *ext;
    bool rename_succeeds;
    const char* want;
    bool renamed;
  } kCases[] = {
      {"data", "png", false, "data Rename failed...\n", true},
      {"photo.JPEG", "jpg", true, "photo.JPEG[B]\n", false},
      {"page.htm", "html", true, "page.htm[B]\n", false},
      {"e.png", "pdf", true, "e.png.pdf[B]\n", true},
  };
  ::setenv("TRUEEXT_FAKE_COUNT", "1", 1);
  for (const auto& c : kCases) {
    ::setenv("TRUEEXT_FAKE_EXT", c.ext, 1);
    report_.calls.clear();
    report_.succeed = c.rename_succeeds;
    EXPECT_EQ(fallbackLine(c.name), c.want);
    EXPECT_EQ(report_.calls.size(), c.renamed ? 1u : 0u) << c.want;
  }
}

TEST_F(FallbackTest, HostileTextsStayInTheFolderAndOnOneLine) {
  static const struct {
    const char *ext, *desc, *want;
  } kCases[] = {
      {"../../etc/x", "Escape", "File type: Escape\n"},
      {"a/b", "Slash", "File type: Slash\n"},
      {"..", "Dots", "File type: Dots\n"},
      {".", "Dot", "File type: Dot\n"},
      {"pdf\nfake line", "Two\nlines\tand\rmore", "File type: Two lines and more\n"},
      {"a\\b", "Backslash", "File type: Backslash\n"},
      {"x:y", "Stream", "File type: Stream\n"},
      {"tar.gz", "Dotted is fine", "data.tar.gz[B]\n"},
  };
  for (const auto& c : kCases) {
    ::setenv("TRUEEXT_FAKE_EXT", c.ext, 1);
    ::setenv("TRUEEXT_FAKE_DESC", c.desc, 1);
    EXPECT_EQ(fallbackLine(), c.want) << c.ext;
  }
}

TEST_F(FallbackTest, UnterminatedTextIsCutAtTheBuffer) {
  ::setenv("TRUEEXT_FAKE_FILL", "1", 1);
  EXPECT_EQ(fallbackLine(), "data." + std::string(259, 'W') + "[B]\n");
}

TEST(ExtensionTest, UsableExtensions) {
  static const struct {
    std::string_view text;
    bool want;
  } kCases[] = {
      {"png", true},   {"tar.gz", true}, {"Linux_ELF", true}, {"é", true},
      {"", false},     {".", false},     {"..", false},       {"a/b", false},
      {"/", false},    {"a\tb", false},  {"\x1b[31m", false}, {"a\\b", false},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(isUsableExtension(c.text), c.want) << c.text;
  }
  EXPECT_EQ(printableText("a\nb\x01" "c\x7f"), "a b c\x7f");
}

TEST(IdentLibraryTest, BindsTheFourEntryPoints) {
  IdentLibrary library(nullptr, FAKE_LIBRARY);
  EXPECT_EQ(library.loadDefsPack("/nowhere/"), 1);
  EXPECT_EQ(library.submitFile("x"), 1);
  EXPECT_EQ(library.analyze(), 1);
  char buffer[TRID_INFO_BUFFER_SIZE] = "";
  EXPECT_EQ(library.getInfo(TRID_GET_RES_NUM, 0, buffer), 1);
  EXPECT_EQ(library.getInfo(99, 0, buffer), 0);
}

TEST(IdentLibraryTest, UnavailableLibraryThrowsTheCode) {
  static const struct {
    const char* path;
    const char* reason;
  } kCases[] = {
      {"/nonexistent/libtrueext-ident.so", "/nonexistent/libtrueext-ident.so"},
      {FAKE_LIBRARY_MISSING_ENTRY, "TrID_SubmitFileA"},
  };
  for (const auto& c : kCases) {
    try {
      IdentLibrary library(nullptr, c.path);
      ADD_FAILURE() << "no exception for " << c.path;
    } catch (int code) {
      EXPECT_EQ(code, kLibraryUnavailable);
      EXPECT_NE(IdentLibrary::lastLoadError().find(c.reason), std::string::npos)
          << IdentLibrary::lastLoadError();
    }
  }
}

}  // namespace
}  // namespace identlib
