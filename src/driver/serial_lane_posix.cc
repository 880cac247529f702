#include "driver/serial_lane.h"

#include <sched.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>

namespace driver {
namespace {

// Pieces of work queued at most; each is a batch of a few dozen files.
constexpr std::size_t kMaxQueued = 16;

// What the lane's thread and its owner share. The thread holds it too, so
// that an idle thread may be let go without waiting for it to wake and end.
struct LaneState {
  explicit LaneState(const cpu_set_t& all) : processors(all) {}

  const cpu_set_t processors;
  // The processor the first work was submitted from, or -1 before that.
  int submitter = -1;
  std::mutex mutex;
  std::condition_variable wake;  // work queued, or closing
  std::condition_variable done;  // a piece of work finished
  std::deque<std::function<void()>> queue;
  bool busy = false;
  bool closing = false;
};

// Binds the lane's thread to every processor the process had but
// |submitter|'s, where the work comes from. The submitting thread may have
// been bound to that one processor since the lane was made (the
// identification library keeps itself and its worker together); the
// scheduler would otherwise wake the lane where its submitter runs, and the
// two would take turns instead of working at once.
void keepApart(const LaneState& state, int submitter) {
  cpu_set_t elsewhere = state.processors;
  if (submitter >= 0 && submitter < CPU_SETSIZE) {
    CPU_CLR(submitter, &elsewhere);
  }
  const cpu_set_t& mine = CPU_COUNT(&elsewhere) > 0 ? elsewhere : state.processors;
  ::sched_setaffinity(0, sizeof mine, &mine);
}

void runLane(const std::shared_ptr<LaneState>& state) {
  bool placed = false;
  std::unique_lock lock(state->mutex);
  while (true) {
    state->wake.wait(lock, [&state] { return !state->queue.empty() || state->closing; });
    if (state->queue.empty()) {
      return;
    }
    if (!placed) {
      // Placed with its first work, not when started: by then the
      // submitter runs where it will stay.
      const int submitter = state->submitter;
      lock.unlock();
      keepApart(*state, submitter);
      lock.lock();
      placed = true;
    }
    std::function<void()> work = std::move(state->queue.front());
    state->queue.pop_front();
    state->busy = true;
    lock.unlock();
    work();
    lock.lock();
    state->busy = false;
    state->done.notify_all();
  }
}

class ThreadLane : public SerialLane {
 public:
  explicit ThreadLane(const cpu_set_t& processors)
      : state_(std::make_shared<LaneState>(processors)) {}

  ~ThreadLane() override {
    drain();
    {
      const std::lock_guard lock(state_->mutex);
      state_->closing = true;
    }
    state_->wake.notify_all();
    if (thread_.joinable()) {
      // Everything submitted has run: the thread only has to wake and end,
      // which on an idle processor takes longer than all the rest of a small
      // folder. It ends on its own.
      thread_.detach();
    }
  }

  void start() override {
    const std::lock_guard lock(state_->mutex);
    startLocked();
  }

  void submit(std::function<void()> work) override {
    std::unique_lock lock(state_->mutex);
    startLocked();
    if (in_place_) {
      lock.unlock();
      work();
      return;
    }
    state_->done.wait(lock, [this] { return state_->queue.size() < kMaxQueued; });
    if (state_->submitter < 0) {
      state_->submitter = ::sched_getcpu();
    }
    state_->queue.push_back(std::move(work));
    lock.unlock();
    state_->wake.notify_one();
  }

  void drain() override {
    std::unique_lock lock(state_->mutex);
    state_->done.wait(lock, [this] { return state_->queue.empty() && !state_->busy; });
  }

 private:
  void startLocked() {
    if (thread_.joinable() || in_place_) {
      return;
    }
    try {
      thread_ = std::thread([state = state_] { runLane(state); });
    } catch (const std::system_error&) {
      in_place_ = true;  // no thread to be had (a limit on processes)
    }
  }

  const std::shared_ptr<LaneState> state_;
  bool in_place_ = false;  // the thread could not be started: work runs in submit
  std::thread thread_;
};

}  // namespace

std::unique_ptr<SerialLane> makeSerialLane() {
  cpu_set_t processors;
  CPU_ZERO(&processors);
  if (::sched_getaffinity(0, sizeof processors, &processors) != 0 ||
      CPU_COUNT(&processors) < 2) {
    return nullptr;
  }
  return std::make_unique<ThreadLane>(processors);
}

}  // namespace driver
