#include "text_headers.h"

#include <string>

namespace ident {

namespace {

using namespace std::string_view_literals;

// Lines of a calendar read for its VERSION before its first component.
constexpr std::size_t kMaxCalendarLines = 64;

// The next line of |text| from |*at|, without its line break; advances
// |*at| past it.
std::string_view nextLine(std::string_view text, std::size_t* at) {
  const std::size_t end = std::min(text.find('\n', *at), text.size());
  std::string_view line = text.substr(*at, end - *at);
  *at = end + 1;
  if (line.ends_with('\r')) {
    line.remove_suffix(1);
  }
  return line;
}

bool isVCalendar1(std::string_view head) {
  if (head.starts_with("\xef\xbb\xbf"sv)) {
    head.remove_prefix(3);
  }
  std::size_t at = 0;
  if (nextLine(head, &at) != "BEGIN:VCALENDAR"sv) {
    return false;
  }
  for (std::size_t n = 0; n < kMaxCalendarLines && at < head.size(); ++n) {
    const std::string_view line = nextLine(head, &at);
    if (line.starts_with("VERSION:"sv)) {
      return line == "VERSION:1.0"sv;
    }
    if (line.starts_with("BEGIN:"sv)) {
      return false;
    }
  }
  return false;
}

// Bytes within which PDF readers look for the "%PDF-" header.
constexpr std::size_t kPdfHeaderWindow = 1024;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// True when an indirect object ("1 0 obj") starts in |text|: its
// generation number, a space, "obj".
bool hasIndirectObject(std::string_view text) {
  for (std::size_t at = text.find(" obj"sv); at != std::string_view::npos;
       at = text.find(" obj"sv, at + 1)) {
    if (at > 0 && isDigit(text[at - 1])) {
      return true;
    }
  }
  return false;
}

// A PDF whose "%PDF-N.N" header comes after other bytes (a mail or HTTP
// header, a line some tool wrote first), which readers accept within the
// first kilobyte. An indirect object must follow it, so that a text merely
// quoting the header is not taken. A header at the very start is
// libmagic's to name.
bool isPdfAfterLeadingBytes(std::string_view head) {
  const std::size_t at = head.substr(0, kPdfHeaderWindow).find("%PDF-"sv);
  if (at == 0 || at == std::string_view::npos || head.size() < at + 8 ||
      !isDigit(head[at + 5]) || head[at + 6] != '.' || !isDigit(head[at + 7])) {
    return false;
  }
  return hasIndirectObject(head.substr(at + 8));
}

}  // namespace

std::optional<Result> identifyTextHeader(std::string_view head) {
  if (head.starts_with("#?RADIANCE\n"sv) || head.starts_with("#?RGBE\n"sv)) {
    return Result{"hdr", "Radiance HDR image"};
  }
  if (isVCalendar1(head)) {
    return Result{"vcs", "vCalendar 1.0 calendar"};
  }
  if (isPdfAfterLeadingBytes(head)) {
    return Result{"pdf", "PDF document, after leading bytes"};
  }
  return std::nullopt;
}

}  // namespace ident
