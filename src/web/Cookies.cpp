#include "web/Cookies.h"

#include <unordered_set>

namespace orvane {
namespace {

bool IsLead(char c) { return static_cast<unsigned char>(c) >= 0x80; }

// Removes 0x20 and the full-width blank, stepping by characters so that A1 A1 is only taken
// where it is one character.
std::string RemoveBlanks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    if (IsLead(text[i]) && i + 1 < text.size()) {
      if (!(text[i] == '\xA1' && text[i + 1] == '\xA1')) out.append(text.substr(i, 2));
      i += 2;
    } else {
      if (text[i] != ' ') out += text[i];
      ++i;
    }
  }
  return out;
}

// One forward scan by characters: the blanks before the first other character and after the
// last one go.
std::string_view TrimBlanksBothWays(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = 0;  // end of the last character that is not a blank
  bool leading = true;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t width = IsLead(text[i]) && i + 1 < text.size() ? 2 : 1;
    const bool blank = text[i] == ' ' || (width == 2 && text[i] == '\xA1' && text[i + 1] == '\xA1');
    if (!blank) {
      leading = false;
      end = i + width;
    } else if (leading) {
      begin = i + width;
    }
    i += width;
  }
  return end > begin ? text.substr(begin, end - begin) : std::string_view();
}

// Pieces between separators; an empty text gives none and a trailing separator adds no piece.
std::vector<std::string> Split(std::string_view text, std::string_view separator) {
  std::vector<std::string> pieces;
  if (text.empty()) return pieces;
  std::size_t from = 0;
  while (true) {
    const std::size_t at = separator.empty() ? std::string_view::npos : text.find(separator, from);
    if (at == std::string_view::npos) {
      if (from < text.size()) pieces.emplace_back(text.substr(from));
      return pieces;
    }
    pieces.emplace_back(text.substr(from, at - from));
    from = at + separator.size();
  }
}

std::string Join(const std::vector<std::string>& items, std::string_view separator) {
  std::string out;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0) out += separator;
    out += items[i];
  }
  return out;
}

}  // namespace

std::string StripCookieBlanks(std::string_view text) { return std::string(TrimBlanksBothWays(text)); }

std::string CookieName(std::string_view item) {
  const std::size_t equals = item.find('=');
  return std::string(TrimBlanksBothWays(item.substr(0, equals)));
}

bool HasCookieName(const std::vector<std::string>& items, std::string_view name) {
  for (const std::string& item : items) {
    if (CookieName(item) == name) return true;
  }
  return false;
}

std::string RemoveDuplicateItems(std::string_view text, std::string_view separator) {
  const std::vector<std::string> items = Split(text, separator);
  std::unordered_set<std::string_view> seen;
  seen.reserve(items.size());
  std::string out;
  bool first = true;
  for (const std::string& item : items) {
    if (!seen.insert(item).second) continue;
    if (!first) out += separator;
    out += item;
    first = false;
  }
  return out;
}

long long FindItem(const std::vector<std::string>& items, std::string_view text) {
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (items[i] == text) return static_cast<long long>(i) + 1;
  }
  return -1;
}

std::string MergeCookies(std::string& sendCookies, std::string& receivedCookies) {
  sendCookies = RemoveBlanks(sendCookies);
  receivedCookies = RemoveBlanks(receivedCookies);

  std::vector<std::string> result = Split(receivedCookies, ";");
  // The names in `result` so far, sent items appended included: HasCookieName without a scan.
  std::unordered_set<std::string> names;
  for (const std::string& item : result) names.insert(CookieName(item));
  for (std::string& sent : Split(sendCookies, ";")) {
    if (names.insert(CookieName(sent)).second) result.push_back(std::move(sent));
  }

  constexpr std::string_view kDeleted = "=deleted";
  std::vector<std::string> live;
  for (std::string& item : result) {
    if (!item.ends_with(kDeleted)) live.push_back(std::move(item));
  }
  std::string merged = RemoveDuplicateItems(Join(live, "; "), "; ");
  sendCookies = merged;
  return merged;
}

}  // namespace orvane
