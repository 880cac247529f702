// Builds the analysis worker's seccomp filter at build time with libseccomp
// and writes it out as C++ source: make_sandbox_filter OUTPUT. Building the
// program in every worker costs more than the rest of its start; loading a
// ready one is a single system call. The program is the machine's own
// (libseccomp's native architecture, checked by the program itself) and
// names the socket by the fixed descriptor the worker moves it to.
//
// The list of allowed calls was taken from what the worker really calls
// while analysing (traced over folders of every kind the library names,
// empty and very large files among them), reduced to what the analysis
// needs:
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
// uses; both programs are written, and the library compiles in the one
// that matches how it is built.
#include <seccomp.h>
#include <sys/mman.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "worker/worker.h"

namespace {

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

std::vector<Rule> allowedCalls(bool sanitized) {
  constexpr auto fd = static_cast<scmp_datum_t>(ident::Worker::kChildSocket);
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
  if (sanitized) {
    // The runtime probes whether memory is readable by writing it into a
    // pipe, and prints its reports on standard error. Writing stays closed
    // to standard input and output, which may be files of the user's.
    rules.push_back({"pipe2", SCMP_SYS(pipe2), 0, {}});
    rules.push_back({"write", SCMP_SYS(write), 1, {argument(0, SCMP_CMP_GE, 2)}});
    rules.push_back({"read", SCMP_SYS(read), 1, {argument(0, SCMP_CMP_GE, 3)}});
  }
  return rules;
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

// The program allowing |rules| and killing the process on anything else,
// as the kernel takes it: an array of struct sock_filter. False with |err|
// filled when libseccomp refuses.
bool buildProgram(const std::vector<Rule>& rules, std::string* program, std::string* err) {
  const FilterContext ctx;
  if (ctx.get() == nullptr) {
    *err = "seccomp_init failed";
    return false;
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
  std::FILE* exported = std::tmpfile();
  if (exported == nullptr) {
    const int saved = errno;
    *err = std::string("tmpfile: ") + std::strerror(saved);
    return false;
  }
  const int rc = seccomp_export_bpf(ctx.get(), fileno(exported));
  if (rc != 0) {
    std::fclose(exported);
    *err = std::string("seccomp_export_bpf: ") + std::strerror(-rc);
    return false;
  }
  std::rewind(exported);
  program->clear();
  char block[4096];
  std::size_t n;
  while ((n = std::fread(block, 1, sizeof block, exported)) > 0) {
    program->append(block, n);
  }
  std::fclose(exported);
  if (program->empty() || program->size() % 8 != 0) {
    *err = "seccomp_export_bpf wrote " + std::to_string(program->size()) + " bytes";
    return false;
  }
  return true;
}

// |program| as the initialisers of a sock_filter array, one instruction a
// line: code, jump if true, jump if false, operand.
std::string initialisers(const std::string& program) {
  std::string text;
  for (std::size_t i = 0; i < program.size(); i += 8) {
    std::uint16_t code;
    std::uint8_t jt, jf;
    std::uint32_t k;
    std::memcpy(&code, program.data() + i, 2);
    std::memcpy(&jt, program.data() + i + 2, 1);
    std::memcpy(&jf, program.data() + i + 3, 1);
    std::memcpy(&k, program.data() + i + 4, 4);
    char line[64];
    std::snprintf(line, sizeof line, "    {0x%04x, %u, %u, 0x%08x},\n", code, jt, jf, k);
    text += line;
  }
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT\n", argv[0]);
    return 2;
  }
  std::string plain, sanitized, err;
  if (!buildProgram(allowedCalls(false), &plain, &err) ||
      !buildProgram(allowedCalls(true), &sanitized, &err)) {
    std::fprintf(stderr, "make_sandbox_filter: %s\n", err.c_str());
    return 1;
  }
  const std::string source =
      "// Written by make_sandbox_filter at build time; edit that instead.\n"
      "#include \"worker/sandbox_filter.h\"\n"
      "\n"
      "namespace ident {\n"
      "\n"
      "#if defined(__SANITIZE_ADDRESS__)\n"
      "const sock_filter kSandboxFilter[] = {\n" +
      initialisers(sanitized) +
      "};\n"
      "#else\n"
      "const sock_filter kSandboxFilter[] = {\n" +
      initialisers(plain) +
      "};\n"
      "#endif\n"
      "const unsigned short kSandboxFilterLength = sizeof kSandboxFilter / sizeof kSandboxFilter[0];\n"
      "\n"
      "}  // namespace ident\n";
  const std::string temporary = std::string(argv[1]) + ".tmp";
  std::FILE* out = std::fopen(temporary.c_str(), "wb");
  bool written = out != nullptr;
  if (written) {
    written = std::fwrite(source.data(), 1, source.size(), out) == source.size();
    written = std::fclose(out) == 0 && written;
  }
  if (!written || std::rename(temporary.c_str(), argv[1]) != 0) {
    const int saved = errno;
    std::fprintf(stderr, "make_sandbox_filter: %s: %s\n", argv[1], std::strerror(saved));
    return 1;
  }
  return 0;
}
