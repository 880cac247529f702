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

}  // namespace

std::optional<Result> identifyTextHeader(std::string_view head) {
  if (head.starts_with("#?RADIANCE\n"sv) || head.starts_with("#?RGBE\n"sv)) {
    return Result{"hdr", "Radiance HDR image"};
  }
  if (isVCalendar1(head)) {
    return Result{"vcs", "vCalendar 1.0 calendar"};
  }
  return std::nullopt;
}

}  // namespace ident
