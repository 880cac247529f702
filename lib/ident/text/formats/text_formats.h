// Formats whose grammar the text classifier can check outright. Each check
// returns a verdict naming its evidence, or std::nullopt when the lines do
// not follow the format; none of them guesses.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/text_verdict.h"
#include "text/text_lines.h"

namespace ident::text {

// Text archives (Go's txtar): several files in one, each after a "-- name
// --" line. They hold code of any language, and are plain text themselves.
std::optional<TextVerdict> checkTextArchive(const std::vector<Line>& lines);
// Markdown conformance tests: "example" blocks, each the Markdown source, a
// lone "." line and the HTML it must render to. Test data in plain text,
// not a document to render, however much Markdown its prose and examples
// hold.
std::optional<TextVerdict> checkMarkdownExamples(const std::vector<Line>& lines);

// An ASN.1 module, such as an SNMP MIB: "IF-MIB DEFINITIONS ::= BEGIN"
// under its "--" comments. Plain text, as net-snmp names its MIBs; its
// "IMPORTS ... FROM" lines are no Dockerfile's nor SQL's.
std::optional<TextVerdict> checkAsn1Module(const std::vector<Line>& lines);
// Unified and context diffs, and git's "diff --git" header.
std::optional<TextVerdict> checkDiff(const std::vector<Line>& lines);
// "-----BEGIN ...-----" blocks: certificates, PGP armor, other PEM data.
std::optional<TextVerdict> checkPem(const std::vector<Line>& lines);
// The bytes of a CMS message written as text, decoded from base64 as far as
// it goes: the first PKCS#7 or CMS block ("-----BEGIN PKCS7-----") in |head|,
// else base64 from the first line on where it opens a DER sequence ("MI");
// empty without either.
std::string cmsBase64Content(std::string_view head);
// roff manual pages titled by ".TH" or mdoc's ".Dt"; the extension is the
// manual section ("1", "7") when the title gives one.
std::optional<TextVerdict> checkManPage(const std::vector<Line>& lines);
// gettext catalogues: msgid/msgstr pairs.
std::optional<TextVerdict> checkGettext(const std::vector<Line>& lines);
// "[section]" files: desktop entries, systemd units, TOML, then INI.
std::optional<TextVerdict> checkSectioned(const std::vector<Line>& lines);
// CSV and TSV tables. |head| tells whether the last line may be cut short.
std::optional<TextVerdict> checkDelimited(std::string_view head,
                                          const std::vector<Line>& lines);
// YAML block mappings and sequences with a document marker or nesting.
std::optional<TextVerdict> checkYaml(const std::vector<Line>& lines);
// Subtitles: WebVTT ("WEBVTT" first) and SubRip (numbered cues with
// "00:00:01,000 --> 00:00:04,000" timings).
std::optional<TextVerdict> checkSubtitles(const std::vector<Line>& lines);
// An e-mail message: a header block of "Name: value" fields naming a sender
// and more, or an mbox "From " line before it.
std::optional<TextVerdict> checkMail(const std::vector<Line>& lines);
// Excel web queries (.iqy): "WEB", a version number and the address to
// fetch, each on a line of its own.
std::optional<TextVerdict> checkWebQuery(const std::vector<Line>& lines);
// XML documents of a kind that has a name of its own, told by the root
// element (and its namespace where the name alone is common): Qt's
// translation sources, forms and resource lists, GPS tracks, KML, property
// lists, XSLT, XML Schema, XLIFF, COLLADA, EPUB package documents and
// GtkBuilder interfaces. |head| starts at the document's first markup.
std::optional<TextVerdict> checkXmlDialect(std::string_view head);
// Dockerfiles: a FROM instruction and the other instructions in capitals.
std::optional<TextVerdict> checkDockerfile(const std::vector<Line>& lines);

}  // namespace ident::text
