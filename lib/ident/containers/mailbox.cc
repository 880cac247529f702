#include "mailbox.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

namespace ident {

namespace {

using namespace std::string_view_literals;

// A "From " line is short; a longer first line is something else.
constexpr std::size_t kMaxEnvelopeLine = 512;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The ctime() date after the sender: weekday, month, day, time and a year
// of four digits, separated by blanks; a time zone may stand before the
// year or after it.
bool isEnvelopeDate(std::string_view date) {
  static constexpr std::array<std::string_view, 7> kDays = {"Mon", "Tue", "Wed", "Thu",
                                                            "Fri", "Sat", "Sun"};
  static constexpr std::array<std::string_view, 12> kMonths = {
      "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  if (date.size() < 20 || std::find(kDays.begin(), kDays.end(), date.substr(0, 3)) == kDays.end() ||
      date[3] != ' ' ||
      std::find(kMonths.begin(), kMonths.end(), date.substr(4, 3)) == kMonths.end()) {
    return false;
  }
  // hh:mm somewhere after the month, and a four-digit year as a word.
  const std::size_t colon = date.find(':', 7);
  if (colon == std::string_view::npos || colon < 2 || colon + 2 >= date.size() ||
      !isDigit(date[colon - 1]) || !isDigit(date[colon + 1]) || !isDigit(date[colon + 2])) {
    return false;
  }
  for (std::size_t at = 7; at + 4 <= date.size(); ++at) {
    const bool word_start = date[at - 1] == ' ';
    const bool word_end = at + 4 == date.size() || date[at + 4] == ' ';
    if (word_start && word_end &&
        std::all_of(date.begin() + at, date.begin() + at + 4, isDigit)) {
      return true;
    }
  }
  return false;
}

// A header field's first line: a name of printable characters other than
// the colon, then the colon.
bool isHeaderField(std::string_view line) {
  const std::size_t colon = line.find(':');
  if (colon == 0 || colon == std::string_view::npos) {
    return false;
  }
  return std::all_of(line.begin(), line.begin() + colon, [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte > 0x20 && byte < 0x7f;
  });
}

}  // namespace

std::optional<Result> identifyMailbox(std::string_view head) {
  if (!head.starts_with("From "sv)) {
    return std::nullopt;
  }
  const std::size_t end = head.find('\n');
  if (end == std::string_view::npos || end > kMaxEnvelopeLine) {
    return std::nullopt;
  }
  std::string_view envelope = head.substr(5, end - 5);
  if (envelope.ends_with('\r')) {
    envelope.remove_suffix(1);
  }
  // The sender: one word ("-" where the writer did not know it).
  const std::size_t blank = envelope.find(' ');
  if (blank == 0 || blank == std::string_view::npos) {
    return std::nullopt;
  }
  const std::size_t date = envelope.find_first_not_of(' ', blank);
  // git format-patch writes its patches as one-message mailboxes under a
  // fixed date: they are patches to a person.
  if (date == std::string_view::npos || !isEnvelopeDate(envelope.substr(date)) ||
      envelope.substr(date) == "Mon Sep 17 00:00:00 2001"sv) {
    return std::nullopt;
  }
  const std::string_view rest = head.substr(end + 1);
  if (!isHeaderField(rest.substr(0, rest.find('\n')))) {
    return std::nullopt;
  }
  return Result{"mbox", "mailbox (mbox), mail messages"};
}

}  // namespace ident
