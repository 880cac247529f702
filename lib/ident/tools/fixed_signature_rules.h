#pragma once

// What the host's table of fixed signatures holds, read from libmagic's
// text form of the commonest formats' definitions (trueext-common.magic),
// and the C++ source of that table. Used at build time by
// make_fixed_signatures, and by the tests.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "magic/fixed_signatures.h"

namespace ident {

struct RuleTest {
  FixedTest::Kind kind = FixedTest::Kind::kBytes;
  std::size_t offset = 0;
  std::string bytes;  // for kBytes
  std::uint32_t value = 0;
  bool operator==(const RuleTest&) const = default;
};

struct RuleBranch {
  std::string mime;
  std::vector<RuleTest> tests;
  bool operator==(const RuleBranch&) const = default;
};

struct RuleDefinition {
  RuleTest first;
  // Empty where a test the host cannot run, or a path without a type,
  // leaves the definition's files to libmagic.
  std::vector<RuleBranch> branches;
  bool operator==(const RuleDefinition&) const = default;
};

// The definitions of |magic| in its order; std::nullopt with |err| filled
// when a line cannot be read or a definition does not start with a string.
std::optional<std::vector<RuleDefinition>> readFixedRules(std::string_view magic,
                                                          std::string* err);

// C++ source defining kDefinitions, a FixedDefinition array, and the arrays
// it refers to, for inclusion where FixedTest, FixedBranch,
// FixedDefinition and Kind (FixedTest::Kind) are in scope.
std::string fixedRulesSource(const std::vector<RuleDefinition>& definitions);

// Both in one: the source for |magic|, or std::nullopt with |err| filled.
std::optional<std::string> fixedSignatureTable(std::string_view magic, std::string* err);

}  // namespace ident
