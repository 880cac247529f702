#include "worker.h"

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace ident {

namespace {

constexpr std::chrono::milliseconds kDefaultTimeout{10'000};
// How long a fresh child may take to confine itself, whatever the per-file
// limit: starting is not analysing, and a tiny limit must not fail every
// start.
constexpr std::chrono::milliseconds kStartTimeout{10'000};
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

// Moves the child's socket |sock| to Worker::kChildSocket and returns the
// descriptor it is at now: |sock| itself when it cannot be moved, which a
// filter that names the fixed one then refuses to confine.
int moveToChildSocket(int sock) {
  if (sock == Worker::kChildSocket ||
      ::dup3(sock, Worker::kChildSocket, O_CLOEXEC) < 0) {
    return sock;
  }
  ::close(sock);
  return Worker::kChildSocket;
}

// The first packet of a child with a Confine step: it is confined, or it
// is not and says why.
constexpr char kConfined = 'C';
constexpr char kNotConfined = 'U';

// Room for the one descriptor that may come with a request.
union DescriptorMessage {
  cmsghdr header;
  char bytes[CMSG_SPACE(sizeof(int))];
};

// Receives one request into the |size| bytes at |request| and the
// descriptor sent with it, if any, into |file|. Returns recvmsg's result.
ssize_t receiveRequest(int sock, char* request, std::size_t size, ScopedFd* file) {
  iovec data{request, size};
  DescriptorMessage control;
  msghdr message{};
  message.msg_iov = &data;
  message.msg_iovlen = 1;
  message.msg_control = control.bytes;
  message.msg_controllen = sizeof control.bytes;
  const ssize_t n = ::recvmsg(sock, &message, MSG_CMSG_CLOEXEC);
  for (cmsghdr* c = CMSG_FIRSTHDR(&message); c != nullptr; c = CMSG_NXTHDR(&message, c)) {
    if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_RIGHTS &&
        c->cmsg_len == CMSG_LEN(sizeof(int))) {
      int fd;
      std::memcpy(&fd, CMSG_DATA(c), sizeof fd);
      file->reset(fd);
    }
  }
  return n;
}

// Sends |request| with a copy of descriptor |file| when it is valid.
ssize_t sendRequest(int sock, std::string_view request, int file) {
  if (file < 0) {
    return ::send(sock, request.data(), request.size(), MSG_NOSIGNAL);
  }
  iovec data{const_cast<char*>(request.data()), request.size()};
  DescriptorMessage control;
  std::memset(&control, 0, sizeof control);
  msghdr message{};
  message.msg_iov = &data;
  message.msg_iovlen = 1;
  message.msg_control = control.bytes;
  message.msg_controllen = sizeof control.bytes;
  cmsghdr* c = CMSG_FIRSTHDR(&message);
  c->cmsg_level = SOL_SOCKET;
  c->cmsg_type = SCM_RIGHTS;
  c->cmsg_len = CMSG_LEN(sizeof(int));
  std::memcpy(CMSG_DATA(c), &file, sizeof file);
  return ::sendmsg(sock, &message, MSG_NOSIGNAL);
}

// Keeps the calling thread, and so the child it is about to fork, on the
// processor it runs on now. Host and child never run at once: each request
// wakes the child while the host waits, and each reply wakes the host while
// the child waits. On one processor such a wake-up is a switch of a few
// microseconds; the scheduler likes to hand a woken process to an idle
// processor, though, and there the wake-up is an interrupt and an exit from
// idle, ten times as long and longer than most analyses. Only the two of
// them are bound, and only to where the host already runs.
void keepTogether() {
  const int cpu = ::sched_getcpu();
  if (cpu < 0 || cpu >= CPU_SETSIZE) {
    return;
  }
  cpu_set_t set;
  CPU_ZERO(&set);
  CPU_SET(cpu, &set);
  // Where that is not allowed, the two run wherever the scheduler puts them.
  ::sched_setaffinity(0, sizeof set, &set);
}

// The child's life: answer requests until the socket closes. Never returns;
// leaves with _exit so that none of the host's atexit handlers or stdio
// buffers run a second time.
[[noreturn]] void serve(int sock, pid_t parent, const Worker::Job& job,
                        const Worker::Confine& confine) {
  // Die with the host; the check closes the race with a host that died
  // before the request was made.
  ::prctl(PR_SET_PDEATHSIG, SIGKILL);
  // Named apart from its host, so that ps and top tell the two apart.
  ::prctl(PR_SET_NAME, "trueext-worker");
  if (::getppid() != parent) {
    ::_exit(0);
  }
  sock = moveToChildSocket(sock);
  closeOtherDescriptors(sock);
  // Left uninitialised: only the pages a request fills are ever touched.
  const auto request = std::make_unique_for_overwrite<char[]>(Worker::kMaxMessage);
  if (confine) {
    std::string err;
    std::string hello(1, kConfined);
    if (!confine(sock, &err)) {
      hello = kNotConfined + err.substr(0, Worker::kMaxMessage - 1);
    }
    if (::send(sock, hello.data(), hello.size(), MSG_NOSIGNAL) < 0) {
      ::_exit(0);
    }
  }
  while (true) {
    ScopedFd file;
    const ssize_t n = receiveRequest(sock, request.get(), Worker::kMaxMessage, &file);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      ::_exit(0);
    }
    std::string reply;
    try {
      reply = job(std::string_view(request.get(), static_cast<std::size_t>(n)), std::move(file));
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

bool Worker::start(std::chrono::milliseconds timeout, std::string* err) {
  int fds[2];
  // Sequenced packets keep each reply whole; close-on-exec keeps the socket
  // out of programs the host runs.
  if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, fds) != 0) {
    const int saved = errno;
    *err = std::string("socketpair: ") + std::strerror(saved);
    return false;
  }
  const pid_t parent = ::getpid();
  keepTogether();
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
    serve(fds[1], parent, job_, confine_);
  }
  ::close(fds[1]);
  pid_ = pid;
  socket_ = fds[0];
  socket_timeout_us_ = -1;
  if (!confine_) {
    return true;
  }
  // The child says whether it is confined before it takes a request.
  const long n = receive(std::max(timeout, kStartTimeout), err);
  if (n <= 0 || static_cast<std::size_t>(n) > kMaxMessage) {
    stop();
    if (n >= 0) {
      *err = "the worker died while confining itself";
    }
    return false;
  }
  if (buffer_[0] != kConfined && unconfined_) {
    unconfined_(std::string_view(buffer_.get() + 1, static_cast<std::size_t>(n) - 1));
  }
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

long Worker::receive(std::chrono::milliseconds timeout, std::string* err) {
  using std::chrono::microseconds;
  if (buffer_ == nullptr) {
    // Left uninitialised: only the pages replies fill are ever touched.
    buffer_ = std::make_unique_for_overwrite<char[]>(kMaxMessage + 1);
  }
  // A blocking receive with a timeout on the socket: one call per reply,
  // and no wake-up before the reply or the deadline. The timeout is set
  // again only when it changes, which it does not from file to file.
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  microseconds wait = timeout;
  while (true) {
    if (wait.count() <= 0) {
      *err = "analysis timed out";
      return -1;
    }
    if (wait.count() != socket_timeout_us_) {
      const timeval tv{static_cast<time_t>(wait.count() / 1'000'000),
                       static_cast<suseconds_t>(wait.count() % 1'000'000)};
      if (::setsockopt(socket_, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv) != 0) {
        const int saved = errno;
        *err = std::string("setsockopt(SO_RCVTIMEO): ") + std::strerror(saved);
        return -1;
      }
      socket_timeout_us_ = wait.count();
    }
    // MSG_TRUNC makes recv report a longer packet's true size.
    const ssize_t n = ::recv(socket_, buffer_.get(), kMaxMessage + 1, MSG_TRUNC);
    if (n >= 0) {
      return static_cast<long>(n);
    }
    const int saved = errno;
    if (saved != EINTR && saved != EAGAIN && saved != EWOULDBLOCK) {
      *err = std::string("recv: ") + std::strerror(saved);
      return -1;
    }
    // Interrupted, or the timer ran out: wait for what is left, if anything.
    wait = std::chrono::duration_cast<microseconds>(deadline - std::chrono::steady_clock::now());
  }
}

std::optional<std::string> Worker::call(std::string_view request, int file,
                                        std::chrono::milliseconds timeout, std::string* err) {
  if (request.size() > kMaxMessage) {
    *err = "request too large";
    return std::nullopt;
  }
  // A child that died while idle shows as a failed send: one fresh start.
  bool sent = false;
  for (int attempt = 0; attempt < 2 && !sent; ++attempt) {
    if (pid_ < 0 && !start(timeout, err)) {
      return std::nullopt;
    }
    if (sendRequest(socket_, request, file) >= 0) {
      sent = true;
    } else if (errno != EINTR) {
      stop();
    }
  }
  if (!sent) {
    *err = "cannot reach the worker";
    return std::nullopt;
  }
  const long n = receive(timeout, err);
  if (n <= 0) {
    stop();
    if (n == 0) {
      *err = "the worker died";
    }
    return std::nullopt;
  }
  if (static_cast<std::size_t>(n) > kMaxMessage) {
    stop();
    *err = "reply too large";
    return std::nullopt;
  }
  return std::string(buffer_.get(), static_cast<std::size_t>(n));
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
  // Rounded by hand, as the value is positive: std::llround needs libm,
  // which the library does without.
  return std::chrono::milliseconds(std::max<long long>(1, static_cast<long long>(seconds * 1000 + 0.5)));
}

}  // namespace ident
