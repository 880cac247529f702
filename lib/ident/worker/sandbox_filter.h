#pragma once

#include <linux/filter.h>

namespace ident {

// The analysis worker's system call filter, a program for the kernel built
// with the library by make_sandbox_filter: the one for a sanitizer build
// when the library is one. It names the worker's socket as the descriptor
// Worker::kChildSocket.
extern const sock_filter kSandboxFilter[];
extern const unsigned short kSandboxFilterLength;

}  // namespace ident
