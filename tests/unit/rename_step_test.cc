#include "driver/rename_step.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace driver {
namespace {

class RecordingRenamer : public Renamer {
 public:
  void renameEntry(const std::string& from, const std::string& to) override {
    calls.emplace_back(from, to);
  }
  std::vector<std::pair<std::string, std::string>> calls;
};

TEST(RenameStepTest, RenamesAndPrintsOncePerFile) {
  RunState state;
  state.folder = "dir";
  state.name = "a.bin";
  state.new_name = "a.bin.pdf";
  RecordingRenamer renamer;

  testing::internal::CaptureStdout();
  renameOnce(state, renamer);
  state.new_name = "a.bin.other";
  renameOnce(state, renamer);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "a.bin.pdf");

  ASSERT_EQ(renamer.calls.size(), 1u);
  EXPECT_EQ(renamer.calls[0], std::make_pair(std::string("a.bin"), std::string("a.bin.pdf")));
  EXPECT_EQ(state.renamed, 1);
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
