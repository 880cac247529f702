#pragma once

#include <cstddef>
#include <memory>
#include <string>

struct magic_set;

namespace ident {

// libmagic's entry points, from the library loaded at run time when a
// database is first needed: a run that tells all its files from their
// first bytes never loads libmagic (nor the compression libraries it
// brings), which costs a run more than a hundred small files.
struct LibMagic {
  magic_set* (*open)(int flags);
  void (*close)(magic_set* cookie);
  int (*load)(magic_set* cookie, const char* paths);
  const char* (*buffer)(magic_set* cookie, const void* bytes, std::size_t size);
  int (*setflags)(magic_set* cookie, int flags);
  const char* (*error)(magic_set* cookie);
  const char* (*getpath)(const char* paths, int action);
};

// The loaded library, shared by its users and unloaded after the last;
// nullptr with |err| filled when it cannot be loaded or lacks an entry.
std::shared_ptr<const LibMagic> libMagic(std::string* err);

// The system's database list as libmagic resolves it by default, for a
// process without MAGIC in its environment and without a database in its
// home folder; recorded when the library was built.
extern const char kBuiltMagicPath[];

}  // namespace ident
