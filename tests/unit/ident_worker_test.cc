#include "worker/worker.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/ptrace.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "worker/sandbox.h"
#include "test_util.h"

namespace ident {
namespace {

using std::chrono::milliseconds;

// Jobs that stand for an analysis: one that answers, and the hostile ones.
std::string echo(std::string_view request, ScopedFd = {}) { return "echo:" + std::string(request); }

std::string crashOn(std::string_view request, ScopedFd = {}) {
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

// Sets the variable |name| to |value|, or unsets it for nullptr.
void setEnvironment(const char* name, const char* value) {
  if (value == nullptr) {
    ::unsetenv(name);
  } else {
    ::setenv(name, value, 1);
  }
}

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
    setEnvironment("TRUEEXT_ANALYZE_TIMEOUT", c.value);
    EXPECT_EQ(analysisTimeout().count(), c.want_ms);
  }
  ::unsetenv("TRUEEXT_ANALYZE_TIMEOUT");
}

TEST(WorkerTest, HandsTheDescriptorToTheChild) {
  testutil::ScopedTempDir dir;
  testutil::writeFile(dir.path() / "file", "handed over");
  const ScopedFd file(::open((dir.path() / "file").c_str(), O_RDONLY | O_CLOEXEC));
  ASSERT_TRUE(file.valid());
  Worker worker([](std::string_view, ScopedFd handed) {
    char bytes[16] = {};
    return handed.valid() && ::pread(handed.get(), bytes, 6, 0) == 6 ? std::string(bytes)
                                                                     : std::string("none");
  });
  std::string err;
  EXPECT_EQ(worker.call("a", file.get(), kGenerous, &err).value_or(err), "handed");
  EXPECT_EQ(worker.call("b", kGenerous, &err).value_or(err), "none");
  EXPECT_EQ(worker.call("c", file.get(), kGenerous, &err).value_or(err), "handed");
  EXPECT_EQ(testutil::readFile(dir.path() / "file"), "handed over") << "the caller's copy stays";
}

TEST(WorkerTest, ConfinesTheChildBeforeItsFirstRequest) {
  // Set in the child by the confining step; the job reports what it sees.
  static bool confined = false;
  std::vector<std::string> reasons;
  Worker worker([](std::string_view, ScopedFd) { return std::string(confined ? "confined" : "open"); },
                [](int socket, std::string*) { return socket >= 0 && (confined = true); },
                [&reasons](std::string_view reason) { reasons.emplace_back(reason); });
  std::string err;
  EXPECT_EQ(worker.call("a", kGenerous, &err).value_or("?"), "confined");
  EXPECT_FALSE(confined) << "the host itself is never confined";
  EXPECT_TRUE(reasons.empty());
}

TEST(WorkerTest, ChildThatCannotConfineItselfServesAndSaysWhy) {
  std::vector<std::string> reasons;
  Worker worker(
      crashOn,
      [](int, std::string* err) {
        *err = "no filter here";
        return false;
      },
      [&reasons](std::string_view reason) { reasons.emplace_back(reason); });
  std::string err;
  EXPECT_EQ(worker.call("a", kGenerous, &err).value_or("?"), "echo:a");
  EXPECT_EQ(worker.call("b", kGenerous, &err).value_or("?"), "echo:b");
  EXPECT_EQ(reasons, std::vector<std::string>{"no filter here"});
  // A restarted child says so again; the host decides how often to tell.
  EXPECT_FALSE(worker.call("crash", kGenerous, &err).has_value());
  EXPECT_EQ(worker.call("c", kGenerous, &err).value_or("?"), "echo:c");
  EXPECT_EQ(reasons.size(), 2u);
}

TEST(WorkerTest, ChildThatDiesWhileConfiningFailsTheCall) {
  Worker worker(echo, [](int, std::string*) -> bool { ::_exit(3); });
  std::string err;
  EXPECT_FALSE(worker.call("a", kGenerous, &err).has_value());
  EXPECT_FALSE(err.empty());
  EXPECT_EQ(worker.processId(), -1);
}

// The real sandbox: a job stands for analysis code taken over by a hostile
// file and tries, on request, one thing an analysis never does.
class SandboxTest : public testing::Test {
 protected:
  void SetUp() override {
    if (::prctl(PR_GET_SECCOMP, 0, 0, 0, 0) < 0) {
      GTEST_SKIP() << "this kernel has no seccomp";
    }
    testutil::writeFile(path("kept"), "kept\n");
  }
  std::string path(const char* name) const { return (dir_.path() / name).string(); }

  // The folder's names and contents, in name order.
  std::string listing() const {
    std::set<std::string> entries;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
      entries.insert(entry.path().filename().string() + "=" + testutil::readFile(entry.path()) +
                     ";");
    }
    std::string all;
    for (const std::string& entry : entries) {
      all += entry;
    }
    return all;
  }

  static bool confine(int socket, std::string* err) {
    return confineForAnalysis(socket, 64 << 20, err);
  }

  testutil::ScopedTempDir dir_;
};

// "ok" when |rc| says the call succeeded, else "failed".
std::string outcome(long rc) { return rc >= 0 ? "ok" : "failed"; }

TEST_F(SandboxTest, AnalysisNeedsStillWork) {
  Worker worker(
      [](std::string_view, ScopedFd file) {
        // The handed file can be read; memory well inside the bound, in
        // small and large blocks, can be had.
        char bytes[16] = {};
        const bool read = file.valid() && ::pread(file.get(), bytes, 4, 0) == 4;
        std::string big(8 << 20, 'x');
        std::vector<std::string> small(1000, std::string(100, 'y'));
        return std::string(read ? bytes : "unread") + std::to_string(big.size() + small.size());
      },
      confine, [](std::string_view reason) { FAIL() << "not confined: " << reason; });
  const ScopedFd kept(::open(path("kept").c_str(), O_RDONLY | O_CLOEXEC));
  ASSERT_TRUE(kept.valid());
  std::string err;
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(worker.call("a", kept.get(), kGenerous, &err).value_or(err), "kept8389608");
  }
}

TEST_F(SandboxTest, ForbiddenActsFailOrKillTheChild) {
  const std::string kept = path("kept"), fresh = path("fresh");
  static const char* const kActs[] = {
      "open for reading", "stat", "create", "write", "truncate", "unlink", "rename", "exec",
      "fork", "socket", "ptrace", "write to stderr", "allocate past the bound",
  };
  Worker worker(
      [&](std::string_view act, ScopedFd) -> std::string {
        if (act == "stat") {
          struct stat st;
          return outcome(::stat(kept.c_str(), &st));
        }
        if (act == "create") {
          return outcome(::open(fresh.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW, 0644));
        }
        if (act == "write") {
          return outcome(::open(kept.c_str(), O_WRONLY | O_NOFOLLOW));
        }
        if (act == "truncate") {
          return outcome(::open(kept.c_str(), O_RDONLY | O_TRUNC | O_NOFOLLOW));
        }
        if (act == "open for reading") {
          return outcome(::open(kept.c_str(), O_RDONLY | O_NOFOLLOW));
        }
        if (act == "unlink") {
          return outcome(::unlink(kept.c_str()));
        }
        if (act == "rename") {
          return outcome(::rename(kept.c_str(), fresh.c_str()));
        }
        if (act == "exec") {
          return outcome(::execl("/bin/true", "true", static_cast<char*>(nullptr)));
        }
        if (act == "fork") {
          const pid_t pid = ::fork();
          if (pid == 0) {
            ::_exit(0);
          }
          return outcome(pid);
        }
        if (act == "socket") {
          return outcome(::socket(AF_INET, SOCK_STREAM, 0));
        }
        if (act == "ptrace") {
          return outcome(::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr));
        }
        if (act == "write to stderr") {
          return outcome(::write(2, "", 0));
        }
        if (act == "allocate past the bound") {
          void* block = std::malloc(std::size_t{512} << 20);
          std::free(block);
          return block != nullptr ? "ok" : "failed";
        }
        return "unknown act";
      },
      confine);
  std::string err;
  for (const std::string_view act : kActs) {
    SCOPED_TRACE(act);
#if defined(__SANITIZE_ADDRESS__)
    if (act == "write to stderr") {
      continue;  // the sanitizers' reports must get out
    }
#endif
    const std::optional<std::string> reply = worker.call(act, kGenerous, &err);
    if (reply) {
      EXPECT_EQ(*reply, "failed");
    }
  }
  EXPECT_EQ(listing(), "kept=kept\n;") << "nothing created, changed or removed";
}

TEST_F(SandboxTest, ConfinesWhereverTheHostsDescriptorsPutTheSocket) {
  // The child's end of the socket pair takes the host's second free
  // descriptor; the filter names one fixed descriptor, to which the child
  // moves its socket from wherever it landed.
  static const struct {
    const char* placement;
    std::vector<int> closed;  // the host's standard descriptors it closes first
    int child_end;
  } kCases[] = {
      {"among the standard three", {0, 1}, 1},
      {"at the fixed descriptor", {2}, Worker::kChildSocket},
      {"past it", {}, Worker::kChildSocket + 1},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.placement);
    // A host of its own, whose descriptors can be rearranged; it exits 0
    // when a confined worker answered, 2 when the socket landed elsewhere.
    const pid_t host = ::fork();
    ASSERT_GE(host, 0);
    if (host == 0) {
      ::close_range(3, ~0U, 0);
      for (const int fd : c.closed) {
        ::close(fd);
      }
      int probe[2];
      if (::socketpair(AF_UNIX, SOCK_SEQPACKET, 0, probe) != 0 || probe[1] != c.child_end) {
        ::_exit(2);
      }
      ::close(probe[0]);
      ::close(probe[1]);
      bool confined = true;
      Worker worker(echo, confine, [&confined](std::string_view) { confined = false; });
      std::string err;
      const bool answered = worker.call("a", kGenerous, &err).value_or("") == "echo:a";
      ::_exit(answered && confined ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(host, &status, 0), host);
    EXPECT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 0);
  }
}

TEST(SandboxSettingsTest, FromTheEnvironment) {
  static const struct {
    const char* memory;  // nullptr: unset
    std::uint64_t want;
  } kMemory[] = {
      {nullptr, 1024ULL << 20}, {"", 1024ULL << 20},  {"256", 256ULL << 20},
      {"0.5", 512ULL << 10},    {"0", 1024ULL << 20}, {"-1", 1024ULL << 20},
      {"2G", 1024ULL << 20},    {"nan", 1024ULL << 20}, {"1e12", 1024ULL << 20},
  };
  for (const auto& c : kMemory) {
    SCOPED_TRACE(c.memory == nullptr ? "(unset)" : c.memory);
    setEnvironment("TRUEEXT_ANALYZE_MEMORY", c.memory);
    EXPECT_EQ(analysisMemoryLimit(), c.want);
  }
  ::unsetenv("TRUEEXT_ANALYZE_MEMORY");

  static const struct {
    const char* value;
    bool want;
  } kSwitch[] = {{nullptr, true}, {"on", true}, {"", true}, {"OFF", true}, {"off", false}};
  for (const auto& c : kSwitch) {
    SCOPED_TRACE(c.value == nullptr ? "(unset)" : c.value);
    setEnvironment("TRUEEXT_SANDBOX", c.value);
    EXPECT_EQ(sandboxRequested(), c.want);
  }
  ::unsetenv("TRUEEXT_SANDBOX");
}

}  // namespace
}  // namespace ident
