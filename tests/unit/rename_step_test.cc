#include "driver/rename_step.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "recording_report.h"

namespace driver {
namespace {

using testutil::RecordingReport;

TEST(RenameStepTest, LineShowsWhatHappenedOnDisk) {
  static const struct {
    const char *name, *extension, *mark;
    bool rename_succeeds;
    const char* want_line;
    bool want_rename;
  } kCases[] = {
      {"a.bin", "pdf", "", true, "a.bin.pdf", true},
      {"a.bin", "pdf", "", false, "a.bin Rename failed...", true},
      // The mark follows a name that was decided, never a failed rename.
      {"a.bin", "pdf", "[B]", true, "a.bin.pdf[B]", true},
      {"a.bin", "pdf", "[B]", false, "a.bin Rename failed...", true},
      // The type's extension is already there, in some spelling.
      {"a.PDF", "pdf", "", true, "a.PDF", false},
      {"a.PDF", "pdf", "[B]", true, "a.PDF[B]", false},
      {"b.jpeg", "jpg", "", true, "b.jpeg", false},
      {"c.htm", "html", "", true, "c.htm", false},
      {"d.tgz", "gz", "", true, "d.tgz", false},
      // Kept even where the rename would fail: nothing needs to change.
      {"f.pdf", "pdf", "", false, "f.pdf", false},
      // Another type's extension is never taken away.
      {"e.png", "pdf", "", true, "e.png.pdf", true},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.name) + " " + c.extension);
    RunState state;
    state.folder = "dir";
    state.name = c.name;
    state.new_name = state.name + "." + c.extension;
    RecordingReport report;
    report.succeed = c.rename_succeeds;

    renameOnce(state, report, c.extension, c.mark);
    EXPECT_EQ(report.line, c.want_line);
    EXPECT_EQ(report.calls.size(), c.want_rename ? 1u : 0u);
    EXPECT_EQ(state.renamed, 1) << "no other identification may follow";
  }
}

TEST(RenameStepTest, DecidesOncePerFile) {
  for (const bool succeed : {true, false}) {
    RunState state;
    state.folder = "dir";
    state.name = "a.bin";
    state.new_name = "a.bin.pdf";
    RecordingReport report;
    report.succeed = succeed;

    renameOnce(state, report, "pdf");
    state.new_name = "a.bin.other";
    renameOnce(state, report, "other");
    EXPECT_EQ(report.line, succeed ? "a.bin.pdf" : "a.bin Rename failed...");

    ASSERT_EQ(report.calls.size(), 1u);
    EXPECT_EQ(report.calls[0], std::make_pair(std::string("a.bin"), std::string("a.bin.pdf")));
  }
}

TEST(RenameStepTest, NewPathHasOneSeparatorAdded) {
  static const struct {
    const char* folder;
    const char* want;
  } kCases[] = {
      {"dir", "dir/n.pdf"},
      {"dir/", "dir//n.pdf"},
      {"/", "//n.pdf"},
      {"with blank", "with blank/n.pdf"},
  };
  for (const auto& c : kCases) {
    RunState state;
    state.folder = c.folder;
    state.new_name = "n.pdf";
    composeNewPath(state);
    EXPECT_EQ(state.new_path, c.want);
  }
}

}  // namespace
}  // namespace driver
