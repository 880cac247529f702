// Turns the definitions of text kinds (text/kinds/*.kind) into the tables
// behind text/kinds.h, at build time:
// make_text_kinds HEADER SOURCE KIND-FILE... A kind is added by adding its
// file; a mistake in one fails the build with the file and line.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/text_kind_definitions.h"

namespace {

bool writeIfChanged(const std::string& path, const std::string& text) {
  // Unchanged output keeps its time, so that what includes it is not rebuilt.
  std::ifstream old(path);
  std::stringstream before;
  before << old.rdbuf();
  if (old && before.str() == text) {
    return true;
  }
  std::ofstream out(path);
  out << text;
  return out.good();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: make_text_kinds HEADER SOURCE KIND-FILE...\n");
    return 2;
  }
  std::vector<ident::tools::KindFile> files;
  for (int i = 3; i < argc; ++i) {
    std::ifstream in(argv[i]);
    if (!in) {
      std::fprintf(stderr, "make_text_kinds: cannot read %s\n", argv[i]);
      return 1;
    }
    std::stringstream text;
    text << in.rdbuf();
    files.push_back({argv[i], text.str()});
  }
  std::string err;
  const auto kinds = ident::tools::readKindDefinitions(std::move(files), &err);
  if (!kinds) {
    std::fprintf(stderr, "make_text_kinds: %s\n", err.c_str());
    return 1;
  }
  if (!writeIfChanged(argv[1], ident::tools::kindHeader(*kinds)) ||
      !writeIfChanged(argv[2], ident::tools::kindSource(*kinds))) {
    std::fprintf(stderr, "make_text_kinds: cannot write the tables\n");
    return 1;
  }
  return 0;
}
