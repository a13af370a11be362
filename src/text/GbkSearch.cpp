#include "text/GbkSearch.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace orvane {
namespace {

constexpr unsigned char Byte(char c) { return static_cast<unsigned char>(c); }
constexpr bool IsUpper(unsigned char c) { return c >= 'A' && c <= 'Z'; }
constexpr bool IsLetter(unsigned char c) { return IsUpper(c) || (c >= 'a' && c <= 'z'); }
constexpr unsigned char Lower(unsigned char c) { return IsUpper(c) ? static_cast<unsigned char>(c + 32) : c; }

bool HasLetter(std::string_view marker) {
  for (char c : marker) {
    if (IsLetter(Byte(c))) return true;
  }
  return false;
}

// Tests one byte against a marker byte, letter case folded when the marker byte is a letter.
struct ByteTest {
  explicit ByteTest(unsigned char c) : letter(IsLetter(c)), value(letter ? Lower(c) : c) {}
  bool Matches(unsigned char c) const { return (letter ? static_cast<unsigned char>(c | 0x20) : c) == value; }
  bool letter;
  unsigned char value;
};

// Next offset >= from whose first and last marker bytes match, letter case folded; kNotFound when
// none. Checks sixteen positions at a time where SSE2 is there.
std::size_t NextFoldedCandidate(const char* text, std::size_t size, std::string_view marker, std::size_t from) {
  const std::size_t last = marker.size() - 1;
  const ByteTest first(Byte(marker.front()));
  const ByteTest final(Byte(marker.back()));
  std::size_t pos = from;
#if defined(__SSE2__)
  const __m128i firstCase = _mm_set1_epi8(static_cast<char>(first.letter ? 0x20 : 0));
  const __m128i finalCase = _mm_set1_epi8(static_cast<char>(final.letter ? 0x20 : 0));
  const __m128i firstValue = _mm_set1_epi8(static_cast<char>(first.value));
  const __m128i finalValue = _mm_set1_epi8(static_cast<char>(final.value));
  while (pos + last + 16 <= size) {
    const __m128i head = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + pos));
    const __m128i tail = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + pos + last));
    const __m128i hit = _mm_and_si128(_mm_cmpeq_epi8(_mm_or_si128(head, firstCase), firstValue),
                                      _mm_cmpeq_epi8(_mm_or_si128(tail, finalCase), finalValue));
    const int mask = _mm_movemask_epi8(hit);
    if (mask != 0) return pos + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
    pos += 16;
  }
#endif
  for (; pos + last < size; ++pos) {
    if (first.Matches(Byte(text[pos])) && final.Matches(Byte(text[pos + last]))) return pos;
  }
  return kNotFound;
}

}  // namespace

bool EqualFolded(const char* a, const char* b, std::size_t length) {
  std::size_t i = 0;
  while (i < length) {
    const unsigned char ca = Byte(a[i]);
    if (ca >= 0x80) {
      // A double-byte character compares exactly, trail byte included.
      if (ca != Byte(b[i])) return false;
      if (i + 1 < length && a[i + 1] != b[i + 1]) return false;
      i += 2;
      continue;
    }
    if (Lower(ca) != Lower(Byte(b[i]))) return false;
    ++i;
  }
  return true;
}

bool GbkSearcher::IsBoundary(std::size_t pos, std::size_t searchStart) {
  std::size_t base = searchStart;
  if (known_ >= searchStart && known_ <= pos) base = known_;
  // Walk back to a settled boundary: `anchor` is one when the byte before it is ASCII and is not the
  // trail of a double-byte character, which holds when the byte before that is ASCII too.
  std::size_t anchor = pos;
  while (anchor > base) {
    const bool prevAscii = Byte(text_[anchor - 1]) < 0x80;
    if (prevAscii && (anchor - 1 == base || Byte(text_[anchor - 2]) < 0x80)) break;
    --anchor;
  }
  std::size_t q = anchor;
  while (q < pos) q += Byte(text_[q]) >= 0x80 ? 2 : 1;
  known_ = q;
  return q == pos;
}

std::size_t GbkSearcher::Find(std::string_view marker, std::size_t from, bool ignoreCase) {
  const std::size_t size = text_.size();
  if (marker.empty() || from > size || size - from < marker.size()) return kNotFound;
  const bool folded = ignoreCase && HasLetter(marker);
  std::size_t pos = from;
  while (pos + marker.size() <= size) {
    std::size_t candidate;
    if (folded) {
      candidate = NextFoldedCandidate(text_.data(), size, marker, pos);
      if (candidate == kNotFound) return kNotFound;
      if (!EqualFolded(marker.data(), text_.data() + candidate, marker.size())) {
        pos = candidate + 1;
        continue;
      }
    } else {
      const void* hit = memmem(text_.data() + pos, size - pos, marker.data(), marker.size());
      if (hit == nullptr) return kNotFound;
      candidate = static_cast<std::size_t>(static_cast<const char*>(hit) - text_.data());
    }
    if (IsBoundary(candidate, from)) return candidate;
    pos = candidate + 1;
  }
  return kNotFound;
}

}  // namespace orvane
