#pragma once
// Text helpers shared by every scraper. All text is GBK bytes; positions count bytes from 1;
// searching steps by characters (a byte >= 0x80 and the byte after it are one character).
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

// Bytes between startMarker and the endMarker that follows it, untrimmed; empty when either is
// missing. Every "#引号" in the markers stands for a double quote.
std::string TextBetween(std::string_view text, std::string_view startMarker, std::string_view endMarker,
                        long long startPosition = 0, bool ignoreCase = false);

struct BetweenAllOptions {
  bool matchCase = false;
  std::size_t maxLength = 0;
  std::string_view prefix = {};
  std::string_view suffix = {};
  bool keepStartMarker = false;
  bool keepEndMarker = false;
  long long startPosition = 0;
};

// Fills pieces with every non-empty, blank-trimmed piece between the markers; returns their count.
std::size_t TextBetweenAll(std::string_view text, std::string_view startMarker, std::string_view endMarker,
                           std::vector<std::string>& pieces, const BetweenAllOptions& options = {});

struct Replacement {
  std::string_view find = {};
  std::string_view replace = {};
};

struct ReplaceOptions {
  long long count = -1;  // below 0: all occurrences
  long long startPosition = 1;
  bool matchCase = false;
};

// Applies up to five replacements in order, each to the result of the one before.
std::string ReplaceMany(std::string_view text, const ReplaceOptions& options, Replacement pair1,
                        Replacement pair2 = {}, Replacement pair3 = {}, Replacement pair4 = {},
                        Replacement pair5 = {});

// The text as UTF-8 converted to GBK: invalid UTF-8 and characters GBK lacks become "?"; the result
// ends at the first zero character.
std::string Utf8ToGbk(std::string_view text);

// Without leading and trailing 0x20 (tabs, line breaks and full-width blanks stay).
std::string TrimBlanks(std::string_view text);

}  // namespace orvane
