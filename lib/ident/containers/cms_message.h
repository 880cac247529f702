#pragma once

#include <optional>
#include <string_view>

#include "analysis.h"

namespace ident {

// Tells apart the Cryptographic Message Syntax (PKCS#7) files by the
// content type of their ContentInfo and what it holds: signed data that
// carries its content or encrypted data (p7m), a detached signature (p7s),
// certificates alone (p7b), compressed data (p7z), a time-stamp token or a
// time-stamp authority's response carrying one (tsr), and time-stamped data
// (tsd). Reads DER or BER from |head|, the file's first bytes: the
// structure's start is all it needs, and a length that runs past them (a
// large signed file, or a cut or damaged one) leaves only what lies before
// unread. std::nullopt for anything else, certificates and keys among them.
std::optional<Result> identifyCmsMessage(std::string_view head);

// True when |head| opens as a message of these kinds may: a DER SEQUENCE
// longer than 127 bytes (a long-form or indefinite length), or a shorter
// one that starts with an object identifier of RSA's PKCS arc.
bool mayBeCmsMessage(std::string_view head);

// True when |head| opens as a CMS message written as text does: PEM armour
// of PKCS#7 or CMS on its first line, or bare base64 of a long DER sequence
// ("MI"). The first bytes alone decide, so that the host, which loads the
// DER parser before the confined worker needs it, and the engine agree on
// every file whatever came before it.
bool mayBeCmsText(std::string_view head);

}  // namespace ident
