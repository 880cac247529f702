#pragma once

#include <memory>
#include <string>

#include "byte_source.h"

namespace ident {

// Opens |path| for reading only, without following a final symbolic link and
// without blocking on a FIFO or device, and keeps it only when it is a
// regular file. Returns nullptr and fills |err| otherwise ("open(x): ...",
// "x: not a regular file"). The file is never written.
std::unique_ptr<ByteSource> openRegularFile(const std::string& path, std::string* err);

}  // namespace ident
