#include "script/RegexMatcher.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

#include "platform/CodePage.h"
#include "text/TextHelpers.h"

namespace orvane {
namespace {

constexpr std::size_t kUnset = std::numeric_limits<std::size_t>::max();
// Steps (pattern items entered, counted over the whole search) after which a search gives up.
// Ordinary patterns over a page use a few per subject byte; a runaway backtracking pattern reaches
// this within a fraction of a second.
constexpr std::uint64_t kStepBudget = 20'000'000;
constexpr std::uint32_t kHeapLimitKib = 64 * 1024;
const std::string kQuoteMarker = "#\xD2\xFD\xBA\xC5";  // #引号

// GBK text as UTF-8 with, for every UTF-8 offset that starts a character (and the end), the GBK
// offset of the same character. Characters follow the project's rule (a byte >= 0x80 and the byte
// after it are one character) and each becomes exactly one code point, so every match boundary
// PCRE2 reports is a character boundary in the GBK text. Pairs that are no GBK character (and a
// lone lead byte at the end) become U+FFFD.
struct Utf8Text {
  std::string utf8;
  std::vector<std::size_t> gbkOffset;
};

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

bool IsSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; }

char32_t DoubleByteCharacter(std::string_view pair) {
  const std::u16string unit = codepage::GbkToUtf16(pair);
  return unit.size() == 1 && !IsSurrogate(unit[0]) ? unit[0] : 0xFFFD;
}

// The code points of a run of double-byte characters, one per character. Converting the run at once
// is much faster than pair by pair; when every pair became one unit the two agree (the converter
// reads at most two bytes per unit), otherwise the run goes pair by pair.
std::u32string DoubleByteRun(std::string_view run) {
  const std::size_t characters = run.size() / 2;
  std::u32string out;
  out.reserve(characters);
  const std::u16string units = codepage::GbkToUtf16(run);
  if (units.size() == characters) {
    for (const char16_t unit : units) out += IsSurrogate(unit) ? char32_t{0xFFFD} : char32_t{unit};
    return out;
  }
  for (std::size_t i = 0; i < characters; ++i) out += DoubleByteCharacter(run.substr(2 * i, 2));
  return out;
}

Utf8Text ToUtf8(std::string_view gbk, bool withOffsets) {
  Utf8Text out;
  out.utf8.reserve(gbk.size() + gbk.size() / 2);
  if (withOffsets) out.gbkOffset.reserve(gbk.size() + gbk.size() / 2 + 1);
  auto put = [&](std::size_t gbkPos, char32_t c) {
    const std::size_t before = out.utf8.size();
    AppendUtf8(out.utf8, c);
    if (withOffsets) {
      out.gbkOffset.resize(out.utf8.size(), kUnset);
      out.gbkOffset[before] = gbkPos;
    }
  };
  std::size_t pos = 0;
  while (pos < gbk.size()) {
    const auto byte = static_cast<unsigned char>(gbk[pos]);
    if (byte < 0x80) {
      put(pos, byte);  // code page 936 keeps ASCII as it is
      ++pos;
      continue;
    }
    std::size_t end = pos;
    while (end + 1 < gbk.size() && static_cast<unsigned char>(gbk[end]) >= 0x80) end += 2;
    if (end == pos) {  // a lead byte at the very end
      put(pos, 0xFFFD);
      ++pos;
      continue;
    }
    const std::u32string run = DoubleByteRun(gbk.substr(pos, end - pos));
    for (std::size_t i = 0; i < run.size(); ++i) put(pos + 2 * i, run[i]);
    pos = end;
  }
  if (withOffsets) out.gbkOffset.push_back(gbk.size());
  return out;
}

struct CodeDeleter {
  void operator()(pcre2_code* code) const { pcre2_code_free(code); }
};
struct CompileContextDeleter {
  void operator()(pcre2_compile_context* context) const { pcre2_compile_context_free(context); }
};
struct MatchContextDeleter {
  void operator()(pcre2_match_context* context) const { pcre2_match_context_free(context); }
};
struct MatchDataDeleter {
  void operator()(pcre2_match_data* data) const { pcre2_match_data_free(data); }
};

int CountStep(pcre2_callout_block* /*block*/, void* data) {
  auto* left = static_cast<std::uint64_t*>(data);
  if (*left == 0) return PCRE2_ERROR_CALLOUT;
  --*left;
  return 0;
}

std::size_t NextCharacter(const std::string& utf8, std::size_t offset) {
  ++offset;
  while (offset < utf8.size() && (static_cast<unsigned char>(utf8[offset]) & 0xC0) == 0x80) ++offset;
  return offset;
}

}  // namespace

struct RegexMatcher::State {
  struct Span {
    std::size_t start = kUnset;  // GBK byte offsets; kUnset for a capture that did not take part
    std::size_t end = kUnset;
  };

  std::string pattern;
  bool ran = false;   // the pattern compiled and the search finished
  int captures = 0;   // capture groups of the pattern
  std::vector<Span> spans;  // per match: the whole match, then each capture

  int MatchCount() const { return static_cast<int>(spans.size() / static_cast<std::size_t>(captures + 1)); }
  bool Has(int matchIndex, int subIndex) const {
    return matchIndex >= 1 && matchIndex <= MatchCount() && subIndex >= 0 && subIndex <= captures;
  }
  // matchIndex from 1, subIndex 0 for the whole match; both in range.
  const Span& At(int matchIndex, int subIndex) const {
    return spans[static_cast<std::size_t>(matchIndex - 1) * static_cast<std::size_t>(captures + 1) +
                 static_cast<std::size_t>(subIndex)];
  }
};

bool RegexMatcher::Search(std::string_view pattern, std::string_view subject, bool caseSensitive, bool multiline,
                          bool global, bool quoteMarker) {
  auto state = std::make_shared<State>();
  state->pattern = quoteMarker ? ReplaceMany(pattern, ReplaceOptions{-1, 1, true}, {kQuoteMarker, "\""})
                               : std::string(pattern);
  subject_.assign(subject);
  state_ = state;  // a failed search leaves the pattern and no matches

  std::unique_ptr<pcre2_compile_context, CompileContextDeleter> compileContext(pcre2_compile_context_create(nullptr));
  std::unique_ptr<pcre2_match_context, MatchContextDeleter> matchContext(pcre2_match_context_create(nullptr));
  if (!compileContext || !matchContext) return false;
  pcre2_set_newline(compileContext.get(), PCRE2_NEWLINE_ANYCRLF);  // "." and "$" know CR and LF

  // JavaScript-like: \u and \x as JavaScript reads them, "$" only at the very end unless multiline,
  // a reference to an unset group matches nothing. \C could split a character, so it is refused.
  std::uint32_t options = PCRE2_UTF | PCRE2_NO_UTF_CHECK | PCRE2_ALT_BSUX | PCRE2_DOLLAR_ENDONLY |
                          PCRE2_MATCH_UNSET_BACKREF | PCRE2_NEVER_BACKSLASH_C | PCRE2_AUTO_CALLOUT;
  if (!caseSensitive) options |= PCRE2_CASELESS;
  if (multiline) options |= PCRE2_MULTILINE;
  const std::string patternUtf8 = ToUtf8(state->pattern, false).utf8;
  int errorCode = 0;
  PCRE2_SIZE errorOffset = 0;
  std::unique_ptr<pcre2_code, CodeDeleter> code(
      pcre2_compile(reinterpret_cast<PCRE2_SPTR>(patternUtf8.data()), patternUtf8.size(), options, &errorCode,
                    &errorOffset, compileContext.get()));
  if (!code) return false;
  std::unique_ptr<pcre2_match_data, MatchDataDeleter> matchData(
      pcre2_match_data_create_from_pattern(code.get(), nullptr));
  if (!matchData) return false;

  std::uint64_t stepsLeft = kStepBudget;
  pcre2_set_callout(matchContext.get(), CountStep, &stepsLeft);
  pcre2_set_heap_limit(matchContext.get(), kHeapLimitKib);

  std::uint32_t captureCount = 0;
  pcre2_pattern_info(code.get(), PCRE2_INFO_CAPTURECOUNT, &captureCount);
  state->captures = static_cast<int>(captureCount);

  const Utf8Text text = ToUtf8(subject, true);
  const auto* subjectData = reinterpret_cast<PCRE2_SPTR>(text.utf8.data());
  const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(matchData.get());
  std::vector<State::Span> spans;
  std::size_t offset = 0;
  std::uint32_t matchOptions = 0;
  while (offset <= text.utf8.size()) {
    const int rc = pcre2_match(code.get(), subjectData, text.utf8.size(), offset, matchOptions | PCRE2_NO_UTF_CHECK,
                               matchData.get(), matchContext.get());
    if (rc == PCRE2_ERROR_NOMATCH) {
      if (matchOptions == 0) break;
      // No non-empty match right after an empty one: move on by one character.
      matchOptions = 0;
      offset = NextCharacter(text.utf8, offset);
      continue;
    }
    if (rc < 0) return false;  // out of steps or heap: no answer is better than a hang
    for (std::uint32_t group = 0; group <= captureCount; ++group) {
      State::Span span;
      if (ovector[2 * group] != PCRE2_UNSET) {
        span.start = text.gbkOffset[ovector[2 * group]];
        span.end = text.gbkOffset[ovector[2 * group + 1]];
      }
      spans.push_back(span);
    }
    if (!global) break;
    offset = ovector[1];
    // After an empty match, the next match must not be empty at the same place.
    matchOptions = ovector[0] == ovector[1] ? PCRE2_NOTEMPTY_ATSTART | PCRE2_ANCHORED : 0;
  }
  state->spans = std::move(spans);
  state->ran = true;
  return true;
}

std::string RegexMatcher::GetPattern() const { return state_ ? state_->pattern : std::string(); }

int RegexMatcher::MatchCount() const { return state_ && state_->ran ? state_->MatchCount() : 0; }

int RegexMatcher::SubMatchCount() const { return MatchCount() > 0 ? state_->captures : 0; }

std::string RegexMatcher::MatchText(int matchIndex, long long* position) const {
  return SpanText(matchIndex, 0, position);
}

std::string RegexMatcher::SubMatchText(int matchIndex, int subIndex, long long* position) const {
  return SpanText(matchIndex, subIndex < 1 ? -1 : subIndex, position);
}

std::string RegexMatcher::SpanText(int matchIndex, int subIndex, long long* position) const {
  if (position != nullptr) *position = 0;
  if (!state_ || !state_->Has(matchIndex, subIndex)) return {};
  const State::Span& span = state_->At(matchIndex, subIndex);
  if (span.start == kUnset || span.end > subject_.size()) return {};
  if (position != nullptr) *position = static_cast<long long>(span.start) + 1;
  return subject_.substr(span.start, span.end - span.start);
}

std::string RegexMatcher::ReplaceMatches(std::string_view replacement) const {
  if (!state_ || !state_->ran) return {};
  const State& state = *state_;
  std::string out;
  std::size_t copied = 0;
  for (int match = 1; match <= state.MatchCount(); ++match) {
    const State::Span& whole = state.At(match, 0);
    out.append(subject_, copied, whole.start - copied);
    auto appendCapture = [&](int group) {
      const State::Span& span = state.At(match, group);
      if (span.start != kUnset) out.append(subject_, span.start, span.end - span.start);
    };
    for (std::size_t i = 0; i < replacement.size(); ++i) {
      const char c = replacement[i];
      const char next = i + 1 < replacement.size() ? replacement[i + 1] : '\0';
      if (static_cast<unsigned char>(c) >= 0x80 && i + 1 < replacement.size()) {
        out.append(replacement.substr(i, 2));  // a double-byte character, whatever its second byte
        ++i;
      } else if (c != '$' || i + 1 >= replacement.size()) {
        out += c;
      } else if (next == '$') {
        out += '$';
        ++i;
      } else if (next == '&') {
        appendCapture(0);
        ++i;
      } else if (next == '`') {
        out.append(subject_, 0, whole.start);
        ++i;
      } else if (next == '\'') {
        out.append(subject_, whole.end);
        ++i;
      } else if (next >= '0' && next <= '9') {
        // Two digits when they name a group, else one; "$0" and groups past the last stay literal.
        const char after = i + 2 < replacement.size() ? replacement[i + 2] : '\0';
        const int one = next - '0';
        const int two = after >= '0' && after <= '9' ? one * 10 + (after - '0') : -1;
        if (two >= 1 && two <= state.captures) {
          appendCapture(two);
          i += 2;
        } else if (one >= 1 && one <= state.captures) {
          appendCapture(one);
          ++i;
        } else {
          out += c;
        }
      } else {
        out += c;
      }
    }
    copied = whole.end;
  }
  out.append(subject_, copied);
  return out;
}

}  // namespace orvane
