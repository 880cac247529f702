#include "driver/serial_lane.h"

#include <sched.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace driver {
namespace {

// Pieces of work queued at most; each is a batch of a few dozen files.
constexpr std::size_t kMaxQueued = 16;
// How long drain polls before it sleeps. Waking a sleeping thread from
// another processor takes up to a tenth of a millisecond on a virtual
// machine; the last batch is usually done sooner.
constexpr std::chrono::microseconds kDrainPoll{300};

class ThreadLane : public SerialLane {
 public:
  explicit ThreadLane(const cpu_set_t& processors) : processors_(processors) {}

  ~ThreadLane() override {
    {
      const std::lock_guard lock(mutex_);
      closing_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) {
      thread_.join();
    }
  }

  void submit(std::function<void()> work) override {
    std::unique_lock lock(mutex_);
    if (!thread_.joinable()) {
      // Started with the first work, so that a folder too small to fill a
      // batch never pays for a thread.
      thread_ = std::thread([this, caller = ::sched_getcpu()] { run(caller); });
    }
    done_.wait(lock, [this] { return queue_.size() < kMaxQueued; });
    queue_.push_back(std::move(work));
    outstanding_.fetch_add(1, std::memory_order_relaxed);
    lock.unlock();
    wake_.notify_one();
  }

  void drain() override {
    const auto until = std::chrono::steady_clock::now() + kDrainPoll;
    while (outstanding_.load(std::memory_order_acquire) != 0 &&
           std::chrono::steady_clock::now() < until) {
      std::this_thread::yield();
    }
    std::unique_lock lock(mutex_);
    done_.wait(lock, [this] { return queue_.empty() && !busy_; });
  }

 private:
  void run(int caller) {
    // The caller's thread may have been bound to one processor since the
    // lane was made (the identification library keeps itself and its worker
    // together). This thread takes every other processor the process had:
    // the scheduler would otherwise wake it where its caller runs, and the
    // two would take turns instead of working at once.
    cpu_set_t elsewhere = processors_;
    if (caller >= 0 && caller < CPU_SETSIZE) {
      CPU_CLR(caller, &elsewhere);
    }
    const cpu_set_t& mine = CPU_COUNT(&elsewhere) > 0 ? elsewhere : processors_;
    ::sched_setaffinity(0, sizeof mine, &mine);
    std::unique_lock lock(mutex_);
    while (true) {
      wake_.wait(lock, [this] { return !queue_.empty() || closing_; });
      if (queue_.empty()) {
        return;
      }
      std::function<void()> work = std::move(queue_.front());
      queue_.pop_front();
      busy_ = true;
      lock.unlock();
      work();
      lock.lock();
      busy_ = false;
      outstanding_.fetch_sub(1, std::memory_order_release);
      done_.notify_all();
    }
  }

  const cpu_set_t processors_;
  std::mutex mutex_;
  std::condition_variable wake_;  // work queued, or closing
  std::condition_variable done_;  // a piece of work finished
  std::deque<std::function<void()>> queue_;
  bool busy_ = false;
  std::atomic<std::size_t> outstanding_{0};  // submitted and not yet done
  bool closing_ = false;
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
