#include "worker.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

namespace ident {
namespace {

using std::chrono::milliseconds;

// Jobs that stand for an analysis: one that answers, and the hostile ones.
std::string echo(std::string_view request) { return "echo:" + std::string(request); }

std::string crashOn(std::string_view request) {
  if (request == "crash") {
    std::abort();
  }
  if (request == "segv") {
    ::raise(SIGSEGV);
  }
  if (request == "hang") {
    while (true) {
      ::pause();
    }
  }
  if (request == "huge") {
    return std::string(Worker::kMaxMessage + 1, 'x');
  }
  if (request == "throw") {
    throw 42;
  }
  return echo(request);
}

constexpr milliseconds kGenerous{10'000};

// True when |pid| is gone for good: not running and not a zombie.
bool reaped(int pid) { return ::kill(pid, 0) != 0 && errno == ESRCH; }

// True when |pid| no longer runs; a zombie whose parent has not reaped it
// yet counts as dead.
bool dead(int pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(stat, line)) {
    return true;
  }
  const std::size_t paren = line.rfind(')');
  return paren == std::string::npos || paren + 2 >= line.size() || line[paren + 2] == 'Z' ||
         line[paren + 2] == 'X';
}

TEST(WorkerTest, AnswersRequestsInOneChild) {
  Worker worker(echo);
  std::string err;
  EXPECT_EQ(worker.call("a", kGenerous, &err).value_or("?"), "echo:a");
  const int pid = worker.processId();
  EXPECT_GT(pid, 0);
  EXPECT_NE(pid, ::getpid());
  EXPECT_EQ(worker.call("b", kGenerous, &err).value_or("?"), "echo:b");
  EXPECT_EQ(worker.processId(), pid) << "one child serves every request";
}

TEST(WorkerTest, HostileJobsFailThatCallOnly) {
  static const struct {
    const char* request;
    milliseconds timeout;
  } kCases[] = {
      {"crash", kGenerous},          // abort
      {"segv", kGenerous},           // a fault
      {"hang", milliseconds(300)},   // overruns its time
      {"huge", kGenerous},           // a reply past the bound
      {"throw", kGenerous},          // an exception out of the job
  };
  Worker worker(crashOn);
  std::string err;
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.request);
    ASSERT_TRUE(worker.call("warm", kGenerous, &err).has_value()) << err;
    const int pid = worker.processId();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(worker.call(c.request, c.timeout, &err).has_value());
    EXPECT_LT(std::chrono::steady_clock::now() - start, milliseconds(5'000));
    EXPECT_FALSE(err.empty());
    EXPECT_TRUE(reaped(pid)) << "the failed child is killed and reaped";
    EXPECT_EQ(worker.call("next", kGenerous, &err).value_or("?"), "echo:next");
    EXPECT_NE(worker.processId(), pid) << "a fresh child takes the next request";
  }
}

TEST(WorkerTest, ChildKilledFromOutside) {
  Worker worker(echo);
  std::string err;
  ASSERT_TRUE(worker.call("a", kGenerous, &err).has_value());

  // Killed while idle: the next call notices and starts a fresh child.
  int pid = worker.processId();
  ASSERT_GT(pid, 0);  // kill(-1) would reach every process
  ASSERT_EQ(::kill(pid, SIGKILL), 0);
  // Let it die first: one that dies during a request fails that request.
  for (int i = 0; i < 200 && !dead(pid); ++i) {
    std::this_thread::sleep_for(milliseconds(10));
  }
  EXPECT_EQ(worker.call("b", kGenerous, &err).value_or("?"), "echo:b");
  EXPECT_NE(worker.processId(), pid);
}

TEST(WorkerTest, ChildIsReapedWithTheWorker) {
  int pid = -1;
  {
    Worker worker(echo);
    std::string err;
    ASSERT_TRUE(worker.call("a", kGenerous, &err).has_value());
    pid = worker.processId();
  }
  EXPECT_TRUE(reaped(pid));
}

TEST(WorkerTest, ChildDiesWithItsHost) {
  // A host process that starts a worker, reports the child's pid and is
  // then killed: the child must not outlive it.
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  const pid_t host = ::fork();
  ASSERT_GE(host, 0);
  if (host == 0) {
    ::close(fds[0]);
    Worker worker(echo);
    std::string err;
    worker.call("a", kGenerous, &err);
    const int child = worker.processId();
    (void)!::write(fds[1], &child, sizeof child);
    while (true) {
      ::pause();
    }
  }
  ::close(fds[1]);
  int child = -1;
  ASSERT_EQ(::read(fds[0], &child, sizeof child), static_cast<ssize_t>(sizeof child));
  ::close(fds[0]);
  ASSERT_GT(host, 0);
  ::kill(host, SIGKILL);
  ::waitpid(host, nullptr, 0);
  // The orphan is reparented and reaped by init (or the nearest subreaper);
  // give it a moment to die.
  bool gone = false;
  for (int i = 0; i < 100 && !gone; ++i) {
    gone = dead(child);
    if (!gone) {
      std::this_thread::sleep_for(milliseconds(20));
    }
  }
  EXPECT_TRUE(gone) << "worker " << child << " outlived its host";
}

TEST(WorkerTest, TimeoutFromTheEnvironment) {
  static const struct {
    const char* value;  // nullptr: unset
    long long want_ms;
  } kCases[] = {
      {nullptr, 10'000}, {"", 10'000},      {"3", 3'000},      {"0.5", 500},
      {"0", 10'000},     {"-2", 10'000},    {"abc", 10'000},   {"5s", 10'000},
      {"nan", 10'000},   {"1e9", 10'000},   {"0.0001", 1},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.value == nullptr ? "(unset)" : c.value);
    if (c.value == nullptr) {
      ::unsetenv("TRUEEXT_ANALYZE_TIMEOUT");
    } else {
      ::setenv("TRUEEXT_ANALYZE_TIMEOUT", c.value, 1);
    }
    EXPECT_EQ(analysisTimeout().count(), c.want_ms);
  }
  ::unsetenv("TRUEEXT_ANALYZE_TIMEOUT");
}

}  // namespace
}  // namespace ident
