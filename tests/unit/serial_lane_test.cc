#include "driver/serial_lane.h"

#include <gtest/gtest.h>
#include <sched.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace driver {
namespace {

// Work runs in the order given, all of it done when drain returns, also when
// more is submitted than the lane queues at once and when the caller's own
// thread has since been bound to one processor.
TEST(SerialLaneTest, RunsEverythingInOrderBeforeDrainReturns) {
  std::unique_ptr<SerialLane> lane = makeSerialLane();
  if (lane == nullptr) {
    GTEST_SKIP() << "this process may use only one processor: work is done in place";
  }
  cpu_set_t before;
  ASSERT_EQ(::sched_getaffinity(0, sizeof before, &before), 0);
  cpu_set_t one;
  CPU_ZERO(&one);
  CPU_SET(::sched_getcpu(), &one);
  ASSERT_EQ(::sched_setaffinity(0, sizeof one, &one), 0);

  std::vector<int> done;
  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < 200; ++i) {
      lane->submit([&done, n = round * 200 + i] { done.push_back(n); });
    }
    lane->drain();
    ASSERT_EQ(done.size(), static_cast<std::size_t>((round + 1) * 200));
  }
  for (int i = 0; i < 600; ++i) {
    ASSERT_EQ(done[static_cast<std::size_t>(i)], i);
  }
  ::sched_setaffinity(0, sizeof before, &before);
}

// A lane let go with work still queued carries it all out first: its
// thread is not waited for once idle, but the work must not outlive what it
// refers to. A lane started and never used goes without a wait.
TEST(SerialLaneTest, EndsOnlyAfterItsWork) {
  std::unique_ptr<SerialLane> lane = makeSerialLane();
  if (lane == nullptr) {
    GTEST_SKIP() << "this process may use only one processor: work is done in place";
  }
  std::atomic<int> done{0};
  for (int i = 0; i < 50; ++i) {
    lane->submit([&done] {
      std::this_thread::sleep_for(std::chrono::microseconds(200));
      done.fetch_add(1);
    });
  }
  lane.reset();
  EXPECT_EQ(done.load(), 50);

  std::unique_ptr<SerialLane> idle = makeSerialLane();
  idle->start();
  idle.reset();
}

}  // namespace
}  // namespace driver
