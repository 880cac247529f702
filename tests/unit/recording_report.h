#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "driver/report.h"

namespace testutil {

// A report that records the renames asked for and the report's text; each
// rename succeeds or fails as told.
class RecordingReport : public driver::Report {
 public:
  void write(std::string_view text) override { line += text; }
  void renameThenWrite(const std::string& from, const std::string& to, std::string renamed,
                       std::string failed) override {
    calls.emplace_back(from, to);
    line += succeed ? renamed : failed;
  }
  bool succeed = true;
  std::string line;
  std::vector<std::pair<std::string, std::string>> calls;
};

}  // namespace testutil
