#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

#include "mime_database.h"

namespace ident {

// Decides the extension for a MIME type, in this order: the extensions our
// definitions pack names (its "!:mime" and "!:ext" lines), our own table of
// types the shared MIME database lacks or lists several patterns for, then
// the shared MIME database itself (aliases resolved, parent types tried).
// Every answer is in its conventional lower-case form.
class ExtensionMap {
 public:
  // Takes the mime/extension pairs from the magic(5) source |pack|: each
  // entry's "!:mime" with the first extension of its "!:ext".
  void addPackExtensions(std::string_view pack);

  // Uses |database| for the types neither the pack nor our table knows.
  void setMimeDatabase(MimeDatabase database) { database_ = std::move(database); }
  const MimeDatabase& mimeDatabase() const { return database_; }

  // Returns the extension for |mime| (parameters after ';' ignored), or ""
  // when none is known or the type conventionally carries none.
  std::string extensionFor(std::string_view mime) const;

 private:
  std::string lookup(const std::string& mime, int depth) const;

  std::unordered_map<std::string, std::string> pack_;
  MimeDatabase database_;
};

// The extension of the format a libmagic description names, for formats
// whose type libmagic leaves generic (application/octet-stream) or shares
// with other formats (MPEG audio layer II is audio/mpeg as MP3 is; a TrueType
// collection is font/ttf). "" when the description names none of them.
std::string extensionForDescription(std::string_view description);

// True for the types libmagic gives several formats that its descriptions
// tell apart (application/x-object for ELF and OMF objects, text/plain for
// text-based formats): their extension is worth looking up in the
// description first, at the cost of a second libmagic pass.
bool isSharedType(std::string_view mime);

// The conventional form of an extension: lower case, and one spelling where
// several are usual (jpg, tif, html, mp3, yaml).
std::string conventionalExtension(std::string_view ext);

// Picks the pattern a person would expect among those the shared database
// lists for |mime|: the highest weight, then the one that repeats the
// subtype's name, then the shortest of two letters or more. "" when none.
std::string preferredGlob(std::string_view mime, const std::vector<MimeDatabase::Glob>& globs);

}  // namespace ident
