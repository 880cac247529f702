// The definitions libmagic loads, each from its text or from the build's
// compiled form where that can stand in for it, and how they are opened:
// the loader behind Engine::load() and Engine::prepare().
#pragma once

#include <cstdint>
#include <string>

#include "magic/magic_cookie.h"

namespace ident {

// What a compiled libmagic database's header tells, read as libmagic reads
// the file (the system's database is commonly reached through a link).
struct CompiledDatabase {
  // Its first bytes, its magic number and format version; empty when the
  // file cannot be read.
  std::string version;
  // The size of one entry, when the file passes the checks libmagic makes
  // when it maps one: its own magic number (not byte-swapped: libmagic then
  // decides), entry counts in its two sets that, with the header's entry,
  // fill the file exactly, and at least one entry. 0 otherwise.
  std::uint64_t entry_size = 0;
};

// Reads the header of the compiled database at |path|.
CompiledDatabase readCompiled(const std::string& path);

// The definitions libmagic should load for |text|: its compiled form
// |compiled| when that can stand in for it, else the text. The compiled form
// must be at least as new as the text (an edited text wins over a stale
// build) and of the same format version as the system database |system|,
// which the installed libmagic reads: a libmagic of another version rejects
// it. |deferrable| tells that it is the compiled form and passes libmagic's
// checks with entries of the system database's size: libmagic will take it,
// so loading it can wait until a file needs it.
struct Definitions {
  std::string path;
  bool deferrable = false;
};

Definitions chooseDefinitions(const std::string& text, const std::string& compiled,
                              const CompiledDatabase& system);

// Opens |magic| on the pack, |compiled| or else |text|, and the system's
// databases |system|. The pack alone first: libmagic accepts a list in which
// one file has no valid entry at all, but such a pack is a broken
// installation. A compiled pack that libmagic refuses leaves the text to try.
bool openPackAndSystem(MagicCookie* magic, const std::string& compiled, const std::string& text,
                       const std::string& system, std::string* err);

// Opens |common| on the commonest formats' definitions, |compiled| or else
// |text|; false when libmagic takes neither.
bool openCommon(MagicCookie* common, const std::string& compiled, const std::string& text);

}  // namespace ident
