#include "cms_message.h"

#include <climits>
#include <cstddef>
#include <string>

#include "container_libraries.h"

namespace ident {

namespace {

// Nesting followed to measure an element of indefinite length.
constexpr int kMaxDepth = 8;

// Universal tags, with the constructed bit where they are constructed.
constexpr unsigned long kTagInteger = 2;
constexpr unsigned long kTagOid = 6;
constexpr unsigned long kTagSequence = 16;
constexpr unsigned long kTagSet = 17;

// ContentInfo content types (PKCS#7 and S/MIME).
constexpr std::string_view kSignedData = "1.2.840.113549.1.7.2";
constexpr std::string_view kTstInfo = "1.2.840.113549.1.9.16.1.4";

// One element's tag and length, read with libtasn1 from the bytes at its
// start.
struct Element {
  unsigned char cls = 0;  // class bits and the constructed bit
  unsigned long tag = 0;
  std::size_t tag_bytes = 0;
  std::size_t header = 0;  // bytes of the tag and the length
  // The content's length: definite and within the bytes read, or not known
  // (indefinite, or past the bytes read).
  bool known = false;
  std::size_t length = 0;
  bool indefinite = false;

  bool is(unsigned char want_cls, unsigned long want_tag) const {
    return cls == want_cls && tag == want_tag;
  }
  bool isSequence() const { return is(ASN1_CLASS_STRUCTURED, kTagSequence); }
  // The content as far as the bytes hold it.
  std::string_view content(std::string_view bytes) const {
    const std::string_view rest = bytes.substr(header);
    return known ? rest.substr(0, length) : rest;
  }
};

class DerReader {
 public:
  explicit DerReader(const LibTasn1& asn1) : asn1_(asn1) {}

  // The element at the start of |bytes|; false when none can be read.
  bool parse(std::string_view bytes, Element* element) const {
    if (bytes.size() > INT_MAX) {
      bytes = bytes.substr(0, INT_MAX);
    }
    const auto* der = reinterpret_cast<const unsigned char*>(bytes.data());
    const int size = static_cast<int>(bytes.size());
    int tag_bytes = 0;
    if (asn1_.get_tag_der(der, size, &element->cls, &tag_bytes, &element->tag) != ASN1_SUCCESS ||
        tag_bytes <= 0 || tag_bytes >= size) {
      return false;
    }
    int length_bytes = 0;
    const long length = asn1_.get_length_der(der + tag_bytes, size - tag_bytes, &length_bytes);
    if (length_bytes <= 0 || length_bytes > size - tag_bytes) {
      return false;
    }
    element->tag_bytes = static_cast<std::size_t>(tag_bytes);
    element->header = static_cast<std::size_t>(tag_bytes + length_bytes);
    element->indefinite = length == -1;
    element->known = length >= 0;
    element->length = element->known ? static_cast<std::size_t>(length) : 0;
    // -4: the length runs past the bytes read; -2: beyond any int.
    return length >= -1 || length == -4 || length == -2;
  }

  // The bytes the element at the start of |bytes| takes in all, where they
  // lie within |bytes|: an indefinite one is measured by its parts up to
  // its end-of-contents mark.
  bool measure(std::string_view bytes, std::size_t* total, int depth = 0) const {
    Element element;
    if (depth > kMaxDepth || !parse(bytes, &element)) {
      return false;
    }
    if (element.known) {
      *total = element.header + element.length;
      return true;
    }
    if (!element.indefinite || (element.cls & ASN1_CLASS_STRUCTURED) == 0) {
      return false;
    }
    std::size_t at = element.header;
    while (at + 2 <= bytes.size()) {
      if (bytes[at] == '\0' && bytes[at + 1] == '\0') {
        *total = at + 2;
        return true;
      }
      std::size_t part = 0;
      if (!measure(bytes.substr(at), &part, depth + 1)) {
        return false;
      }
      at += part;
    }
    return false;
  }

  // The object identifier whose element starts |bytes|, dotted; "" when it
  // is none.
  std::string oid(std::string_view bytes) const {
    Element element;
    if (!parse(bytes, &element) || !element.is(0, kTagOid) || !element.known) {
      return "";
    }
    // Content types are short; libtasn1 writes each arc in decimal.
    char text[128];
    int used = 0;
    const auto* der = reinterpret_cast<const unsigned char*>(bytes.data()) + element.tag_bytes;
    if (element.length > 32 ||
        asn1_.get_object_id_der(
            der, static_cast<int>(element.header - element.tag_bytes + element.length), &used, text,
            sizeof text) != ASN1_SUCCESS) {
      return "";
    }
    return text;
  }

 private:
  const LibTasn1& asn1_;
};

// True when the end-of-contents mark or the end of a definite content
// |content| lies at |at|: nothing more follows.
bool atEnd(std::string_view content, std::size_t at, const Element& holder) {
  if (holder.known) {
    return at >= content.size();
  }
  return content.size() >= at + 2 && content[at] == '\0' && content[at + 1] == '\0';
}

// A SignedData structure, the start of |bytes|: a time-stamp token when it
// signs a TSTInfo, else by whether it carries its content and lists digest
// algorithms.
std::optional<Result> fromSignedData(const DerReader& der, std::string_view bytes) {
  Element signed_data;
  if (!der.parse(bytes, &signed_data) || !signed_data.isSequence()) {
    return std::nullopt;
  }
  const std::string_view body = signed_data.content(bytes);
  std::size_t at = 0;
  Element version;
  std::size_t size = 0;
  if (!der.parse(body, &version) || !version.is(0, kTagInteger) || !der.measure(body, &size)) {
    return std::nullopt;
  }
  at += size;
  Element digests;
  if (!der.parse(body.substr(at), &digests) || !digests.is(ASN1_CLASS_STRUCTURED, kTagSet) ||
      !der.measure(body.substr(at), &size)) {
    return std::nullopt;
  }
  const bool no_digests = size == digests.header + (digests.indefinite ? 2 : 0);
  at += size;
  Element encapsulated;
  if (!der.parse(body.substr(at), &encapsulated) || !encapsulated.isSequence()) {
    return std::nullopt;
  }
  const std::string_view encap_body = encapsulated.content(body.substr(at));
  const std::string content_type = der.oid(encap_body);
  if (content_type.empty() || !der.measure(encap_body, &size)) {
    return std::nullopt;
  }
  if (content_type == kTstInfo) {
    return Result{"tsr", "RFC 3161 time-stamp token"};
  }
  // Nothing is signed without a digest algorithm: a bundle of certificates
  // lists none, whether or not its writer gave it an (empty) content.
  if (no_digests) {
    return Result{"p7b", "PKCS#7 certificate bundle"};
  }
  if (!atEnd(encap_body, size, encapsulated)) {
    return Result{"p7m", "PKCS#7 / CMS signed data"};
  }
  return Result{"p7s", "PKCS#7 / CMS detached signature"};
}

// A ContentInfo, the start of |bytes|: its content type, and for signed
// data what the content holds.
std::optional<Result> fromContentInfo(const DerReader& der, std::string_view bytes) {
  Element info;
  if (!der.parse(bytes, &info) || !info.isSequence()) {
    return std::nullopt;
  }
  const std::string_view body = info.content(bytes);
  const std::string content_type = der.oid(body);
  std::size_t size = 0;
  if (content_type.empty() || !der.measure(body, &size)) {
    return std::nullopt;
  }
  static constexpr struct {
    std::string_view oid, extension, description;
  } kTypes[] = {
      {"1.2.840.113549.1.7.3", "p7m", "PKCS#7 / CMS enveloped data"},
      {"1.2.840.113549.1.7.4", "p7m", "PKCS#7 signed and enveloped data"},
      {"1.2.840.113549.1.7.5", "p7m", "PKCS#7 / CMS digested data"},
      {"1.2.840.113549.1.7.6", "p7m", "PKCS#7 / CMS encrypted data"},
      {"1.2.840.113549.1.9.16.1.2", "p7m", "CMS authenticated data"},
      {"1.2.840.113549.1.9.16.1.23", "p7m", "CMS authenticated enveloped data"},
      {"1.2.840.113549.1.9.16.1.9", "p7z", "CMS compressed data"},
      {"1.2.840.113549.1.9.16.1.31", "tsd", "RFC 5544 time-stamped data"},
  };
  // The content is explicitly tagged [0].
  Element explicit_content;
  const std::string_view rest = body.substr(size);
  if (!der.parse(rest, &explicit_content) ||
      !explicit_content.is(ASN1_CLASS_CONTEXT_SPECIFIC | ASN1_CLASS_STRUCTURED, 0)) {
    return std::nullopt;
  }
  if (content_type == kSignedData) {
    return fromSignedData(der, explicit_content.content(rest));
  }
  for (const auto& type : kTypes) {
    if (content_type == type.oid) {
      return Result{std::string(type.extension), std::string(type.description)};
    }
  }
  return std::nullopt;
}

// A time-stamp authority's response: a status (an INTEGER in a SEQUENCE),
// then the token, a ContentInfo of signed data.
std::optional<Result> fromTimeStampResponse(const DerReader& der, std::string_view bytes) {
  Element response;
  Element status_info;
  Element status;
  if (!der.parse(bytes, &response) || !response.isSequence()) {
    return std::nullopt;
  }
  const std::string_view body = response.content(bytes);
  std::size_t size = 0;
  if (!der.parse(body, &status_info) || !status_info.isSequence() ||
      !der.parse(status_info.content(body), &status) || !status.is(0, kTagInteger) ||
      !der.measure(body, &size)) {
    return std::nullopt;
  }
  const std::optional<Result> token = fromContentInfo(der, body.substr(size));
  if (!token || token->extension != "tsr") {
    return std::nullopt;
  }
  return Result{"tsr", "RFC 3161 time-stamp response"};
}

}  // namespace

bool mayBeCmsMessage(std::string_view head) {
  using namespace std::string_view_literals;
  if (head.size() < 2 || head[0] != '\x30') {
    return false;
  }
  if ((static_cast<unsigned char>(head[1]) & 0x80) != 0) {
    return true;
  }
  // 1.2.840.113549.1: the identifier's tag, a length, then these bytes.
  return head.size() >= 11 && head[2] == '\x06' &&
         head.substr(4, 7) == "\x2a\x86\x48\x86\xf7\x0d\x01"sv;
}

bool mayBeCmsText(std::string_view head) {
  using namespace std::string_view_literals;
  return head.starts_with("-----BEGIN PKCS7-----"sv) || head.starts_with("-----BEGIN CMS-----"sv) ||
         head.starts_with("MI"sv);
}

std::optional<Result> identifyCmsMessage(std::string_view head) {
  if (!mayBeCmsMessage(head)) {
    return std::nullopt;
  }
  const LibTasn1* asn1 = libTasn1();
  if (asn1 == nullptr) {
    return std::nullopt;
  }
  const DerReader der(*asn1);
  if (std::optional<Result> result = fromContentInfo(der, head)) {
    return result;
  }
  return fromTimeStampResponse(der, head);
}

}  // namespace ident
