#include "containers/zip_container.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "io/byte_source.h"
#include "engine.h"
#include "test_util.h"

namespace ident {
namespace {

using namespace std::string_literals;

void putU16(std::string* out, std::uint32_t v) {
  out->push_back(static_cast<char>(v & 0xff));
  out->push_back(static_cast<char>((v >> 8) & 0xff));
}

void putU32(std::string* out, std::uint32_t v) {
  putU16(out, v & 0xffff);
  putU16(out, v >> 16);
}

// The CRC-32 of |data|, as zip writers store it.
std::uint32_t crc32(std::string_view data) {
  std::uint32_t crc = 0xffffffff;
  for (const char c : data) {
    crc ^= static_cast<unsigned char>(c);
    for (int bit = 0; bit < 8; ++bit) {
      crc = (crc >> 1) ^ (0xedb88320 & (0 - (crc & 1)));
    }
  }
  return ~crc;
}

// A zip archive of stored entries, laid out as zip writers do: local
// headers with data, the central directory, the end record.
std::string makeZip(const std::vector<std::pair<std::string, std::string>>& entries,
                    bool with_directory = true, const std::string& first_extra = "") {
  std::string out;
  std::string directory;
  for (const auto& [name, data] : entries) {
    const std::string extra = out.empty() ? first_extra : "";
    const auto offset = static_cast<std::uint32_t>(out.size());
    out += "PK\x03\x04";
    putU16(&out, 20);  // version needed
    putU16(&out, 0);   // flags
    putU16(&out, 0);   // method: stored
    putU32(&out, 0);   // time, date
    putU32(&out, crc32(data));
    putU32(&out, static_cast<std::uint32_t>(data.size()));
    putU32(&out, static_cast<std::uint32_t>(data.size()));
    putU16(&out, static_cast<std::uint32_t>(name.size()));
    putU16(&out, static_cast<std::uint32_t>(extra.size()));
    out += name;
    out += extra;
    out += data;

    directory += "PK\x01\x02";
    putU16(&directory, 20);
    putU16(&directory, 20);
    putU16(&directory, 0);
    putU16(&directory, 0);
    putU32(&directory, 0);
    putU32(&directory, crc32(data));
    putU32(&directory, static_cast<std::uint32_t>(data.size()));
    putU32(&directory, static_cast<std::uint32_t>(data.size()));
    putU16(&directory, static_cast<std::uint32_t>(name.size()));
    putU16(&directory, 0);  // extra
    putU16(&directory, 0);  // comment
    putU16(&directory, 0);  // disk
    putU16(&directory, 0);  // internal attributes
    putU32(&directory, 0);  // external attributes
    putU32(&directory, offset);
    directory += name;
  }
  if (!with_directory) {
    return out;
  }
  const auto directory_offset = static_cast<std::uint32_t>(out.size());
  out += directory;
  out += "PK\x05\x06";
  putU32(&out, 0);
  putU16(&out, static_cast<std::uint32_t>(entries.size()));
  putU16(&out, static_cast<std::uint32_t>(entries.size()));
  putU32(&out, static_cast<std::uint32_t>(directory.size()));
  putU32(&out, directory_offset);
  putU16(&out, 0);
  return out;
}

// A [Content_Types].xml whose main part has the type
// "application/vnd.<main>".
std::string contentTypes(const std::string& main) {
  return "<?xml version=\"1.0\"?><Types><Default Extension=\"xml\" "
         "ContentType=\"application/xml\"/>"
         "<Override PartName=\"/main.xml\" ContentType=\"application/vnd." +
         main + "\"/></Types>";
}

std::string identify(const std::string& bytes) {
  const BufferSource source(bytes);
  const std::optional<Result> result = identifyZipContainer(source);
  return result ? result->extension : "";
}

TEST(ZipContainerTest, KindsFromTheirEntries) {
  static const struct {
    const char* what;
    std::vector<std::pair<std::string, std::string>> entries;
    const char* want;
  } kCases[] = {
      {"jar", {{"META-INF/MANIFEST.MF", "Manifest-Version: 1.0\n"}, {"a/B.class", "x"}}, "jar"},
      {"docx", {{"[Content_Types].xml", "<x/>"}, {"word/document.xml", "<x/>"}}, "docx"},
      {"xlsx", {{"[Content_Types].xml", "<x/>"}, {"xl/workbook.xml", "<x/>"}}, "xlsx"},
      {"pptx", {{"[Content_Types].xml", "<x/>"}, {"ppt/presentation.xml", "<x/>"}}, "pptx"},
      {"odt", {{"mimetype", "application/vnd.oasis.opendocument.text"}, {"content.xml", ""}}, "odt"},
      {"ods", {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"}}, "ods"},
      {"odp", {{"mimetype", "application/vnd.oasis.opendocument.presentation"}}, "odp"},
      {"epub", {{"mimetype", "application/epub+zip"}, {"META-INF/container.xml", ""}}, "epub"},
      {"apk",
       {{"AndroidManifest.xml", "x"}, {"classes.dex", "dex\n035"}, {"META-INF/MANIFEST.MF", ""}},
       "apk"},
      {"wheel", {{"pkg/__init__.py", ""}, {"pkg-1.0.dist-info/WHEEL", "Wheel-Version: 1.0"}}, "whl"},
      {"egg", {{"EGG-INFO/PKG-INFO", "Name: x"}, {"pkg/__init__.py", ""}}, "egg"},
      {"war", {{"META-INF/MANIFEST.MF", ""}, {"WEB-INF/web.xml", "<web-app/>"}}, "war"},
      // Office Open XML by the content type of the main part.
      {"docm",
       {{"[Content_Types].xml", contentTypes("ms-word.document.macroEnabled.main+xml")},
        {"word/document.xml", "<x/>"}},
       "docm"},
      {"dotx",
       {{"[Content_Types].xml",
         contentTypes("openxmlformats-officedocument.wordprocessingml.template.main+xml")},
        {"word/document.xml", "<x/>"}},
       "dotx"},
      {"xlsm",
       {{"[Content_Types].xml", contentTypes("ms-excel.sheet.macroEnabled.main+xml")},
        {"xl/workbook.xml", "<x/>"}},
       "xlsm"},
      {"xlsb",
       {{"[Content_Types].xml", contentTypes("ms-excel.sheet.binary.macroEnabled.main")},
        {"xl/workbook.bin", "x"}},
       "xlsb"},
      {"ppsx",
       {{"[Content_Types].xml",
         contentTypes("openxmlformats-officedocument.presentationml.slideshow.main+xml")},
        {"ppt/presentation.xml", "<x/>"}},
       "ppsx"},
      {"vsdx",
       {{"[Content_Types].xml", contentTypes("ms-visio.drawing.main+xml")},
        {"visio/document.xml", "<x/>"}},
       "vsdx"},
      {"type named only as a prefix of another",
       {{"[Content_Types].xml", contentTypes("ms-word.document.macroEnabled.main+xml.bak")},
        {"word/document.xml", "<x/>"}},
       "docx"},
      {"xps",
       {{"[Content_Types].xml", contentTypes("ms-package.xps-fixeddocumentsequence+xml")},
        {"FixedDocSeq.fdseq", "<x/>"}},
       "xps"},
      {"oxps",
       {{"[Content_Types].xml", contentTypes("ms-package.xps-fixeddocumentsequence+xml")},
        {"_rels/.rels",
         "<Relationship Type=\"http://schemas.openxps.org/oxps/v1.0/"
         "fixedrepresentation\" Target=\"/FixedDocumentSequence.fdseq\"/>"},
        {"FixedDocumentSequence.fdseq", "<x/>"}},
       "oxps"},
      // Other packages by their "mimetype" entry or their marker entries.
      {"asice", {{"mimetype", "application/vnd.etsi.asic-e+zip"}, {"a.txt", "a"}}, "asice"},
      {"asics without mimetype", {{"doc.pdf", "%PDF"}, {"META-INF/timestamp.tst", "t"}}, "asics"},
      {"asice without mimetype",
       {{"a.pdf", "%PDF"},
        {"b.pdf", "%PDF"},
        {"META-INF/signatures0.xml", "<x/>"},
        {"META-INF/manifest.xml", "<x/>"}},
       "asice"},
      {"epub without mimetype",
       {{"META-INF/container.xml",
         "<rootfile full-path=\"c.opf\" media-type=\"application/oebps-package+xml\"/>"},
        {"c.opf", "<x/>"}},
       "epub"},
      {"sxw", {{"mimetype", "application/vnd.sun.xml.writer"}, {"content.xml", "<x/>"}}, "sxw"},
      {"keynote 09", {{"index.apxl", "<x/>"}, {"QuickLook/Thumbnail.jpg", "x"}}, "key"},
      {"pages 09", {{"index.xml", "<?xml?><sl:document xmlns:sl=\"x\"/>"}}, "pages"},
      {"numbers 09", {{"index.xml", "<?xml?><ls:document xmlns:ls=\"x\"/>"}}, "numbers"},
      {"keynote", {{"Index/Document.iwa", "x"}, {"Index/Slide-1.iwa", "x"}}, "key"},
      {"numbers", {{"Index/Document.iwa", "x"}, {"Index/Tables/Tile.iwa", "x"}}, "numbers"},
      {"pages", {{"Index/Document.iwa", "x"}, {"Index/DocumentStylesheet.iwa", "x"}}, "pages"},
      {"aab", {{"base/manifest/AndroidManifest.xml", "x"}, {"BundleConfig.pb", "x"}}, "aab"},
      {"apk of resources alone", {{"AndroidManifest.xml", "x"}, {"resources.arsc", "x"}}, "apk"},
      {"index.xml of a web page", {{"index.xml", "<html/>"}}, ""},
      {"plain zip", {{"readme.txt", "hello"}}, ""},
      {"Content_Types without a part folder", {{"[Content_Types].xml", ""}, {"x.xml", ""}}, ""},
      {"mimetype not first", {{"a", ""}, {"mimetype", "application/epub+zip"}}, ""},
      {"unknown mimetype", {{"mimetype", "application/x-whatever"}}, ""},
      {"classes.dex alone", {{"classes.dex", ""}}, ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(identify(makeZip(c.entries)), c.want);
  }
}

// Engines with and without the commonest formats' definitions, which
// answer a plain zip archive without libmagic's zip tests.
class ZipAnswerTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string err;
    quick_ = new Engine;
    ASSERT_TRUE(quick_->load(IDENT_BUILD_DIR, &err)) << err;
    pack_dir_ = new testutil::ScopedTempDir;
    testutil::writeFile(pack_dir_->path() / Engine::kPackName,
                        testutil::readFile(IDENT_BUILD_DIR + std::string(Engine::kPackName)));
    full_ = new Engine;
    ASSERT_TRUE(full_->load(pack_dir_->path().string() + "/", &err)) << err;
  }
  static void TearDownTestSuite() {
    delete quick_;
    delete full_;
    delete pack_dir_;
  }
  static inline Engine* quick_ = nullptr;
  static inline Engine* full_ = nullptr;
  static inline testutil::ScopedTempDir* pack_dir_ = nullptr;
};

TEST_F(ZipAnswerTest, PlainOnlyWhereLibmagicSaysNoMore) {
  std::string java_mark;  // the extra field a jar tool gives the first entry
  putU16(&java_mark, 0xcafe);
  putU16(&java_mark, 0);
  static const struct {
    const char* what;
    std::vector<std::pair<std::string, std::string>> entries;
    std::string first_extra;
    bool plain;
  } kCases[] = {
      {"plain", {{"readme.txt", "hello"}, {"data/b.bin", "\x01\x02"}}, "", true},
      {"plain with an unrelated extra field", {{"a.txt", "a"}}, "\x55\x54\x01\0\0"s, true},
      {"one tiny entry", {{"a", ""}}, "", true},
      {"jar by its mark alone", {{"a/B.class", "\xca\xfe\xba\xbe"}}, java_mark, false},
      {"jar folder first, no manifest", {{"META-INF/", ""}, {"a/B.class", "x"}}, "", false},
      {"opendocument", {{"mimetype", "application/vnd.oasis.opendocument.text"}}, "", false},
      {"older office template",
       {{"mimetype", "application/vnd.sun.xml.writer.template"}},
       "",
       false},
      {"unknown mimetype", {{"mimetype", "application/x-whatever"}}, "", false},
      {"word document",
       {{"[Content_Types].xml", "<x/>"}, {"word/document.xml", "<x/>"}},
       "",
       false},
      {"visio drawing",
       {{"[Content_Types].xml", "<x/>"}, {"visio/document.xml", "<x/>"}},
       "",
       false},
      {"word part first", {{"word/document.xml", "<x/>"}}, "", false},
      {"android manifest first", {{"AndroidManifest.xml", "x"}}, "", false},
      {"silverlight", {{"AppManifest.xaml", "<x/>"}}, "", false},
      {"ios app", {{"Payload/", ""}, {"Payload/App.app/Info.plist", "<x/>"}}, "", false},
      {"jar mark as the first data", {{"a/B.class", "\xfe\xca\xba\xbe"}}, "", false},
      {"wheel",
       {{"pkg/__init__.py", ""}, {"pkg-1.0.dist-info/WHEEL", "Wheel-Version: 1.0"}},
       "",
       false},
  };
  for (const auto& c : kCases) {
    for (const bool with_directory : {true, false}) {
      SCOPED_TRACE(std::string(c.what) + (with_directory ? "" : ", no directory"));
      const std::string bytes = makeZip(c.entries, with_directory, c.first_extra);
      bool plain = false;
      identifyZipContainer(BufferSource(bytes), &plain);
      // Without its directory an archive is libmagic's to judge.
      EXPECT_EQ(plain, c.plain && with_directory);
      const Analysis quick = quick_->analyze(BufferSource(bytes));
      const Analysis full = full_->analyze(BufferSource(bytes));
      ASSERT_EQ(quick.results.size(), full.results.size());
      for (std::size_t i = 0; i < quick.results.size(); ++i) {
        EXPECT_EQ(quick.results[i].extension, full.results[i].extension) << i;
        EXPECT_EQ(quick.results[i].description, full.results[i].description) << i;
        EXPECT_EQ(quick.results[i].describe_later, full.results[i].describe_later) << i;
      }
    }
  }
}

TEST(ZipContainerTest, LocalHeadersServeWhenTheDirectoryIsMissing) {
  // A download cut short: no central directory, the local headers remain.
  const std::string cut = makeZip({{"META-INF/MANIFEST.MF", "M"}, {"a.class", "x"}}, false);
  EXPECT_EQ(identify(cut), "jar");
  EXPECT_EQ(identify(makeZip({{"mimetype", "application/epub+zip"}}, false)), "epub");
}

TEST(ZipContainerTest, DamagedArchivesAreSafe) {
  const std::string jar = makeZip({{"META-INF/MANIFEST.MF", "M"}});
  const std::size_t end = jar.rfind("PK\x05\x06");
  ASSERT_NE(end, std::string::npos);

  std::string beyond = jar;  // directory offset past the end of the file
  beyond[end + 16] = '\xff';
  beyond[end + 19] = '\x7f';
  std::string huge = jar;  // directory size beyond any bound
  huge[end + 15] = '\x7f';
  std::string long_name = jar;  // the directory's name length runs past its end
  long_name[jar.find("PK\x01\x02") + 28] = '\xff';
  // An entry's comment length runs past the directory, which holds a
  // second entry: the walk must not step beyond the directory's end.
  std::string long_comment = makeZip({{"META-INF/MANIFEST.MF", "M"}, {"b", "B"}});
  long_comment[long_comment.find("PK\x01\x02") + 32] = '\xff';
  long_comment[long_comment.find("PK\x01\x02") + 33] = '\x7f';
  std::string local_name = makeZip({{"META-INF/MANIFEST.MF", "M"}}, false);
  local_name[26] = '\xff';  // local name length past the end, no directory

  static const struct {
    const char* what;
    std::string bytes;
  } kCases[] = {
      {"empty", ""},
      {"not a zip", "hello world, not a zip archive at all"},
      {"magic only", "PK\x03\x04"},
      {"directory beyond the file", beyond},
      {"directory too large", huge},
      {"name past the directory", long_name},
      {"comment past the directory", long_comment},
      {"local name past the end", local_name},
      {"end record alone", std::string("PK\x03\x04", 4) + std::string(30, '\0') + "PK\x05\x06"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    // Reaching here without a crash is the point; a damaged jar whose local
    // header is intact may still be named from it.
    const std::string got = identify(c.bytes);
    EXPECT_TRUE(got.empty() || got == "jar") << got;
  }
}

}  // namespace
}  // namespace ident
