#include "fixed_signatures.h"

#include <algorithm>

#include "io/byte_order.h"

namespace ident {

namespace {

using namespace std::string_view_literals;
using Kind = FixedTest::Kind;

// kDefinitions: every definition of trueext-common.magic, made from it at
// build time (make_fixed_signatures).
#include "fixed_signature_table.inc"

constexpr std::size_t end(const FixedTest& test) {
  return test.offset + (test.kind == Kind::kBytes ? test.bytes.size()
                        : test.kind == Kind::kLittle32 || test.kind == Kind::kBig32 ? 4
                                                                                    : 1);
}

constexpr bool withinSignatureBytes() {
  for (const FixedDefinition& definition : kDefinitions) {
    if (end(definition.first) > kFixedSignatureBytes) {
      return false;
    }
    for (const FixedBranch& branch : definition.branches) {
      for (const FixedTest& test : branch.tests) {
        if (end(test) > kFixedSignatureBytes) {
          return false;
        }
      }
    }
  }
  return true;
}
static_assert(withinSignatureBytes(), "a test reads beyond the bytes the host reads");

}  // namespace

bool FixedTest::holds(std::string_view head) const {
  const std::size_t last = end(*this);
  if (last > head.size()) {
    return false;
  }
  const std::string_view at = head.substr(offset, last - offset);
  switch (kind) {
    case Kind::kBytes:
      return at == bytes;
    case Kind::kLittle32:
      return static_cast<std::uint32_t>(decodeNumber(at, 0, 4, false)) == value;
    case Kind::kBig32:
      return static_cast<std::uint32_t>(decodeNumber(at, 0, 4, true)) == value;
    case Kind::kByteAbove:
      return static_cast<unsigned char>(at[0]) > value;
    case Kind::kByteBelow:
      return static_cast<unsigned char>(at[0]) < value;
  }
  return false;
}

std::span<const FixedDefinition> fixedDefinitions() { return kDefinitions; }

std::optional<std::string_view> fixedSignatureType(std::string_view head) {
  const FixedDefinition* taken = nullptr;
  for (const FixedDefinition& definition : kDefinitions) {
    if (definition.first.holds(head)) {
      if (taken != nullptr) {
        return std::nullopt;
      }
      taken = &definition;
    }
  }
  if (taken == nullptr) {
    return std::nullopt;
  }
  for (const FixedBranch& branch : taken->branches) {
    if (std::all_of(branch.tests.begin(), branch.tests.end(),
                    [head](const FixedTest& test) { return test.holds(head); })) {
      return branch.mime;
    }
  }
  return std::nullopt;
}

}  // namespace ident
