#include "asf_media.h"

#include <cstdint>
#include <string>
#include <string_view>

#include "io/byte_order.h"

namespace ident {

namespace {

using namespace std::string_view_literals;

// Object GUIDs as stored (the first three fields little-endian).
constexpr std::string_view kHeaderObject =
    "\x30\x26\xb2\x75\x8e\x66\xcf\x11\xa6\xd9\x00\xaa\x00\x62\xce\x6c"sv;
constexpr std::string_view kStreamProperties =
    "\x91\x07\xdc\xb7\xb7\xa9\xcf\x11\x8e\xe6\x00\xc0\x0c\x20\x53\x65"sv;
constexpr std::string_view kHeaderExtension =
    "\xb5\x03\xbf\x5f\x2e\xa9\xcf\x11\x8e\xe3\x00\xc0\x0c\x20\x53\x65"sv;
constexpr std::string_view kExtendedStreamProperties =
    "\xcb\xa5\xe6\x14\x72\xc6\x32\x43\x83\x99\xa9\x69\x52\x06\x5b\x5a"sv;
constexpr std::string_view kAudioMedia =
    "\x40\x9e\x69\xf8\x4d\x5b\xcf\x11\xa8\xfd\x00\x80\x5f\x5c\x44\x2b"sv;
constexpr std::string_view kVideoMedia =
    "\xc0\xef\x19\xbc\x4d\x5b\xcf\x11\xa8\xfd\x00\x80\x5f\x5c\x44\x2b"sv;

constexpr std::size_t kGuidSize = 16;
constexpr std::size_t kObjectHeaderSize = 24;  // GUID and 64-bit size
constexpr std::size_t kHeaderObjectSize = 30;  // with the object count and two reserved bytes
// Where a header extension's objects start, and a stream properties
// object's stream type lies.
constexpr std::size_t kExtensionDataOffset = 46;
constexpr std::size_t kStreamTypeOffset = 24;
// Bounds on the work one file may cause.
constexpr std::size_t kMaxObjects = 1024;
constexpr std::size_t kMaxExtensionBytes = 1 << 20;

struct Streams {
  bool audio = false;
  bool video = false;

  void add(std::string_view type) {
    audio = audio || type == kAudioMedia;
    video = video || type == kVideoMedia;
  }
};

// The stream types in the objects of a header extension's data |data|: its
// stream properties objects, and those that extended stream properties
// objects carry at their end.
void readExtension(std::string_view data, Streams* streams) {
  std::size_t at = 0;
  for (std::size_t n = 0; n < kMaxObjects && data.size() - at >= kObjectHeaderSize; ++n) {
    const std::uint64_t size = little64(data, at + kGuidSize);
    if (size < kObjectHeaderSize || size > data.size() - at) {
      return;
    }
    const std::string_view object = data.substr(at, static_cast<std::size_t>(size));
    const std::string_view guid = object.substr(0, kGuidSize);
    if (guid == kStreamProperties && object.size() >= kStreamTypeOffset + kGuidSize) {
      streams->add(object.substr(kStreamTypeOffset, kGuidSize));
    } else if (guid == kExtendedStreamProperties) {
      const std::size_t inner = object.find(kStreamProperties, kObjectHeaderSize);
      if (inner != std::string_view::npos &&
          object.size() - inner >= kStreamTypeOffset + kGuidSize) {
        streams->add(object.substr(inner + kStreamTypeOffset, kGuidSize));
      }
    }
    at += static_cast<std::size_t>(size);
  }
}

}  // namespace

std::optional<Result> identifyAsfMedia(const ByteSource& source) {
  std::string header;
  if (!source.readAt(0, kHeaderObjectSize, &header) || header.size() != kHeaderObjectSize ||
      std::string_view(header).substr(0, kGuidSize) != kHeaderObject) {
    return std::nullopt;
  }
  const std::uint64_t end = std::min<std::uint64_t>(little64(header, kGuidSize), source.size());
  const std::uint32_t count = little32(header, kObjectHeaderSize);
  Streams streams;
  std::uint64_t at = kHeaderObjectSize;
  for (std::uint32_t n = 0; n < count && n < kMaxObjects && end >= at + kObjectHeaderSize; ++n) {
    std::string object;
    if (!source.readAt(at, kObjectHeaderSize + kGuidSize, &object) ||
        object.size() < kObjectHeaderSize) {
      break;
    }
    const std::uint64_t size = little64(object, kGuidSize);
    if (size < kObjectHeaderSize || size > end - at) {
      break;
    }
    const std::string_view guid = std::string_view(object).substr(0, kGuidSize);
    if (guid == kStreamProperties && object.size() == kObjectHeaderSize + kGuidSize) {
      streams.add(std::string_view(object).substr(kStreamTypeOffset, kGuidSize));
    } else if (guid == kHeaderExtension && size > kExtensionDataOffset &&
               size <= kMaxExtensionBytes) {
      std::string extension;
      if (source.readAt(at, static_cast<std::size_t>(size), &extension) &&
          extension.size() == size) {
        readExtension(std::string_view(extension).substr(kExtensionDataOffset), &streams);
      }
    }
    at += size;
  }
  if (streams.video) {
    return Result{"wmv", "Windows Media video (ASF)"};
  }
  if (streams.audio) {
    return Result{"wma", "Windows Media audio (ASF)"};
  }
  return std::nullopt;
}

}  // namespace ident
