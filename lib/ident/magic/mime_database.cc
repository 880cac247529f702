#include "mime_database.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <memory>

#include "io/file_source.h"

namespace ident {

namespace {

// Largest file read whole: the shared MIME database's globs2 is about 40 KiB
// on Debian, the definitions pack 20 KiB.
constexpr std::uint64_t kMaxTextFile = 16 << 20;

// Calls |fn| with each line of |text| that is neither empty nor a comment.
template <typename Fn>
void forEachLine(std::string_view text, Fn fn) {
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') {
      line.remove_suffix(1);
    }
    if (!line.empty() && line.front() != '#') {
      fn(line);
    }
  }
}

// An extension worth proposing: letters, digits and a few joiners, so that
// patterns like "*.so.[0-9]*" or "*,v" are left out.
bool isPlainExtension(std::string_view ext) {
  if (ext.empty() || ext.size() > 16) {
    return false;
  }
  for (const char c : ext) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                    c == '+' || c == '-' || c == '_';
    if (!ok) {
      return false;
    }
  }
  return true;
}

const std::vector<MimeDatabase::Glob> kNoGlobs;
const std::vector<std::string> kNoParents;

}  // namespace

void MimeDatabase::parseGlobs2(std::string_view text) {
  // Each line: weight:mime/type:pattern[:flags[:...]]
  forEachLine(text, [this](std::string_view line) {
    const std::size_t first = line.find(':');
    const std::size_t second = line.find(':', first == std::string_view::npos ? first : first + 1);
    if (first == std::string_view::npos || second == std::string_view::npos) {
      return;
    }
    std::string_view pattern = line.substr(second + 1);
    pattern = pattern.substr(0, pattern.find(':'));
    if (pattern.substr(0, 2) != "*." || !isPlainExtension(pattern.substr(2))) {
      return;
    }
    int weight = 0;
    for (const char c : line.substr(0, first)) {
      if (c < '0' || c > '9' || weight > 1000) {
        return;
      }
      weight = weight * 10 + (c - '0');
    }
    const std::string mime(line.substr(first + 1, second - first - 1));
    std::vector<Glob>& globs = globs_[mime];
    const std::string ext(pattern.substr(2));
    for (const Glob& glob : globs) {
      if (glob.extension == ext) {
        return;  // a case-sensitive twin of a pattern already seen
      }
    }
    globs.push_back({weight, ext});
  });
}

void MimeDatabase::parseAliases(std::string_view text) {
  forEachLine(text, [this](std::string_view line) {
    const std::size_t space = line.find(' ');
    if (space != std::string_view::npos) {
      aliases_[std::string(line.substr(0, space))] = std::string(line.substr(space + 1));
    }
  });
}

void MimeDatabase::parseSubclasses(std::string_view text) {
  forEachLine(text, [this](std::string_view line) {
    const std::size_t space = line.find(' ');
    if (space != std::string_view::npos) {
      parents_[std::string(line.substr(0, space))].emplace_back(line.substr(space + 1));
    }
  });
}

bool MimeDatabase::load(const std::string& directory, std::string* err) {
  std::string text;
  if (!readTextFile(directory + "/globs2", &text, err)) {
    return false;
  }
  parseGlobs2(text);
  std::string ignored;
  if (readTextFile(directory + "/aliases", &text, &ignored)) {
    parseAliases(text);
  }
  if (readTextFile(directory + "/subclasses", &text, &ignored)) {
    parseSubclasses(text);
  }
  return true;
}

const std::vector<MimeDatabase::Glob>& MimeDatabase::globsFor(std::string_view mime) const {
  const auto it = globs_.find(std::string(mime));
  return it == globs_.end() ? kNoGlobs : it->second;
}

std::vector<std::string> MimeDatabase::typesListing(std::string_view extension) const {
  std::vector<std::string> types;
  for (const auto& [mime, globs] : globs_) {
    for (const Glob& glob : globs) {
      if (matchesPattern(extension, glob.extension)) {
        types.push_back(mime);
        break;
      }
    }
  }
  return types;
}

std::string MimeDatabase::canonical(std::string_view mime) const {
  const auto it = aliases_.find(std::string(mime));
  return it == aliases_.end() ? std::string(mime) : it->second;
}

const std::vector<std::string>& MimeDatabase::parentsOf(std::string_view mime) const {
  const auto it = parents_.find(std::string(mime));
  return it == parents_.end() ? kNoParents : it->second;
}

bool matchesPattern(std::string_view extension, std::string_view pattern) {
  if (extension.size() != pattern.size()) {
    return false;
  }
  const bool exact = std::any_of(pattern.begin(), pattern.end(),
                                 [](char c) { return c >= 'A' && c <= 'Z'; });
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char a = extension[i];
    const char b = pattern[i];
    if (exact ? a != b
              : std::tolower(static_cast<unsigned char>(a)) !=
                    std::tolower(static_cast<unsigned char>(b))) {
      return false;
    }
  }
  return true;
}

bool readTextFile(const std::string& path, std::string* out, std::string* err) {
  // Read with plain calls: a stream's locale set-up costs more than the
  // reading.
  const std::unique_ptr<ByteSource> source = openRegularFile(path, err, FinalLink::kFollow);
  if (source == nullptr) {
    return false;
  }
  if (source->size() > kMaxTextFile) {
    *err = path + ": larger than " + std::to_string(kMaxTextFile) + " bytes";
    return false;
  }
  if (!source->readAt(0, static_cast<std::size_t>(source->size()), out)) {
    const int saved = errno;
    *err = "read(" + path + "): " + std::strerror(saved);
    return false;
  }
  return true;
}

}  // namespace ident
