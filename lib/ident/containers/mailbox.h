#pragma once

#include <optional>
#include <string_view>

#include "analysis.h"

namespace ident {

// Recognises a mailbox in the mbox format, a run of mail messages each
// opened by a "From " line: the envelope sender and the date in the form
// ctime() writes ("From alice@example.org Mon Jan  1 10:00:00 2024"), then
// the first header field of the message ("Return-Path: ...", "Received:
// ..."). |head| is the file's start; a single message saved without the
// envelope line is mail, not a mailbox, and a patch that git format-patch
// wrote (a one-message mailbox under git's fixed date) is a patch: both get
// std::nullopt, as anything else does.
std::optional<Result> identifyMailbox(std::string_view head);

}  // namespace ident
