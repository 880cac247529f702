#include "signatures/extension_spellings.h"

#include <array>

namespace signatures {
namespace {

using namespace std::string_view_literals;

// Spellings that name one type, in lower case; each row is one type. Only
// true variants of a name belong here, never related formats (exe and dll,
// ps and eps stay apart). The built-in rows' "ELF" is appended as
// "Linux_ELF", and the identification library writes the first spelling of
// each of its rows.
constexpr std::array<std::array<std::string_view, 4>, 15> kEquivalentSpellings = {{
    {"jpg"sv, "jpeg"sv, "jpe"sv, "jfif"sv},
    {"tif"sv, "tiff"sv},
    {"html"sv, "htm"sv},
    {"yaml"sv, "yml"sv},
    {"js"sv, "mjs"sv},
    {"bat"sv, "cmd"sv},
    {"gz"sv, "tgz"sv},
    {"elf"sv, "linux_elf"sv},
    {"mp3"sv, "mpga"sv},
    {"mpg"sv, "mpeg"sv},
    {"mid"sv, "midi"sv},
    {"aif"sv, "aiff"sv},
    {"cpp"sv, "cc"sv, "cxx"sv},
    {"md"sv, "markdown"sv},
    {"sqlite"sv, "sqlite3"sv},
}};

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (lower(a[i]) != lower(b[i])) {
      return false;
    }
  }
  return true;
}

// True when |name| ends in "." + |extension|, letter case aside.
bool endsWithExtension(std::string_view name, std::string_view extension) {
  return !extension.empty() && name.size() > extension.size() &&
         name[name.size() - extension.size() - 1] == '.' &&
         equalIgnoringCase(name.substr(name.size() - extension.size()), extension);
}

}  // namespace

bool carriesExtension(std::string_view name, std::string_view extension) {
  if (extension.empty()) {
    return false;
  }
  if (endsWithExtension(name, extension)) {
    return true;
  }
  for (const auto& row : kEquivalentSpellings) {
    bool in_row = false;
    for (const std::string_view spelling : row) {
      in_row = in_row || equalIgnoringCase(spelling, extension);
    }
    if (!in_row) {
      continue;
    }
    for (const std::string_view spelling : row) {
      if (endsWithExtension(name, spelling)) {
        return true;
      }
    }
  }
  return false;
}

}  // namespace signatures
