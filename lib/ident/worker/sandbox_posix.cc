// The worker's sandbox: resource limits, then a seccomp filter built with
// libseccomp. The worker opens nothing: the tool's side opens each file and
// hands its descriptor over with the request. The list of allowed calls was
// taken from what the worker really calls while analysing (traced over
// folders of every kind the library names, empty and very large files among
// them), reduced to what the analysis needs:
//
//   answering    recvmsg (a request and its descriptor) and sendto, on its
//                own socket only
//   reading      pread64 of the descriptors it was handed (their size comes
//                with the request); close
//   memory       brk, mmap without PROT_EXEC, munmap; and mremap, madvise
//                and mprotect without PROT_EXEC, which glibc's allocator
//                uses for large or returned blocks
//   clocks       clock_gettime, gettimeofday, time: normally answered in
//                user space, but the kernel takes them where its clock
//                source has no fast path
//   leaving      exit, exit_group, rt_sigreturn
//
// Anything else kills the worker: opening any file, even for reading, or
// asking about one, among them. A sanitizer build also allows pipe2, and
// read and write on descriptors past standard output, which its runtime
// uses (see loadFilter). Before the filter goes on, the time zone is loaded
// (libmagic prints dates in local time, and glibc reads /etc/localtime on
// first use).
#include "sandbox.h"

#include <fcntl.h>
#include <seccomp.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

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

// Owns a libseccomp filter context.
class FilterContext {
 public:
  FilterContext() : ctx_(seccomp_init(SCMP_ACT_KILL_PROCESS)) {}
  FilterContext(const FilterContext&) = delete;
  FilterContext& operator=(const FilterContext&) = delete;
  ~FilterContext() {
    if (ctx_ != nullptr) {
      seccomp_release(ctx_);
    }
  }
  scmp_filter_ctx get() const { return ctx_; }

 private:
  scmp_filter_ctx ctx_;
};

struct Rule {
  const char* name;
  int syscall;
  unsigned arg_count;
  scmp_arg_cmp args[1];
};

// Compares system call argument |arg| (from 0): with |op| against |value|,
// or, for SCMP_CMP_MASKED_EQ, (argument & |value|) against |masked|. Built
// by hand because libseccomp's SCMP_A* macros are C compound literals.
constexpr scmp_arg_cmp argument(unsigned arg, scmp_compare op, scmp_datum_t value,
                                scmp_datum_t masked = 0) {
  return scmp_arg_cmp{arg, op, value, masked};
}

// Whether the sanitizers' runtime is in: it needs a few more calls.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

bool loadFilter(int socket, std::string* err) {
  const FilterContext ctx;
  if (ctx.get() == nullptr) {
    *err = "seccomp_init failed";
    return false;
  }
  const auto fd = static_cast<scmp_datum_t>(socket);
  std::vector<Rule> rules = {
      {"recvmsg", SCMP_SYS(recvmsg), 1, {argument(0, SCMP_CMP_EQ, fd)}},
      {"sendto", SCMP_SYS(sendto), 1, {argument(0, SCMP_CMP_EQ, fd)}},
      {"pread64", SCMP_SYS(pread64), 0, {}},
      {"close", SCMP_SYS(close), 0, {}},
      {"brk", SCMP_SYS(brk), 0, {}},
      {"mmap", SCMP_SYS(mmap), 1, {argument(2, SCMP_CMP_MASKED_EQ, PROT_EXEC, 0)}},
      {"mprotect", SCMP_SYS(mprotect), 1, {argument(2, SCMP_CMP_MASKED_EQ, PROT_EXEC, 0)}},
      {"munmap", SCMP_SYS(munmap), 0, {}},
      {"mremap", SCMP_SYS(mremap), 0, {}},
      {"madvise", SCMP_SYS(madvise), 0, {}},
      {"clock_gettime", SCMP_SYS(clock_gettime), 0, {}},
      {"gettimeofday", SCMP_SYS(gettimeofday), 0, {}},
      {"time", SCMP_SYS(time), 0, {}},
      {"exit", SCMP_SYS(exit), 0, {}},
      {"exit_group", SCMP_SYS(exit_group), 0, {}},
      {"rt_sigreturn", SCMP_SYS(rt_sigreturn), 0, {}},
  };
  if (kSanitized) {
    // The runtime probes whether memory is readable by writing it into a
    // pipe, and prints its reports on standard error. Writing stays closed
    // to standard input and output, which may be files of the user's.
    rules.push_back({"pipe2", SCMP_SYS(pipe2), 0, {}});
    rules.push_back({"write", SCMP_SYS(write), 1, {argument(0, SCMP_CMP_GE, 2)}});
    rules.push_back({"read", SCMP_SYS(read), 1, {argument(0, SCMP_CMP_GE, 3)}});
  }
  for (const Rule& rule : rules) {
    const int rc = rule.arg_count == 0
                       ? seccomp_rule_add(ctx.get(), SCMP_ACT_ALLOW, rule.syscall, 0)
                       : seccomp_rule_add(ctx.get(), SCMP_ACT_ALLOW, rule.syscall, 1, rule.args[0]);
    if (rc != 0) {
      *err = std::string("seccomp_rule_add(") + rule.name + "): " + std::strerror(-rc);
      return false;
    }
  }
  const int rc = seccomp_load(ctx.get());
  if (rc != 0) {
    *err = std::string("seccomp_load: ") + std::strerror(-rc);
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
  return static_cast<std::uint64_t>(std::llround(mib * kMiB));
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
