#include "text/NumberText.h"

#include <climits>
#include <charconv>

namespace orvane {
namespace {

constexpr unsigned char kFullWidthLead = 0xA3;  // full-width ASCII forms: A3 B0..B9 are the digits

// The ASCII meaning of the character at `pos` and its width in bytes.
struct Character {
  char ascii;
  std::size_t width;
};

Character CharacterAt(std::string_view text, std::size_t pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  if (lead < 0x80) return {static_cast<char>(lead), 1};
  if (pos + 1 >= text.size()) return {'\0', 1};
  const auto trail = static_cast<unsigned char>(text[pos + 1]);
  if (lead == 0xA1 && trail == 0xA1) return {' ', 2};  // full-width blank
  if (lead == kFullWidthLead && trail >= 0xA1 && trail <= 0xFE) return {static_cast<char>(trail - 0x80), 2};
  return {'\0', 2};
}

}  // namespace

long long ReadWholeNumber(std::string_view text) {
  std::size_t pos = 0;
  Character c{};
  while (pos < text.size() && (c = CharacterAt(text, pos)).ascii == ' ') pos += c.width;
  bool negative = false;
  if (pos < text.size() && ((c = CharacterAt(text, pos)).ascii == '+' || c.ascii == '-')) {
    negative = c.ascii == '-';
    pos += c.width;
  }
  unsigned long long magnitude = 0;
  const unsigned long long limit = negative ? static_cast<unsigned long long>(LLONG_MAX) + 1 : LLONG_MAX;
  while (pos < text.size()) {
    c = CharacterAt(text, pos);
    if (c.ascii < '0' || c.ascii > '9') break;
    const auto digit = static_cast<unsigned long long>(c.ascii - '0');
    magnitude = magnitude > (limit - digit) / 10 ? limit : magnitude * 10 + digit;
    pos += c.width;
  }
  if (!negative) return static_cast<long long>(magnitude);
  return magnitude == limit ? LLONG_MIN : -static_cast<long long>(magnitude);
}

std::string FormatReal(double value) {
  // The "%.13g" form, without the C locale's say in the decimal point.
  char buffer[32];
  const std::to_chars_result result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 13);
  return result.ec == std::errc() ? std::string(buffer, result.ptr) : std::string();
}

}  // namespace orvane
