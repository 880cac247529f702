#include "text/plain_text.h"

#include <algorithm>
#include <cstddef>
#include <string_view>

namespace ident {
namespace {

// Bytes scanned to decide whether a file is text.
constexpr std::size_t kTextProbeBytes = 64 << 10;

// Bytes of text per stray control byte that text may hold: four a
// kilobyte.
constexpr std::size_t kBytesPerStrayControl = 256;

// True when |text| is well-formed UTF-8, allowing a sequence cut off at its
// end (a probe ends anywhere).
bool isUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 1;
    unsigned char low = 0x80;
    unsigned char high = 0xbf;
    if (lead < 0x80) {
      ++i;
      continue;
    }
    if (lead >= 0xc2 && lead <= 0xdf) {
      length = 2;
    } else if (lead >= 0xe0 && lead <= 0xef) {
      length = 3;
      low = lead == 0xe0 ? 0xa0 : 0x80;  // no overlong forms
      high = lead == 0xed ? 0x9f : 0xbf;  // no surrogates
    } else if (lead >= 0xf0 && lead <= 0xf4) {
      length = 4;
      low = lead == 0xf0 ? 0x90 : 0x80;
      high = lead == 0xf4 ? 0x8f : 0xbf;
    } else {
      return false;
    }
    for (std::size_t k = 1; k < length; ++k) {
      if (i + k == text.size()) {
        return true;
      }
      const auto byte = static_cast<unsigned char>(text[i + k]);
      if (byte < (k == 1 ? low : 0x80) || byte > (k == 1 ? high : 0xbf)) {
        return false;
      }
    }
    i += length;
  }
  return true;
}

}  // namespace

bool looksLikeText(std::string_view head) {
  const std::string_view probe = head.substr(0, kTextProbeBytes);
  std::size_t stray = 0;
  for (const char c : probe) {
    const auto byte = static_cast<unsigned char>(c);
    // Tab, newline, vertical tab, form feed, carriage return, escape,
    // backspace and bell occur in text; NUL never does.
    if (byte == 0) {
      return false;
    }
    const bool stray_control = byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\v' &&
                               byte != '\f' && byte != '\r' && byte != 0x1b && byte != '\b' &&
                               byte != '\a';
    if (stray_control && ++stray * kBytesPerStrayControl > probe.size()) {
      return false;
    }
  }
  // Other control bytes turn up in text only as strays: a key written
  // literally in a help file (^S, ^V), a character pasted from a terminal.
  // Binary data holds them all through (one byte in eight of random data,
  // a separator per field of a record format), so a few per kilobyte of
  // otherwise clean text still make text, and only when the rest reads as
  // UTF-8 or as 8-bit text without the C1 controls.
  return stray == 0 || isUtf8(probe) || std::none_of(probe.begin(), probe.end(), [](char c) {
           const auto byte = static_cast<unsigned char>(c);
           return byte >= 0x80 && byte < 0xa0;
         });
}

std::optional<std::string> utf16AsUtf8(std::string_view head) {
  const bool big_endian = head.starts_with("\xfe\xff");
  if (!big_endian && !head.starts_with("\xff\xfe")) {
    return std::nullopt;
  }
  const auto unit = [&](std::size_t at) {
    const auto first = static_cast<unsigned char>(head[at]);
    const auto second = static_cast<unsigned char>(head[at + 1]);
    return static_cast<char32_t>(big_endian ? (first << 8) | second : (second << 8) | first);
  };
  std::string out;
  out.reserve(head.size());
  for (std::size_t at = 2; at + 1 < head.size(); at += 2) {
    char32_t c = unit(at);
    if (c >= 0xd800 && c <= 0xdbff) {
      if (at + 3 >= head.size()) {
        break;  // the pair's second half lies past the head
      }
      const char32_t low = unit(at + 2);
      if (low >= 0xdc00 && low <= 0xdfff) {
        c = 0x10000 + ((c - 0xd800) << 10) + (low - 0xdc00);
        at += 2;
      } else {
        c = 0xfffd;
      }
    } else if (c >= 0xdc00 && c <= 0xdfff) {
      c = 0xfffd;
    }
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xc0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3f)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xe0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3f)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3f)));
    } else {
      out.push_back(static_cast<char>(0xf0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3f)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3f)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3f)));
    }
  }
  return out;
}

}  // namespace ident
