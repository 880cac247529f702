#pragma once

#include <functional>
#include <memory>

namespace driver {

// Runs pieces of work one after another, in the order given, on a thread of
// its own, so that they overlap what the caller does next.
class SerialLane {
 public:
  virtual ~SerialLane() = default;

  // Queues |work|. Waits while much is queued already, so that a slow lane
  // holds back its caller rather than piling up work. Where no thread can be
  // started, runs |work| at once.
  virtual void submit(std::function<void()> work) = 0;

  // Returns once all work submitted so far has run.
  virtual void drain() = 0;

  // Gets the lane ready for work now rather than with the first work, so
  // that starting it overlaps what the caller does next.
  virtual void start() = 0;
};

// A lane, when the process may run on more than one processor and the
// platform's threads are at hand; otherwise nullptr, and the caller does its
// work in place. Made before the process narrows where it runs: the lane's
// thread may use every processor the process could when it was made.
std::unique_ptr<SerialLane> makeSerialLane();

}  // namespace driver
