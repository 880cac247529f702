#include "signatures/signature_table.h"

namespace signatures {
namespace {

using namespace std::string_view_literals;

// Row order is match priority. No row's magic is a prefix of another's, so
// at most one row matches any header; the order still decides the report.
constexpr BuiltinSignatureTable kTable = {{
    {"swf",  "CWS"sv},
    {"exe",  "MZ"sv},  // refined to sys or dll from the PE header
    {"pdf",  "%PDF"sv},
    {"rar",  "Rar!\x1a\x07\x00"sv},
    {"JS",   "function"sv},
    {"JS",   "("sv},
    {"JS",   "var"sv},
    {"VBA",  "MIME-Ver"sv},
    {"html", "<"sv},
    {"dmg",  "x"sv},
    {"rtf",  "{\\rt"sv},
    {"gz",   "\x1f\x8b\x08"sv},
    {"pl",   "#!/usr/bin/perl"sv},
    {"7z",   "7z"sv},
    {"ELF",  "\x7f" "ELF"sv},
    {"bat",  "@echo"sv},
    {"bat",  "echo"sv},
    {"txt",  "\n"sv},
    {"txt",  "\r\n"sv},
}};

}  // namespace

const BuiltinSignatureTable& builtinSignatureTable() { return kTable; }

}  // namespace signatures
