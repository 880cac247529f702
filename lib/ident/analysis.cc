#include "analysis.h"

#include <algorithm>
#include <cstdint>

namespace ident {

namespace {

void putU16(std::string* out, std::size_t value) {
  out->push_back(static_cast<char>(value & 0xff));
  out->push_back(static_cast<char>((value >> 8) & 0xff));
}

// Reads a little-endian 16-bit number at |*pos|, advancing it.
bool getU16(std::string_view bytes, std::size_t* pos, std::size_t* value) {
  if (bytes.size() - *pos < 2) {
    return false;
  }
  *value = static_cast<unsigned char>(bytes[*pos]) |
           (static_cast<std::size_t>(static_cast<unsigned char>(bytes[*pos + 1])) << 8);
  *pos += 2;
  return true;
}

void putText(std::string* out, std::string_view text) {
  text = truncateUtf8(text, kMaxTextBytes);
  putU16(out, text.size());
  out->append(text);
}

bool getText(std::string_view bytes, std::size_t* pos, std::string* text) {
  std::size_t size = 0;
  if (!getU16(bytes, pos, &size) || size > kMaxTextBytes || bytes.size() - *pos < size) {
    return false;
  }
  text->assign(bytes.substr(*pos, size));
  *pos += size;
  return true;
}

}  // namespace

std::string_view truncateUtf8(std::string_view text, std::size_t max_bytes) {
  if (text.size() <= max_bytes) {
    return text;
  }
  std::size_t cut = max_bytes;
  // A continuation byte (10xxxxxx) at the cut means a sequence straddles it;
  // step back over at most three of them to the sequence's lead byte.
  for (int steps = 0; steps < 3 && cut > 0; ++steps) {
    if ((static_cast<unsigned char>(text[cut]) & 0xc0) != 0x80) {
      break;
    }
    --cut;
  }
  if ((static_cast<unsigned char>(text[cut]) & 0xc0) == 0x80) {
    cut = max_bytes;  // not UTF-8 at all: a byte cut is as good as any
  }
  return text.substr(0, cut);
}

std::string singleLine(std::string_view text) {
  std::string line(text);
  for (char& c : line) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7f) {
      c = ' ';
    }
  }
  const std::size_t first = line.find_first_not_of(' ');
  if (first == std::string::npos) {
    return "";
  }
  const std::size_t last = line.find_last_not_of(' ');
  return line.substr(first, last - first + 1);
}

std::string encodeAnalysis(const Analysis& analysis) {
  std::string out;
  const std::size_t count = std::min(analysis.results.size(), kMaxResults);
  putU16(&out, count);
  for (std::size_t i = 0; i < count; ++i) {
    putText(&out, analysis.results[i].extension);
    putText(&out, analysis.results[i].description);
    out.push_back(analysis.results[i].describe_later ? '\1' : '\0');
  }
  return out;
}

std::optional<Analysis> decodeAnalysis(std::string_view bytes) {
  std::size_t pos = 0;
  std::size_t count = 0;
  if (!getU16(bytes, &pos, &count) || count > kMaxResults) {
    return std::nullopt;
  }
  Analysis analysis;
  analysis.results.resize(count);
  for (Result& result : analysis.results) {
    if (!getText(bytes, &pos, &result.extension) || !getText(bytes, &pos, &result.description) ||
        pos == bytes.size() || static_cast<unsigned char>(bytes[pos]) > 1) {
      return std::nullopt;
    }
    result.describe_later = bytes[pos++] == '\1';
  }
  if (pos != bytes.size()) {
    return std::nullopt;
  }
  return analysis;
}

}  // namespace ident
