#include "magic/extension_map.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "magic/fixed_signatures.h"
#include "magic/mime_database.h"
#include "test_util.h"

namespace ident {
namespace {

// A few lines in the shapes of the real shared-mime-info files.
constexpr const char* kGlobs2 =
    "# generated\n"
    "80:text/html:*.html\n"
    "80:text/html:*.htm\n"
    "50:image/jpeg:*.jpeg\n"
    "50:image/jpeg:*.jpe\n"
    "50:image/jpeg:*.jpg\n"
    "50:video/mp4:*.lrv\n"
    "50:video/mp4:*.mp4\n"
    "50:video/mp4:*.m4v\n"
    "60:text/x-python:*.pyx\n"
    "60:text/x-python:*.py\n"
    "60:text/x-python:*.wsgi\n"
    "50:text/x-c++src:*.C:cs\n"
    "50:text/x-c++src:*.c++\n"
    "50:text/x-c++src:*.cc\n"
    "60:application/x-sharedlib:*.so.[0-9]*\n"
    "50:application/x-sharedlib:*.so\n"
    "50:text/plain:*,v\n"
    "50:text/plain:*.txt\n"
    "50:application/x-foo:*.foo\n"
    "garbage line\n"
    "x:text/broken:*.bad\n";
constexpr const char* kAliases = "application/x-foo-alias application/x-foo\n";
constexpr const char* kSubclasses =
    "text/x-unknown-dialect text/plain\n"
    "application/x-bar application/octet-stream\n";

MimeDatabase sampleDatabase() {
  MimeDatabase database;
  database.parseGlobs2(kGlobs2);
  database.parseAliases(kAliases);
  database.parseSubclasses(kSubclasses);
  return database;
}

TEST(ExtensionMapTest, ConventionalSpellings) {
  static const struct {
    const char* ext;
    const char* want;
  } kCases[] = {{"JPEG", "jpg"}, {"jpe", "jpg"}, {"TIFF", "tif"}, {"htm", "html"},
                {"mpga", "mp3"}, {"yml", "yaml"}, {"PNG", "png"},  {"", ""}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.ext);
    EXPECT_EQ(conventionalExtension(c.ext), c.want);
  }
}

TEST(ExtensionMapTest, PreferredGlobAmongSeveral) {
  const MimeDatabase database = sampleDatabase();
  static const struct {
    const char* mime;
    const char* want;
  } kCases[] = {
      {"image/jpeg", "jpg"},        // shortest, then spelled conventionally
      {"video/mp4", "mp4"},         // the one naming the subtype
      {"text/html", "html"},        // htm is spelled html
      {"text/x-python", "py"},      // the shortest of two letters or more
      {"text/x-c++src", "cc"},      // "*.C" is a case variant, "c++" not plain
      {"application/x-sharedlib", "so"},  // "*.so.[0-9]*" is no extension
      {"text/plain", "txt"},        // "*,v" is no extension either
      {"text/broken", ""},          // its line did not parse
      {"application/x-none", ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.mime);
    EXPECT_EQ(preferredGlob(c.mime, database.globsFor(c.mime)), c.want);
  }
}

TEST(ExtensionMapTest, LookupOrder) {
  ExtensionMap map;
  // The pack's pairs come first; only an entry's own !:mime and !:ext pair.
  map.addPackExtensions(
      "# comment\n"
      "0\tstring\tOggS\tOgg\n"
      ">28\tstring\tOpusHead\tOpus audio\n"
      "!:mime\taudio/x-opus+ogg\n"
      "!:ext\tOPUS/opus\n"
      "0\tstring\tXYZ\tno extension here\n"
      "!:mime\taudio/x-no-ext\n"
      "0\tstring\tJPG\tours\n"
      "!:mime\timage/x-ours\n"
      "!:ext\tjpeg\n");
  map.setMimeDatabase(sampleDatabase());
  static const struct {
    const char* mime;
    const char* want;
  } kCases[] = {
      {"audio/x-opus+ogg", "opus"},          // pack, first of its list, lower case
      {"image/x-ours", "jpg"},               // pack, conventional spelling
      {"audio/x-no-ext", ""},                // a pack entry without !:ext names none
      {"font/sfnt", "ttf"},                  // our table: unknown to the database
      {"text/x-script.python", "py"},        // our table
      {"application/x-pie-executable", ""},  // our table: conventionally none
      {"image/jpeg", "jpg"},                 // our table before the database
      {"video/mp4; codecs=avc1", "mp4"},     // parameters ignored
      {"Video/MP4", "mp4"},                  // case ignored
      {"application/x-foo-alias", "foo"},    // alias resolved
      {"text/x-unknown-dialect", "txt"},     // parent type
      {"application/x-bar", ""},             // octet-stream parent names nothing
      {"application/octet-stream", ""},
      {"", ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.mime);
    EXPECT_EQ(map.extensionFor(c.mime), c.want);
  }
}

// A folder of photos or archives, named from their first bytes in the
// host, must not wait for the shared MIME database to be parsed: every
// type those definitions give has its extension without it.
TEST(ExtensionMapTest, FixedSignatureTypesNeedNoDatabase) {
  const ExtensionMap map;  // no pack, no database
  for (const FixedDefinition& definition : fixedDefinitions()) {
    for (const FixedBranch& branch : definition.branches) {
      EXPECT_FALSE(map.extensionFor(branch.mime).empty()) << branch.mime;
    }
  }
}

TEST(ExtensionMapTest, DescriptionNamesFormatsTheTypeDoesNot) {
  static const struct {
    const char* description;
    const char* want;
  } kCases[] = {
      // Layer II MPEG audio shares audio/mpeg with MP3, a TrueType collection
      // font/ttf with single fonts: the description tells them apart.
      {"MPEG ADTS, layer II, v1, 384 kbps, 44.1 kHz, Monaural", "mp2"},
      {"MPEG ADTS, layer III, v1, 128 kbps, 44.1 kHz, JntStereo", ""},
      {"TrueType font collection data, 1.0, 2 fonts", "ttc"},
      {"TrueType Font data, 11 tables", ""},
      // A generic type: only the description names the format; a pattern's
      // inner wildcard spans the varying part.
      {"WavPack Lossless Audio", "wv"},
      {"Linux rev 1.0 ext4 filesystem data, UUID=5b5b (extents)", "img"},
      {"data", ""},
      {"", ""},
      // A pattern matches at the start only.
      {"archive holding a Git bundle", ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.description);
    EXPECT_EQ(extensionForDescription(c.description), c.want);
  }
  EXPECT_TRUE(isSharedType("application/x-object"));
  EXPECT_FALSE(isSharedType("image/png"));
}

TEST(ExtensionMapTest, SharedMimeDatabaseLoads) {
  MimeDatabase database;
  std::string err;
  if (!database.load("/usr/share/mime", &err)) {
    GTEST_SKIP() << "no shared MIME database: " << err;
  }
  ExtensionMap map;
  map.setMimeDatabase(std::move(database));
  EXPECT_EQ(map.extensionFor("image/png"), "png");
  EXPECT_EQ(map.extensionFor("application/vnd.openxmlformats-officedocument.wordprocessingml.document"),
            "docx");
  EXPECT_FALSE(MimeDatabase().load("/nonexistent", &err));
  EXPECT_NE(err.find("/nonexistent/globs2"), std::string::npos);
}

TEST(ReadTextFileTest, ReadsSmallFilesThroughLinksAndRefusesTheRest) {
  // The system's databases are commonly reached through a symbolic link.
  testutil::ScopedTempDir dir;
  testutil::writeFile(dir.path() / "globs2", "50:image/png:*.png\n");
  std::filesystem::create_symlink(dir.path() / "globs2", dir.path() / "linked");
  std::filesystem::create_directory(dir.path() / "folder");
  testutil::writeFile(dir.path() / "huge", "");
  std::filesystem::resize_file(dir.path() / "huge", (16 << 20) + 1);
  static const struct {
    const char* name;
    const char* content;  // nullptr: not read
    const char* error;    // a part of the message
  } kCases[] = {
      {"globs2", "50:image/png:*.png\n", ""},
      {"linked", "50:image/png:*.png\n", ""},
      {"missing", nullptr, "open("},
      {"folder", nullptr, "not a regular file"},
      {"huge", nullptr, "larger than"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    std::string text = "left over", err;
    const std::string path = (dir.path() / c.name).string();
    EXPECT_EQ(readTextFile(path, &text, &err), c.content != nullptr) << err;
    if (c.content != nullptr) {
      EXPECT_EQ(text, c.content);
    } else {
      EXPECT_NE(err.find(c.error), std::string::npos) << err;
      EXPECT_NE(err.find(path), std::string::npos) << err;
    }
  }
}

}  // namespace
}  // namespace ident
