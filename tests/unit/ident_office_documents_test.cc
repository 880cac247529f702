// Office, mail and database files told by their headers: our definitions
// pack (Outlook stores, Access, Lotus 1-2-3, Quattro Pro, early Excel,
// OneNote, Hangul) and the mailbox reader, through the engine with the real
// libmagic. Each header is written here from the format's layout.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "io/byte_source.h"
#include "containers/mailbox.h"
#include "engine.h"
#include "loaded_engine.h"

namespace ident {
namespace {

using namespace std::string_literals;
using namespace std::string_view_literals;

// |header| followed by bytes that name nothing, to |size| bytes.
std::string padded(std::string_view header, std::size_t size = 2048) {
  std::string bytes(header);
  for (std::size_t i = bytes.size(); i < size; ++i) {
    bytes.push_back(static_cast<char>((i * 37) % 251 + 1));
  }
  return bytes;
}

// An Outlook store's header: "!BDN", a checksum, the client's mark and the
// format version, little endian.
std::string outlookStore(std::string_view client, std::uint16_t version) {
  std::string header = "!BDN\x12\x34\x56\x78"s;
  header += client;
  header.push_back(static_cast<char>(version & 0xff));
  header.push_back(static_cast<char>(version >> 8));
  header += "\x13\x00\x01\x01"s;
  return padded(header);
}

// A worksheet's BOF record: type 0 (or another), its length, the version.
std::string worksheet(std::string_view bof, std::uint16_t version) {
  std::string header(bof);
  header.push_back(static_cast<char>(version & 0xff));
  header.push_back(static_cast<char>(version >> 8));
  header += "\x00\x00\x00\x00\x03\x00\x00\x03\x00\x00"s;
  return padded(header);
}

// The 128-byte header Windows Write and Word for DOS share: the identifier
// (0xBE31, or 0xBE32 where Write holds OLE objects), the tool word 0xAB00,
// the text's end, Word's style sheet name at 0x1E and Write's page count at
// 96, which Word leaves zero.
std::string wordDosHeader(std::uint16_t ident, std::string_view style_sheet,
                          std::uint16_t pages) {
  std::string header(128, '\0');
  header[0] = static_cast<char>(ident & 0xff);
  header[1] = static_cast<char>(ident >> 8);
  header[5] = '\xab';
  header[14] = '\x80';
  header[15] = '\x04';
  header.replace(0x1e, style_sheet.size(), style_sheet);
  header[96] = static_cast<char>(pages);
  return padded(header);
}

// A OneNote file in the package// A OneNote file in the package that OneDrive's downloads use: the
// section's file type GUID whatever the kind, the package's file format
// GUID, then the storage index as an extended GUID (|storage_index|) and
// the cell schema GUID that names the kind.
std::string oneNotePackage(std::string_view storage_index, std::string_view schema) {
  std::string header = "\xe4\x52\x5c\x7b\x8c\xd8\xa7\x4d\xae\xb1\x53\x78\xd0\x29\x96\xd3"s;
  header += std::string(32, '\x11');  // the file's GUID, twice
  header += "\x2f\xe9\x8d\x63\xd4\xa6\xc1\x4b\x9a\x36\xb3\xfc\x25\x11\xa5\xb7"s;
  header += "\0\0\0\0\xd6\x03\x42\0"s;  // padding, the package's object header
  header += storage_index;
  header += schema;
  return padded(header);
}

const std::string kTocSchema = "\x38\xfd\xdb\xe4\xc7\xe5\x8b\x40\xa8\xa1\x0e\x7b\x42\x1e\x1f\x5f"s;
const std::string kSectionSchema =
    "\xb4\x7c\x93\x1f\x6f\xb2\x5f\x44\xb9\xf8\x17\xe2\x01\x60\xe4\x61"s;
// Extended GUIDs in their one-byte and five-byte forms.
const std::string kShortIndex = "\xfc"s + std::string(16, '\x22');
const std::string kLongIndex = "\x80\x01\x02\x03\x04"s + std::string(16, '\x22');

using OfficeDocumentsTest = LoadedEngineTest;

TEST_F(OfficeDocumentsTest, NamedByTheirHeaders) {
  static const struct {
    const char* what;
    std::string bytes;
    const char* want;
  } kCases[] = {
      {"outlook store, ansi", outlookStore("SM", 14), "pst"},
      {"outlook store, unicode", outlookStore("SM", 23), "pst"},
      {"outlook offline store", outlookStore("SO", 23), "ost"},
      {"outlook offline store, 4k pages", outlookStore("SO", 36), "ost"},
      {"outlook address book", outlookStore("AB", 14), "pab"},
      {"access 2007", padded("\x00\x01\x00\x00Standard ACE DB\x00\x02\x00\x00\x00"sv), "accdb"},
      {"access 2000", padded("\x00\x01\x00\x00Standard Jet DB\x00\x01\x00\x00\x00"sv), "mdb"},
      {"lotus 1-2-3 release 1", worksheet("\x00\x00\x02\x00"sv, 0x0404), "wks"},
      {"lotus 1-2-3 release 2", worksheet("\x00\x00\x02\x00"sv, 0x0406), "wk1"},
      {"lotus 1-2-3 release 3", worksheet("\x00\x00\x1a\x00"sv, 0x1000), "wk3"},
      {"lotus 1-2-3 release 4", worksheet("\x00\x00\x1a\x00"sv, 0x1002), "wk4"},
      {"lotus 1-2-3 97", worksheet("\x00\x00\x1a\x00"sv, 0x1003), "123"},
      {"lotus 1-2-3 millennium", worksheet("\x00\x00\x1a\x00"sv, 0x1005), "123"},
      {"quattro pro dos", worksheet("\x00\x00\x02\x00"sv, 0x5120), "wq1"},
      {"quattro pro dos 5", worksheet("\x00\x00\x02\x00"sv, 0x5121), "wq2"},
      {"quattro pro windows 1", worksheet("\x00\x00\x02\x00"sv, 0x1001), "wb1"},
      {"quattro pro windows 5", worksheet("\x00\x00\x02\x00"sv, 0x1002), "wb2"},
      {"works for dos spreadsheet", worksheet("\xff\x00\x02\x00"sv, 0x0404), "wks"},
      {"excel 2 worksheet", padded("\x09\x00\x04\x00\x07\x00\x10\x00"sv), "xls"},
      {"excel 3 worksheet", padded("\x09\x02\x06\x00\x00\x00\x10\x00\x00\x00"sv), "xls"},
      {"excel 4 worksheet", padded("\x09\x04\x06\x00\x00\x00\x10\x00\x00\x00"sv), "xls"},
      {"excel 4 workbook", padded("\x09\x04\x06\x00\x00\x00\x00\x01\x00\x00"sv), "xlw"},
      {"onenote section",
       padded("\xe4\x52\x5c\x7b\x8c\xd8\xa7\x4d\xae\xb1\x53\x78\xd0\x29\x96\xd3\x01\x02"sv), "one"},
      {"onenote table of contents",
       padded("\xa1\x2f\xff\x43\xd9\xef\x76\x4c\x9e\xe2\x10\xea\x57\x22\x76\x5f\x01\x02"sv),
       "onetoc2"},
      {"onenote packaged table of contents", oneNotePackage(kShortIndex, kTocSchema), "onetoc2"},
      {"onenote packaged table of contents, long index", oneNotePackage(kLongIndex, kTocSchema),
       "onetoc2"},
      {"onenote packaged section", oneNotePackage(kShortIndex, kSectionSchema), "one"},
      {"windows write 3.0", wordDosHeader(0xbe31, ""sv, 12), "wri"},
      {"windows write 3.1 with ole objects", wordDosHeader(0xbe32, ""sv, 12), "wri"},
      {"word for dos 5", wordDosHeader(0xbe31, "NORMAL.STY"sv, 0), "doc"},
      {"hangul 3", padded("HWP Document File V3.00 \x1a\x01\x02\x03\x04\x05\x00\x00"sv), "hwp"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(firstExtension(c.bytes), c.want);
  }
}

// Bytes that share a little with those headers are none of those kinds.
TEST_F(OfficeDocumentsTest, LookalikesAreNotNamedSo) {
  static const struct {
    const char* what;
    std::string bytes;
    const char* not_this;
  } kCases[] = {
      {"sql with the address book's mark at 8", "CREATE TABLE abook (id INT);\n", "pab"},
      {"text with an offline store's mark at 8", "Hello, SOmebody is here.\n", "ost"},
      {"another signature before the mark", outlookStore("SM", 23).replace(0, 4, "!BDX"), "pst"},
      {"a worksheet record of no release", worksheet("\x00\x00\x1a\x00"sv, 0x2000), "123"},
      {"write's identifier with another tool word",
       wordDosHeader(0xbe32, ""sv, 12).replace(5, 1, "\x01"), "wri"},

      {"jet text without its terminator", padded("\x00\x01\x00\x00Standard ACE DBX"sv), "accdb"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    EXPECT_NE(firstExtension(c.bytes), c.not_this);
  }
}

// Files cut short inside their headers get an answer or none, at once:
// each is analysed in full, with the real libmagic.
TEST_F(OfficeDocumentsTest, TruncatedHeadersAreSafe) {
  const std::string store = outlookStore("SM", 23);
  const std::string guid = "\xe4\x52\x5c\x7b\x8c\xd8\xa7\x4d\xae\xb1\x53\x78\xd0\x29\x96\xd3"s;
  static const struct {
    const char* what;
    std::string bytes;
  } kCases[] = {
      {"store signature only", "!BDN"},
      {"store cut before its version", store.substr(0, 10)},
      {"store cut inside its version", store.substr(0, 11)},
      {"access cut inside its engine name", "\x00\x01\x00\x00Standard AC"s},
      {"worksheet record cut before its version", "\x00\x00\x1a\x00"s},
      {"onenote guid cut", guid.substr(0, 9)},
      {"onenote package cut inside its cell schema",
       oneNotePackage(kShortIndex, kTocSchema).substr(0, 0x59 + 7)},
      {"envelope line only", "From a@b.c Mon Jan  1 10:00:00 2024"},
      {"envelope line and a cut header", "From a@b.c Mon Jan  1 10:00:00 2024\nRecei"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    const auto start = std::chrono::steady_clock::now();
    engine_->analyze(BufferSource(c.bytes));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  }
}

TEST_F(OfficeDocumentsTest, MailboxesApartFromMailAndPatches) {
  const std::string mailbox =
      "From alice@example.org Mon Jan  1 10:00:00 2024\n"
      "Return-Path: <alice@example.org>\n"
      "From: Alice <alice@example.org>\n"
      "Subject: minutes\n\nThe minutes are attached.\n\n"
      "From bob@example.org Tue Jan  2 11:00:00 2024\n"
      "From: Bob <bob@example.org>\nSubject: Re: minutes\n\nThanks.\n";
  EXPECT_EQ(firstExtension(mailbox), "mbox");
  const std::string patch =
      "From 0123456789abcdef0123456789abcdef01234567 Mon Sep 17 00:00:00 2001\n"
      "From: Alice <alice@example.org>\nDate: Mon, 1 Jan 2024 10:00:00 +0000\n"
      "Subject: [PATCH] Fix the frobnicator\n\n---\n a.c | 2 +-\n\n"
      "diff --git a/a.c b/a.c\n--- a/a.c\n+++ b/a.c\n@@ -1 +1 @@\n-int a;\n+int b;\n";
  EXPECT_NE(firstExtension(patch), "mbox");
}

TEST(MailboxTest, EnvelopeLines) {
  static const struct {
    const char* what;
    std::string_view head;
    bool mailbox;
  } kCases[] = {
      {"ctime date", "From a@b.c Mon Jan  1 10:00:00 2024\nReceived: from x\n", true},
      {"unknown sender, crlf", "From - Mon Jul 11 11:29:52 2005\r\nX-UIDL: 3a95\r\n", true},
      {"two blanks, zone before the year", "From a@b.c  Thu Feb 26 17:23:40 EST 1998\nReceived: x\n", true},
      {"git format-patch", "From 0123abc Mon Sep 17 00:00:00 2001\nFrom: A <a@b.c>\n", false},
      {"no header after", "From a@b.c Mon Jan  1 10:00:00 2024\n\nbody\n", false},
      {"prose", "From the start of the war until its end, they wrote:\nnothing\n", false},
      {"no year", "From a@b.c Mon Jan  1 10:00:00\nReceived: x\n", false},
      {"not a weekday", "From a@b.c Xyz Jan  1 10:00:00 2024\nReceived: x\n", false},
      {"no line end", "From a@b.c Mon Jan  1 10:00:00 2024", false},
      {"a single message", "From: Alice <a@b.c>\nSubject: hi\n\nhello\n", false},
      {"empty", "", false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(identifyMailbox(c.head).has_value(), c.mailbox);
  }
}

}  // namespace
}  // namespace ident
