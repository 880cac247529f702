#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace ident {

// The commonest formats' definitions (trueext-common.magic) where they are
// bytes and numbers at fixed offsets near a file's start, so that the host
// can tell such a file from its first bytes without libmagic and without a
// round trip to the worker. Nothing here parses: each test compares bytes
// at an offset below kFixedSignatureBytes.

// One test of a definition.
struct FixedTest {
  enum class Kind : std::uint8_t {
    kBytes,      // |bytes| at |offset|
    kLittle32,   // an unsigned little-endian 32-bit number equal to |value|
    kBig32,      // the same, big-endian
    kByteAbove,  // an unsigned byte greater than |value|
    kByteBelow,  // an unsigned byte less than |value|
  };
  Kind kind;
  std::size_t offset;
  std::string_view bytes = {};
  std::uint32_t value = 0;

  // True when |head| holds the test's bytes and they pass; a head too short
  // for them fails, as it does in libmagic.
  bool holds(std::string_view head) const;
};

// One way a definition names a type: every test holds (none for a
// definition whose first test alone names it).
struct FixedBranch {
  std::string_view mime;
  std::span<const FixedTest> tests;
};

// A definition: its first test, then its branches in the order libmagic
// tries them. A definition without branches is one only libmagic can finish
// (an offset read from the file, say): its first test still counts below.
struct FixedDefinition {
  FixedTest first;
  std::span<const FixedBranch> branches;
};

// Bytes of a file's start that every test lies within.
inline constexpr std::size_t kFixedSignatureBytes = 96;

// Every definition of the commonest formats, in the order of that file.
std::span<const FixedDefinition> fixedDefinitions();

// The MIME type that the commonest formats' definitions give |head| (a
// file's first bytes), when exactly one definition's first test holds and
// one of its branches does. With two first tests holding, which one libmagic
// tries first depends on its ordering by strength, so the answer is left to
// libmagic; so it is when none holds, or no branch does.
std::optional<std::string_view> fixedSignatureType(std::string_view head);

}  // namespace ident
