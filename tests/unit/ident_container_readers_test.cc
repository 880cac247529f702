// The readers that name a file by its inner structure: camera raw images
// on TIFF, CMS messages, ASF media and text headers; and damaged files of
// every container kind through the whole engine.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "io/byte_source.h"
#include "containers/asf_media.h"
#include "containers/cms_message.h"
#include "containers/raw_image.h"
#include "containers/text_headers.h"
#include "engine.h"
#include "loaded_engine.h"

namespace ident {
namespace {

using namespace std::string_literals;

std::string extensionOf(const std::optional<Result>& result) {
  return result ? result->extension : "";
}

// --- TIFF -----------------------------------------------------------------

// A TIFF file built from directories of entries. An entry's value is its
// bytes (inline when they fit four) or, with |ifd| set, the offset of that
// directory (a SubIFDs entry).
struct TiffEntry {
  std::uint16_t tag;
  std::uint16_t type;
  std::uint32_t count;
  std::string value;
  int ifd = -1;
};

struct TiffDirectory {
  std::vector<TiffEntry> entries;
  int next = -1;  // the directory that follows in the chain
};

class TiffWriter {
 public:
  explicit TiffWriter(bool big_endian) : big_(big_endian) {}

  std::string u16(std::uint32_t v) const {
    std::string b{static_cast<char>(v & 0xff), static_cast<char>((v >> 8) & 0xff)};
    return big_ ? std::string(b.rbegin(), b.rend()) : b;
  }
  std::string u32(std::uint32_t v) const {
    return big_ ? u16(v >> 16) + u16(v & 0xffff) : u16(v & 0xffff) + u16(v >> 16);
  }

  // The header (|version|, then the first directory at 8) and the
  // directories in order, their long values after them.
  std::string write(const std::vector<TiffDirectory>& directories,
                    std::uint32_t version = 42) const {
    std::vector<std::uint32_t> offsets;
    std::uint32_t at = 8;
    for (const TiffDirectory& d : directories) {
      offsets.push_back(at);
      at += static_cast<std::uint32_t>(2 + 12 * d.entries.size() + 4);
    }
    std::string out = std::string(big_ ? "MM" : "II") + u16(version) + u32(8);
    std::string values;
    for (const TiffDirectory& d : directories) {
      out += u16(static_cast<std::uint32_t>(d.entries.size()));
      for (const TiffEntry& e : d.entries) {
        out += u16(e.tag) + u16(e.type) + u32(e.count);
        std::string value = e.ifd >= 0 ? u32(offsets[static_cast<std::size_t>(e.ifd)]) : e.value;
        if (value.size() <= 4) {
          out += value + std::string(4 - value.size(), '\0');
        } else {
          out += u32(at + static_cast<std::uint32_t>(values.size()));
          values += value;
        }
      }
      out += u32(d.next >= 0 ? offsets[static_cast<std::size_t>(d.next)] : 0);
    }
    return out + values;
  }

 private:
  bool big_;
};

TiffEntry make(const std::string& maker) {
  return {271, 2, static_cast<std::uint32_t>(maker.size() + 1), maker + '\0'};
}
TiffEntry photometric(const TiffWriter& w, std::uint32_t value) {
  return {262, 3, 1, w.u16(value)};
}

std::string rawExtension(const std::string& bytes) {
  return extensionOf(identifyRawImage(BufferSource(bytes)));
}

TEST(RawImageTest, CameraRawFromTiffStructure) {
  const TiffWriter le(false);
  const TiffWriter be(true);
  const TiffEntry dng_version{50706, 1, 4, "\x01\x04\0\0"s};
  // Raw data as Nikon and Sony lay it out: a preview in the first
  // directory, the sensor data in a SubIFD.
  const auto preview_then_raw = [](const TiffWriter& w, const std::string& maker) {
    return w.write(
        {{{make(maker), photometric(w, 2), {330, 4, 1, "", 1}}}, {{photometric(w, 32803)}}});
  };
  static const std::string kCr2 = "II*\0\x10\0\0\0CR\x02\0"s + std::string(32, '\0');
  const struct {
    const char* what;
    std::string bytes;
    const char* want;
  } kCases[] = {
      {"nef", preview_then_raw(le, "NIKON CORPORATION"), "nef"},
      {"arw", preview_then_raw(le, "SONY"), "arw"},
      {"pef, big-endian", be.write({{{make("PENTAX Corporation"), photometric(be, 32803)}}}),
       "pef"},
      {"pef by Ricoh", be.write({{{make("RICOH IMAGING COMPANY, LTD."), photometric(be, 32803)}}}),
       "pef"},
      {"srw in the next directory",
       le.write({{{make("SAMSUNG"), photometric(le, 6)}, 1}, {{photometric(le, 32803)}}}), "srw"},
      {"linear raw", le.write({{{make("Sony"), photometric(le, 34892)}}}), "arw"},
      {"dng of any maker", le.write({{{make("Canon"), dng_version, photometric(le, 2)}}}), "dng"},
      {"cr2 mark", kCr2, "cr2"},
      {"rw2 header", "IIU\0\x08\0\0\0"s + std::string(16, '\0'), "rw2"},
      {"orf header", "IIRO\x08\0\0\0"s + std::string(16, '\0'), "orf"},
      {"orf header, big-endian", "MMOR\0\0\0\x08"s + std::string(16, '\0'), "orf"},
      {"phase one block", "II*\0\x08\x0a\0\0IIIICwaR"s + std::string(16, '\0'), "iiq"},
      {"phase one block, big-endian", "MM\0*\0\0\x0a\x08MMMMRawC"s + std::string(16, '\0'), "iiq"},
      // The doubled mark must repeat the header's byte order and the word
      // after it say "Raw".
      {"mark of the other byte order", "II*\0\x08\0\0\0MMMMCwaR"s + std::string(16, '\0'), ""},
      {"mark without its word", "II*\0\x08\0\0\0IIII"s + std::string(16, '\0'), ""},
      // A TIFF exported from a raw file keeps the camera's Make but holds
      // no sensor data; a scanner's TIFF has no raw maker.
      {"exported from a nef", le.write({{{make("NIKON CORPORATION"), photometric(le, 2)}}}), ""},
      {"unknown maker with sensor data", le.write({{{make("Acme"), photometric(le, 32803)}}}), ""},
      {"plain tiff", le.write({{{photometric(le, 1)}}}), ""},
      {"not tiff", "IIxx but nothing more", ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(rawExtension(c.bytes), c.want);
  }
}

TEST(RawImageTest, DamagedDirectoriesEndTheWalk) {
  const TiffWriter le(false);
  // A chain that loops back to its start, and a SubIFD that points at its
  // parent: each directory is read once.
  std::string loop =
      le.write({{{make("NIKON"), {330, 4, 1, "", 1}}, 0}, {{photometric(le, 32803)}, 0}});
  std::string self = le.write({{{make("NIKON")}, 0}});
  std::string huge_count = le.write({{{make("NIKON"), photometric(le, 32803)}}});
  huge_count[8] = '\xff';
  huge_count[9] = '\xff';
  std::string make_past_end = le.write({{{make("NIKON CORPORATION"), photometric(le, 32803)}}});
  make_past_end.resize(make_past_end.size() - 10);
  std::string first_past_end = le.write({{{make("NIKON")}}});
  first_past_end[4] = '\xff';
  first_past_end[7] = '\x7f';
  std::string many_sub = le.write({{{make("SONY"), {330, 4, 0x40000000, "\0\0\0\0\0"s}}}});
  static const std::vector<std::string> kBytes = {loop,          self,           huge_count,
                                                  make_past_end, first_past_end, many_sub};
  const std::vector<std::string> wants = {"nef", "", "", "", "", ""};
  for (std::size_t i = 0; i < kBytes.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(rawExtension(kBytes[i]), wants[i]);
  }
}

// --- CMS ------------------------------------------------------------------

// DER: |tag| and |content| with a definite length.
std::string der(unsigned char tag, const std::string& content) {
  std::string out(1, static_cast<char>(tag));
  const std::size_t n = content.size();
  if (n < 0x80) {
    out.push_back(static_cast<char>(n));
  } else if (n < 0x100) {
    out += "\x81"s + static_cast<char>(n);
  } else {
    out += "\x82"s + static_cast<char>(n >> 8) + static_cast<char>(n & 0xff);
  }
  return out + content;
}

// BER: |tag| and |content| with an indefinite length.
std::string ber(unsigned char tag, const std::string& content) {
  return std::string(1, static_cast<char>(tag)) + "\x80"s + content + "\0\0"s;
}

std::string seq(const std::string& c) { return der(0x30, c); }
std::string set(const std::string& c) { return der(0x31, c); }
std::string explicit0(const std::string& c) { return der(0xa0, c); }
std::string oid(const std::string& encoded) { return der(0x06, encoded); }

const std::string kPkcs7 = "\x2a\x86\x48\x86\xf7\x0d\x01\x07"s;
const std::string kSmime = "\x2a\x86\x48\x86\xf7\x0d\x01\x09\x10\x01"s;
const std::string kDataOid = oid(kPkcs7 + "\x01");
const std::string kSignedOid = oid(kPkcs7 + "\x02");
const std::string kTstInfoOid = oid(kSmime + "\x04");
// Filler that makes every message long enough for a long-form length.
const std::string kCertificates = der(0xa0, seq(std::string(200, '\x05')));
const std::string kSha256 = seq(oid("\x60\x86\x48\x01\x65\x03\x04\x02\x01"s));
const std::string kSignerInfos = set(seq(der(0x02, "\x01") + std::string(20, '\x05')));

std::string contentInfo(const std::string& type, const std::string& content) {
  return seq(type + explicit0(content));
}

std::string signedData(const std::string& digests, const std::string& encapsulated,
                       const std::string& signers) {
  return seq(der(0x02, "\x01") + set(digests) + encapsulated + kCertificates + signers);
}

std::string cmsExtension(const std::string& bytes) {
  return extensionOf(identifyCmsMessage(bytes));
}

TEST(CmsMessageTest, KindsFromContentTypeAndContent) {
  const std::string with_content = seq(kDataOid + explicit0(der(0x04, "hello")));
  const std::string detached = seq(kDataOid);
  const std::string token = contentInfo(
      kSignedOid, signedData(kSha256, seq(kTstInfoOid + explicit0(der(0x04, "t"))), kSignerInfos));
  const struct {
    const char* what;
    std::string bytes;
    const char* want;
  } kCases[] = {
      {"signed with content",
       contentInfo(kSignedOid, signedData(kSha256, with_content, kSignerInfos)), "p7m"},
      {"detached signature", contentInfo(kSignedOid, signedData(kSha256, detached, kSignerInfos)),
       "p7s"},
      {"certificates only", contentInfo(kSignedOid, signedData("", detached, set(""))), "p7b"},
      {"certificates only, with an empty content",
       contentInfo(kSignedOid, signedData("", seq(kDataOid + explicit0(der(0x04, ""))), set(""))),
       "p7b"},
      {"time-stamp token", token, "tsr"},
      {"time-stamp response", seq(seq(der(0x02, "\x00"s)) + token), "tsr"},
      {"enveloped", contentInfo(oid(kPkcs7 + "\x03"), seq(std::string(200, '\x05'))), "p7m"},
      {"authenticated enveloped", contentInfo(oid(kSmime + "\x17"), seq(std::string(200, '\x05'))),
       "p7m"},
      {"compressed", contentInfo(oid(kSmime + "\x09"), seq(std::string(200, '\x05'))), "p7z"},
      {"time-stamped data", contentInfo(oid(kSmime + "\x1f"), seq(std::string(200, '\x05'))),
       "tsd"},
      // BER as streaming encoders write it: indefinite lengths throughout.
      {"indefinite signed with content",
       ber(0x30,
           kSignedOid + ber(0xa0, ber(0x30, der(0x02, "\x01") + set(kSha256) +
                                                ber(0x30, kDataOid + ber(0xa0, der(0x04, "hi"))) +
                                                kCertificates + kSignerInfos))),
       "p7m"},
      {"indefinite detached",
       ber(0x30, kSignedOid +
                     ber(0xa0, ber(0x30, der(0x02, "\x01") + ber(0x31, kSha256) +
                                             ber(0x30, kDataOid) + kCertificates + kSignerInfos))),
       "p7s"},
      // Not messages: a certificate, a PKCS#12 file, a plain sequence.
      {"certificate",
       seq(seq(explicit0(der(0x02, "\x02")) + der(0x02, "\x01") + kSha256 +
               std::string(200, '\x05')) +
           kSha256),
       ""},
      {"pkcs12", seq(der(0x02, "\x03") + contentInfo(kDataOid, der(0x04, std::string(200, 'x')))),
       ""},
      {"data content type", contentInfo(kDataOid, der(0x04, std::string(200, 'x'))), ""},
      {"short form length", "\x30\x05\x06\x03\x2a\x86\x48"s, ""},
      {"short compressed message",
       seq(oid(kSmime + "\x09") + explicit0(seq(der(0x02, "\x00"s) + std::string(20, '\x05')))),
       "p7z"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(cmsExtension(c.bytes), c.want);
  }
}

TEST(CmsMessageTest, LengthsPastTheHeadAreReadAsFarAsTheyGo) {
  // A signature over a large file: the outer lengths claim more than the
  // head holds; what lies within it still tells the kind.
  std::string large = "\x30\x84\x10\0\0\0"s + kSignedOid + "\xa0\x84\x0f\xff\xff\xf0"s +
                      "\x30\x84\x0f\xff\xff\xe0"s + der(0x02, "\x01") + set(kSha256) +
                      "\x30\x84\x0f\xff\xff\x00"s + kDataOid + "\xa0\x84\x0f\xff\xfe\x00"s +
                      std::string(300, 'x');
  EXPECT_EQ(cmsExtension(large), "p7m");
  // Cut anywhere, or with any length byte damaged, a message is read
  // without a fault; an answer may be missing.
  const std::string message =
      contentInfo(kSignedOid, signedData(kSha256, seq(kDataOid), kSignerInfos));
  for (std::size_t cut = 0; cut < message.size(); ++cut) {
    cmsExtension(message.substr(0, cut));
    std::string damaged = message;
    damaged[cut] = '\xff';
    cmsExtension(damaged);
    damaged[cut] = '\x80';
    cmsExtension(damaged);
  }
  // Indefinite lengths nested past any bound.
  std::string deep;
  for (int i = 0; i < 200; ++i) {
    deep = ber(0x31, deep);
  }
  EXPECT_EQ(cmsExtension(ber(0x30, kSignedOid + ber(0xa0, ber(0x30, der(0x02, "\x01") + deep)))),
            "");
}

// --- ASF ------------------------------------------------------------------

const std::string kAsfHeader = "\x30\x26\xb2\x75\x8e\x66\xcf\x11\xa6\xd9\x00\xaa\x00\x62\xce\x6c"s;
const std::string kStreamProperties =
    "\x91\x07\xdc\xb7\xb7\xa9\xcf\x11\x8e\xe6\x00\xc0\x0c\x20\x53\x65"s;
const std::string kHeaderExtension =
    "\xb5\x03\xbf\x5f\x2e\xa9\xcf\x11\x8e\xe3\x00\xc0\x0c\x20\x53\x65"s;
const std::string kExtendedStreamProperties =
    "\xcb\xa5\xe6\x14\x72\xc6\x32\x43\x83\x99\xa9\x69\x52\x06\x5b\x5a"s;
const std::string kAudio = "\x40\x9e\x69\xf8\x4d\x5b\xcf\x11\xa8\xfd\x00\x80\x5f\x5c\x44\x2b"s;
const std::string kVideo = "\xc0\xef\x19\xbc\x4d\x5b\xcf\x11\xa8\xfd\x00\x80\x5f\x5c\x44\x2b"s;

std::string le64(std::uint64_t v) {
  std::string out;
  for (int i = 0; i < 8; ++i) {
    out.push_back(static_cast<char>((v >> (8 * i)) & 0xff));
  }
  return out;
}

std::string asfObject(const std::string& guid, const std::string& body) {
  return guid + le64(24 + body.size()) + body;
}

std::string streamProperties(const std::string& type) {
  return asfObject(kStreamProperties, type + std::string(16 + 8 + 4 + 4 + 2 + 4, '\0'));
}

std::string asf(const std::vector<std::string>& objects) {
  std::string body;
  for (const std::string& o : objects) {
    body += o;
  }
  return kAsfHeader + le64(30 + body.size()) + le64(objects.size()).substr(0, 4) + "\x01\x02"s +
         body + "data that follows the header";
}

std::string headerExtension(const std::vector<std::string>& objects) {
  std::string data;
  for (const std::string& o : objects) {
    data += o;
  }
  return asfObject(kHeaderExtension,
                   std::string(16, '\0') + "\x06\0"s + le64(data.size()).substr(0, 4) + data);
}

std::string asfExtension(const std::string& bytes) {
  return extensionOf(identifyAsfMedia(BufferSource(bytes)));
}

TEST(AsfMediaTest, StreamsTellAudioFromVideo) {
  const std::string picture = asfObject(std::string(16, '\x77'), std::string(70000, 'p'));
  std::string huge_size = asf({streamProperties(kVideo)});
  huge_size[30 + 16 + 7] = '\x7f';  // the first object claims more than the header
  const struct {
    const char* what;
    std::string bytes;
    const char* want;
  } kCases[] = {
      {"audio", asf({streamProperties(kAudio)}), "wma"},
      {"audio and video", asf({streamProperties(kAudio), streamProperties(kVideo)}), "wmv"},
      {"after a large picture", asf({picture, streamProperties(kAudio)}), "wma"},
      {"in the header extension",
       asf({headerExtension({asfObject(kExtendedStreamProperties,
                                       std::string(64, '\0') + streamProperties(kVideo))})}),
       "wmv"},
      {"no streams", asf({picture}), ""},
      {"object larger than the header", huge_size, ""},
      {"zero-sized object", asf({kStreamProperties + le64(0)}), ""},
      {"not asf", "\x30\x26\xb2\x75 and no more"s, ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(asfExtension(c.bytes), c.want);
  }
}

// --- Text headers ---------------------------------------------------------

TEST(TextHeaderTest, RadianceVCalendarAndPdfAfterLeadingBytes) {
  const struct {
    const char* what;
    std::string head;
    const char* want;
  } kCases[] = {
      {"radiance", "#?RADIANCE\nFORMAT=32-bit_rle_rgbe\n\n-Y 2 +X 2\n", "hdr"},
      {"rgbe", "#?RGBE\nFORMAT=32-bit_rle_rgbe\n\n-Y 2 +X 2\n", "hdr"},
      {"radiance-like name", "#?RADIANCEX\n", ""},
      {"vcalendar 1.0", "BEGIN:VCALENDAR\r\nPRODID:x\r\nVERSION:1.0\r\nBEGIN:VEVENT\r\n", "vcs"},
      {"vcalendar 1.0 after a BOM",
       "\xef\xbb\xbf"
       "BEGIN:VCALENDAR\nVERSION:1.0\n",
       "vcs"},
      {"icalendar", "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\n", ""},
      {"version inside an event", "BEGIN:VCALENDAR\nBEGIN:VEVENT\nVERSION:1.0\n", ""},
      {"vcard", "BEGIN:VCARD\nVERSION:1.0\n", ""},
      {"pdf after a mail header",
       "From: a@b\r\nSubject: x\r\n\r\n%PDF-1.4\n1 0 obj\n<<>>\nendobj\n", "pdf"},
      {"pdf after a binary prefix", "\x01\x02\x03%PDF-2.0\n1 0 obj <<>> endobj", "pdf"},
      {"pdf cut in its first object, after spaces", "   %PDF-1.3\n1 0 obj\n<< /Length 5 >>\nstr",
       "pdf"},
      // libmagic names a header at the start; a quoted header is no PDF.
      {"pdf header at the start", "%PDF-1.4\n1 0 obj\n<<>>\nendobj\n", ""},
      {"header quoted in code", "x = \"%PDF-1.4\"  # then an obj\n", ""},
      {"header with no object after it", "Usage:\n%PDF-1.4 is the header\n", ""},
      {"header without a version", "junk\n%PDF-x.4\n1 0 obj\n", ""},
      {"header past the first kilobyte",
       std::string(1100, 'a') + "\n%PDF-1.4\n1 0 obj <<>> endobj", ""},
      {"header cut short", "junk\n%PDF-1", ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(extensionOf(identifyTextHeader(c.head)), c.want);
  }
}

// --- E-books through the engine -------------------------------------------

// A Palm database of type BOOKMOBI whose first record opens a MOBI header
// of file version |version|.
std::string mobiBook(std::uint32_t version) {
  const auto be32 = [](std::uint32_t v) {
    return std::string{static_cast<char>(v >> 24), static_cast<char>((v >> 16) & 0xff),
                       static_cast<char>((v >> 8) & 0xff), static_cast<char>(v & 0xff)};
  };
  std::string book = "book" + std::string(56, '\0') + "BOOKMOBI" + std::string(8, '\0') + "\0\x01"s;
  book += be32(88) + std::string(4, '\0');  // the first record, at 88
  book.resize(88, '\0');
  book += "\0\x01\0\0\0\0\0\x64\0\x01\x10\0\0\0\0\0"s;  // PalmDOC header
  book += "MOBI" + be32(232) + be32(2) + be32(65001) + be32(1) + be32(version);
  return book + std::string(300, '\0');
}

class EBookTest : public LoadedEngineTest {};

TEST_F(EBookTest, KindleAndSonyBooksByTheirHeaders) {
  const struct {
    const char* what;
    std::string bytes;
    const char* want;
  } kCases[] = {
      {"kf8 alone", mobiBook(8), "azw3"},
      {"mobipocket", mobiBook(6), "mobi"},
      {"sony bbeb", "L\0R\0F\0\0\0\x99\x03"s + std::string(200, '\0'), "lrf"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    const Analysis analysis = engine_->analyze(BufferSource(c.bytes));
    ASSERT_FALSE(analysis.results.empty());
    EXPECT_EQ(analysis.results.front().extension, c.want);
  }
}

// --- PEM-armoured PKCS#7 through the engine -------------------------------

class PemPkcs7Test : public LoadedEngineTest {};

// A CMS message written as text, armoured or bare base64, is named by what
// it holds, as its DER form is: signed data that names no digest algorithm
// is a bundle of certificates. A block the reader cannot read stays PEM
// data, and base64 that is no CMS message stays text.
TEST_F(PemPkcs7Test, NamedByWhatTheMessageHolds) {
  const struct {
    const char* text;
    const char* want;
  } kCases[] = {
      {"-----BEGIN PKCS7-----\nMCMGCSqGSIb3DQEHAqAWMBQCAQExADALBgkqhkiG9w0BBwExAA==\n"
       "-----END PKCS7-----\n",
       "p7b"},
      // The base64 wrapped at its fourth byte, as at any line length.
      {"-----BEGIN PKCS7-----\nMCMG\nCSqGSIb3DQEHAqAWMBQCAQExADALBgkqhkiG9w0BBwExAA==\n"
       "-----END PKCS7-----\n",
       "p7b"},
      {"-----BEGIN CMS-----\nMCMGCSqGSIb3DQEHAqAWMBQCAQExADALBgkqhkiG9w0BBwExAA==\n"
       "-----END CMS-----\n",
       "p7b"},
      // Signed with SHA-256 over content it does not hold: a detached
      // signature, not a bundle.
      {"-----BEGIN PKCS7-----\nMDIGCSqGSIb3DQEHAqAlMCMCAQExDzANBglghkgBZQMEAgEFADALBgkqhkiG9w0BBwExAA==\n"
       "-----END PKCS7-----\n",
       "p7s"},
      // Enveloped data, whatever follows its content type.
      {"-----BEGIN PKCS7-----\nMCMGCSqGSIb3DQEHA6AWMBQCAQExADALBgkqhkiG9w0BBwExAA==\n"
       "-----END PKCS7-----\n",
       "p7m"},
      // Messages as bare base64, wrapped or not: a bundle and a detached
      // signature, each with a long-form length ("MI") as every real one.
      {"MIGLBgkqhkiG9w0BBwKgfjB8AgEBMQAwCwYJKoZIhvcNAQcBoGYwZAUFBQUFBQUFBQUFBQUFBQUFBQUFBQUF"
       "BQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUF"
       "BQUFBQUFBQUFBQUxAA==\n",
       "p7b"},
      {"MIGzBgkqhkiG9w0BBwKggaUwgaICAQExDTALBglghkgBZQMEAgEwCwYJKoZIhvcNAQcBoGYwZAUFBQUF\r\n"
       "BQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUF\r\n"
       "BQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUxGTAXAgEBBQUFBQUFBQUFBQUFBQUFBQUFBQU=\r\n",
       "p7s"},
      // Base64 of another DER structure, and prose that opens with "MI".
      {"MIIBCgKCAQEAwUdHPiQnlWuCkUTZJ3Cm\n", "txt"},
      {"MIT License\n\nPermission is hereby granted, free of charge, to any person.\n", "txt"},
      // Cut inside the signed data's header, or right after the version's tag
      // and length, and not base64 at all.
      {"-----BEGIN PKCS7-----\nMCMGCSqGSIb3DQEHAqAW\n", "pem"},
      {"-----BEGIN PKCS7-----\nMCMGCSqGSIb3DQEHAqAWMBQCAQ==\n-----END PKCS7-----\n", "pem"},
      {"-----BEGIN PKCS7-----\n#not base64#\n-----END PKCS7-----\n", "pem"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(firstExtension(c.text), c.want);
  }
}

// A signed document holds the document's own header within its first
// kilobyte ("%PDF-1.7" and an object after the message's header): the file
// is the envelope, which only a signature verifier opens.
TEST_F(PemPkcs7Test, SignedDocumentIsItsEnvelope) {
  const std::string pdf =
      "%PDF-1.7\n1 0 obj\n<< /Type /Catalog >>\nendobj\n" + std::string(300, ' ');
  const std::string encapsulated = seq(kDataOid + explicit0(der(0x04, pdf)));
  EXPECT_EQ(firstExtension(contentInfo(kSignedOid, signedData(kSha256, encapsulated, kSignerInfos))),
            "p7m");
  // Leading bytes that are no message leave the PDF behind them found.
  EXPECT_EQ(firstExtension("0 leading line\n" + pdf), "pdf");
}

// --- Camera raw files through the engine ----------------------------------

class RawImageEngineTest : public LoadedEngineTest {};

TEST_F(RawImageEngineTest, MinoltaRawByItsBlocks) {
  // "\0MRM" and its length, then the picture dimensions block "\0PRD".
  const std::string mrw = "\0MRM\0\0\x0a\x0c\0PRD\0\0\0\x18"s + "27200001" + std::string(200, '\x09');
  std::string other_block = mrw;
  other_block[9] = 'X';
  const Analysis named = engine_->analyze(BufferSource(mrw));
  ASSERT_FALSE(named.results.empty());
  EXPECT_EQ(named.results.front().extension, "mrw");
  const Analysis analysis = engine_->analyze(BufferSource(other_block));
  EXPECT_TRUE(analysis.results.empty() || analysis.results.front().extension != "mrw");
}

// --- Damaged containers through the engine --------------------------------

class DamagedContainerTest : public LoadedEngineTest {};

TEST_F(DamagedContainerTest, EveryOneGetsAnAnalysisSoon) {
  const TiffWriter le(false);
  std::string cut_zip =
      "PK\x03\x04\x14\0\0\0\x08\0\0\0\0\0\0\0\0\0\x40\0\0\0\x40\0\0\0\x13\0\0\0"s +
      "[Content_Types].xml" + std::string(10, '\x55');
  std::string zip_loop = cut_zip + "PK\x05\x06"s + std::string(18, '\0');
  zip_loop[zip_loop.size() - 6] = '\0';  // the directory starts at the file's start
  const std::string tiff_loop = le.write({{{make("NIKON"), {330, 4, 1, "", 0}}, 0}});
  std::string cms_past_end =
      contentInfo(kSignedOid, signedData(kSha256, seq(kDataOid), kSignerInfos));
  cms_past_end[2] = '\x7f';
  std::string pdf_no_object = "x\n%PDF-1.4\n"s;
  for (int i = 0; i < 50000; ++i) {
    pdf_no_object += "a obj";
  }
  std::string asf_count = asf({streamProperties(kAudio)});
  asf_count[24] = '\xff';
  asf_count[27] = '\xff';
  const struct {
    const char* what;
    std::string bytes;
  } kCases[] = {
      {"zip cut after its first header", cut_zip},
      {"zip whose directory points at its start", zip_loop},
      {"zip magic alone", "PK\x03\x04"s},
      {"tiff directory pointing at itself", tiff_loop},
      {"cms length past the end", cms_past_end},
      {"asf claiming four billion objects", asf_count},
      {"phase one mark cut short", "II*\0\x08\0\0\0II"s},
      {"pdf header after a line, then no object in 256 KiB", pdf_no_object},
      {"pdf header after a line, cut in its version", "x\n%PDF-1."s},
      {"minolta raw block alone", "\0MRM\0\0\x0a\x0c\0PR"s},
      {"compound file header alone",
       "\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1"s + std::string(504, '\xff')},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    const auto start = std::chrono::steady_clock::now();
    engine_->analyze(BufferSource(c.bytes));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  }
}

}  // namespace
}  // namespace ident
