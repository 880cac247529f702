#include "extension_map.h"

#include <algorithm>
#include <array>
#include <tuple>
#include <utility>

namespace ident {

namespace {

using namespace std::string_view_literals;

// Types libmagic reports that the shared MIME database does not know, or
// for which its several patterns would pick an unusual one. An empty
// extension means "conventionally none" and stops the search (executables).
constexpr std::array kMimeTable{
    std::pair{"application/gzip"sv, "gz"sv},
    std::pair{"application/java-archive"sv, "jar"sv},
    std::pair{"application/javascript"sv, "js"sv},
    std::pair{"application/json"sv, "json"sv},
    std::pair{"application/postscript"sv, "ps"sv},
    std::pair{"application/vnd.microsoft.portable-executable"sv, "exe"sv},
    std::pair{"application/vnd.ms-opentype"sv, "otf"sv},
    std::pair{"application/vnd.sqlite3"sv, "sqlite"sv},
    std::pair{"application/x-archive"sv, "a"sv},
    std::pair{"application/x-bytecode.python"sv, "pyc"sv},
    std::pair{"application/x-coredump"sv, "core"sv},
    std::pair{"application/x-executable"sv, ""sv},
    std::pair{"application/x-dosexec"sv, "exe"sv},
    std::pair{"application/x-font-ttf"sv, "ttf"sv},
    std::pair{"application/x-java-applet"sv, "class"sv},
    std::pair{"application/x-java-jmod"sv, "jmod"sv},
    std::pair{"application/x-object"sv, "o"sv},
    std::pair{"application/x-pie-executable"sv, ""sv},
    std::pair{"application/x-sharedlib"sv, "so"sv},
    std::pair{"application/x-shellscript"sv, "sh"sv},
    std::pair{"application/x-tar"sv, "tar"sv},
    std::pair{"application/xml"sv, "xml"sv},
    std::pair{"audio/flac"sv, "flac"sv},
    std::pair{"audio/mpeg"sv, "mp3"sv},
    std::pair{"audio/ogg"sv, "ogg"sv},
    std::pair{"audio/x-flac"sv, "flac"sv},
    std::pair{"audio/x-wav"sv, "wav"sv},
    std::pair{"font/sfnt"sv, "ttf"sv},
    std::pair{"font/x-postscript-pfa"sv, "pfa"sv},
    std::pair{"font/x-postscript-pfb"sv, "pfb"sv},
    std::pair{"image/jpeg"sv, "jpg"sv},
    std::pair{"image/svg+xml"sv, "svg"sv},
    std::pair{"image/tiff"sv, "tif"sv},
    std::pair{"image/vnd.microsoft.icon"sv, "ico"sv},
    std::pair{"text/html"sv, "html"sv},
    std::pair{"text/javascript"sv, "js"sv},
    std::pair{"text/markdown"sv, "md"sv},
    std::pair{"text/plain"sv, "txt"sv},
    std::pair{"text/x-awk"sv, "awk"sv},
    std::pair{"text/x-c"sv, "c"sv},
    std::pair{"text/x-c++"sv, "cpp"sv},
    std::pair{"text/x-java"sv, "java"sv},
    std::pair{"text/x-lua"sv, "lua"sv},
    std::pair{"text/x-m4"sv, "m4"sv},
    std::pair{"text/x-perl"sv, "pl"sv},
    std::pair{"text/x-php"sv, "php"sv},
    std::pair{"text/x-ruby"sv, "rb"sv},
    std::pair{"text/x-script.python"sv, "py"sv},
    std::pair{"text/x-shellscript"sv, "sh"sv},
    std::pair{"text/x-tcl"sv, "tcl"sv},
    std::pair{"text/x-tex"sv, "tex"sv},
    std::pair{"text/xml"sv, "xml"sv},
    std::pair{"video/mp4"sv, "mp4"sv},
    std::pair{"video/ogg"sv, "ogv"sv},
};

// Extensions spelled several ways; the left one becomes the right one.
constexpr std::array kSpellings{
    std::pair{"htm"sv, "html"sv},  std::pair{"jfif"sv, "jpg"sv}, std::pair{"jpe"sv, "jpg"sv},
    std::pair{"jpeg"sv, "jpg"sv},  std::pair{"mpga"sv, "mp3"sv}, std::pair{"tiff"sv, "tif"sv},
    std::pair{"yml"sv, "yaml"sv},
};

// Deep enough for text/x-foo -> text/x-bar -> text/plain chains.
constexpr int kMaxParentDepth = 4;

std::string_view trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) {
    return {};
  }
  const std::size_t last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

std::string lowerCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    }
  }
  return out;
}

}  // namespace

std::string conventionalExtension(std::string_view ext) {
  std::string lower = lowerCase(ext);
  for (const auto& [from, to] : kSpellings) {
    if (lower == from) {
      return std::string(to);
    }
  }
  return lower;
}

std::string preferredGlob(std::string_view mime, const std::vector<MimeDatabase::Glob>& globs) {
  std::string_view subtype = mime.substr(mime.find('/') + 1);
  if (subtype.substr(0, 2) == "x-") {
    subtype.remove_prefix(2);
  }
  // Smaller ranks are better; see the header for the order.
  const auto rank = [subtype](const MimeDatabase::Glob& glob) {
    const std::string ext = lowerCase(glob.extension);
    const bool plain = ext.find_first_of("+-_") == std::string::npos;
    // One-letter patterns are mostly case variants ("*.C" of C++).
    return std::tuple(-glob.weight, ext != subtype, !plain, ext.size() < 2, ext.size(), ext);
  };
  const auto best = std::min_element(
      globs.begin(), globs.end(),
      [&rank](const auto& a, const auto& b) { return rank(a) < rank(b); });
  return best == globs.end() ? "" : conventionalExtension(best->extension);
}

void ExtensionMap::addPackExtensions(std::string_view pack) {
  std::string mime;
  std::string ext;
  const auto flush = [&] {
    if (!mime.empty() && !ext.empty()) {
      pack_.emplace(mime, ext);  // the first entry naming a type wins
    }
    mime.clear();
    ext.clear();
  };
  while (!pack.empty()) {
    const std::size_t end = pack.find('\n');
    const std::string_view line = trimmed(pack.substr(0, end));
    pack = end == std::string_view::npos ? std::string_view() : pack.substr(end + 1);
    if (line.empty() || line.front() == '#') {
      continue;
    }
    if (line.substr(0, 6) == "!:mime") {
      mime = lowerCase(trimmed(line.substr(6)));
    } else if (line.substr(0, 5) == "!:ext") {
      const std::string_view list = trimmed(line.substr(5));
      ext = conventionalExtension(list.substr(0, list.find('/')));
    } else if (line.front() != '!') {
      flush();  // a test line: the annotations seen so far belong to the last entry
    }
  }
  flush();
}

std::string ExtensionMap::extensionFor(std::string_view mime) const {
  return lookup(lowerCase(trimmed(mime.substr(0, mime.find(';')))), 0);
}

std::string ExtensionMap::lookup(const std::string& mime, int depth) const {
  if (mime.empty() || mime == "application/octet-stream" || depth > kMaxParentDepth) {
    return "";
  }
  if (const auto it = pack_.find(mime); it != pack_.end()) {
    return it->second;
  }
  for (const auto& [type, ext] : kMimeTable) {
    if (mime == type) {
      return std::string(ext);
    }
  }
  const std::string canonical = database_.canonical(mime);
  if (canonical != mime) {
    return lookup(canonical, depth + 1);
  }
  if (std::string ext = preferredGlob(mime, database_.globsFor(mime)); !ext.empty()) {
    return ext;
  }
  for (const std::string& parent : database_.parentsOf(mime)) {
    if (std::string ext = lookup(parent, depth + 1); !ext.empty()) {
      return ext;
    }
  }
  return "";
}

}  // namespace ident
