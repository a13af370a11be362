#pragma once
// A regular-expression search over GBK text, backed by PCRE2.
//
// Pattern and subject are GBK; both are matched as the characters they stand for (a match never
// starts or ends inside a double-byte character) and every text comes back as GBK. The syntax is
// the JavaScript-like subset that PCRE2 shares with it: classes, lazy quantifiers, captures, \w as
// ASCII word characters, "$" and "^" at line ends with `multiline`. "." never matches CR or LF.
// A byte pair that is no GBK character (and a lead byte at the very end) matches as U+FFFD.
//
// Failures are quiet: a bad pattern makes Search return false; reading before a search, past the
// matches or past the captures gives empty text (0 for counts). Match work is bounded, so no
// pattern makes a search hang; a search that hits the bound fails like a bad pattern.
//
// Copies share the compiled pattern and the matches (immutable) and keep their own subject.
#include <memory>
#include <string>
#include <string_view>

namespace orvane {

class RegexMatcher {
 public:
  // Compiles `pattern` and runs it over `subject`, replacing the state of any earlier search.
  // caseSensitive false folds letter case; multiline makes "^" and "$" match at line breaks;
  // global finds every match (otherwise only the first). With quoteMarker, every "#引号" in the
  // pattern stands for a double quote. True when the pattern compiled and ran, even with no match.
  bool Search(std::string_view pattern, std::string_view subject, bool caseSensitive = false,
              bool multiline = true, bool global = true, bool quoteMarker = false);

  // The pattern of the last search (after the quote-marker replacement), empty before any search.
  std::string GetPattern() const;

  // The stored subject with the matches of the last search replaced by `replacement`, in which
  // "$1".."$99" stand for captures (an unset capture for nothing), "$&" for the whole match, "$`"
  // and "$'" for the text before and after it, and "$$" for "$"; any other "$" stays as it is.
  // Empty before a successful search.
  std::string ReplaceMatches(std::string_view replacement = {}) const;

  // Number of matches of the last search; 0 before any search.
  int MatchCount() const;

  // Text of match `matchIndex` (from 1). `position`, when given, receives the match's 1-based
  // byte position in the GBK subject, or 0 when there is no such match.
  std::string MatchText(int matchIndex, long long* position = nullptr) const;

  // Text of capture `subIndex` (from 1) of match `matchIndex` (from 1); empty for a capture that
  // did not take part. `position` as for MatchText (0 also for a capture that did not take part).
  std::string SubMatchText(int matchIndex, int subIndex, long long* position = nullptr) const;

  // Number of captures of the first match (the pattern's capture count); 0 when nothing matched.
  int SubMatchCount() const;

 private:
  struct State;
  std::string SpanText(int matchIndex, int subIndex, long long* position) const;

  std::shared_ptr<const State> state_;
  std::string subject_;
};

}  // namespace orvane
