#include "language_rules.h"

#include <cstddef>
#include <iterator>
#include <string_view>

namespace ident::text {
namespace {

using std::string_view;

using K = Kind;
using M = Match;

// Pattern rules, grouped by kind. Rules that need more than a pattern live in
// language_grammar.cc.
// clang-format off
constexpr Rule kRules[] = {
    // C and the preprocessor (shared with C++, which inherits this score).
    {K::kC, 3, M::kPrefix, "#include <"}, {K::kC, 3, M::kPrefix, "#include \""},
    {K::kC, 2, M::kPrefix, "#define "}, {K::kC, 2, M::kPrefix, "#ifndef "},
    {K::kC, 2, M::kPrefix, "#ifdef "}, {K::kC, 2, M::kPrefix, "#endif"},
    {K::kC, 1, M::kPrefix, "#if "}, {K::kC, 2, M::kPrefix, "#undef "},
    {K::kC, 1, M::kPrefix, "#pragma "}, {K::kC, 3, M::kPrefix, "typedef "},
    {K::kC, 2, M::kContains, "sizeof("}, {K::kC, 2, M::kContains, "(void)"},
    {K::kC, 1, M::kPrefixWord, "static"}, {K::kC, 2, M::kPrefixWord, "unsigned"},
    {K::kC, 1, M::kPrefix, "struct "}, {K::kC, 2, M::kPrefix, "extern "},
    {K::kC, 1, M::kContainsWord, "NULL"}, {K::kC, 2, M::kPrefix, "int main("},
    {K::kC, 1, M::kPrefix, "const char *"},
    // The C library: memory and formatted input only C reaches this way;
    // printf is shared with awk, Perl and PHP.
    {K::kC, 2, M::kContains, "malloc("}, {K::kC, 2, M::kContains, "calloc("},
    {K::kC, 2, M::kContains, "realloc("}, {K::kC, 2, M::kContains, "memcpy("},
    {K::kC, 2, M::kContains, "memset("}, {K::kC, 2, M::kContains, "scanf("},
    {K::kC, 2, M::kContains, "fprintf(stderr"}, {K::kC, 1, M::kContains, "printf("},
    // C++ only.
    {K::kCpp, 3, M::kContains, "std::"}, {K::kCpp, 3, M::kPrefix, "template <"},
    {K::kCpp, 3, M::kPrefix, "template<"}, {K::kCpp, 3, M::kEquals, "public:"},
    {K::kCpp, 3, M::kEquals, "private:"}, {K::kCpp, 3, M::kEquals, "protected:"},
    {K::kCpp, 3, M::kContainsWord, "nullptr"}, {K::kCpp, 3, M::kContainsWord, "constexpr"},
    {K::kCpp, 3, M::kPrefix, "using namespace "}, {K::kCpp, 2, M::kContainsWord, "virtual", true},
    {K::kCpp, 3, M::kContains, "static_cast<"}, {K::kCpp, 3, M::kContains, "reinterpret_cast<"},
    {K::kCpp, 3, M::kContains, "const_cast<"}, {K::kCpp, 3, M::kContainsWord, "noexcept"},
    {K::kCpp, 2, M::kContainsWord, "typename"}, {K::kCpp, 3, M::kContains, "decltype("},
    {K::kCpp, 2, M::kPrefix, "friend "}, {K::kCpp, 2, M::kContains, "operator=="},
    {K::kCpp, 2, M::kContains, "operator<<"}, {K::kCpp, 1, M::kContainsWord, "override"},
    {K::kCpp, 3, M::kContains, "delete[]"}, {K::kCpp, 3, M::kContains, "delete []"},
    // C linkage for C++ callers; C headers keep it in "#ifdef __cplusplus".
    {K::kCpp, 3, M::kContains, "extern \"C\""},
    {K::kCpp, 2, M::kPrefix, "delete ("}, {K::kCpp, 2, M::kContains, ") new "},
    // Stream insertion of a string literal (C cannot shift by a pointer).
    {K::kCpp, 3, M::kContains, " << \""},
    // "new Type", where C would need an operator between two names. Java and
    // JavaScript write it too, so it is a hint that cannot tip a file alone.
    {K::kCpp, 2, M::kContains, "= new "}, {K::kCpp, 2, M::kPrefix, "return new "},
    // Python.
    {K::kPython, 3, M::kPrefix, "if __name__ =="}, {K::kPython, 3, M::kEquals, "try:"},
    {K::kPython, 2, M::kEquals, "else:"}, {K::kPython, 2, M::kEquals, "finally:"},
    {K::kPython, 2, M::kContains, "self."}, {K::kPython, 2, M::kPrefix, "\"\"\""},
    {K::kPython, 1, M::kPrefix, "raise "}, {K::kPython, 1, M::kContainsWord, "None"},
    {K::kPython, 1, M::kPrefix, "print("},
    // Shell.
    {K::kShell, 3, M::kSuffix, "; then"}, {K::kShell, 2, M::kEquals, "then"},
    {K::kShell, 3, M::kEquals, "fi"}, {K::kShell, 3, M::kEquals, "esac"},
    {K::kShell, 2, M::kEquals, "done"},
    {K::kShell, 3, M::kSuffix, "; do"}, {K::kShell, 3, M::kPrefix, "if [ "},
    {K::kShell, 3, M::kPrefix, "if [[ "}, {K::kShell, 2, M::kPrefix, "if test "},
    {K::kShell, 2, M::kContains, ">/dev/null"}, {K::kShell, 2, M::kPrefix, "set -e"},
    {K::kShell, 1, M::kPrefix, "export "}, {K::kShell, 1, M::kContains, "\"$"},
    {K::kShell, 1, M::kPrefix, "echo "}, {K::kShell, 2, M::kPrefix, "elif "},
    {K::kShell, 1, M::kContains, "$("}, {K::kShell, 2, M::kContains, "|| exit"},
    // Perl and its documentation.
    {K::kPerl, 3, M::kPrefix, "use strict"}, {K::kPerl, 3, M::kPrefix, "use warnings"},
    {K::kPerl, 3, M::kPrefix, "my $"}, {K::kPerl, 3, M::kPrefix, "my @"},
    {K::kPerl, 3, M::kPrefix, "my %"}, {K::kPerl, 3, M::kPrefix, "my ("},
    {K::kPerl, 2, M::kPrefix, "sub "}, {K::kPerl, 3, M::kContains, "$self->"},
    {K::kPerl, 2, M::kContains, "->{"}, {K::kPerl, 2, M::kContains, "@ARGV"},
    {K::kPerl, 1, M::kContains, "qw("}, {K::kPerl, 2, M::kEquals, "1;"},
    {K::kPerl, 2, M::kPrefix, "local $"}, {K::kPerl, 1, M::kContains, "=~ "},
    {K::kPerl, 1, M::kContains, "$_"}, {K::kPerl, 2, M::kPrefix, "use vars "},
    {K::kPerl, 2, M::kPrefix, "our $"}, {K::kPerl, 2, M::kPrefix, "our @"},
    {K::kPerl, 2, M::kContains, "unless ("}, {K::kPerl, 3, M::kContains, "elsif ("}, {K::kPod, 3, M::kColumnZero, "=head1 "},
    {K::kPod, 3, M::kColumnZero, "=head2 "}, {K::kPod, 2, M::kColumnZero, "=item "},
    {K::kPod, 2, M::kColumnZero, "=over"}, {K::kPod, 2, M::kColumnZero, "=cut"},
    {K::kPod, 2, M::kColumnZero, "=pod"}, {K::kPod, 2, M::kColumnZero, "=back"},
    {K::kPod, 1, M::kColumnZero, "=encoding "},
    // Ruby.
    {K::kRuby, 3, M::kPrefix, "elsif "}, {K::kRuby, 3, M::kContains, " do |"},
    {K::kRuby, 3, M::kPrefix, "attr_reader "}, {K::kRuby, 3, M::kPrefix, "attr_accessor "},
    {K::kRuby, 3, M::kPrefix, "attr_writer "}, {K::kRuby, 3, M::kPrefix, "require_relative "},
    {K::kRuby, 3, M::kContains, "# frozen_string_literal:"}, {K::kRuby, 2, M::kPrefix, "require '"},
    {K::kRuby, 2, M::kPrefixWord, "rescue"}, {K::kRuby, 1, M::kPrefix, "unless "},
    {K::kRuby, 1, M::kEquals, "end"}, {K::kRuby, 1, M::kPrefix, "puts "},
    {K::kRuby, 2, M::kContains, ".each do"}, {K::kRuby, 1, M::kContainsWord, "nil"},
    {K::kRuby, 2, M::kEquals, "private"}, {K::kRuby, 2, M::kContains, "def self."},
    {K::kRuby, 1, M::kPrefix, "yield"}, {K::kRuby, 2, M::kContains, ".new("},
    // Lua.
    {K::kLua, 3, M::kPrefix, "local function "}, {K::kLua, 3, M::kPrefix, "--[["},
    {K::kLua, 1, M::kEquals, "end"}, {K::kLua, 2, M::kContains, " ~= "},
    {K::kLua, 2, M::kContains, " .. "}, {K::kLua, 3, M::kContains, "ipairs("},
    {K::kLua, 2, M::kContains, "pairs("}, {K::kLua, 1, M::kContainsWord, "nil"},
    {K::kLua, 1, M::kPrefix, "-- "}, {K::kLua, 2, M::kPrefix, "return M"},
    {K::kLua, 1, M::kContains, "require(\""}, {K::kLua, 1, M::kContains, "require \""},
    {K::kLua, 2, M::kContains, "local _ENV"},
    // JavaScript.
    {K::kJavaScript, 3, M::kContains, "module.exports"},
    {K::kJavaScript, 3, M::kPrefix, "'use strict'"},
    {K::kJavaScript, 3, M::kPrefix, "\"use strict\""},
    {K::kJavaScript, 3, M::kContains, "console.log("},
    {K::kJavaScript, 3, M::kPrefix, "export default "},
    {K::kJavaScript, 3, M::kContains, ".prototype."}, {K::kJavaScript, 2, M::kContains, "=== "},
    {K::kJavaScript, 2, M::kContains, "!=="}, {K::kJavaScript, 2, M::kContains, "typeof "},
    {K::kJavaScript, 2, M::kContainsWord, "undefined"}, {K::kJavaScript, 2, M::kContains, ") => "},
    {K::kJavaScript, 2, M::kContains, "function ("}, {K::kJavaScript, 1, M::kContains, "function("},
    {K::kJavaScript, 2, M::kContains, "require('"}, {K::kJavaScript, 2, M::kContains, "document."},
    {K::kJavaScript, 2, M::kContains, "window."}, {K::kJavaScript, 1, M::kContains, "this."},
    {K::kJavaScript, 2, M::kPrefix, "const {"}, {K::kJavaScript, 1, M::kPrefix, "const "},
    {K::kJavaScript, 1, M::kPrefix, "let "}, {K::kJavaScript, 1, M::kPrefix, "var "},
    {K::kJavaScript, 2, M::kContains, "JSON."}, {K::kJavaScript, 1, M::kContainsWord, "await"},
    {K::kJavaScript, 2, M::kContains, "exports."},
    {K::kJavaScript, 3, M::kContains, "$(document)"}, {K::kJavaScript, 3, M::kContains, "$(window)"},
    {K::kJavaScript, 3, M::kContains, "$('"}, {K::kJavaScript, 3, M::kContains, "jQuery("},
    {K::kJavaScript, 3, M::kPrefix, "//# sourceMappingURL="},
    {K::kJavaScript, 3, M::kContains, "addEventListener("},
    {K::kJavaScript, 3, M::kContains, "getElementById("},
    {K::kJavaScript, 3, M::kContains, "querySelector"}, {K::kJavaScript, 3, M::kContainsWord, "__dirname"},
    {K::kJavaScript, 3, M::kContains, "function(){"}, {K::kJavaScript, 3, M::kContains, "=function("},
    // Java.
    {K::kJava, 3, M::kContains, "public class "},
    {K::kJava, 3, M::kContains, "public final class "},
    {K::kJava, 3, M::kContains, "public interface "}, {K::kJava, 3, M::kContains, "System.out."},
    {K::kJava, 3, M::kPrefix, "@Override"},
    {K::kJava, 3, M::kContains, "public static void main(String"},
    {K::kJava, 3, M::kContains, "private static final "}, {K::kJava, 2, M::kContains, ") throws "},
    {K::kJava, 1, M::kPrefix, "private final "}, {K::kJava, 1, M::kPrefix, "public "},
    // Go.
    {K::kGo, 3, M::kPrefix, "func "}, {K::kGo, 3, M::kEquals, "import ("},
    {K::kGo, 3, M::kPrefix, "import \""}, {K::kGo, 3, M::kPrefix, "defer "},
    {K::kGo, 3, M::kPrefix, "go func"}, {K::kGo, 3, M::kContains, "err != nil"},
    {K::kGo, 2, M::kContains, "fmt."}, {K::kGo, 1, M::kContains, " := "},
    {K::kGo, 2, M::kContainsWord, "chan"}, {K::kGo, 1, M::kContainsWord, "nil"},
    {K::kGo, 3, M::kColumnZero, "// Package "},
    // Rust.
    {K::kRust, 3, M::kPrefix, "pub fn "},
    {K::kRust, 3, M::kPrefix, "pub(crate) fn "}, {K::kRust, 3, M::kPrefix, "let mut "},
    {K::kRust, 3, M::kPrefix, "impl "}, {K::kRust, 3, M::kPrefix, "impl<"},
    {K::kRust, 3, M::kPrefix, "#["}, {K::kRust, 3, M::kPrefix, "#!["},
    {K::kRust, 3, M::kPrefix, "use std::"}, {K::kRust, 3, M::kPrefix, "use crate::"},
    {K::kRust, 3, M::kPrefix, "use super::"}, {K::kRust, 3, M::kContains, "&mut "},
    {K::kRust, 2, M::kContains, "::<"}, {K::kRust, 3, M::kPrefix, "pub struct "},
    {K::kRust, 3, M::kPrefix, "pub enum "}, {K::kRust, 3, M::kPrefix, "pub mod "},
    {K::kRust, 2, M::kPrefix, "mod "}, {K::kRust, 3, M::kContains, "println!("},
    {K::kRust, 3, M::kContains, "format!("}, {K::kRust, 3, M::kContains, "assert_eq!("},
    {K::kRust, 3, M::kContains, "vec!["}, {K::kRust, 3, M::kPrefix, "//!"},
    {K::kRust, 3, M::kContains, "-> Self"}, {K::kRust, 2, M::kContains, "-> Result<"},
    {K::kRust, 2, M::kContains, "-> Option<"}, {K::kRust, 1, M::kContains, "Some("},
    {K::kRust, 2, M::kPrefix, "pub trait "}, {K::kRust, 2, M::kPrefix, "unsafe "},
    // Tcl.
    {K::kTcl, 3, M::kPrefix, "package require "}, {K::kTcl, 3, M::kPrefix, "package provide "},
    {K::kTcl, 3, M::kPrefix, "namespace eval "}, {K::kTcl, 3, M::kPrefix, "lappend "},
    {K::kTcl, 3, M::kPrefix, "upvar "}, {K::kTcl, 3, M::kPrefix, "uplevel "},
    {K::kTcl, 3, M::kContains, "} elseif {"}, {K::kTcl, 3, M::kPrefix, "return -code"},
    {K::kTcl, 2, M::kContains, "[lindex "}, {K::kTcl, 2, M::kContains, "[llength "},
    {K::kTcl, 2, M::kContains, "[string "}, {K::kTcl, 2, M::kContains, "[expr "},
    {K::kTcl, 2, M::kContains, "[info "}, {K::kTcl, 2, M::kContains, "[list "},
    {K::kTcl, 2, M::kContains, "[dict "}, {K::kTcl, 2, M::kContains, "[file "},
    {K::kTcl, 2, M::kPrefix, "if {"}, {K::kTcl, 2, M::kPrefix, "foreach "},
    {K::kTcl, 2, M::kPrefix, "variable "}, {K::kTcl, 2, M::kPrefix, "switch -"},
    {K::kTcl, 1, M::kPrefix, "puts "}, {K::kTcl, 2, M::kPrefix, "catch {"},
    {K::kTcl, 2, M::kPrefix, "bind "}, {K::kTcl, 2, M::kContains, "} else {"},
    {K::kTcl, 3, M::kPrefix, "package ifneeded "}, {K::kTcl, 3, M::kPrefix, "if {!["},
    {K::kTcl, 2, M::kPrefix, "ttk::"},
    // awk.
    {K::kAwk, 3, M::kPrefix, "BEGIN {"}, {K::kAwk, 3, M::kEquals, "BEGIN"},
    {K::kAwk, 3, M::kPrefix, "END {"}, {K::kAwk, 2, M::kContainsWord, "NR"},
    {K::kAwk, 2, M::kContainsWord, "NF"}, {K::kAwk, 2, M::kContainsWord, "getline"},
    {K::kAwk, 1, M::kContains, "$0"}, {K::kAwk, 1, M::kContains, "$1"},
    {K::kAwk, 2, M::kContains, " gsub("}, {K::kAwk, 2, M::kContainsWord, "FS"},
    {K::kAwk, 2, M::kContainsWord, "OFS"}, {K::kAwk, 2, M::kContainsWord, "RSTART"},
    {K::kAwk, 2, M::kContainsWord, "ARGV"}, {K::kAwk, 2, M::kContainsWord, "SUBSEP"},
    {K::kAwk, 3, M::kPrefix, "BEGINFILE"}, {K::kAwk, 3, M::kPrefix, "ENDFILE"},
    {K::kAwk, 2, M::kContainsWord, "FNR"}, {K::kAwk, 2, M::kContainsWord, "FILENAME"},
    {K::kAwk, 3, M::kContains, "ENVIRON["}, {K::kAwk, 3, M::kContains, "PROCINFO["},
    {K::kAwk, 3, M::kContainsWord, "RLENGTH"}, {K::kAwk, 2, M::kContainsWord, "ARGC"},
    {K::kAwk, 3, M::kPrefix, "BEGIN{"}, {K::kAwk, 2, M::kContains, "END {"},
    {K::kAwk, 2, M::kContains, "END{"}, {K::kAwk, 3, M::kContains, "$NF"},
    {K::kAwk, 3, M::kContains, "NR=="}, {K::kAwk, 3, M::kContains, "NR =="},
    {K::kAwk, 2, M::kContains, "bindtextdomain("}, {K::kAwk, 2, M::kContains, "dcgettext("},
    {K::kAwk, 2, M::kContains, "tolower("}, {K::kAwk, 2, M::kContains, "toupper("},
    // PowerShell.
    {K::kPowerShell, 3, M::kPrefixNoCase, "param("},
    {K::kPowerShell, 3, M::kPrefixNoCase, "param ("},
    {K::kPowerShell, 3, M::kContains, "[CmdletBinding"},
    {K::kPowerShell, 3, M::kContains, "$PSScriptRoot"}, {K::kPowerShell, 3, M::kContains, "$env:"},
    {K::kPowerShell, 3, M::kContainsWord, "$true"}, {K::kPowerShell, 3, M::kContainsWord, "$false"},
    {K::kPowerShell, 3, M::kContainsWord, "$null"}, {K::kPowerShell, 3, M::kPrefix, "<#"},
    {K::kPowerShell, 3, M::kEquals, "#>"}, {K::kPowerShell, 3, M::kPrefix, "#Requires"},
    {K::kPowerShell, 3, M::kContains, "[string]$"}, {K::kPowerShell, 3, M::kContains, "[switch]$"},
    {K::kPowerShell, 2, M::kContains, "Write-Host"},
    {K::kPowerShell, 2, M::kContains, "Write-Output"},
    {K::kPowerShell, 2, M::kContains, "Get-ChildItem"},
    {K::kPowerShell, 2, M::kContains, "Join-Path"}, {K::kPowerShell, 2, M::kContains, "Test-Path"},
    {K::kPowerShell, 2, M::kContains, "-ErrorAction"}, {K::kPowerShell, 1, M::kContains, " -eq "},
    {K::kPowerShell, 1, M::kContains, " -ne "},
    {K::kPowerShell, 3, M::kContains, "[Parameter("}, {K::kPowerShell, 3, M::kContains, "[ValidateSet("},
    {K::kPowerShell, 3, M::kContains, "$ErrorActionPreference"},
    {K::kPowerShell, 3, M::kContains, "$PSVersionTable"}, {K::kPowerShell, 3, M::kPrefix, "Set-StrictMode"},
    {K::kPowerShell, 3, M::kContains, "| Out-Null"}, {K::kPowerShell, 2, M::kContains, "if (-not "},
    {K::kPowerShell, 2, M::kContains, "$MyInvocation"}, {K::kPowerShell, 2, M::kContains, "$LASTEXITCODE"},
    // PHP without its opening tag.
    {K::kPhp, 3, M::kContains, "$this->"}, {K::kPhp, 2, M::kPrefix, "namespace "},
    {K::kPhp, 1, M::kPrefix, "use "}, {K::kPhp, 2, M::kContains, "public function "},
    {K::kPhp, 2, M::kContains, "private function "},
    // SQL, whose keywords ignore case.
    {K::kSql, 3, M::kPrefixNoCase, "create table "},
    {K::kSql, 3, M::kPrefixNoCase, "create or replace "},
    {K::kSql, 3, M::kPrefixNoCase, "create function "},
    {K::kSql, 3, M::kPrefixNoCase, "create view "}, {K::kSql, 3, M::kPrefixNoCase, "create index "},
    {K::kSql, 3, M::kPrefixNoCase, "create unique index "},
    {K::kSql, 3, M::kPrefixNoCase, "create trigger "},
    {K::kSql, 3, M::kPrefixNoCase, "create type "},
    {K::kSql, 3, M::kPrefixNoCase, "create schema "},
    {K::kSql, 3, M::kPrefixNoCase, "create sequence "},
    {K::kSql, 3, M::kPrefixNoCase, "create aggregate "},
    {K::kSql, 3, M::kPrefixNoCase, "create operator "},
    {K::kSql, 3, M::kPrefixNoCase, "create extension "},
    {K::kSql, 3, M::kPrefixNoCase, "create domain "},
    {K::kSql, 3, M::kPrefixNoCase, "insert into "}, {K::kSql, 3, M::kPrefixNoCase, "alter table "},
    {K::kSql, 3, M::kPrefixNoCase, "alter extension "},
    {K::kSql, 3, M::kPrefixNoCase, "drop table "}, {K::kSql, 3, M::kPrefixNoCase, "drop function "},
    {K::kSql, 3, M::kPrefixNoCase, "delete from "}, {K::kSql, 3, M::kPrefixNoCase, "comment on "},
    {K::kSql, 2, M::kPrefixNoCase, "grant ", true}, {K::kSql, 2, M::kPrefixNoCase, "revoke ", true},
    {K::kSql, 3, M::kEqualsNoCase, "begin;"}, {K::kSql, 3, M::kEqualsNoCase, "commit;"},
    {K::kSql, 3, M::kPrefix, "\\echo "}, {K::kSql, 2, M::kPrefixNoCase, "returns ", true},
    {K::kSql, 2, M::kContains, "LANGUAGE ", true}, {K::kSql, 1, M::kPrefix, "-- "},
    {K::kSql, 2, M::kPrefixNoCase, "select ", true}, {K::kSql, 2, M::kPrefixNoCase, "update ", true},
    {K::kSql, 2, M::kPrefixNoCase, "set search_path"}, {K::kSql, 2, M::kPrefixNoCase, "alter ", true},
    {K::kSql, 2, M::kPrefixNoCase, "drop ", true}, {K::kSql, 3, M::kPrefixNoCase, "do $$"},
    // CSS at-rules and declarations (declaration lines are checked below).
    {K::kCss, 3, M::kPrefix, "@media "}, {K::kCss, 3, M::kPrefix, "@import "},
    {K::kCss, 3, M::kPrefix, "@font-face"}, {K::kCss, 3, M::kPrefix, "@charset "},
    {K::kCss, 3, M::kPrefix, "@keyframes "}, {K::kCss, 3, M::kContains, "!important"},
    // TeX and LaTeX.
    {K::kTex, 3, M::kPrefix, "\\documentclass"}, {K::kTex, 3, M::kPrefix, "\\usepackage"},
    {K::kTex, 2, M::kPrefix, "\\begin{"}, {K::kTex, 2, M::kPrefix, "\\end{"},
    {K::kTex, 3, M::kPrefix, "\\section"}, {K::kTex, 3, M::kPrefix, "\\subsection"},
    {K::kTex, 3, M::kPrefix, "\\chapter"}, {K::kTex, 3, M::kPrefix, "\\newcommand"},
    {K::kTex, 3, M::kPrefix, "\\renewcommand"}, {K::kTex, 3, M::kPrefix, "\\def\\"},
    {K::kTex, 3, M::kContains, "\\catcode"}, {K::kTex, 3, M::kPrefix, "\\Provides"},
    {K::kTex, 3, M::kPrefix, "\\NeedsTeXFormat"}, {K::kTex, 3, M::kPrefix, "\\makeatletter"},
    {K::kTex, 3, M::kContains, "\\expandafter"}, {K::kTex, 2, M::kPrefix, "\\let\\"},
    {K::kTex, 2, M::kContains, "\\relax"}, {K::kTex, 3, M::kPrefix, "\\gdef\\"},
    {K::kTex, 3, M::kPrefix, "\\edef\\"}, {K::kTex, 2, M::kPrefix, "\\input "},
    {K::kTex, 2, M::kPrefix, "\\ifx"}, {K::kTex, 2, M::kPrefix, "\\global"},
    {K::kTex, 2, M::kPrefix, "\\item "},
    {K::kTex, 3, M::kEquals, "\\bye"}, {K::kTex, 3, M::kContains, "\\csname"},
    {K::kTex, 3, M::kContains, "\\endcsname"}, {K::kTex, 3, M::kContains, "\\noexpand"},
    {K::kTex, 3, M::kPrefix, "\\begingroup"}, {K::kTex, 3, M::kPrefix, "\\endgroup"},
    {K::kTex, 3, M::kPrefix, "\\patterns{"}, {K::kTex, 3, M::kPrefix, "\\hyphenation{"},
    {K::kTex, 3, M::kPrefix, "\\lccode"}, {K::kTex, 3, M::kPrefix, "\\uccode"},
    {K::kTex, 2, M::kPrefix, "\\message{"}, {K::kTex, 2, M::kPrefix, "\\immediate"},
    {K::kTex, 3, M::kColumnZero, "%% This is file `"}, {K::kTex, 3, M::kContains, "docstrip"},
    // m4 and Autoconf.
    {K::kM4, 3, M::kPrefixWord, "dnl"}, {K::kM4, 3, M::kContains, "AC_DEFUN("},
    {K::kM4, 3, M::kContains, "AU_DEFUN("}, {K::kM4, 3, M::kPrefix, "m4_"},
    {K::kM4, 2, M::kPrefix, "AC_"}, {K::kM4, 2, M::kPrefix, "AM_"}, {K::kM4, 2, M::kPrefix, "AS_"},
    {K::kM4, 3, M::kPrefix, "define(`"}, {K::kM4, 3, M::kPrefix, "define(["},
    {K::kM4, 3, M::kPrefix, "divert("}, {K::kM4, 3, M::kPrefix, "changequote("},
    {K::kM4, 2, M::kColumnZero, "# serial "},
    // Lisp dialects.
    {K::kLisp, 3, M::kPrefix, "(defun "}, {K::kLisp, 3, M::kPrefix, "(defmacro "},
    {K::kLisp, 2, M::kPrefix, "(defvar "}, {K::kLisp, 2, M::kPrefix, "(defparameter "},
    {K::kLisp, 2, M::kContains, "(setq "}, {K::kLisp, 1, M::kContains, "(let "},
    {K::kLisp, 1, M::kContains, "(let* "}, {K::kLisp, 3, M::kPrefix, "(in-package "},
    {K::kLisp, 3, M::kPrefix, "(defpackage "}, {K::kLisp, 3, M::kPrefix, "(defgeneric "},
    {K::kLisp, 2, M::kPrefix, "(defmethod "}, {K::kLisp, 2, M::kPrefix, "(defclass "},
    {K::kLisp, 3, M::kPrefix, "(declaim "}, {K::kLisp, 3, M::kContains, "defsystem "},
    {K::kLisp, 1, M::kPrefix, ";;"}, {K::kEmacsLisp, 3, M::kContains, "lexical-binding:"},
    {K::kEmacsLisp, 3, M::kPrefix, "(defcustom "}, {K::kEmacsLisp, 3, M::kPrefix, "(defgroup "},
    {K::kEmacsLisp, 3, M::kPrefix, "(provide '"}, {K::kEmacsLisp, 3, M::kPrefix, "(require '"},
    {K::kEmacsLisp, 3, M::kContains, "(interactive"},
    {K::kEmacsLisp, 3, M::kContains, "(define-key "},
    {K::kEmacsLisp, 3, M::kPrefix, "(define-derived-mode "},
    {K::kEmacsLisp, 3, M::kContains, "(add-hook '"}, {K::kEmacsLisp, 3, M::kPrefix, "(defface "},
    {K::kEmacsLisp, 3, M::kPrefix, "(declare-function "},
    {K::kEmacsLisp, 2, M::kPrefix, "(defsubst "},
    {K::kEmacsLisp, 3, M::kContains, "(eval-when-compile"},
    {K::kEmacsLisp, 3, M::kPrefix, "(define-minor-mode "},
    {K::kEmacsLisp, 3, M::kPrefix, "(define-package "},
    {K::kEmacsLisp, 3, M::kPrefix, "(autoload '"},
    {K::kEmacsLisp, 3, M::kContains, "no-byte-compile:"}, {K::kScheme, 3, M::kPrefix, "(define ("},
    {K::kScheme, 3, M::kPrefix, "(define-module "}, {K::kScheme, 3, M::kPrefix, "(use-modules "},
    {K::kScheme, 3, M::kPrefix, "(define-syntax "},
    {K::kScheme, 3, M::kPrefix, "(define-record-type "}, {K::kScheme, 3, M::kPrefix, "(library ("},
    {K::kScheme, 2, M::kPrefix, "(define "}, {K::kScheme, 1, M::kContains, "#t)"},
    {K::kScheme, 1, M::kContains, "#f)"},
    // Haskell and OCaml.
    {K::kHaskell, 3, M::kPrefix, "import qualified "}, {K::kHaskell, 3, M::kPrefix, "{-#"},
    {K::kHaskell, 3, M::kPrefix, "newtype "}, {K::kHaskell, 2, M::kPrefix, "deriving "},
    {K::kHaskell, 2, M::kPrefix, "-- |"}, {K::kHaskell, 2, M::kPrefix, "instance "},
    {K::kHaskell, 1, M::kContains, " <- "}, {K::kOcaml, 3, M::kPrefix, "let rec "},
    {K::kOcaml, 3, M::kPrefix, "let () ="}, {K::kOcaml, 2, M::kPrefix, "open "},
    {K::kOcaml, 3, M::kContains, " = struct"}, {K::kOcaml, 3, M::kContains, " : sig"},
    {K::kOcaml, 1, M::kPrefix, "(*"}, {K::kOcaml, 2, M::kPrefix, "let "},
    {K::kOcaml, 2, M::kPrefix, "(** "}, {K::kOcaml, 3, M::kPrefix, "open! "},
    {K::kOcaml, 3, M::kContains, " = sig"}, {K::kOcaml, 3, M::kPrefix, "type 'a "},
    {K::kOcaml, 3, M::kPrefix, "module type "},
    // Pascal, whose keywords ignore case.
    // (Headers "program name;", "unit name;", "procedure name(", "uses a,
    // b;" are checked in language_grammar.cc: prose opens lines with those
    // words too.)
    {K::kPascal, 3, M::kEqualsNoCase, "interface"},
    {K::kPascal, 3, M::kEqualsNoCase, "implementation"},
    {K::kPascal, 3, M::kEqualsNoCase, "end."}, {K::kPascal, 3, M::kPrefix, "{$"},
    {K::kPascal, 1, M::kEqualsNoCase, "begin"}, {K::kPascal, 1, M::kEqualsNoCase, "end;"},
    {K::kPascal, 2, M::kEqualsNoCase, "var"}, {K::kPascal, 2, M::kEqualsNoCase, "type"},
    {K::kPascal, 2, M::kEqualsNoCase, "const"}, {K::kPascal, 2, M::kContainsWord, "writeln"},
    {K::kPascal, 1, M::kContains, " := "},
    // Fortran.
    {K::kFortran, 3, M::kPrefixNoCase, "subroutine "},
    {K::kFortran, 3, M::kPrefixNoCase, "end subroutine"},
    {K::kFortran, 3, M::kPrefixNoCase, "implicit none"},
    {K::kFortran, 3, M::kPrefixNoCase, "end program"},
    {K::kFortran, 3, M::kPrefixNoCase, "end module"}, {K::kFortran, 2, M::kEqualsNoCase, "end do"},
    {K::kFortran, 2, M::kEqualsNoCase, "enddo"}, {K::kFortran, 2, M::kEqualsNoCase, "end if"},
    {K::kFortran, 2, M::kEqualsNoCase, "endif"}, {K::kFortran, 3, M::kContains, "intent(in"},
    {K::kFortran, 3, M::kPrefixNoCase, "integer ::"},
    {K::kFortran, 3, M::kPrefixNoCase, "double precision "},
    {K::kFortran, 3, M::kPrefixNoCase, "real*8 "}, 
    {K::kFortran, 1, M::kPrefixNoCase, "integer "}, {K::kFortran, 1, M::kPrefixNoCase, "real "},
    {K::kFortran, 2, M::kPrefixNoCase, "end function"},
    // ("program name" and "call name(args)" are checked in
    // language_grammar.cc.)
    // Assembly (GNU as directives).
    {K::kAssembly, 3, M::kPrefix, ".globl "}, {K::kAssembly, 3, M::kPrefix, ".global "},
    {K::kAssembly, 2, M::kEquals, ".text"}, {K::kAssembly, 2, M::kEquals, ".data"},
    {K::kAssembly, 2, M::kPrefix, ".section "}, {K::kAssembly, 2, M::kPrefix, ".type "},
    {K::kAssembly, 2, M::kPrefix, ".align "}, {K::kAssembly, 2, M::kPrefix, ".long "},
    {K::kAssembly, 2, M::kPrefix, ".byte "}, {K::kAssembly, 2, M::kPrefix, "movl "},
    {K::kAssembly, 2, M::kPrefix, "movq "}, {K::kAssembly, 2, M::kPrefixWord, "ret"},
    // Makefiles (rules with recipes are checked below).
    {K::kMakefile, 3, M::kPrefix, ".PHONY"}, {K::kMakefile, 3, M::kPrefix, "ifeq ("},
    {K::kMakefile, 3, M::kPrefix, "ifneq ("}, {K::kMakefile, 2, M::kPrefix, "ifdef "},
    {K::kMakefile, 2, M::kPrefix, "ifndef "}, {K::kMakefile, 3, M::kEquals, "endef"},
    {K::kMakefile, 1, M::kEquals, "endif"}, {K::kMakefile, 1, M::kPrefix, "include "},
    {K::kMakefile, 2, M::kContains, "$(MAKE)"}, {K::kMakefile, 2, M::kContains, "$(shell "},
    {K::kMakefile, 2, M::kContains, "$(wildcard "}, {K::kMakefile, 2, M::kContains, "$(patsubst "},
    {K::kMakefile, 1, M::kContains, "$@"}, {K::kMakefile, 2, M::kContains, "$(CC)"},
    // make's own functions.
    {K::kMakefile, 3, M::kContains, "$(foreach "}, {K::kMakefile, 3, M::kContains, "$(eval "},
    {K::kMakefile, 3, M::kContains, "$(call "}, {K::kMakefile, 2, M::kContains, "$(filter"},
    {K::kMakefile, 2, M::kContains, "$(subst "}, {K::kMakefile, 3, M::kContains, "$(addprefix "},
    {K::kMakefile, 3, M::kContains, "$(addsuffix "}, {K::kMakefile, 3, M::kContains, "$(notdir "},
    {K::kMakefile, 3, M::kContains, "$(info "}, {K::kMakefile, 3, M::kContains, "$(error "},
    {K::kMakefile, 3, M::kContains, "$(warning "}, {K::kMakefile, 3, M::kContains, "$(value "},
    {K::kMakefile, 2, M::kContains, "$(strip "}, {K::kMakefile, 2, M::kContains, "$(sort "},
    {K::kMakefile, 2, M::kContains, "$(abspath "}, {K::kMakefile, 2, M::kContains, "$(realpath "},
    {K::kMakefile, 2, M::kContains, "$(MAKEFILE_LIST)"}, {K::kMakefile, 2, M::kContains, "$(RM)"},
    // CMake.
    {K::kCMake, 3, M::kPrefixNoCase, "cmake_minimum_required("},
    {K::kCMake, 3, M::kPrefixNoCase, "cmake_policy("},
    {K::kCMake, 3, M::kPrefixNoCase, "add_executable("},
    {K::kCMake, 3, M::kPrefixNoCase, "add_library("},
    {K::kCMake, 3, M::kPrefixNoCase, "target_link_libraries("},
    {K::kCMake, 3, M::kPrefixNoCase, "find_package("},
    {K::kCMake, 3, M::kPrefixNoCase, "add_custom_command("},
    {K::kCMake, 3, M::kPrefixNoCase, "endif()"}, {K::kCMake, 3, M::kPrefixNoCase, "endforeach("},
    {K::kCMake, 3, M::kPrefixNoCase, "endfunction("}, {K::kCMake, 3, M::kPrefixNoCase, "endmacro("},
    {K::kCMake, 3, M::kPrefixNoCase, "cmake_parse_arguments("},
    {K::kCMake, 2, M::kPrefixNoCase, "set("}, {K::kCMake, 2, M::kPrefixNoCase, "if("},
    {K::kCMake, 2, M::kPrefixNoCase, "else()"}, {K::kCMake, 2, M::kPrefixNoCase, "elseif("},
    {K::kCMake, 2, M::kPrefixNoCase, "foreach("}, {K::kCMake, 2, M::kPrefixNoCase, "function("},
    {K::kCMake, 2, M::kPrefixNoCase, "macro("}, {K::kCMake, 2, M::kPrefixNoCase, "message("},
    {K::kCMake, 2, M::kPrefixNoCase, "list("}, {K::kCMake, 2, M::kPrefixNoCase, "string("},
    {K::kCMake, 2, M::kPrefixNoCase, "unset("}, {K::kCMake, 2, M::kPrefixNoCase, "include("},
    {K::kCMake, 3, M::kPrefix, "#[["}, {K::kCMake, 3, M::kPrefix, "#[="},
    {K::kCMake, 2, M::kPrefixNoCase, "get_filename_component("},
    {K::kCMake, 2, M::kPrefixNoCase, "option("},
    // Vim script.
    {K::kVim, 3, M::kPrefix, "let g:"}, {K::kVim, 3, M::kPrefix, "let s:"},
    {K::kVim, 3, M::kPrefix, "let b:"}, {K::kVim, 3, M::kPrefix, "let l:"},
    {K::kVim, 3, M::kPrefix, "let &"}, {K::kVim, 3, M::kPrefix, "setlocal "},
    {K::kVim, 3, M::kPrefix, "syn keyword "}, {K::kVim, 3, M::kPrefix, "syn match "},
    {K::kVim, 3, M::kPrefix, "syn region "}, {K::kVim, 3, M::kPrefix, "syntax "},
    {K::kVim, 3, M::kPrefix, "hi def link "}, {K::kVim, 3, M::kPrefix, "function!"},
    {K::kVim, 3, M::kPrefix, "func!"}, {K::kVim, 3, M::kEquals, "endfunction"},
    {K::kVim, 3, M::kEquals, "endfunc"}, {K::kVim, 3, M::kPrefix, "if exists("},
    {K::kVim, 3, M::kEquals, "finish"}, {K::kVim, 3, M::kPrefix, "augroup "},
    {K::kVim, 2, M::kPrefix, "autocmd "}, {K::kVim, 3, M::kPrefix, "nnoremap "},
    {K::kVim, 3, M::kPrefix, "command! "}, {K::kVim, 3, M::kContains, "&cpo"},
    // A comment line opens with a double quote, as a quotation in prose may.
    {K::kVim, 2, M::kPrefix, "\" ", true}, {K::kVim, 2, M::kPrefix, "exe "},
    {K::kVim, 2, M::kPrefix, "execute "}, {K::kVim, 3, M::kPrefix, "vim9script"},
    {K::kVim, 3, M::kPrefix, "scriptencoding "}, {K::kVim, 1, M::kEquals, "endif"},
    {K::kVim, 2, M::kEquals, "endfor"}, {K::kVim, 2, M::kEquals, "endwhile"},
    {K::kVim, 3, M::kPrefix, "runtime! "}, {K::kVim, 3, M::kPrefix, "syn case "},
    {K::kVim, 3, M::kPrefix, "syn cluster "}, {K::kVim, 3, M::kPrefix, "hi link "},
    {K::kVim, 2, M::kPrefix, "elseif "}, {K::kVim, 3, M::kPrefix, "menutrans "},
    {K::kVim, 2, M::kPrefix, "\\ "},
    // DOS batch files.
    {K::kBatch, 3, M::kPrefixNoCase, "@echo off"}, {K::kBatch, 2, M::kPrefixNoCase, "rem "},
    {K::kBatch, 2, M::kEqualsNoCase, "rem"}, {K::kBatch, 3, M::kPrefixNoCase, "goto "},
    {K::kBatch, 3, M::kContains, "%~dp0"}, {K::kBatch, 3, M::kContainsNoCase, "errorlevel"},
    {K::kBatch, 3, M::kEqualsNoCase, "setlocal"},
    {K::kBatch, 3, M::kPrefixNoCase, "setlocal enable"},
    {K::kBatch, 3, M::kPrefixNoCase, "if exist "},
    {K::kBatch, 3, M::kPrefixNoCase, "if not exist "}, {K::kBatch, 3, M::kPrefixNoCase, "if /i "},
    {K::kBatch, 3, M::kPrefixNoCase, "call :"}, {K::kBatch, 3, M::kContainsNoCase, "exit /b"},
    {K::kBatch, 3, M::kColumnZero, "::"}, {K::kBatch, 2, M::kPrefixNoCase, "set \""},
    {K::kBatch, 2, M::kEqualsNoCase, "endlocal"},
    {K::kBatch, 2, M::kEqualsNoCase, "pause"}, {K::kBatch, 2, M::kEqualsNoCase, "cls"},
    {K::kBatch, 3, M::kPrefixNoCase, "set path="}, {K::kBatch, 2, M::kContains, "..\\"},
    {K::kBatch, 3, M::kPrefixNoCase, "cd /d "}, {K::kBatch, 3, M::kPrefixNoCase, "xcopy "},
    {K::kBatch, 3, M::kPrefixNoCase, "del /"}, {K::kBatch, 3, M::kPrefixNoCase, "copy /"},
    {K::kBatch, 2, M::kPrefixNoCase, "start "},
    // Markdown. Bullets, quotes, "**" and "# " titles are plain-text habits
    // Markdown adopted; links, fences, "##" headings (language_grammar.cc)
    // and tables are its own.
    {K::kMarkdown, 3, M::kPrefix, "```"}, {K::kMarkdown, 1, M::kColumnZero, "# ", true},
    {K::kMarkdown, 3, M::kPrefix, "!["}, {K::kMarkdown, 1, M::kColumnZero, "- ", true},
    {K::kMarkdown, 1, M::kColumnZero, "* ", true},
    {K::kMarkdown, 1, M::kPrefix, "> ", true},
    {K::kMarkdown, 1, M::kContains, "**", true}, {K::kMarkdown, 2, M::kContains, "]: http"},
    {K::kMarkdown, 2, M::kContains, "](http"}, {K::kMarkdown, 2, M::kContains, "](#"},
    {K::kMarkdown, 1, M::kContains, "]("}, {K::kMarkdown, 2, M::kPrefix, "|---"},
    {K::kMarkdown, 2, M::kPrefix, "| --"}, {K::kMarkdown, 2, M::kPrefix, "|:--"},
    {K::kMarkdown, 1, M::kColumnZero, "1. ", true},
    // reStructuredText. ``Double back quotes'' are also TeX-style quoting.
    {K::kRest, 3, M::kPrefix, ".. _"}, {K::kRest, 3, M::kPrefix, ".. |"},
    {K::kRest, 2, M::kContains, "``", true}, {K::kRest, 3, M::kContains, "`_"},
    {K::kRest, 2, M::kContains, ":ref:`"},
    {K::kRest, 2, M::kContains, ":doc:`"}, {K::kRest, 2, M::kContains, ":class:`"},
    {K::kRest, 2, M::kContains, ":func:`"}, {K::kRest, 2, M::kContains, ":mod:`"},
    {K::kRest, 2, M::kContains, ":command:`"}, {K::kRest, 2, M::kContains, ":variable:`"},
    {K::kRest, 2, M::kContains, ":prop_tgt:`"}, {K::kRest, 2, M::kContains, ":manual:`"},
    {K::kRest, 2, M::kContains, ":meth:`"}, {K::kRest, 1, M::kPrefix, ".. "},
    {K::kRest, 3, M::kEquals, ".."},
    // Kotlin.
    {K::kKotlin, 3, M::kPrefix, "fun "}, {K::kKotlin, 3, M::kContains, "private fun "},
    {K::kKotlin, 3, M::kContains, "override fun "}, {K::kKotlin, 3, M::kContains, "internal fun "},
    {K::kKotlin, 3, M::kContains, "suspend fun "}, {K::kKotlin, 3, M::kPrefix, "data class "},
    {K::kKotlin, 3, M::kContains, "companion object"}, {K::kKotlin, 3, M::kContains, "lateinit var "},
    {K::kKotlin, 2, M::kPrefix, "val "}, {K::kKotlin, 2, M::kContains, "private val "},
    {K::kKotlin, 2, M::kContains, " when ("},
    {K::kKotlin, 2, M::kContains, "?.let"}, {K::kKotlin, 2, M::kContains, "listOf("},
    {K::kKotlin, 2, M::kContains, "mapOf("}, {K::kKotlin, 3, M::kContains, "mutableListOf("},
    {K::kKotlin, 3, M::kPrefix, "@JvmStatic"}, {K::kKotlin, 2, M::kContains, "!!."},
    {K::kKotlin, 1, M::kContains, "println("},
    {K::kKotlin, 3, M::kPrefix, "const val "}, {K::kKotlin, 2, M::kContains, "private var "},
    // C#.
    // C# declares classes and interfaces as Java does.
    {K::kCSharp, 3, M::kContains, "public class "}, {K::kCSharp, 3, M::kContains, "public interface "},
    {K::kCSharp, 3, M::kPrefix, "using System"}, {K::kCSharp, 3, M::kContains, "{ get; set; }"},
    {K::kCSharp, 3, M::kContains, "{ get;"}, {K::kCSharp, 3, M::kContains, "{ get {"},
    {K::kCSharp, 3, M::kContains, "Console.Write"}, {K::kCSharp, 3, M::kPrefix, "#region"},
    {K::kCSharp, 3, M::kPrefix, "#endregion"}, {K::kCSharp, 3, M::kPrefix, "[TestFixture"},
    {K::kCSharp, 2, M::kPrefix, "[Test]"}, {K::kCSharp, 3, M::kContains, "static void Main("},
    {K::kCSharp, 3, M::kPrefix, "/// <summary>"}, {K::kCSharp, 3, M::kContains, "foreach (var "},
    {K::kCSharp, 2, M::kContains, "public override "}, {K::kCSharp, 2, M::kPrefix, "internal "},
    {K::kCSharp, 3, M::kContains, "sealed class "}, {K::kCSharp, 2, M::kContains, "IEnumerable<"},
    {K::kCSharp, 3, M::kContains, "async Task"}, {K::kCSharp, 2, M::kContains, "string.Empty"},
    {K::kCSharp, 2, M::kContains, "public string "}, {K::kCSharp, 2, M::kContains, "public bool "},
    {K::kCSharp, 2, M::kContains, " readonly "}, {K::kCSharp, 2, M::kContains, "typeof("},
    {K::kCSharp, 3, M::kContains, "List<string>"}, {K::kCSharp, 3, M::kContains, "Dictionary<"},
    {K::kCSharp, 3, M::kContains, "nameof("}, {K::kCSharp, 3, M::kPrefix, "[assembly:"},
    {K::kCSharp, 3, M::kContains, "catch (Exception"}, {K::kCSharp, 3, M::kContains, "partial class "},
    {K::kCSharp, 3, M::kContains, "ArgumentNullException"}, {K::kCSharp, 2, M::kContains, "using (var "},
    // TypeScript (JavaScript, which it inherits, plus types).
    {K::kTypeScript, 3, M::kPrefix, "export interface "}, {K::kTypeScript, 2, M::kPrefix, "interface "},
    {K::kTypeScript, 3, M::kPrefix, "export type "}, {K::kTypeScript, 3, M::kPrefix, "declare "},
    {K::kTypeScript, 3, M::kPrefix, "export declare "}, {K::kTypeScript, 3, M::kPrefix, "import type "},
    {K::kTypeScript, 2, M::kContainsType, ": string"}, {K::kTypeScript, 2, M::kContainsType, ": number"},
    {K::kTypeScript, 2, M::kContainsType, ": boolean"}, {K::kTypeScript, 2, M::kContains, "): void"},
    {K::kTypeScript, 2, M::kContainsType, ": any"}, {K::kTypeScript, 3, M::kContains, " as const"},
    {K::kTypeScript, 3, M::kContains, "): Promise<"}, {K::kTypeScript, 2, M::kContains, ": Array<"},
    {K::kTypeScript, 2, M::kPrefix, "readonly "}, {K::kTypeScript, 2, M::kPrefix, "export enum "},
    {K::kTypeScript, 2, M::kPrefix, "export abstract class "},
    {K::kTypeScript, 2, M::kContains, "?: "}, {K::kTypeScript, 2, M::kContains, "string[]"},
    // R.
    {K::kR, 3, M::kContains, "<- function("}, {K::kR, 3, M::kPrefix, "library("},
    {K::kR, 3, M::kPrefix, "#' "}, {K::kR, 3, M::kEquals, "#'"},
    {K::kR, 3, M::kContains, "stopifnot("}, {K::kR, 3, M::kContains, "%>%"},
    {K::kR, 3, M::kContains, "%in%"}, {K::kR, 3, M::kContains, "is.null("},
    {K::kR, 3, M::kContains, "<<-"}, {K::kR, 3, M::kContains, "paste0("},
    {K::kR, 2, M::kContains, "lapply("}, {K::kR, 2, M::kContains, "sapply("},
    {K::kR, 2, M::kContains, "vapply("}, {K::kR, 3, M::kContains, "data.frame("},
    {K::kR, 2, M::kContains, "setMethod("}, {K::kR, 2, M::kContains, "setClass("},
    {K::kR, 2, M::kContains, "expect_equal("}, {K::kR, 3, M::kPrefix, "test_that(\""},
    {K::kR, 2, M::kPrefix, "expect_"}, {K::kR, 2, M::kContains, "function(x"},
    {K::kR, 2, M::kContains, "invisible("}, {K::kR, 1, M::kContains, " <- "},
    {K::kR, 1, M::kContainsWord, "TRUE"}, {K::kR, 1, M::kContainsWord, "FALSE"},
    // Erlang.
    {K::kErlang, 3, M::kPrefix, "-module("}, {K::kErlang, 3, M::kPrefix, "-export(["},
    {K::kErlang, 3, M::kPrefix, "-include("}, {K::kErlang, 3, M::kPrefix, "-include_lib("},
    {K::kErlang, 3, M::kPrefix, "-define("}, {K::kErlang, 3, M::kPrefix, "-record("},
    {K::kErlang, 3, M::kPrefix, "-spec "}, {K::kErlang, 3, M::kPrefix, "-behaviour("},
    {K::kErlang, 3, M::kPrefix, "-type "}, {K::kErlang, 3, M::kPrefix, "-ifdef("},
    {K::kErlang, 3, M::kPrefix, "-endif."}, {K::kErlang, 3, M::kContains, "?MODULE"},
    {K::kErlang, 1, M::kPrefix, "%%"}, {K::kErlang, 1, M::kSuffix, " ->"},
    {K::kErlang, 2, M::kContains, "io:format("}, {K::kErlang, 2, M::kContains, "lists:"},
    {K::kErlang, 2, M::kEquals, "end."},
    // Elixir.
    {K::kElixir, 3, M::kPrefix, "defmodule "}, {K::kElixir, 3, M::kPrefix, "defp "},
    {K::kElixir, 3, M::kPrefix, "@moduledoc"}, {K::kElixir, 3, M::kPrefix, "@doc "},
    {K::kElixir, 3, M::kPrefix, "@spec "}, {K::kElixir, 3, M::kPrefix, "|> "},
    {K::kElixir, 2, M::kContains, " do:"}, {K::kElixir, 3, M::kContains, "{:ok,"},
    {K::kElixir, 2, M::kContains, "{:error,"},
    {K::kElixir, 3, M::kPrefix, "defstruct "}, {K::kElixir, 3, M::kPrefix, "defmacro "},
    {K::kElixir, 2, M::kPrefix, "@impl "}, {K::kElixir, 3, M::kContains, "ExUnit."},
};
// clang-format on

}  // namespace

bool matches(const Rule& rule, const Line& line) {
  // Patterns inside a line are sought near its start only: a minified
  // line of 8 KiB would otherwise cost every rule a full scan.
  string_view near = line.text.substr(0, kSearchWidth);
  switch (rule.match) {
    case Match::kPrefix:
      return line.text.starts_with(rule.pattern);
    case Match::kPrefixWord:
      return startsWithWord(line.text, rule.pattern);
    case Match::kPrefixNoCase:
      return startsWithNoCase(line.text, rule.pattern);
    case Match::kEquals:
      return line.trimmed == rule.pattern;
    case Match::kEqualsNoCase:
      return equalsNoCase(line.trimmed, rule.pattern);
    case Match::kSuffix:
      return line.trimmed.ends_with(rule.pattern);
    case Match::kContains:
      return contains(near, rule.pattern);
    case Match::kContainsWord:
      return containsWord(near, rule.pattern);
    case Match::kContainsNoCase:
      return containsNoCase(near, rule.pattern);
    case Match::kContainsType:
      // A type annotation ends its declaration: a ";", ",", ")", "=", "|",
      // "[]" or the line's end follows, where prose goes on with a word
      // ("Note: any value", "0003: string results are wrong").
      for (std::size_t at = near.find(rule.pattern); at != string_view::npos;
           at = near.find(rule.pattern, at + 1)) {
        string_view rest = trimLeft(near.substr(at + rule.pattern.size()));
        if (rest.empty() || !isIdentChar(rest[0])) {
          return true;
        }
      }
      return false;
    case Match::kColumnZero:
      return line.raw.starts_with(rule.pattern);
  }
  return false;
}

std::span<const Rule> patternRules() { return kRules; }

}  // namespace ident::text
