#include "web/Cookies.h"

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

std::string_view TrimBlanksBothWays(std::string_view text) {
  // Leading blanks: step by characters from the front.
  std::size_t start = 0;
  while (start < text.size()) {
    if (text[start] == ' ') {
      ++start;
    } else if (start + 1 < text.size() && text[start] == '\xA1' && text[start + 1] == '\xA1') {
      start += 2;
    } else {
      break;
    }
  }
  text.remove_prefix(start);
  // Trailing blanks: find the character boundaries first, then drop blank characters at the end.
  std::size_t end = text.size();
  while (end > 0) {
    std::size_t last = 0;  // start of the last character before `end`
    for (std::size_t i = 0; i < end;) {
      last = i;
      i += (IsLead(text[i]) && i + 1 < end) ? 2 : 1;
    }
    const std::string_view character = text.substr(last, end - last);
    if (character == " " || character == "\xA1\xA1") {
      end = last;
    } else {
      break;
    }
  }
  return text.substr(0, end);
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
  std::vector<std::string> kept;
  for (std::string& item : Split(text, separator)) {
    if (FindItem(kept, item) == -1) kept.push_back(std::move(item));
  }
  return Join(kept, separator);
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
  for (const std::string& sent : Split(sendCookies, ";")) {
    if (!HasCookieName(result, CookieName(sent))) result.push_back(sent);
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
