#include "driver/rename_step.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace driver {
namespace {

// Records the renames asked for, and succeeds or fails as told.
class RecordingRenamer : public Renamer {
 public:
  bool renameEntry(const std::string& from, const std::string& to) override {
    calls.emplace_back(from, to);
    return succeed;
  }
  bool succeed = true;
  std::vector<std::pair<std::string, std::string>> calls;
};

TEST(RenameStepTest, LineShowsWhatHappenedOnDisk) {
  static const struct {
    const char *name, *extension;
    bool rename_succeeds;
    const char* want_line;
    RenameOutcome want;
    bool want_rename;
  } kCases[] = {
      {"a.bin", "pdf", true, "a.bin.pdf", RenameOutcome::kRenamed, true},
      {"a.bin", "pdf", false, "a.bin Rename failed...", RenameOutcome::kFailed, true},
      // The type's extension is already there, in some spelling.
      {"a.PDF", "pdf", true, "a.PDF", RenameOutcome::kNameKept, false},
      {"b.jpeg", "jpg", true, "b.jpeg", RenameOutcome::kNameKept, false},
      {"c.htm", "html", true, "c.htm", RenameOutcome::kNameKept, false},
      {"d.tgz", "gz", true, "d.tgz", RenameOutcome::kNameKept, false},
      // Kept even where the rename would fail: nothing needs to change.
      {"f.pdf", "pdf", false, "f.pdf", RenameOutcome::kNameKept, false},
      // Another type's extension is never taken away.
      {"e.png", "pdf", true, "e.png.pdf", RenameOutcome::kRenamed, true},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.name) + " " + c.extension);
    RunState state;
    state.folder = "dir";
    state.name = c.name;
    state.new_name = state.name + "." + c.extension;
    RecordingRenamer renamer;
    renamer.succeed = c.rename_succeeds;

    testing::internal::CaptureStdout();
    const RenameOutcome outcome = renameOnce(state, renamer, c.extension);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), c.want_line);
    EXPECT_EQ(outcome, c.want);
    EXPECT_EQ(renamer.calls.size(), c.want_rename ? 1u : 0u);
    EXPECT_EQ(state.renamed, 1) << "no other identification may follow";
  }
}

TEST(RenameStepTest, DecidesOncePerFile) {
  for (const bool succeed : {true, false}) {
    RunState state;
    state.folder = "dir";
    state.name = "a.bin";
    state.new_name = "a.bin.pdf";
    RecordingRenamer renamer;
    renamer.succeed = succeed;

    testing::internal::CaptureStdout();
    renameOnce(state, renamer, "pdf");
    state.new_name = "a.bin.other";
    EXPECT_EQ(renameOnce(state, renamer, "other"), RenameOutcome::kAlreadyDecided);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              succeed ? "a.bin.pdf" : "a.bin Rename failed...");

    ASSERT_EQ(renamer.calls.size(), 1u);
    EXPECT_EQ(renamer.calls[0], std::make_pair(std::string("a.bin"), std::string("a.bin.pdf")));
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
