#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ident {

// One identification of a file: what it is and the extension it should carry.
struct Result {
  std::string extension;    // lower case, without the dot; empty when none is known
  std::string description;  // a person's text, one line
  // The description was not worked out yet, since it costs a libmagic pass
  // of its own and callers rarely need it when there is an extension; the
  // engine's describe() supplies it on demand.
  bool describe_later = false;
};

// The ranked results of one analysis, most specific first. No results means
// the file was readable but nothing definite could be said about it.
struct Analysis {
  std::vector<Result> results;
};

// At most this many results travel back from an analysis; the rest are the
// weakest matches and are dropped.
inline constexpr std::size_t kMaxResults = 16;

// Longest text handed to the caller, in bytes, without the terminator.
inline constexpr std::size_t kMaxTextBytes = 259;

// Returns |text| cut to at most |max_bytes| bytes without splitting a UTF-8
// sequence: a cut that would fall inside one moves back to its lead byte.
std::string_view truncateUtf8(std::string_view text, std::size_t max_bytes);

// Returns |text| on one line: bytes below 0x20 and DEL become spaces,
// surrounding blanks are dropped.
std::string singleLine(std::string_view text);

// The wire form of an Analysis between the worker process and the library:
// a count, then each result's two texts, each length-prefixed, and its
// describe_later flag. Texts are cut to kMaxTextBytes on encoding.
std::string encodeAnalysis(const Analysis& analysis);

// Reads what encodeAnalysis wrote; std::nullopt when |bytes| is malformed
// (short, too many results, texts out of bounds, or trailing bytes).
std::optional<Analysis> decodeAnalysis(std::string_view bytes);

}  // namespace ident
