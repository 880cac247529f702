#pragma once

// The definitions of text kinds (text/kinds/*.kind), read and turned into
// the C++ tables behind text/kinds.h. Used at build time by make_text_kinds,
// and by the tests.
//
// A definition is a file of lines; blank lines and lines that start with
// "#" are comments. Each other line is a field:
//
//   kind         Cpp                 the name in code (Kind::kCpp); the file
//                                    is its name in lower case + ".kind"
//   extension    cpp                 required
//   description  C++ source          required, the rest of the line
//   specificity  148                 breaks ties between languages' scores:
//                                    the higher wins; required with rules,
//                                    and no two kinds with rules share one
//   parent       C 3                 inherits C's score from an own score of 3
//   interpreters python pypy         programs of "#!" lines
//   editor-modes fortran=f f90       Emacs modes and Vim file types; "=ext"
//                                    gives a name an extension of its own
//   pattern 3 prefix "std::" [prose] a pattern rule: weight, how it matches
//                                    (prefix, prefix-word, prefix-nocase,
//                                    equals, equals-nocase, suffix, contains,
//                                    contains-word, contains-nocase,
//                                    contains-type, column-zero), the pattern
//                                    as a C string
//   grammar 3 QualifiedName [prose] [heading]
//                                    a grammar rule, code in text/languages/
//                                    that counts into grammar::kCppQualifiedName
//
// Every mistake (a missing or repeated field, an unknown word, a parent or
// name that does not exist, a name or a specificity two kinds claim) is an
// error naming the file and line, and fails the build.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ident::tools {

struct KindFile {
  std::string path;  // for messages, and its base name for the kind's name
  std::string text;
};

struct PatternDefinition {
  int weight = 0;
  std::string match;    // the enumerator: "kPrefix"
  std::string pattern;  // decoded
  bool prose = false;
};

struct GrammarDefinition {
  int weight = 0;
  std::string name;
  bool prose = false;
  bool heading = false;
};

struct NameDefinition {
  std::string name;
  std::string extension;  // "" for the kind's own
};

struct KindDefinition {
  std::string name;
  std::string extension;
  std::string description;
  int specificity = 0;
  std::string parent;  // "" for none
  int parent_min_own = 0;
  std::vector<NameDefinition> interpreters;
  std::vector<NameDefinition> editor_modes;
  std::vector<PatternDefinition> patterns;
  std::vector<GrammarDefinition> grammar;
};

// The kinds of |files|, ordered by name; std::nullopt with |err| filled
// ("path:line: what") at the first mistake.
std::optional<std::vector<KindDefinition>> readKindDefinitions(std::vector<KindFile> files,
                                                               std::string* err);

// The generated header (enum Kind, kKindCount, kGrammarSlots, the
// grammar::k* rule names) and the source defining text/kinds.h's tables.
std::string kindHeader(const std::vector<KindDefinition>& kinds);
std::string kindSource(const std::vector<KindDefinition>& kinds);

}  // namespace ident::tools
