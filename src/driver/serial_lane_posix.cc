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
    if (!thread_.joinable() && !in_place_) {
      // Started with the first work, so that a folder too small to fill a
      // batch never pays for a thread.
      try {
        thread_ = std::thread([this, caller = ::sched_getcpu()] { run(caller); });
      } catch (const std::system_error&) {
        in_place_ = true;  // no thread to be had (a limit on processes)
      }
    }
    if (in_place_) {
      lock.unlock();
      work();
      return;
    }
    done_.wait(lock, [this] { return queue_.size() < kMaxQueued; });
    queue_.push_back(std::move(work));
    lock.unlock();
    wake_.notify_one();
  }

  void drain() override {
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
      done_.notify_all();
    }
  }

  const cpu_set_t processors_;
  std::mutex mutex_;
  std::condition_variable wake_;  // work queued, or closing
  std::condition_variable done_;  // a piece of work finished
  std::deque<std::function<void()>> queue_;
  bool busy_ = false;
  bool closing_ = false;
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
