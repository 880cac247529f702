#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ident {

// The confinement of the analysis worker. A worker analyses files that may
// have been made to exploit a parser; once confined it can read the files
// whose descriptors it is handed, answer on its socket, manage its memory
// and leave. Any other system call (opening, writing, creating, renaming or
// unlinking a file, exec, fork, a new socket, ptrace, ...) kills it.

// False when TRUEEXT_SANDBOX is "off", the switch for debugging the worker.
bool sandboxRequested();

// How far the worker's address space may grow past its size when it is
// confined: TRUEEXT_ANALYZE_MEMORY (MiB, fractions allowed) when it holds a
// positive number, else 1 GiB.
std::uint64_t analysisMemoryLimit();

// Confines the calling process, which must be single-threaded and hold no
// descriptor but the standard three and |socket|, the only one it may answer
// on, which must be Worker::kChildSocket: the filter names that descriptor. First the resource limits (no core files, no file growth, a few
// descriptors, |memory_bytes| more address space), then no_new_privs and the
// system call filter. False with |err| filled when a step fails; the process
// then runs with whatever steps succeeded, which the caller must announce.
bool confineForAnalysis(int socket, std::uint64_t memory_bytes, std::string* err);

// Says on standard error, once per process, that the analysis runs without
// its sandbox and why.
void warnUnconfined(std::string_view reason);

}  // namespace ident
