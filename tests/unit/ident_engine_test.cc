#include "engine.h"

#include <gtest/gtest.h>
#include <magic.h>

#include <cctype>
#include <cstdlib>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "io/byte_source.h"
#include "loaded_engine.h"
#include "magic/fixed_signatures.h"
#include "magic/magic_cookie.h"
#include "test_util.h"
#include "text/plain_text.h"

namespace ident {
namespace {

using namespace std::string_literals;
using namespace std::string_view_literals;

using testutil::kPng;

// The first Ogg page of a Vorbis stream, up to the codec name and a little.
std::string oggPage(std::string_view packet) {
  std::string page("OggS\0\x02", 6);
  page.append(22, '\0');  // granule, serial, sequence, checksum, segment table
  page.append(packet);
  page.append(32, '\x01');
  return page;
}

class EngineTest : public LoadedEngineTest {
 protected:
  static Analysis analyze(std::string_view bytes) {
    const BufferSource source(bytes);
    return engine_->analyze(source);
  }
  static std::string firstExtension(std::string_view bytes) {
    const Analysis analysis = analyze(bytes);
    return analysis.results.empty() ? "(none)" : analysis.results.front().extension;
  }
};

TEST_F(EngineTest, NamesFormatsByTheirBytes) {
  static const struct {
    const char* what;
    std::string bytes;
    const char* want;
  } kCases[] = {
      {"png", std::string(kPng), "png"},
      {"jpeg", std::string("\xff\xd8\xff\xe0\0\x10JFIF\0\x01\x01\0\0\x01\0\x01\0\0", 20), "jpg"},
      {"ogg vorbis (pack)", oggPage("\x01vorbis"), "ogg"},
      {"ogg opus (pack)", oggPage("OpusHead"), "opus"},
      {"llvm bitcode (pack)", std::string("BC\xc0\xde\x35\x14\0\0\x05\0\0\0", 12), "bc"},
      {"binary property list (pack)", std::string("bplist00\xd1\x01\x02SURL_\x10\x13", 16), "plist"},
      {"safari web archive (pack)", "bplist00\xd3\x01\x02\x03_\x10\x0fWebMainResource" + std::string(64, '\0'),
       "webarchive"},
      {"winhelp (pack)", std::string("\x3f\x5f\x03\0\x10\0\0\0\xff\xff\xff\xff\x20\x1f\0\0", 16), "hlp"},
      {"indesign (pack)",
       std::string("\x06\x06\xed\xf5\xd8\x1d\x46\xe5\xbd\x31\xef\xe7\xfe\x74\xb7\x1d", 16) +
           "DOCUMENT" + std::string(64, '\0'),
       "indd"},
      {"keepass 2 (pack)", std::string("\x03\xd9\xa2\x9a\x67\xfb\x4b\xb5\x01\0\x04\0", 12), "kdbx"},
      {"keepass 1 (pack)", std::string("\x03\xd9\xa2\x9a\x65\xfb\x4b\xb5\x01\0\x03\0", 12), "kdb"},
      {"encapsulated postscript (pack)", "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 1 1\n", "eps"},
      {"pdf", "%PDF-1.4\n%\xe2\xe3\xcf\xd3\n1 0 obj\n<<>>\nendobj\n", "pdf"},
      {"json", "{\"a\": [1, 2, 3], \"b\": {\"c\": null}}\n", "json"},
      // Text that libmagic names without an extension: the classifier decides.
      {"pem certificate",
       "-----BEGIN CERTIFICATE-----\nMIIBszCCAVmgAwIBAgIUY29ycHVz\n-----END CERTIFICATE-----\n", "crt"},
      {"font metrics", "StartFontMetrics 4.1\nFontName Demo-Regular\nEndFontMetrics\n", "afm"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(firstExtension(c.bytes), c.want);
  }
}

// Mach-O by file type, from a 64-bit x86 header: libmagic lists CPU
// numbers as an executable's extensions, and an executable has none.
TEST_F(EngineTest, MachOFilesByTheirType) {
  const auto macho = [](char file_type) {
    std::string header("\xcf\xfa\xed\xfe\x07\0\0\x01\x03\0\0\0", 12);
    return header + file_type + std::string(3 + 16 + 200, '\0');
  };
  EXPECT_EQ(firstExtension(macho('\x01')), "o");
  EXPECT_EQ(firstExtension(macho('\x02')), "");
  EXPECT_EQ(firstExtension(macho('\x06')), "dylib");
  EXPECT_EQ(firstExtension(macho('\x08')), "bundle");
}

TEST_F(EngineTest, NonAnswersAreNoResults) {
  // xorshift32 noise: no format's magic, and not text.
  std::string noise;
  std::uint32_t x = 2463534242u;
  for (int i = 0; i < 4096; ++i) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    noise.push_back(static_cast<char>(x >> 24));
  }
  EXPECT_TRUE(analyze("").results.empty()) << "empty";
  EXPECT_TRUE(analyze(noise).results.empty()) << "data";
}

TEST_F(EngineTest, TextGoesToTheClassifier) {
  const Analysis analysis = analyze("Just a few words of plain prose.\nAnd a second line.\n");
  ASSERT_EQ(analysis.results.size(), 1u);
  EXPECT_EQ(analysis.results[0].extension, "txt");
  EXPECT_FALSE(analysis.results[0].description.empty());
  EXPECT_FALSE(analysis.results[0].describe_later);
}

// About a kilobyte of help-file prose holding |strays| in its middle.
std::string helpText(std::string_view strays) {
  std::string text;
  for (int i = 0; i < 12; ++i) {
    text += "Press the key shown below to toggle the status line and then save.\n";
    if (i == 6) {
      text += "Keys written literally: ";
      text += strays;
      text += "\n";
    }
  }
  return text;
}

TEST_F(EngineTest, StrayControlBytesLeaveTextText) {
  // A help file with keys written literally (^S, ^V): libmagic calls it
  // data, yet it is plain text.
  EXPECT_EQ(firstExtension(helpText("\x13 and \x16")), "txt");
  EXPECT_EQ(firstExtension(helpText("\x13 and \x16 in caf\xc3\xa9")), "txt");
  // The same control bytes where the letters are bytes that are neither
  // UTF-8 nor 8-bit text (C1 controls among them) make no text.
  std::string blob = helpText("\x13 and \x16");
  std::uint32_t x = 2463534242u;
  for (char& c : blob) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(0x80 | (x >> 25));
    }
  }
  EXPECT_NE(firstExtension(blob), "txt");
}

// UTF-16 with a byte order mark, in either byte order, as Windows writes
// its "Unicode" text: |text| must be ASCII.
std::string utf16(std::string_view text, bool big_endian) {
  std::string out = big_endian ? "\xfe\xff" : "\xff\xfe";
  for (const char c : text) {
    out += big_endian ? std::string{'\0', c} : std::string{c, '\0'};
  }
  return out;
}

TEST_F(EngineTest, Utf16TextIsReadByItsCharacters) {
  const std::string script =
      "param(\r\n  [string]$Path = \".\"\r\n)\r\nGet-ChildItem -Path $Path | ForEach-Object {\r\n"
      "  Write-Host $_.Name\r\n}\r\n";
  EXPECT_EQ(firstExtension(utf16(script, false)), "ps1");
  EXPECT_EQ(firstExtension(utf16(script, true)), "ps1");
  EXPECT_EQ(firstExtension(utf16("Name\tAge\r\nAnna\t31\r\nBob\t45\r\nCarl\t27\r\n", false)), "tsv");
}

TEST(Utf16AsUtf8Test, DecodesWhatAMarkOpens) {
  const struct {
    const char* what;
    std::string bytes;
    std::optional<std::string> want;
  } kCases[] = {
      {"little endian", "\xff\xfeh\0\xe9\0"s, "h\xc3\xa9"},
      {"big endian", "\xfe\xff\0h\x20\xac"s, "h\xe2\x82\xac"},
      {"surrogate pair", "\xff\xfe\x3d\xd8\x00\xde"s, "\xf0\x9f\x98\x80"},
      {"unpaired surrogates", "\xff\xfe\x00\xdc\x3d\xd8x\0"s, "\xef\xbf\xbd\xef\xbf\xbdx"},
      {"pair cut by the head's end", "\xff\xfeh\0\x3d\xd8"s, "h"},
      {"odd byte at the end", "\xff\xfeh\0i"s, "h"},
      {"no mark", "h\0i\0"s, std::nullopt},
      {"UTF-8 mark", "\xef\xbb\xbfhi"s, std::nullopt},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(utf16AsUtf8(c.bytes), c.want);
  }
}

TEST_F(EngineTest, ZipContainersNamedByContents) {
  // A stored jar entry whose manifest is not the first entry, so that
  // libmagic itself sees a plain zip archive.
  std::string zip;
  const auto add = [&zip](std::string_view name, std::string_view data) {
    zip += "PK\x03\x04\x14\0\0\0\0\0\0\0\0\0\0\0\0\0"sv;
    zip.push_back(static_cast<char>(data.size()));
    zip += "\0\0\0"sv;
    zip.push_back(static_cast<char>(data.size()));
    zip += "\0\0\0"sv;
    zip.push_back(static_cast<char>(name.size()));
    zip += "\0\0\0"sv;
    zip += name;
    zip += data;
  };
  add("a/B.class", "\xca\xfe\xba\xbe");
  add("META-INF/MANIFEST.MF", "Manifest-Version: 1.0\n");
  const Analysis analysis = analyze(zip);
  ASSERT_EQ(analysis.results.size(), 1u) << "the container alone, as the entries tell it";
  EXPECT_EQ(analysis.results[0].extension, "jar");
  EXPECT_EQ(analysis.results[0].description, "Java archive (JAR)");
}

TEST_F(EngineTest, GenericFirstAnswersGetTheDeeperPass) {
  // UTF-16 text has NUL bytes, so it looks binary and no binary test knows
  // it; only the pass with every test finds it is text.
  std::string utf16("\xff\xfe", 2);
  for (const char c : "Some words of plain prose, in UTF-16.\nAnd one more line.\n"sv) {
    utf16.push_back(c);
    utf16.push_back('\0');
  }
  const Analysis analysis = analyze(utf16);
  ASSERT_EQ(analysis.results.size(), 1u);
  EXPECT_EQ(analysis.results[0].extension, "txt");
}

TEST_F(EngineTest, OneResultForASpecificFirstAnswer) {
  // libmagic matches several tests on a PNG file; the analysis stops at the
  // strongest, and says so in its count, which callers read as the number
  // of results they may ask about.
  const Analysis analysis = analyze(kPng);
  ASSERT_EQ(analysis.results.size(), 1u);
  EXPECT_EQ(analysis.results[0].extension, "png");
  EXPECT_TRUE(analysis.results[0].describe_later);
  EXPECT_EQ(engine_->describe(BufferSource(kPng)).rfind("PNG image data", 0), 0u);
}

TEST_F(EngineTest, DescriptionOnDemandMatchesTheAnalysis) {
  const BufferSource source(kPng);
  const std::string description = engine_->describe(source);
  EXPECT_EQ(description.rfind("PNG image data", 0), 0u) << description;
  EXPECT_EQ(engine_->describe(BufferSource("")), "");
}

// Little-endian bytes of |value|, |size| of them.
std::string littleEndian(std::uint32_t value, int size) {
  std::string bytes;
  for (int i = 0; i < size; ++i) {
    bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
  }
  return bytes;
}

// Files of the commonest formats, and their near relatives that the full
// database names otherwise.
std::vector<std::pair<std::string, std::string>> commonFormatSamples() {
  std::string bmp = "BM" + littleEndian(58, 4) + littleEndian(0, 4) + littleEndian(54, 4) +
                    littleEndian(40, 4) + littleEndian(1, 4) + littleEndian(1, 4) +
                    littleEndian(1, 2) + littleEndian(24, 2) + std::string(24, '\0') +
                    "\xff\xff\xff\0"s;
  std::string wav = "RIFF" + littleEndian(40, 4) + "WAVEfmt " + littleEndian(16, 4) +
                    littleEndian(1, 2) + littleEndian(1, 2) + littleEndian(8000, 4) +
                    littleEndian(16000, 4) + littleEndian(2, 2) + littleEndian(16, 2) + "data" +
                    littleEndian(4, 4) + std::string(4, '\1');
  std::string sqlite = "SQLite format 3\0"s + "\x10\0\x01\x01\0\x40\x20\x20"s;
  sqlite.resize(100, '\0');
  sqlite[31] = 2;  // pages in the database
  std::string sqlite_app = sqlite;
  sqlite_app.replace(68, 4, "\x0f\x05\x51\x12"sv);  // an application's id
  std::string id3 = "ID3\x03\0\0\0\0\0\x0a"s + std::string(10, '\0') + "\xff\xfb\x90\x64"s;
  id3.resize(600, '\x55');
  std::string id3_layer2 = id3;
  id3_layer2.replace(20, 4, "\xff\xfd\x90\x04"sv);
  return {
      {"jpeg, JFIF", "\xff\xd8\xff\xe0\0\x10JFIF\0\x01\x01\0\0\x01\0\x01\0\0"s},
      {"jpeg, Exif", "\xff\xd8\xff\xe1\0\x16" "Exif\0\0II*\0\x08\0\0\0\0\0\0\0\0\0"s},
      {"png", std::string(kPng)},
      {"gif", "GIF89a\x01\0\x01\0\x80\0\0\0\0\0\xff\xff\xff,\0\0\0\0\x01\0\x01\0\0\x02\x02" "D\x01\0;"s},
      {"bmp", bmp},
      {"wav", wav},
      {"webp", "RIFF" + littleEndian(30, 4) + "WEBPVP8 " + littleEndian(18, 4) + std::string(18, '\0')},
      {"mp4", "\0\0\0\x18" "ftypisom\0\0\x02\0isomiso2\0\0\0\x08" "free"s},
      {"mp4 v2", "\0\0\0\x18" "ftypmp42\0\0\0\0mp42isom\0\0\0\x08" "free"s},
      {"m4a", "\0\0\0\x1c" "ftypM4A \0\0\0\0M4A mp42isom\0\0\0\0"s},
      {"quicktime", "\0\0\0\x14" "ftypqt  \0\0\0\0qt  \0\0\0\x08" "wide"s},
      {"mp3 with ID3", id3},
      {"mpeg audio layer II with ID3", id3_layer2},  // mp2, as the full database says
      {"flac", "fLaC\0\0\0\x22\x10\0\x10\0\0\0\x10\0\0\x10\x0a\xc4\x42\xf0\0\0\0\0"s + std::string(16, '\0')},
      {"sqlite", sqlite},
      {"sqlite of an application", sqlite_app},
      {"xz", "\xfd" "7zXZ\0\0\x04\xe6\xd6\xb4\x46\x02\0\x21\x01\x16\0\0\0\x74\x2f\xe5\xa3"s},
      {"bzip2", "BZh91AY&SY\x12\x34\x56\x78\0\0\0\0\0\0"s},
      {"bzip2 lookalike", "BZh01AY&SY\x12\x34\x56\x78\0\0\0\0\0\0"s},
  };
}

TEST(EngineCommonFormatsTest, QuickLookAgreesWithTheFullDatabase) {
  // The full database as the engine's first pass reads it, and the
  // commonest formats' definitions as the engine loads them.
  std::string err;
  MagicCookie full;
  ASSERT_TRUE(full.open(IDENT_BUILD_DIR + std::string(Engine::kPackName) + ":" + systemMagicPath(), &err))
      << err;
  MagicCookie common;
  ASSERT_TRUE(common.open(IDENT_BUILD_DIR + std::string(Engine::kCommonName), &err)) << err;
  // An engine without the quick look, for the answers it must not change.
  testutil::ScopedTempDir dir;
  testutil::writeFile(dir.path() / Engine::kPackName,
                      testutil::readFile(IDENT_BUILD_DIR + std::string(Engine::kPackName)));
  Engine quick;
  Engine slow;
  ASSERT_TRUE(quick.load(IDENT_BUILD_DIR, &err)) << err;
  ASSERT_TRUE(slow.load(dir.path().string() + "/", &err)) << err;

  const int first_match = MAGIC_RAW | MAGIC_MIME_TYPE | MAGIC_NO_CHECK_TEXT;
  const int quick_look = MAGIC_RAW | MAGIC_MIME_TYPE | MAGIC_NO_CHECK_BUILTIN;
  int taken = 0;
  for (const auto& [what, bytes] : commonFormatSamples()) {
    SCOPED_TRACE(what);
    const std::string mime = common.describe(bytes, quick_look).value_or("");
    if (mime != "application/octet-stream") {
      ++taken;
      EXPECT_EQ(mime, full.describe(bytes, first_match).value_or(""));
    }
    const Analysis with = quick.analyze(BufferSource(bytes));
    const Analysis without = slow.analyze(BufferSource(bytes));
    ASSERT_EQ(with.results.size(), without.results.size());
    if (!with.results.empty()) {
      EXPECT_EQ(with.results[0].extension, without.results[0].extension);
      EXPECT_EQ(quick.describe(BufferSource(bytes)), slow.describe(BufferSource(bytes)))
          << "descriptions come from the full database";
    }
  }
  EXPECT_EQ(taken, 14) << "every common format's sample, none of the near relatives";
}

// What analyze() says of |bytes|, and what the host's look at their first
// bytes says, where it says anything.
struct FixedAndFull {
  std::optional<Analysis> fixed;
  Analysis full;
};
FixedAndFull fixedAndFull(Engine& engine, std::string_view bytes) {
  return {engine.analyzeFixedSignature(bytes.substr(0, kFixedSignatureBytes)),
          engine.analyze(BufferSource(bytes))};
}

void expectSameAnalysis(const Analysis& fixed, const Analysis& full) {
  ASSERT_EQ(fixed.results.size(), full.results.size());
  for (std::size_t i = 0; i < fixed.results.size(); ++i) {
    EXPECT_EQ(fixed.results[i].extension, full.results[i].extension);
    EXPECT_EQ(fixed.results[i].description, full.results[i].description);
    EXPECT_EQ(fixed.results[i].describe_later, full.results[i].describe_later);
  }
}

using EngineFixedSignatureTest = LoadedEngineTest;

TEST_F(EngineFixedSignatureTest, AnswersAsTheFullAnalysisOrNotAtAll) {
  // Files where a second definition's first test holds too, or where the
  // one that holds needs more than its first bytes: libmagic decides.
  std::string sqlite_short = "SQLite format 3\0"s + std::string(40, '\0');
  static const struct {
    const char* what;
    std::string bytes;
  } kUndecided[] = {
      {"jpeg start with an ISO media box", "\xff\xd8\xff\xe0" "ftypisom\0\0\x02\0isomiso2"s},
      {"bitmap start with an ISO media box", "BM\0\0ftypmp42\0\0\0\0" + littleEndian(40, 4)},
      {"sqlite cut short of its application id", sqlite_short},
      {"bitmap of an unknown header size", "BM" + std::string(12, '\0') + littleEndian(12, 4)},
      {"riff of another kind", "RIFF" + littleEndian(30, 4) + "AVI LIST" + std::string(20, '\0')},
      {"gif of no version", "GIF8xa" + std::string(20, '\0')},
      {"jpeg start alone", "\xff\xd8"s},
      {"empty", ""},
  };
  int answered = 0;
  for (const auto& [what, bytes] : commonFormatSamples()) {
    SCOPED_TRACE(what);
    const FixedAndFull answers = fixedAndFull(*engine_, bytes);
    if (answers.fixed) {
      ++answered;
      expectSameAnalysis(*answers.fixed, answers.full);
    }
  }
  // All the common formats but MPEG audio behind an ID3 tag.
  EXPECT_EQ(answered, 13);
  for (const auto& c : kUndecided) {
    SCOPED_TRACE(c.what);
    EXPECT_FALSE(engine_->analyzeFixedSignature(c.bytes).has_value());
  }
}

TEST_F(EngineFixedSignatureTest, EmbeddedPdfHeaderNeverOverridesTheFirstBytes) {
  // A file named by its first bytes that holds, within the kilobyte where
  // readers look for a PDF's header, "%PDF-1.7" and an object (a FLAC
  // stream's metadata, a picture's comment) is still that format.
  int answered = 0;
  for (const auto& [what, sample] : commonFormatSamples()) {
    SCOPED_TRACE(what);
    std::string bytes = sample;
    bytes.resize(std::max<std::size_t>(bytes.size(), 64), '\0');
    bytes += "%PDF-1.7\n1 0 obj\n<< /Type /Catalog >>\nendobj\n";
    const FixedAndFull answers = fixedAndFull(*engine_, bytes);
    if (answers.fixed) {
      ++answered;
      expectSameAnalysis(*answers.fixed, answers.full);
    }
  }
  const FixedAndFull flac = fixedAndFull(
      *engine_, "fLaC\0\0\0\x22" + std::string(34, '\0') + "%PDF-1.7\n1 0 obj\n<<>>\nendobj\n");
  ASSERT_TRUE(flac.fixed.has_value());
  expectSameAnalysis(*flac.fixed, flac.full);
  EXPECT_GT(answered, 10);
}

TEST_F(EngineFixedSignatureTest, AlteredBytesNeverGetAnotherAnswer) {
  // Each sample with bytes of its start changed, one to three at a time,
  // to values that its own and the other definitions test for.
  std::string alphabet = "\0\x01\x02\x0a\x0d\x1a\x28\x30\x31\x39\x3a\x6c\x7c\x89\xd8\xfe\xff"s;
  for (const FixedDefinition& definition : fixedDefinitions()) {
    alphabet += definition.first.bytes;
  }
  std::uint32_t state = 12345;
  const auto next = [&state] {
    state = state * 1103515245 + 12345;
    return state >> 8;
  };
  int answered = 0;
  for (const auto& [what, sample] : commonFormatSamples()) {
    SCOPED_TRACE(what);
    for (int round = 0; round < 150; ++round) {
      std::string bytes = sample;
      const int changes = 1 + static_cast<int>(next() % 3);
      for (int i = 0; i < changes; ++i) {
        const std::size_t at = next() % std::min<std::size_t>(bytes.size(), 80);
        bytes[at] = alphabet[next() % alphabet.size()];
      }
      const FixedAndFull answers = fixedAndFull(*engine_, bytes);
      if (answers.fixed) {
        ++answered;
        SCOPED_TRACE(testing::PrintToString(bytes.substr(0, 24)));
        expectSameAnalysis(*answers.fixed, answers.full);
      }
    }
  }
  EXPECT_GT(answered, 300) << "the changes left many files of their format";
}

TEST(EngineLoadTest, MissingOrBrokenPackLoadsNothing) {
  testutil::ScopedTempDir dir;
  const std::string base = dir.path().string() + "/";
  Engine engine;
  std::string err;
  EXPECT_FALSE(engine.load(base, &err)) << "no pack";
  EXPECT_NE(err.find("trueext.magic"), std::string::npos) << err;
  EXPECT_FALSE(engine.loaded());
  EXPECT_TRUE(engine.analyze(BufferSource(kPng)).results.empty());

  testutil::writeFile(dir.path() / "trueext.magic", "this is not magic(5)\n");
  EXPECT_FALSE(engine.load(base, &err)) << "a pack without one valid entry";

  std::filesystem::create_directory(dir.path() / "a:b");
  testutil::writeFile(dir.path() / "a:b" / "trueext.magic", "0\tstring\tXYZZY\txyzzy\n");
  EXPECT_FALSE(engine.load(base + "a:b/", &err)) << "a colon would split libmagic's list";

  testutil::writeFile(dir.path() / "trueext.magic",
                      "0\tstring\tXYZZY\txyzzy test format\n!:mime\tapplication/x-xyzzy\n"
                      "!:ext\txyz\n");
  ASSERT_TRUE(engine.load(base, &err)) << err;
  EXPECT_EQ(engine.analyze(BufferSource("XYZZY\x01\x02\x03"sv)).results.at(0).extension, "xyz");
  EXPECT_EQ(engine.analyze(BufferSource(kPng)).results.at(0).extension, "png")
      << "the system database is loaded too";
}

// Compiles magic(5) text into libmagic's binary form at |compiled|, as the
// build does.
void compileDefinitions(const std::filesystem::path& dir, std::string_view text,
                        const std::filesystem::path& compiled) {
  const std::filesystem::path source = dir / "source.magic";
  testutil::writeFile(source, std::string(text));
  const std::filesystem::path cwd = std::filesystem::current_path();
  std::filesystem::current_path(dir);
  magic_t cookie = magic_open(MAGIC_NONE);
  ASSERT_NE(cookie, nullptr);
  const int rc = magic_compile(cookie, source.c_str());
  magic_close(cookie);
  std::filesystem::current_path(cwd);
  ASSERT_EQ(rc, 0);
  std::filesystem::rename(dir / "source.magic.mgc", compiled);
}

TEST(EngineLoadTest, CompiledDefinitionsStandInForTheTextOnlyWhenCurrent) {
  // The text and the compiled form, built from other text, describe XYZZY
  // files each in their own words, which tell which of the two was loaded.
  constexpr std::string_view kText = "0\tstring\tXYZZY\txyzzy text\n";
  constexpr std::string_view kOther = "0\tstring\tXYZZY\txyzzy compiled\n";
  using Clock = std::filesystem::file_time_type::clock;
  static const struct {
    const char* what;
    bool older;     // compiled before the text was last written
    bool foreign;   // of another libmagic format version
    std::size_t cut; // bytes it is cut to, 0 for whole
    const char* description;
  } kCases[] = {
      {"current", false, false, 0, "xyzzy compiled"},
      {"older than the text", true, false, 0, "xyzzy text"},
      {"of another format version", false, true, 0, "xyzzy text"},
      {"cut after its header", false, false, 8, "xyzzy text"},
      {"cut inside its entries", false, false, 500, "xyzzy text"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    testutil::ScopedTempDir dir;
    const std::filesystem::path text = dir.path() / std::string(Engine::kPackName);
    const std::filesystem::path compiled = dir.path() / std::string(Engine::kPackCompiledName);
    testutil::writeFile(text, std::string(kText));
    compileDefinitions(dir.path(), kOther, compiled);
    std::filesystem::last_write_time(text, Clock::now() - std::chrono::hours(1));
    std::filesystem::last_write_time(compiled, Clock::now() - std::chrono::minutes(1));
    if (c.older) {
      std::filesystem::last_write_time(compiled, Clock::now() - std::chrono::hours(2));
    }
    if (c.foreign || c.cut != 0) {
      std::ifstream file(compiled, std::ios::binary);
      std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
      file.close();
      if (c.foreign) {
        bytes[4] = static_cast<char>(bytes[4] + 1);  // the format version's low byte
      } else {
        ASSERT_LT(c.cut, bytes.size());
        bytes.resize(c.cut);
      }
      testutil::writeFile(compiled, bytes);
      std::filesystem::last_write_time(compiled, Clock::now() - std::chrono::minutes(1));
    }
    Engine engine;
    std::string err;
    ASSERT_TRUE(engine.load(dir.path().string() + "/", &err)) << err;
    EXPECT_EQ(engine.describe(BufferSource("XYZZY\x01\x02\x03"sv)), c.description);
  }
}

TEST(EngineLoadTest, CompiledDefinitionsDamagedAfterTheLoadLeaveTheText) {
  // libmagic gets the compiled form only when a file needs it; cut by then,
  // it is refused, and the text stands in as it would have at the load.
  using Clock = std::filesystem::file_time_type::clock;
  testutil::ScopedTempDir dir;
  const std::filesystem::path text = dir.path() / std::string(Engine::kPackName);
  const std::filesystem::path compiled = dir.path() / std::string(Engine::kPackCompiledName);
  testutil::writeFile(text, "0\tstring\tXYZZY\txyzzy text\n");
  compileDefinitions(dir.path(), "0\tstring\tXYZZY\txyzzy compiled\n", compiled);
  std::filesystem::last_write_time(text, Clock::now() - std::chrono::hours(1));
  Engine engine;
  std::string err;
  ASSERT_TRUE(engine.load(dir.path().string() + "/", &err)) << err;
  testutil::writeFile(compiled, testutil::readFile(compiled).substr(0, 500));
  EXPECT_EQ(engine.describe(BufferSource("XYZZY\x01\x02\x03"sv)), "xyzzy text");
}

TEST(SystemMagicPathTest, TheDefaultListAsLibmagicHasIt) {
  // The engine works the list out without loading libmagic; libmagic,
  // linked here, says what it should be.
  const testutil::ScopedEnv magic("MAGIC");
  const testutil::ScopedEnv home("HOME");
  const std::string system = compiledDatabases(magic_getpath(nullptr, 0));
  static const struct {
    const char* what;
    const char* magic;        // nullptr: unset
    const char* home_file;    // made in the home folder, or nullptr
  } kCases[] = {
      {"plain", nullptr, nullptr},
      {"a database in the home folder", nullptr, ".magic.mgc"},
      {"a text database in the home folder", nullptr, ".magic"},
      {"MAGIC naming others", "/nonexistent/a:/nonexistent/b.mgc", nullptr},
      {"MAGIC naming the system's", "/usr/share/misc/magic", ".magic.mgc"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    testutil::ScopedTempDir home_dir;
    ::setenv("HOME", home_dir.path().c_str(), 1);
    if (c.home_file != nullptr) {
      testutil::writeFile(home_dir.path() / c.home_file, "");
    }
    if (c.magic != nullptr) {
      ::setenv("MAGIC", c.magic, 1);
    } else {
      ::unsetenv("MAGIC");
    }
    EXPECT_EQ(systemMagicPath(), compiledDatabases(magic_getpath(nullptr, 0)));
  }
  ::unsetenv("HOME");
  ::unsetenv("MAGIC");
  EXPECT_EQ(systemMagicPath(), system) << "no home folder";
}

TEST(EngineLoadTest, TypesOnlyTheMimeDatabaseNamesGetTheirExtension) {
  testutil::ScopedTempDir dir;
  const std::string base = dir.path().string() + "/";
  // A type without an extension of its own in the pack, and one without a
  // type at all: the first needs the shared MIME database, the second is
  // named by its description alone.
  testutil::writeFile(dir.path() / "trueext.magic",
                      "0\tstring\tXYZZY\txyzzy picture\n!:mime\timage/x-portable-pixmap\n"
                      "0\tstring\tPLUGH\tplugh data\n");
  static const struct {
    const char* what;
    std::string mime_directory;
    std::string_view bytes;
    const char* extension;
    const char* description;
  } kCases[] = {
      {"type from the MIME database", "/usr/share/mime", "XYZZY\x01\x02\x03"sv, "ppm", ""},
      {"no MIME database", "/nonexistent", "XYZZY\x01\x02\x03"sv, "", "xyzzy picture"},
      {"no type", "/usr/share/mime", "PLUGH\x01\x02\x03"sv, "", "plugh data"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    Engine engine;
    std::string err;
    ASSERT_TRUE(engine.load(base, &err, c.mime_directory)) << err;
    const Analysis analysis = engine.analyze(BufferSource(c.bytes));
    ASSERT_EQ(analysis.results.size(), 1u);
    EXPECT_EQ(analysis.results[0].extension, c.extension);
    if (analysis.results[0].extension.empty()) {
      // Without an extension the description is what a caller shows.
      EXPECT_EQ(analysis.results[0].description, c.description);
      EXPECT_FALSE(analysis.results[0].describe_later);
    }
  }
}

TEST(EngineHelpersTest, NonAnswers) {
  static const struct {
    std::string_view description;
    bool non_answer;
  } kCases[] = {
      {"data"sv, true},
      {"empty"sv, true},
      {"very short file (no magic)"sv, true},
      {""sv, true},
      {"ASCII text"sv, false},
      {"Python script, ASCII text executable"sv, false},
      {"JSON text data"sv, false},
      {"data file"sv, false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::PrintToString(c.description));
    EXPECT_EQ(isNonAnswer(c.description), c.non_answer);
  }
}

TEST(EngineHelpersTest, LooksLikeText) {
  const std::string prose(1024, 'a');
  static const struct {
    const char* what;
    std::string bytes;
    bool text;
  } kCases[] = {
      {"controls text uses", "plain\ttext\r\n\f\x1b[0m\b\a", true},
      {"utf-8 and latin-1 bytes", "caf\xc3\xa9 na\xefve", true},
      {"empty", "", true},
      {"nul", "a\0b"s, false},
      {"png header", "\x89PNG\r\n\x1a\n", false},
      {"stray controls in prose", prose + "\x13\x16" + prose, true},
      {"stray controls in utf-8, a character cut at the end",
       prose + "\x13\xe2\x80\x98x\xe2\x80\x99" + prose + "\xe2\x80", true},
      {"stray controls in latin-1", prose + "\x13na\xefve" + prose, true},
      {"a stray control in a short line", "ab\x13" "cd", false},
      {"stray controls past four a kilobyte", prose + std::string(9, '\x1e') + prose, false},
      {"stray controls among c1 bytes", prose + "\x13\x85\x9a" + prose, false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(looksLikeText(c.bytes), c.text);
  }
  // Only the probe's span counts: a NUL past it does not.
  std::string long_text(100 << 10, 'a');
  long_text.back() = '\0';
  EXPECT_TRUE(looksLikeText(long_text));
}

}  // namespace
}  // namespace ident
