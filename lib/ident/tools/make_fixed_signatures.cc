// Turns the commonest formats' definitions (trueext-common.magic, libmagic's
// text form) into the host's table of fixed signatures, at build time:
// make_fixed_signatures DEFINITIONS OUTPUT. The output is C++ that
// magic/fixed_signatures.cc includes, so the host's table and the
// definitions libmagic loads cannot disagree.
//
// Each definition (a line at level 0) becomes its first test and its
// branches: every path of continuation lines that ends in a line with a
// "!:mime" type is a branch, tried in the file's order. The host runs only
// tests it can run from a file's first bytes without reading an offset from
// the file: strings, 32-bit numbers equal to a value, and bytes compared
// with a value. A definition with any other test keeps its first test and
// no branch at all, which leaves such files to libmagic; so does one with a
// path that ends without a type. A first test that is not a string is an
// error: the host tells definitions apart by their first bytes.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "tools/fixed_signature_rules.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_fixed_signatures DEFINITIONS OUTPUT\n");
    return 2;
  }
  std::ifstream in(argv[1]);
  if (!in) {
    std::fprintf(stderr, "make_fixed_signatures: cannot read %s\n", argv[1]);
    return 1;
  }
  std::stringstream text;
  text << in.rdbuf();
  std::string err;
  const std::optional<std::string> table = ident::fixedSignatureTable(text.str(), &err);
  if (!table) {
    std::fprintf(stderr, "make_fixed_signatures: %s: %s\n", argv[1], err.c_str());
    return 1;
  }
  std::ofstream out(argv[2]);
  out << *table;
  return out.good() ? 0 : 1;
}
