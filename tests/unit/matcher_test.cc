#include "signatures/matcher.h"

#include <gtest/gtest.h>

#include <array>
#include <string_view>

#include "signatures/signature_table.h"

namespace signatures {
namespace {

using namespace std::string_view_literals;

// The header buffer as the scan fills it: the file's first bytes, then zeros.
std::array<unsigned char, kHeaderSize> headerOf(std::string_view bytes) {
  std::array<unsigned char, kHeaderSize> header{};
  for (std::size_t i = 0; i < bytes.size() && i < header.size(); ++i) {
    header[i] = static_cast<unsigned char>(bytes[i]);
  }
  return header;
}

// The extensions of every row that matches |bytes|, in table order.
std::string matchingRows(std::string_view bytes) {
  const auto header = headerOf(bytes);
  std::string found;
  for (const HeaderSignature& row : builtinSignatureTable()) {
    if (matchSignature(header, row)) {
      found += found.empty() ? "" : ",";
      found += row.extension;
    }
  }
  return found;
}

TEST(MatcherTest, EachHeaderMatchesItsRow) {
  static const struct {
    std::string_view bytes, want;
  } kCases[] = {
      {"CWS\x09rest"sv, "swf"},
      {"MZ\x90\x00"sv, "exe"},
      {"%PDF-1.7"sv, "pdf"},
      {"Rar!\x1a\x07\x00\xcf"sv, "rar"},
      {"Rar!\x1a\x07"sv, "rar"},  // six bytes: the zero padding completes it
      {"Rar!\x1a\x07\x01\x00"sv, ""},  // RAR5 differs at the seventh byte
      {"function f() {}"sv, "JS"},
      {"(function(){"sv, "JS"},
      {"var x = 1;"sv, "JS"},
      {"MIME-Version: 1.0"sv, "VBA"},
      {"<?xml version="sv, "html"},
      {"x\x9c\x01\x02"sv, "dmg"},
      {"xyz"sv, "dmg"},
      {"{\\rtf1\\ansi"sv, "rtf"},
      {"\x1f\x8b\x08\x00"sv, "gz"},
      {"\x1f\x8b\x07"sv, ""},
      {"#!/usr/bin/perl -w\n"sv, "pl"},
      {"#!/usr/bin/python3"sv, ""},  // another interpreter: the library decides
      {"#!/usr/bin/per"sv, ""},
      {"7z\xbc\xaf\x27\x1c"sv, "7z"},
      {"\x7f" "ELF\x02\x01"sv, "ELF"},
      {"@echo off"sv, "bat"},
      {"echo hello"sv, "bat"},
      {"\nplain"sv, "txt"},
      {"\r\nplain"sv, "txt"},
      {"\rplain"sv, ""},
      {""sv, ""},  // an empty file: all zeros
      {"MIME-Ve"sv, ""},
      {"PK\x03\x04"sv, ""},
      {"Function"sv, ""},  // magic is case sensitive
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::PrintToString(std::string(c.bytes)));
    EXPECT_EQ(matchingRows(c.bytes), c.want);
  }
}

TEST(MatcherTest, NoRowIsAPrefixOfAnother) {
  const BuiltinSignatureTable& table = builtinSignatureTable();
  for (std::size_t i = 0; i < table.size(); ++i) {
    for (std::size_t j = 0; j < table.size(); ++j) {
      if (i != j) {
        EXPECT_FALSE(table[j].magic.starts_with(table[i].magic)) << i << " " << j;
      }
    }
    EXPECT_GE(table[i].magic.size(), 1u);
    EXPECT_LE(table[i].magic.size(), kHeaderSize);
  }
  EXPECT_EQ(table[12].magic.size(), kHeaderSize);  // the perl row uses all 15 bytes
}

TEST(MatcherTest, OnlyTheMzRowIsRefined) {
  for (const HeaderSignature& row : builtinSignatureTable()) {
    EXPECT_EQ(needsPeRefinement(row.extension), row.magic == "MZ") << row.extension;
  }
  EXPECT_TRUE(needsPeRefinement("sys"));
  EXPECT_TRUE(needsPeRefinement("dll"));
}

TEST(MatcherTest, NewNameForms) {
  static const struct {
    std::string_view name, extension, want;
  } kCases[] = {
      {"a.bin", "pdf", "a.bin.pdf"},       {"sample", "ELF", "sample.Linux_ELF"},
      {"image", "dmg", "image.mac.dmg"},   {"x", "JS", "x.JS"},
      {"archive.tar", "gz", "archive.tar.gz"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(composeNewName(c.name, c.extension), c.want);
  }
}

}  // namespace
}  // namespace signatures
