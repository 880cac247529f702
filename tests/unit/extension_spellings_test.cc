#include "signatures/extension_spellings.h"

#include <gtest/gtest.h>

#include <string>

namespace signatures {
namespace {

TEST(ExtensionSpellingsTest, NameCarriesTheExtensionInAnyUsualSpelling) {
  static const struct {
    std::string_view name, extension;
    bool want;
  } kCases[] = {
      {"a.pdf", "pdf", true},
      {"a.PDF", "pdf", true},
      {"a.Pdf", "PDF", true},
      {"b.jpeg", "jpg", true},
      {"b.JPE", "jpg", true},
      {"b.jpg", "jpeg", true},  // either spelling may be the one reported
      {"c.htm", "html", true},
      {"c.HTML", "htm", true},
      {"d.tgz", "gz", true},
      {"d.tar.gz", "gz", true},
      {"e.tiff", "tif", true},
      {"f.yml", "yaml", true},
      {"g.js", "JS", true},
      {"g.mjs", "JS", true},
      {"h.cmd", "bat", true},
      {"i.Linux_ELF", "ELF", true},
      {"i.elf", "ELF", true},
      {"j.cc", "cpp", true},
      {"k.mac.dmg", "dmg", true},
      {"store.sqlite3", "sqlite", true},
      {"l.tar.gz", "tar.gz", true},  // a dotted extension as a whole
      // Only the end of the name counts, and only after a dot.
      {"e.png", "pdf", false},
      {"report.pdf.bak", "pdf", false},
      {"pdf", "pdf", false},
      {"apdf", "pdf", false},
      {"a.xpdf", "pdf", false},
      {"a.", "pdf", false},
      {"a.pdf", "", false},
      {"l.gz", "tar.gz", false},
      // Related types are not spellings of one another.
      {"m.dll", "exe", false},
      {"n.jpg", "png", false},
      {"o.tar", "gz", false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.name) + " " + std::string(c.extension));
    EXPECT_EQ(carriesExtension(c.name, c.extension), c.want);
  }
}

}  // namespace
}  // namespace signatures
