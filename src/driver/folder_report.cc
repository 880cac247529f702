#include "driver/folder_report.h"

#include <cstdio>
#include <utility>

namespace driver {
namespace {

// Steps in a batch (about two a file) and the longest a step waits for its
// batch to fill. The first batch is small, so that the lane sets to work
// early.
constexpr std::size_t kBatchSteps = 64;
constexpr std::size_t kFirstBatchSteps = 8;
constexpr std::chrono::milliseconds kMaxDelay{20};
// Renames, and so open files, that may wait at once.
constexpr std::size_t kMaxWaitingRenames = 256;

}  // namespace

FolderReport::FolderReport(Folder& folder) : folder_(folder), lane_(makeSerialLane()) {
  if (lane_ != nullptr) {
    // Started while the library loads: a thread started with the first
    // batch may take a millisecond to get going on an idle processor.
    lane_->start();
  }
}

FolderReport::~FolderReport() { finish(); }

bool FolderReport::createdThisRun(const std::string& name) {
  const auto asked = asked_.find(name);
  if (asked == asked_.end()) {
    return false;
  }
  // Renamed entries come up again in the enumeration some time after their
  // rename, which by then is nearly always done.
  if (asked->second->load(std::memory_order_acquire) == Outcome::kPending) {
    finish();
  }
  return asked->second->load(std::memory_order_acquire) == Outcome::kRenamed;
}

void FolderReport::setExamined(OpenFile file) {
  if (!kIdentityHeldByOpenFile) {
    file.close();  // its identity stays known
  }
  examined_ = std::make_shared<const OpenFile>(std::move(file));
}

void FolderReport::write(std::string_view text) {
  if (lane_ == nullptr) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    return;
  }
  if (!batch_.empty() && batch_.back().from.empty()) {
    batch_.back().text += text;
    return;
  }
  add(Step{std::string(text), {}, {}, {}, {}});
}

void FolderReport::renameThenWrite(const std::string& from, const std::string& to,
                                   std::string renamed, std::string failed) {
  if (waiting_renames_.load(std::memory_order_acquire) >= kMaxWaitingRenames) {
    finish();
  }
  std::atomic<Outcome>& outcome = outcomes_.emplace_back(Outcome::kPending);
  asked_.insert_or_assign(to, &outcome);
  waiting_renames_.fetch_add(1, std::memory_order_acq_rel);
  Step step{std::move(renamed), from, to, std::move(failed), examined_, &outcome};
  if (lane_ == nullptr) {
    std::vector<Step> steps;
    steps.push_back(std::move(step));
    carryOut(steps);
    return;
  }
  add(std::move(step));
}

void FolderReport::add(Step step) {
  const auto now = std::chrono::steady_clock::now();
  if (batch_.empty()) {
    batch_started_ = now;
  }
  batch_.push_back(std::move(step));
  if (batch_.size() >= (lane_used_ ? kBatchSteps : kFirstBatchSteps) ||
      now - batch_started_ >= kMaxDelay) {
    submitBatch();
  }
}

void FolderReport::submitBatch() {
  lane_used_ = true;
  lane_->submit([this, steps = std::move(batch_)]() mutable { carryOut(steps); });
  batch_.clear();
}

void FolderReport::finish() {
  // What is still waiting is carried out here once the lane has done the
  // rest: handing it over would only add the lane's wake-up to the wait.
  if (lane_ != nullptr && lane_used_) {
    lane_->drain();
  }
  carryOut(batch_);
  batch_.clear();
}

void FolderReport::handOverRest() {
  if (lane_used_ && !batch_.empty()) {
    submitBatch();
  }
}

void FolderReport::carryOut(std::vector<Step>& steps) {
  std::string out;
  for (Step& step : steps) {
    if (step.from.empty()) {
      out += step.text;
      continue;
    }
    std::string err;
    const bool renamed = step.examined != nullptr &&
                         renameNoReplace(folder_, step.from, step.to, step.examined->identity(),
                                         &err) == RenameResult::kRenamed;
    out += renamed ? step.text : step.failed;
    step.examined.reset();  // the file closes once no later step holds it
    step.outcome->store(renamed ? Outcome::kRenamed : Outcome::kFailed,
                        std::memory_order_release);
    waiting_renames_.fetch_sub(1, std::memory_order_acq_rel);
  }
  if (!out.empty()) {
    std::fwrite(out.data(), 1, out.size(), stdout);
  }
}

}  // namespace driver
