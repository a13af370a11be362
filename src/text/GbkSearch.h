#pragma once
// Marker search over GBK text: never matches from the second byte of a double-byte character.
#include <cstddef>
#include <string_view>

namespace orvane {

inline constexpr std::size_t kNotFound = static_cast<std::size_t>(-1);

// A forward searcher over one text. `from` positions are 0-based byte offsets and must lie on a
// character boundary; the searcher remembers the boundaries it has settled, so a run of searches
// with growing offsets never steps over the same bytes twice.
class GbkSearcher {
 public:
  explicit GbkSearcher(std::string_view text) : text_(text) {}

  // Offset of the first occurrence of `marker` at or after `from` that starts on a character
  // boundary, or kNotFound. An empty marker is never found. With ignoreCase, A-Z and a-z are one.
  std::size_t Find(std::string_view marker, std::size_t from, bool ignoreCase);

 private:
  bool IsBoundary(std::size_t pos, std::size_t searchStart);

  std::string_view text_;
  std::size_t known_ = 0;  // a settled character boundary
};

// Compares a and b of equal length, folding A-Z only in single-byte characters of a.
bool EqualFolded(const char* a, const char* b, std::size_t length);

}  // namespace orvane
