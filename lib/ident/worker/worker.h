#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "io/scoped_fd.h"

namespace ident {

// Runs a job in a child process, one request at a time, so that a job that
// crashes or hangs on hostile input costs only that request. The child is
// forked on the first call and again after it died or was stopped; it dies
// with its parent and inherits no descriptor but its own socket. It may
// confine itself before its first request. The thread that starts it, and
// the child, stay on the processor that thread ran on: they take turns, and
// a turn handed over on one processor is the cheapest.
class Worker {
 public:
  // Turns a request into a reply, inside the child, given the descriptor
  // sent with it (invalid when none was). An exception it throws becomes a
  // failed call.
  using Job = std::function<std::string(std::string_view request, ScopedFd file)>;
  // Confines the child, given its socket, before it reads a request. False
  // with |err| filled when it cannot; the child then serves as it is.
  using Confine = std::function<bool(int socket, std::string* err)>;
  // Told in the host, for each child that could not confine itself, why.
  using Unconfined = std::function<void(std::string_view reason)>;

  // Largest request or reply carried, in bytes.
  static constexpr std::size_t kMaxMessage = 64 << 10;
  // The descriptor the child holds its socket as, whatever number it had in
  // the host, so that a system call filter built in advance can name it.
  static constexpr int kChildSocket = 3;

  explicit Worker(Job job, Confine confine = nullptr, Unconfined unconfined = nullptr)
      : job_(std::move(job)), confine_(std::move(confine)), unconfined_(std::move(unconfined)) {}
  Worker(const Worker&) = delete;
  Worker& operator=(const Worker&) = delete;

  // Stops the child and reaps it.
  ~Worker();

  // Sends |request| to the child and waits up to |timeout| for its reply.
  // std::nullopt with |err| filled when the child cannot be started, dies,
  // overruns the time (it is then killed), or answers out of bounds; the
  // next call starts a fresh child.
  std::optional<std::string> call(std::string_view request, std::chrono::milliseconds timeout,
                                  std::string* err) {
    return call(request, -1, timeout, err);
  }
  // The same, handing the child a copy of descriptor |file| as well (the
  // caller keeps its own), so that the child reads a file it cannot open.
  std::optional<std::string> call(std::string_view request, int file,
                                  std::chrono::milliseconds timeout, std::string* err);

  // The child's process id, or -1 while none runs.
  int processId() const { return pid_; }

  // Stops the child and reaps it; the next call starts a fresh one, forked
  // from the host as it is then.
  void stop();

 private:
  bool start(std::chrono::milliseconds timeout, std::string* err);
  // Receives one packet into buffer_, waiting up to |timeout|. Returns its
  // true length (longer than kMaxMessage when cut), 0 when the child closed
  // its end, or -1 with |err| filled.
  long receive(std::chrono::milliseconds timeout, std::string* err);

  Job job_;
  Confine confine_;
  Unconfined unconfined_;
  int pid_ = -1;
  int socket_ = -1;
  // The receive timeout last set on socket_, to set it only when it changes.
  long long socket_timeout_us_ = -1;
  // One buffer for every reply, allocated on the first.
  std::unique_ptr<char[]> buffer_;
};

// The per-file time limit: TRUEEXT_ANALYZE_TIMEOUT (seconds, fractions
// allowed) when it holds a positive number, else 10 seconds.
std::chrono::milliseconds analysisTimeout();

}  // namespace ident
