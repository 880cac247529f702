#include "extension_map.h"

#include <fnmatch.h>

#include <algorithm>
#include <array>
#include <tuple>
#include <utility>

namespace ident {

namespace {

using namespace std::string_view_literals;

// Types libmagic reports that the shared MIME database does not know, or
// for which its several patterns would pick an unusual one (cap for pcap,
// f4a for M4A, swm for WIM, qt for QuickTime, djv for DjVu); and every type
// the host names from a fixed signature, so that a folder of photos or
// archives never waits for the database to be parsed. An empty extension
// means "conventionally none" and stops the search (executables).
constexpr std::array kMimeTable{
    std::pair{"application/gzip"sv, "gz"sv},
    std::pair{"application/java-archive"sv, "jar"sv},
    std::pair{"application/javascript"sv, "js"sv},
    std::pair{"application/json"sv, "json"sv},
    std::pair{"application/msonenote"sv, "one"sv},
    std::pair{"application/ogg"sv, "ogg"sv},
    std::pair{"application/postscript"sv, "ps"sv},
    std::pair{"application/rdf+xml"sv, "rdf"sv},
    std::pair{"application/vnd.microsoft.portable-executable"sv, "exe"sv},
    std::pair{"application/vnd.ms-excel"sv, "xls"sv},
    std::pair{"application/vnd.ms-fontobject"sv, "eot"sv},
    std::pair{"application/vnd.ms-opentype"sv, "otf"sv},
    std::pair{"application/vnd.ms-outlook"sv, "msg"sv},
    std::pair{"application/vnd.ms-powerpoint"sv, "ppt"sv},
    std::pair{"application/vnd.ms-project"sv, "mpp"sv},
    std::pair{"application/vnd.ms-tnef"sv, "tnef"sv},
    std::pair{"application/vnd.ms-works"sv, "wps"sv},
    std::pair{"application/vnd.sqlite3"sv, "sqlite"sv},
    std::pair{"application/vnd.tcpdump.pcap"sv, "pcap"sv},
    std::pair{"application/vnd.wordperfect"sv, "wpd"sv},
    std::pair{"application/wasm"sv, "wasm"sv},
    std::pair{"application/winhelp"sv, "hlp"sv},
    std::pair{"application/x-ace-compressed"sv, "ace"sv},
    std::pair{"application/x-arc"sv, "arc"sv},
    std::pair{"application/x-archive"sv, "a"sv},
    std::pair{"application/x-bytecode.python"sv, "pyc"sv},
    std::pair{"application/x-bzip2"sv, "bz2"sv},
    std::pair{"application/x-chrome-extension"sv, "crx"sv},
    std::pair{"application/x-coff"sv, "obj"sv},
    std::pair{"application/x-coredump"sv, "core"sv},
    std::pair{"application/x-dfont"sv, "dfont"sv},
    std::pair{"application/x-dif"sv, "dif"sv},
    std::pair{"application/x-dosexec"sv, "exe"sv},
    std::pair{"application/x-executable"sv, ""sv},
    std::pair{"application/x-font-ttf"sv, "ttf"sv},
    std::pair{"application/x-freemind"sv, "mm"sv},
    std::pair{"application/x-gba-rom"sv, "gba"sv},
    std::pair{"application/x-gdbm"sv, "gdbm"sv},
    std::pair{"application/x-git"sv, "pack"sv},
    std::pair{"application/x-grib"sv, "grb"sv},
    std::pair{"application/x-grib2"sv, "grib2"sv},
    std::pair{"application/x-hdf5"sv, "h5"sv},
    std::pair{"application/x-java-applet"sv, "class"sv},
    std::pair{"application/x-java-jmod"sv, "jmod"sv},
    std::pair{"application/x-java-keystore"sv, "jks"sv},
    std::pair{"application/x-matlab-data"sv, "mat"sv},
    std::pair{"application/x-mobipocket-ebook"sv, "mobi"sv},
    std::pair{"application/x-ms-evtx"sv, "evtx"sv},
    std::pair{"application/x-ms-pdb"sv, "pdb"sv},
    std::pair{"application/x-ms-reader"sv, "lit"sv},
    std::pair{"application/x-ms-sdb"sv, "sdb"sv},
    std::pair{"application/x-ms-shortcut"sv, "lnk"sv},
    std::pair{"application/x-ms-wim"sv, "wim"sv},
    std::pair{"application/x-nrg"sv, "nrg"sv},
    std::pair{"application/x-object"sv, "o"sv},
    std::pair{"application/x-pie-executable"sv, ""sv},
    std::pair{"application/x-qemu-disk"sv, "qcow2"sv},
    std::pair{"application/x-raw-disk-image"sv, "img"sv},
    std::pair{"application/x-scribus"sv, "sla"sv},
    std::pair{"application/x-sharedlib"sv, "so"sv},
    std::pair{"application/x-shellscript"sv, "sh"sv},
    std::pair{"application/x-shockwave-flash"sv, "swf"sv},
    std::pair{"application/x-svr4-package"sv, "pkg"sv},
    std::pair{"application/x-sylk"sv, "slk"sv},
    std::pair{"application/x-tar"sv, "tar"sv},
    std::pair{"application/x-tex-tfm"sv, "tfm"sv},
    std::pair{"application/x-ustar"sv, "tar"sv},
    std::pair{"application/x-winhelp"sv, "hlp"sv},
    std::pair{"application/x-xz"sv, "xz"sv},
    std::pair{"application/xml"sv, "xml"sv},
    std::pair{"application/zip"sv, "zip"sv},
    std::pair{"audio/amr"sv, "amr"sv},
    std::pair{"audio/flac"sv, "flac"sv},
    std::pair{"audio/midi"sv, "mid"sv},
    std::pair{"audio/mp4"sv, "m4a"sv},
    std::pair{"audio/mpeg"sv, "mp3"sv},
    std::pair{"audio/ogg"sv, "ogg"sv},
    std::pair{"audio/vnd.dolby.dd-raw"sv, "ac3"sv},
    std::pair{"audio/x-adx"sv, "adx"sv},
    std::pair{"audio/x-flac"sv, "flac"sv},
    std::pair{"audio/x-hx-aac-adif"sv, "aac"sv},
    std::pair{"audio/x-hx-aac-adts"sv, "aac"sv},
    std::pair{"audio/x-m4a"sv, "m4a"sv},
    std::pair{"audio/x-sfbk"sv, "sf2"sv},
    std::pair{"audio/x-vgm"sv, "vgm"sv},
    std::pair{"audio/x-w64"sv, "w64"sv},
    std::pair{"audio/x-wav"sv, "wav"sv},
    std::pair{"font/sfnt"sv, "ttf"sv},
    std::pair{"font/x-postscript-pfa"sv, "pfa"sv},
    std::pair{"font/x-postscript-pfb"sv, "pfb"sv},
    std::pair{"image/bmp"sv, "bmp"sv},
    std::pair{"image/bpg"sv, "bpg"sv},
    std::pair{"image/gif"sv, "gif"sv},
    std::pair{"image/heic"sv, "heic"sv},
    std::pair{"image/heic-sequence"sv, "heics"sv},
    std::pair{"image/heif"sv, "heif"sv},
    std::pair{"image/heif-sequence"sv, "heifs"sv},
    std::pair{"image/jls"sv, "jls"sv},
    std::pair{"image/jpeg"sv, "jpg"sv},
    std::pair{"image/jxr"sv, "jxr"sv},
    std::pair{"image/png"sv, "png"sv},
    std::pair{"image/svg+xml"sv, "svg"sv},
    std::pair{"image/tiff"sv, "tif"sv},
    std::pair{"image/vnd.djvu"sv, "djvu"sv},
    std::pair{"image/vnd.microsoft.icon"sv, "ico"sv},
    std::pair{"image/webp"sv, "webp"sv},
    std::pair{"image/x-dcx"sv, "dcx"sv},
    std::pair{"image/x-dpx"sv, "dpx"sv},
    std::pair{"image/x-miff"sv, "miff"sv},
    std::pair{"image/x-ms-bmp"sv, "bmp"sv},
    std::pair{"image/x-paintnet"sv, "pdn"sv},
    std::pair{"image/x-portable-arbitrarymap"sv, "pam"sv},
    std::pair{"image/x-portable-greymap"sv, "pgm"sv},
    std::pair{"image/x-qoi"sv, "qoi"sv},
    std::pair{"image/x-wpg"sv, "wpg"sv},
    std::pair{"image/x-x3f"sv, "x3f"sv},
    std::pair{"model/e57"sv, "e57"sv},
    std::pair{"model/vnd.collada+xml"sv, "dae"sv},
    std::pair{"model/vrml"sv, "wrl"sv},
    std::pair{"model/x3d+xml"sv, "x3d"sv},
    std::pair{"text/html"sv, "html"sv},
    std::pair{"text/javascript"sv, "js"sv},
    std::pair{"text/markdown"sv, "md"sv},
    std::pair{"text/plain"sv, "txt"sv},
    std::pair{"text/vcard"sv, "vcf"sv},
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
    std::pair{"text/x-texinfo"sv, "texi"sv},
    std::pair{"text/xml"sv, "xml"sv},
    std::pair{"video/3gpp"sv, "3gp"sv},
    std::pair{"video/3gpp2"sv, "3g2"sv},
    std::pair{"video/mp4"sv, "mp4"sv},
    std::pair{"video/mpeg"sv, "mpg"sv},
    std::pair{"video/mpeg4-generic"sv, "mp4"sv},
    std::pair{"video/ogg"sv, "ogv"sv},
    std::pair{"video/quicktime"sv, "mov"sv},
    std::pair{"video/x-dv"sv, "dv"sv},
    std::pair{"video/x-flc"sv, "flc"sv},
    std::pair{"video/x-jng"sv, "jng"sv},
    std::pair{"video/x-m4v"sv, "m4v"sv},
    std::pair{"video/x-matroska"sv, "mkv"sv},
    std::pair{"video/x-msvideo"sv, "avi"sv},
};

// Descriptions libmagic prints for formats its type does not tell apart, as
// fnmatch(3) patterns of the description's start; the first that fits wins.
// File-system and partitioned-disk images carry the generic "img".
constexpr std::array kDescriptionTable{
    // Audio.
    std::pair{"MPEG ADTS, layer II,*"sv, "mp2"sv},
    std::pair{"IFF data, 8SVX*"sv, "8svx"sv},
    std::pair{"IFF data, MAUD*"sv, "maud"sv},
    std::pair{"Audio Visual Research file*"sv, "avr"sv},
    std::pair{"CoreAudio Format audio file*"sv, "caf"sv},
    std::pair{"Creative Labs voice data*"sv, "voc"sv},
    std::pair{"IRCAM file*"sv, "sf"sv},
    std::pair{"NIST SPHERE file*"sv, "sph"sv},
    std::pair{"Psion Series 5 voice note*"sv, "prc"sv},
    std::pair{"Sample Vision file*"sv, "smp"sv},
    std::pair{"True Audio Lossless Audio*"sv, "tta"sv},
    std::pair{"WavPack Lossless Audio*"sv, "wv"sv},
    std::pair{"Yamaha TX Wave*"sv, "txw"sv},
    // A-law and other encodings libmagic types as octet streams.
    std::pair{"Sun/NeXT audio data*"sv, "au"sv},
    // Lossless audio behind an ID3v2 tag, which some taggers put there.
    std::pair{"Audio file with ID3 *True Audio Lossless Audio*"sv, "tta"sv},
    std::pair{"Audio file with ID3 *WavPack Lossless Audio*"sv, "wv"sv},
    // RIFX: RIFF with big-endian numbers.
    std::pair{"RIFF (big-endian) data, WAVE audio*"sv, "wav"sv},
    // Video and pictures.
    std::pair{"JVT NAL sequence, H.264*"sv, "h264"sv},
    std::pair{"NUT multimedia container*"sv, "nut"sv},
    std::pair{"Cineon image data*"sv, "cin"sv},
    std::pair{"Microsoft DirectDraw Surface (DDS)*"sv, "dds"sv},
    std::pair{"Radiance HDR image data*"sv, "hdr"sv},
    std::pair{"SGI image data*"sv, "sgi"sv},
    std::pair{"Sun raster image data*"sv, "ras"sv},
    std::pair{"Windows Enhanced Metafile (EMF)*"sv, "emf"sv},
    std::pair{"HP PCL printer data*"sv, "pcl"sv},
    std::pair{"HP Printer Job Language data*"sv, "pcl"sv},
    // 3-D models and fonts.
    std::pair{"Kaydara FBX model*"sv, "fbx"sv},
    std::pair{"PLY model*"sv, "ply"sv},
    std::pair{"TrueType font collection*"sv, "ttc"sv},
    std::pair{"PostScript Type 1 font text*"sv, "pfa"sv},
    // Archives, patches and databases.
    std::pair{"bsdiff(1) patch file*"sv, "bsdiff"sv},
    std::pair{"LRZIP compressed data*"sv, "lrz"sv},
    std::pair{"lzop compressed data*"sv, "lzo"sv},
    std::pair{"VCDIFF binary diff*"sv, "vcdiff"sv},
    std::pair{"ZPAQ file*"sv, "zpaq"sv},
    std::pair{"Berkeley DB *"sv, "db"sv},
    std::pair{"Git bundle*"sv, "bundle"sv},
    std::pair{"Git pack index*"sv, "idx"sv},
    // Keys, certificates and encrypted data.
    std::pair{"Certificate, Version=*"sv, "der"sv},
    std::pair{"DER Encoded Certificate request*"sv, "csr"sv},
    std::pair{"DER Encoded Key Pair*"sv, "der"sv},
    std::pair{"DER Encoded PKCS#7 Signed Data*"sv, "p7b"sv},
    std::pair{"GPG keybox database*"sv, "kbx"sv},
    std::pair{"GPG symmetrically encrypted data*"sv, "gpg"sv},
    std::pair{"openssl enc'd data with salted password*"sv, "enc"sv},
    // Objects and bytecode.
    std::pair{"8086 relocatable (Microsoft)*"sv, "obj"sv},
    std::pair{"OCaml object file (.cmo)*"sv, "cmo"sv},
    // Disk and file-system images.
    std::pair{"QEMU QED Image*"sv, "qed"sv},
    std::pair{"VMware4 disk image*"sv, "vmdk"sv},
    std::pair{"Microsoft Disk Image eXtended*"sv, "vhdx"sv},
    std::pair{"Squashfs filesystem*"sv, "squashfs"sv},
    std::pair{"DOS/MBR boot sector*"sv, "img"sv},
    std::pair{"Linux rev * ext? filesystem data*"sv, "img"sv},
    std::pair{"BTRFS Filesystem*"sv, "img"sv},
    std::pair{"Linux Compressed ROM File System data*"sv, "img"sv},
    std::pair{"Minix filesystem*"sv, "img"sv},
    std::pair{"Linux swap file*"sv, "img"sv},
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

std::string extensionForDescription(std::string_view description) {
  const std::string text(description);
  for (const auto& [pattern, ext] : kDescriptionTable) {
    // The patterns are literals that end in a NUL after their last character.
    if (fnmatch(pattern.data(), text.c_str(), 0) == 0) {
      return std::string(ext);
    }
  }
  return "";
}

bool isSharedType(std::string_view mime) {
  return mime == "application/x-object" || mime == "text/plain";
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
