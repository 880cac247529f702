// Real files made by real encoders (ffmpeg, sox, ImageMagick, LibreOffice,
// openssl, gnupg, mkfs, qemu-img, ...), each cut to its first few kilobytes,
// go through the engine: every one must get its format's usual extension.
// They cover the formats libmagic names with a type shared by other formats,
// with a generic type, or not at all (our definitions pack).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "io/byte_source.h"
#include "engine.h"
#include "loaded_engine.h"

namespace ident {
namespace {

const std::filesystem::path kSamples = IDENT_SAMPLES_DIR;

// Sample file (its name less ".sample") and the extension it must get.
constexpr struct {
  const char* sample;
  const char* want;
} kCases[] = {
    // Audio: types libmagic leaves generic or shares (layer II is audio/mpeg).
    {"aac", "aac"}, {"ac3", "ac3"}, {"adx", "adx"}, {"m4a", "m4a"}, {"w64", "w64"},
    {"mp2", "mp2"}, {"8svx", "8svx"}, {"maud", "maud"}, {"avr", "avr"}, {"caf", "caf"},
    {"voc", "voc"}, {"ircam", "sf"}, {"sph", "sph"}, {"prc", "prc"}, {"smp", "smp"},
    {"tta", "tta"}, {"wv", "wv"}, {"txw", "txw"},
    // Audio our pack knows: E-AC-3 apart from AC-3, Matroska without video.
    {"eac3", "eac3"}, {"dts", "dts"}, {"wve", "wve"}, {"hcom", "hcom"}, {"mka", "mka"},
    {"sndt", "snd"}, {"midi", "mid"},
    // Audio other writers make: A-law Sun audio, big-endian WAVE (RIFX), and
    // Matroska audio whose DocType ends in a NUL (GStreamer).
    {"au-alaw", "au"}, {"wav-rifx", "wav"}, {"mka-nul-doctype", "mka"},
    // Lossless audio that a tagger gave an ID3v2 tag in front.
    {"tta-id3", "tta"}, {"wv-id3", "wv"},
    // Windows Media: ASF named by its streams, audio alone or with video.
    {"wma", "wma"}, {"wmv", "wmv"},
    // Video.
    {"avi", "avi"}, {"swf", "swf"}, {"3gp", "3gp"}, {"3g2", "3g2"}, {"m1v", "mpg"},
    {"dv", "dv"}, {"h264", "h264"}, {"nut", "nut"}, {"mkv", "mkv"}, {"hevc", "hevc"},
    {"ivf", "ivf"}, {"y4m", "y4m"}, {"mpeg-ts", "ts"}, {"gxf", "gxf"}, {"mov", "mov"},
    // H.264 that opens with an access unit delimiter before its parameter set.
    {"h264-delimited", "h264"},
    // 3GPP2 movie under KDDI's major brand.
    {"3g2-kddi", "3g2"},
    // Pictures and print.
    {"dcx", "dcx"}, {"dpx", "dpx"}, {"miff", "miff"}, {"pam", "pam"}, {"pgm", "pgm"},
    {"qoi", "qoi"}, {"jng", "jng"}, {"cin", "cin"}, {"dds", "dds"}, {"hdr", "hdr"},
    {"sgi", "sgi"}, {"sun", "ras"}, {"emf", "emf"}, {"pcl", "pcl"}, {"pcl-mono", "pcl"},
    {"pfm", "pfm"}, {"phm", "phm"}, {"viff", "viff"}, {"pict", "pict"}, {"xbm", "xbm"},
    {"heic", "heic"}, {"djvu", "djvu"},
    // Radiance pictures under the older "#?RGBE" header, which reads as text.
    {"hdr-rgbe", "hdr"},
    // Camera raw images laid out as TIFF (metadata kept, image data cut):
    // Nikon and Adobe by their tags, Panasonic by its header.
    {"nef", "nef"}, {"dng", "dng"}, {"rw2", "rw2"},
    // Plain (ASCII) Netpbm pictures, which read as text.
    {"pbm-plain", "pbm"}, {"pgm-plain", "pgm"}, {"ppm-plain", "ppm"},
    // An icon and a cursor whose first image, a large PNG, makes the
    // directory look like a Targa header.
    {"ico-large-first", "ico"}, {"cur-large-first", "cur"},
    // Documents, 3-D models and fonts.
    {"doc", "doc"}, {"xls", "xls"}, {"dif", "dif"}, {"slk", "slk"}, {"fbx", "fbx"}, {"ply", "ply"},
    {"ply-ascii", "ply"}, {"dfont", "dfont"}, {"ttc", "ttc"}, {"pfa", "pfa"}, {"3ds", "3ds"},
    {"assbin", "assbin"}, {"fbx-ascii", "fbx"}, {"step", "stp"}, {"stl-ascii", "stl"},
    {"3mf", "3mf"}, {"stl", "stl"},
    // Office Open XML told by its main part's content type (LibreOffice's
    // macro-enabled and template forms), and XPS (ghostscript).
    {"docm", "docm"}, {"dotx", "dotx"}, {"xlsm", "xlsm"}, {"xltx", "xltx"}, {"xps", "xps"},
    // A vCalendar 1.0 file, which an iCalendar's VERSION tells apart.
    {"vcs", "vcs"},
    // Archives, patches, databases and scientific data.
    {"bzip2", "bz2"}, {"bsdiff", "bsdiff"}, {"lrzip", "lrz"}, {"lzop", "lzo"},
    {"vcdiff", "vcdiff"}, {"zpaq", "zpaq"}, {"berkeley-db", "db"}, {"gdbm", "gdbm"},
    {"git-pack", "pack"}, {"git-idx", "idx"}, {"git-bundle", "bundle"}, {"hdf5", "h5"},
    {"git-bundle-v3", "bundle"},
    {"mat-v4", "mat"}, {"mat-v5", "mat"}, {"npz", "npz"}, {"pickle-protocol2", "pkl"},
    {"pickle-protocol4", "pkl"}, {"netcdf4", "nc"},
    {"pcap", "pcap"}, {"wim", "wim"},
    // Keys, certificates and encrypted data.
    {"der-cert", "der"}, {"der-csr", "csr"}, {"p7b", "p7b"}, {"gpg-kbx", "kbx"},
    {"gpg-msg", "gpg"}, {"openssl-enc", "enc"}, {"jks", "jks"}, {"der-key", "der"},
    {"der-key-pkcs8", "der"}, {"der-key-rsa", "der"}, {"p12", "p12"}, {"gpg-sig", "sig"},
    {"p7s", "p7s"}, {"der-key-ed25519", "der"},
    // CMS messages by their content type (openssl): signed with the
    // content, in DER and streamed BER, enveloped, and a time-stamp
    // response and its token.
    {"p7m-signed", "p7m"}, {"p7m-ber", "p7m"}, {"p7m-enveloped", "p7m"}, {"tsr", "tsr"},
    {"tst", "tsr"},
    // Messages encrypted to a public key: an ECDH session key with a one-byte
    // packet length, an RSA one with a two-byte length.
    {"gpg-pkesk", "gpg"}, {"gpg-pkesk-rsa", "gpg"},
    // Objects and bytecode.
    {"wasm", "wasm"}, {"coff-obj", "obj"}, {"omf-obj", "obj"}, {"ocaml-bytecode", "cmo"},
    // Disk and file-system images.
    {"qed", "qed"}, {"vmdk", "vmdk"}, {"squashfs", "squashfs"}, {"fat12", "img"},
    {"ntfs", "img"}, {"mbr", "img"}, {"ext4", "img"}, {"btrfs", "img"}, {"cramfs", "img"},
    {"minix", "img"}, {"swap", "img"}, {"vhdx", "vhdx"}, {"udf", "iso"},
    {"qcow2", "qcow2"},
};

std::string readSample(const std::string& name) {
  std::ifstream in(kSamples / (name + ".sample"), std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

class FormatSamplesTest : public LoadedEngineTest {};

TEST_F(FormatSamplesTest, RealFilesGetTheirFormatsUsualExtension) {
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.sample);
    const std::string bytes = readSample(c.sample);
    ASSERT_FALSE(bytes.empty()) << "missing sample";
    const Analysis analysis = engine_->analyze(BufferSource(bytes));
    ASSERT_FALSE(analysis.results.empty());
    EXPECT_EQ(analysis.results.front().extension, c.want)
        << analysis.results.front().description;
  }
}

TEST_F(FormatSamplesTest, EverySampleFileHasACase) {
  std::set<std::string> listed;
  for (const auto& c : kCases) {
    listed.insert(c.sample);
  }
  for (const auto& entry : std::filesystem::directory_iterator(kSamples)) {
    EXPECT_TRUE(listed.count(entry.path().stem().string()))
        << entry.path() << " is tested by no case";
  }
}

}  // namespace
}  // namespace ident
