#pragma once

#include <atomic>
#include <chrono>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "driver/file_access.h"
#include "driver/report.h"
#include "driver/serial_lane.h"

namespace driver {

// The scan's report on standard output, and its renames in the open folder.
//
// A rename costs the file system several microseconds, as much as examining
// a small file. Where a second processor is free, the renames, and the lines
// that tell of them, are carried out in batches on a lane of their own, while
// the scan goes on to the next files. Lines still come out whole and in
// order, each only after its rename, and a batch waits at most a few
// milliseconds, so a slow folder still shows its lines as they come.
class FolderReport : public Report {
 public:
  explicit FolderReport(Folder& folder);
  ~FolderReport() override;
  FolderReport(const FolderReport&) = delete;
  FolderReport& operator=(const FolderReport&) = delete;

  // The file whose renames follow: a rename goes ahead only while the entry
  // is still that file. Where a removed file's identity may pass to a new
  // one, the file stays open until its renames are carried out.
  void setExamined(OpenFile file);

  // True when this run gave an entry the name |name|, so that an entry the
  // enumeration yields again is not renamed twice. Waits for the rename to
  // that name when it is not done yet.
  bool createdThisRun(const std::string& name);

  void write(std::string_view text) override;
  void renameThenWrite(const std::string& from, const std::string& to, std::string renamed,
                       std::string failed) override;

  // Carries out and writes everything asked for so far.
  void finish();

  // Hands what is still waiting over to the lane, when one is at work,
  // without waiting for it: the scan is over, and the renames may overlap
  // whatever the caller tears down next. finish() waits for them.
  void handOverRest();

 private:
  enum class Outcome : char { kPending, kRenamed, kFailed };

  // A piece of the report: |text| alone, or a rename of |from| to |to|
  // followed by |text| when it succeeds and by |failed| when it does not.
  struct Step {
    std::string text;
    std::string from;
    std::string to;
    std::string failed;
    std::shared_ptr<const OpenFile> examined;
    std::atomic<Outcome>* outcome = nullptr;  // of the rename
  };

  void add(Step step);
  void submitBatch();
  // Runs on the lane when there is one; lets go of each step's file.
  void carryOut(std::vector<Step>& steps);

  Folder& folder_;
  std::shared_ptr<const OpenFile> examined_;
  // Renames asked for and not yet carried out, each holding its file open;
  // past a bound the scan waits for them rather than run out of
  // descriptors.
  std::atomic<std::size_t> waiting_renames_ = 0;
  std::vector<Step> batch_;
  std::chrono::steady_clock::time_point batch_started_;
  // The names renames were asked for, each with how its rename went, which
  // carryOut sets. A deque never moves the outcomes it holds as it grows.
  std::unordered_map<std::string, std::atomic<Outcome>*> asked_;
  std::deque<std::atomic<Outcome>> outcomes_;
  std::unique_ptr<SerialLane> lane_;
  bool lane_used_ = false;
};

}  // namespace driver
