#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace ident {

// Runs a job in a child process, one request at a time, so that a job that
// crashes or hangs on hostile input costs only that request. The child is
// forked on the first call and again after it died or was stopped; it dies
// with its parent and inherits no descriptor but its own socket.
class Worker {
 public:
  // Turns a request into a reply, inside the child. An exception it throws
  // becomes a failed call.
  using Job = std::function<std::string(std::string_view request)>;

  // Largest request or reply carried, in bytes.
  static constexpr std::size_t kMaxMessage = 64 << 10;

  explicit Worker(Job job) : job_(std::move(job)) {}
  Worker(const Worker&) = delete;
  Worker& operator=(const Worker&) = delete;

  // Stops the child and reaps it.
  ~Worker();

  // Sends |request| to the child and waits up to |timeout| for its reply.
  // std::nullopt with |err| filled when the child cannot be started, dies,
  // overruns the time (it is then killed), or answers out of bounds; the
  // next call starts a fresh child.
  std::optional<std::string> call(std::string_view request, std::chrono::milliseconds timeout,
                                  std::string* err);

  // The child's process id, or -1 while none runs.
  int processId() const { return pid_; }

 private:
  bool start(std::string* err);
  void stop();

  Job job_;
  int pid_ = -1;
  int socket_ = -1;
};

// The per-file time limit: TRUEEXT_ANALYZE_TIMEOUT (seconds, fractions
// allowed) when it holds a positive number, else 10 seconds.
std::chrono::milliseconds analysisTimeout();

}  // namespace ident
