#include "worker.h"

#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace ident {

namespace {

constexpr std::chrono::milliseconds kDefaultTimeout{10'000};
// A day: anything longer is a typing slip, not a time limit.
constexpr double kMaxTimeoutSeconds = 86'400;

// Closes every descriptor but the standard three and |keep|, so that the
// child holds no file, pipe or socket of its host open.
void closeOtherDescriptors(int keep) {
  if (keep > 3) {
    ::close_range(3, static_cast<unsigned>(keep) - 1, 0);
  }
  ::close_range(static_cast<unsigned>(keep) + 1, ~0U, 0);
  if (keep < 3) {
    ::close_range(3, ~0U, 0);
  }
}

// The child's life: answer requests until the socket closes. Never returns;
// leaves with _exit so that none of the host's atexit handlers or stdio
// buffers run a second time.
[[noreturn]] void serve(int sock, pid_t parent, const Worker::Job& job) {
  // Die with the host; the check closes the race with a host that died
  // before the request was made.
  ::prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (::getppid() != parent) {
    ::_exit(0);
  }
  closeOtherDescriptors(sock);
  std::string request(Worker::kMaxMessage, '\0');
  while (true) {
    const ssize_t n = ::recv(sock, request.data(), request.size(), 0);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      ::_exit(0);
    }
    std::string reply;
    try {
      reply = job(std::string_view(request.data(), static_cast<std::size_t>(n)));
    } catch (...) {
      ::_exit(1);
    }
    if (reply.size() > Worker::kMaxMessage) {
      ::_exit(1);
    }
    while (::send(sock, reply.data(), reply.size(), MSG_NOSIGNAL) < 0) {
      if (errno != EINTR) {
        ::_exit(0);
      }
    }
  }
}

}  // namespace

Worker::~Worker() { stop(); }

bool Worker::start(std::string* err) {
  int fds[2];
  // Sequenced packets keep each reply whole; close-on-exec keeps the socket
  // out of programs the host runs.
  if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, fds) != 0) {
    const int saved = errno;
    *err = std::string("socketpair: ") + std::strerror(saved);
    return false;
  }
  const pid_t parent = ::getpid();
  const pid_t pid = ::fork();
  if (pid < 0) {
    const int saved = errno;
    ::close(fds[0]);
    ::close(fds[1]);
    *err = std::string("fork: ") + std::strerror(saved);
    return false;
  }
  if (pid == 0) {
    ::close(fds[0]);
    serve(fds[1], parent, job_);
  }
  ::close(fds[1]);
  pid_ = pid;
  socket_ = fds[0];
  return true;
}

void Worker::stop() {
  if (socket_ >= 0) {
    ::close(socket_);
    socket_ = -1;
  }
  if (pid_ > 0) {
    ::kill(pid_, SIGKILL);
    // Reap it so that no zombie stays behind; ECHILD when the host lets the
    // system reap its children is fine too.
    while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
  }
}

std::optional<std::string> Worker::call(std::string_view request,
                                        std::chrono::milliseconds timeout, std::string* err) {
  if (request.size() > kMaxMessage) {
    *err = "request too large";
    return std::nullopt;
  }
  // A child that died while idle shows as a failed send: one fresh start.
  bool sent = false;
  for (int attempt = 0; attempt < 2 && !sent; ++attempt) {
    if (pid_ < 0 && !start(err)) {
      return std::nullopt;
    }
    if (::send(socket_, request.data(), request.size(), MSG_NOSIGNAL) >= 0) {
      sent = true;
    } else if (errno != EINTR) {
      stop();
    }
  }
  if (!sent) {
    *err = "cannot reach the worker";
    return std::nullopt;
  }
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (true) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      stop();
      *err = "analysis timed out";
      return std::nullopt;
    }
    pollfd pfd{socket_, POLLIN, 0};
    const int ready = ::poll(&pfd, 1, static_cast<int>(std::min<long long>(left.count(), 60'000)));
    if (ready < 0 && errno != EINTR) {
      const int saved = errno;
      stop();
      *err = std::string("poll: ") + std::strerror(saved);
      return std::nullopt;
    }
    if (ready > 0) {
      break;
    }
  }
  std::string reply(kMaxMessage + 1, '\0');
  ssize_t n;
  do {
    // MSG_TRUNC makes recv report a longer packet's true size.
    n = ::recv(socket_, reply.data(), reply.size(), MSG_TRUNC | MSG_DONTWAIT);
  } while (n < 0 && errno == EINTR);
  if (n <= 0) {
    stop();
    *err = "the worker died";
    return std::nullopt;
  }
  if (static_cast<std::size_t>(n) > kMaxMessage) {
    stop();
    *err = "reply too large";
    return std::nullopt;
  }
  reply.resize(static_cast<std::size_t>(n));
  return reply;
}

std::chrono::milliseconds analysisTimeout() {
  const char* text = std::getenv("TRUEEXT_ANALYZE_TIMEOUT");
  if (text == nullptr || *text == '\0') {
    return kDefaultTimeout;
  }
  char* end = nullptr;
  const double seconds = std::strtod(text, &end);
  if (*end != '\0' || !std::isfinite(seconds) || seconds <= 0 || seconds > kMaxTimeoutSeconds) {
    return kDefaultTimeout;
  }
  return std::chrono::milliseconds(std::max<long long>(1, std::llround(seconds * 1000)));
}

}  // namespace ident
