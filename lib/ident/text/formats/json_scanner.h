// A strict JSON check for the text classifier.
#pragma once

#include <string_view>

namespace ident::text {

// True when |head| is one JSON object or array, blanks around it allowed.
// |head| is a file's first bytes: a document cut short counts only when the
// cut came late (past 512 bytes), so that a short broken file stays text.
bool isJsonDocument(std::string_view head);

// True when |head| is JSON handed to a JavaScript function: "name(" or
// "a.b(" around one JSON object or array, then ")" and an optional ";"
// (JSONP, and the translation catalogues and search indexes of
// documentation generators), cut short as above.
bool isJsonCall(std::string_view head);

// True when |head| gives JSON to a JavaScript variable: "var data = [...]",
// "window.ITEMS = {...}" or "items = {...};", cut short as above.
bool isJsonAssignment(std::string_view head);

}  // namespace ident::text
