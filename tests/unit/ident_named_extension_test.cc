#include "magic/named_extension.h"

#include <gtest/gtest.h>

#include <string>

#include "magic/mime_database.h"

namespace ident {
namespace {

// A few types as the shared MIME database lists them, with its
// case-sensitive "*.C" for C++ and HTML's patterns shared with XHTML.
constexpr std::string_view kGlobs2 =
    "50:image/jpeg:*.jpg\n"
    "50:image/jpeg:*.jpeg\n"
    "50:image/jpeg:*.jfif\n"
    "50:image/png:*.png\n"
    "50:application/pdf:*.pdf\n"
    "50:text/x-python:*.py\n"
    "60:text/x-python:*.pyx\n"
    "50:text/x-csrc:*.c:cs\n"
    "50:text/x-csrc:*.c\n"
    "50:text/x-csrc:*.h\n"
    "50:text/x-c++src:*.cpp\n"
    "50:text/x-c++src:*.cc\n"
    "50:text/x-c++src:*.C:cs\n"
    "50:text/x-c++src:*.C\n";

TEST(NamedExtensionTest, ReportsTheNamesOwnSpellingOfTheType) {
  MimeDatabase database;
  database.parseGlobs2(kGlobs2);
  static const struct {
    std::string_view path, extension, want;
  } kCases[] = {
      {"/d/photo.JFIF", "jpg", "JFIF"},
      {"/d/photo.jpeg", "jpg", "jpeg"},
      {"/d/photo.jpg", "jpg", "jpg"},
      {"/d/module.pyx", "py", "pyx"},
      {"/d/a.b.Jpeg", "jpg", "Jpeg"},
      // Not listed for the identified type: the engine's extension.
      {"/d/photo", "jpg", "jpg"},
      {"/d/e.png", "pdf", "pdf"},
      {"/d/photo.png", "jpg", "jpg"},
      {"/d/photo.", "jpg", "jpg"},
      {"/d/xjpeg", "jpg", "jpg"},
      {"/d.jfif/photo", "jpg", "jpg"},  // only the file's own name counts
      {"/d/notes.txt", "txt", "txt"},   // a type the database lacks
      {"/d/x.pdf", "", ""},             // no extension stays none
      // "*.C" is C++ only in capitals; "cc" is C++'s, not C's.
      {"/d/x.C", "cpp", "C"},
      {"/d/x.c", "cpp", "cpp"},
      {"/d/x.cc", "c", "c"},
      {"/d/x.H", "c", "H"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.path) + " " + std::string(c.extension));
    EXPECT_EQ(extensionAsNamed(database, c.path, c.extension), c.want);
  }
}

}  // namespace
}  // namespace ident
