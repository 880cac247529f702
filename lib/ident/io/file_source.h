#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "byte_source.h"
#include "scoped_fd.h"

namespace ident {

// Whether a symbolic link as the last part of a path is followed: not for
// the files analysed, which could be a link put in place of one; yes for
// the databases the library loads, which are commonly reached through one.
enum class FinalLink { kRefuse, kFollow };

// Opens |path| for reading only, without blocking on a FIFO or device, and
// keeps it only when it is a regular file. Returns nullptr and fills |err|
// otherwise ("open(x): ...", "x: not a regular file"). The file is never
// written.
std::unique_ptr<ByteSource> openRegularFile(const std::string& path, std::string* err,
                                            FinalLink link = FinalLink::kRefuse);

// Opens |path| as openRegularFile does, but gives the descriptor, to hand
// to another process, and the file's size in |size|. An invalid one with
// |err| filled on failure.
ScopedFd openRegularFileDescriptor(const std::string& path, std::uint64_t* size,
                                   std::string* err);

// A source reading |fd|, a regular file of |size| bytes open for reading,
// as openRegularFileDescriptor gives them.
std::unique_ptr<ByteSource> fileSource(ScopedFd fd, std::uint64_t size);

}  // namespace ident
