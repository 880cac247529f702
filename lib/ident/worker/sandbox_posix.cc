// The worker's sandbox: resource limits, then a seccomp filter that allows
// only what the analysis needs (tools/make_sandbox_filter.cc lists the calls and
// says why each is there). The worker opens nothing: the tool's side opens
// each file and hands its descriptor over with the request. The filter is
// built with the library, so that confining a worker costs one system call;
// it names the worker's socket by its fixed descriptor. Before the filter
// goes on, the time zone is loaded (libmagic prints dates in local time,
// and glibc reads /etc/localtime on first use).
#include "sandbox.h"

#include <fcntl.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "sandbox_filter.h"
#include "worker.h"

namespace ident {

namespace {

constexpr double kDefaultMemoryMiB = 1024;
// A terabyte: anything larger is a typing slip, not a bound.
constexpr double kMaxMemoryMiB = 1 << 20;
// The standard three, the socket, the file being analysed, and spares.
constexpr rlim_t kMaxDescriptors = 8;

// The address space the process holds now, or 0 when it cannot be read.
// The bound is set above this, so that a process that reserves much
// address space up front (sanitizer shadow memory) still gets its share.
std::uint64_t addressSpaceInUse() {
  // Read with plain calls: a stream's locale set-up costs more than the
  // reading.
  const int fd = ::open("/proc/self/statm", O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    return 0;
  }
  char text[64];
  const ssize_t n = ::read(fd, text, sizeof text - 1);
  ::close(fd);
  if (n <= 0) {
    return 0;
  }
  text[n] = '\0';
  char* end = nullptr;
  const std::uint64_t pages = std::strtoull(text, &end, 10);
  if (end == text) {
    return 0;
  }
  const long page_size = ::sysconf(_SC_PAGESIZE);
  return pages * static_cast<std::uint64_t>(page_size > 0 ? page_size : 4096);
}

bool limit(int resource, rlim_t value, const char* name, std::string* err) {
  const rlimit bound{value, value};
  if (::setrlimit(resource, &bound) != 0) {
    const int saved = errno;
    *err = std::string("setrlimit(") + name + "): " + std::strerror(saved);
    return false;
  }
  return true;
}

bool applyResourceLimits(std::uint64_t memory_bytes, std::string* err) {
  const std::uint64_t in_use = addressSpaceInUse();
  const rlim_t address_space = memory_bytes > RLIM_INFINITY - in_use
                                   ? RLIM_INFINITY
                                   : static_cast<rlim_t>(in_use + memory_bytes);
  return limit(RLIMIT_CORE, 0, "RLIMIT_CORE", err) &&
         limit(RLIMIT_FSIZE, 0, "RLIMIT_FSIZE", err) &&
         limit(RLIMIT_NOFILE, kMaxDescriptors, "RLIMIT_NOFILE", err) &&
         limit(RLIMIT_AS, address_space, "RLIMIT_AS", err);
}

bool loadFilter(int socket, std::string* err) {
  if (socket != Worker::kChildSocket) {
    *err = "the socket is descriptor " + std::to_string(socket) + ", not " +
           std::to_string(Worker::kChildSocket) + " as the filter expects";
    return false;
  }
  sock_fprog program{kSandboxFilterLength, const_cast<sock_filter*>(kSandboxFilter)};
  // Kernels before seccomp(2) take a filter through prctl alone.
  if (::syscall(SYS_seccomp, SECCOMP_SET_MODE_FILTER, 0, &program) != 0 &&
      (errno != ENOSYS || ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program, 0, 0) != 0)) {
    const int saved = errno;
    *err = std::string("seccomp(SECCOMP_SET_MODE_FILTER): ") + std::strerror(saved);
    return false;
  }
  return true;
}

}  // namespace

bool sandboxRequested() {
  const char* text = std::getenv("TRUEEXT_SANDBOX");
  return text == nullptr || std::strcmp(text, "off") != 0;
}

std::uint64_t analysisMemoryLimit() {
  constexpr double kMiB = 1 << 20;
  const char* text = std::getenv("TRUEEXT_ANALYZE_MEMORY");
  double mib = kDefaultMemoryMiB;
  if (text != nullptr && *text != '\0') {
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    if (*end == '\0' && std::isfinite(value) && value > 0 && value <= kMaxMemoryMiB) {
      mib = value;
    }
  }
  // Rounded by hand: the value is positive, and std::llround would make
  // the library load libm, which costs more than all the rest of a start.
  return static_cast<std::uint64_t>(mib * kMiB + 0.5);
}

bool confineForAnalysis(int socket, std::uint64_t memory_bytes, std::string* err) {
  // With TZ unset glibc stats /etc/localtime again on every localtime()
  // call, which the filter forbids (libmagic prints the dates of Office
  // documents); naming the same zone file in TZ makes the first load stick.
  ::setenv("TZ", ":/etc/localtime", 0);
  ::tzset();
  if (!applyResourceLimits(memory_bytes, err)) {
    return false;
  }
  if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0) {
    const int saved = errno;
    *err = std::string("prctl(PR_SET_NO_NEW_PRIVS): ") + std::strerror(saved);
    return false;
  }
  return loadFilter(socket, err);
}

void warnUnconfined(std::string_view reason) {
  static bool warned = false;
  if (warned) {
    return;
  }
  warned = true;
  std::fprintf(stderr, "trueext: warning: file analysis runs without its sandbox: %.*s\n",
               static_cast<int>(reason.size()), reason.data());
}

}  // namespace ident
