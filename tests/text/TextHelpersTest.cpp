#include "text/TextHelpers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvane {
namespace {

// GBK bytes used below.
const std::string kZhong = "\xD6\xD0";          // 中
const std::string kWen = "\xCE\xC4";            // 文
const std::string kTrailA = "\x81\x61";         // a double-byte character whose trail byte is 'a'
const std::string kWideBlank = "\xA1\xA1";      // full-width blank
const std::string kWideA = "\xA3\xC1";          // full-width A
const std::string kWideLowerA = "\xA3\xE1";     // full-width a
const std::string kQuoteMarker = "#\xD2\xFD\xBA\xC5";  // #引号

struct BetweenCase {
  const char* name;
  std::string text, start, end;
  long long startPosition;
  bool ignoreCase;
  std::string expected;
};

TEST(TextBetween, Cases) {
  const std::vector<BetweenCase> cases = {
      {"plain", "<a>x</a>", "<a>", "</a>", 0, false, "x"},
      {"untrimmed", "[ x ]", "[", "]", 0, false, " x "},
      {"missing start", "abc", "<", ">", 0, false, ""},
      {"missing end", "<abc", "<", ">", 0, false, ""},
      {"end searched after start", ">a<b>", "<", ">", 0, false, "b"},
      {"letter case kept by default", "<A>x</A>", "<a>", "</a>", 0, false, ""},
      {"letter case ignored", "<A>x</A>", "<a>", "</a>", 0, true, "x"},
      {"start position in bytes from 1", "[1][2]", "[", "]", 4, false, "2"},
      {"start position below 1", "[1][2]", "[", "]", -5, false, "1"},
      {"start position past the end", "[1]", "[", "]", 9, false, ""},
      {"quote marker", "a=\"v\"", "a=" + kQuoteMarker, kQuoteMarker, 0, false, "v"},
      {"marker across two characters", kZhong + kWen + "|x|", "\xD0\xCE", "|", 0, false, ""},
      {"marker from a trail byte", kTrailA + "b]" + "ab]", "ab", "]", 0, false, ""},
      {"marker on a boundary after double bytes", kZhong + kTrailA + "ab]", "ab", "]", 0, false, ""},
      {"double-byte text between", "<" + kZhong + kWen + ">", "<", ">", 0, false, kZhong + kWen},
      {"empty markers find nothing", "abc", "", "", 0, false, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TextBetween(c.text, c.start, c.end, c.startPosition, c.ignoreCase), c.expected) << c.name;
  }
}

TEST(TextBetween, TrailByteMatchIsSkippedButLaterMatchFound) {
  // 'a' at offset 1 is the trail byte of a double-byte character; the real "ab" comes later.
  EXPECT_EQ(TextBetween(kTrailA + "b-x-ab=y-", "ab", "-"), "=y");
}

TEST(TextBetween, LetterCaseFoldsAtoZOnly) {
  EXPECT_EQ(TextBetween("<" + kWideA + ">1<" + kWideLowerA + ">2", "<" + kWideLowerA + ">", "<", 0, true), "");
  EXPECT_EQ(TextBetween("<\xC9>1", "<\xE9>", "1", 0, true), "");
  EXPECT_EQ(TextBetween("xSOUND_IDS=1;", "sound_ids=", ";", 0, true), "1");
}

std::vector<std::string> All(std::string_view text, std::string_view start, std::string_view end,
                             const BetweenAllOptions& options = {}) {
  std::vector<std::string> pieces = {"stale"};
  const std::size_t count = TextBetweenAll(text, start, end, pieces, options);
  EXPECT_EQ(count, pieces.size());
  return pieces;
}

using Pieces = std::vector<std::string>;

TEST(TextBetweenAll, Cases) {
  EXPECT_EQ(All("<a>1</a><a>2</a>", "<a>", "</a>"), (Pieces{"1", "2"}));
  EXPECT_EQ(All("", "<", ">"), Pieces{});
  EXPECT_EQ(All("<1", "<", ">"), Pieces{});
  // Letter case ignored by default, kept on request.
  EXPECT_EQ(All("<LI>1</li><li>2</LI>", "<li>", "</li>"), (Pieces{"1", "2"}));
  EXPECT_EQ(All("<LI>1</li><li>2</li>", "<li>", "</li>", {.matchCase = true}), (Pieces{"2"}));
  // Blanks, half- and full-width, trimmed from both ends; inner blanks stay; tabs stay.
  EXPECT_EQ(All("< " + kWideBlank + "a b" + kWideBlank + " >", "<", ">"), (Pieces{"a b"}));
  EXPECT_EQ(All("<\ta\t>", "<", ">"), (Pieces{"\ta\t"}));
  // A full-width blank is only trimmed as a whole character, not as bytes across two characters.
  EXPECT_EQ(All("<\xB0\xA1\xA1\xB0>", "<", ">"), (Pieces{"\xB0\xA1\xA1\xB0"}));
  // The search goes on from the end marker found, so one marker can close and open.
  EXPECT_EQ(All("|a|b|c", "|", "|"), (Pieces{"a", "b"}));
  // An empty piece is dropped and the search goes on right after its start marker.
  EXPECT_EQ(All("<><  >[x>", "<", ">"), Pieces{});
  EXPECT_EQ(All("|  |x|", "|", "|"), (Pieces{"x"}));
}

TEST(TextBetweenAll, Options) {
  EXPECT_EQ(All("<ab><abc><a>", "<", ">", {.maxLength = 3}), (Pieces{"ab", "a"}));
  EXPECT_EQ(All("<a><>", "<", ">", {.prefix = "p", .suffix = "s"}), (Pieces{"pas", "ps"}));
  EXPECT_EQ(All("<a>", "<", ">", {.keepStartMarker = true, .keepEndMarker = true}), (Pieces{"<a>"}));
  // With kept markers the length test counts them too.
  EXPECT_EQ(All("<a>", "<", ">", {.maxLength = 3, .keepStartMarker = true, .keepEndMarker = true}), Pieces{});
  EXPECT_EQ(All("<1><2><3>", "<", ">", {.startPosition = 4}), (Pieces{"2", "3"}));
}

TEST(TextBetweenAll, DoubleByteBoundaries) {
  // "</li>" whose '<' would be a trail byte: 0x81 0x3C is not a character boundary at '<'.
  const std::string text = "sound_ids 1 \x81</li> 2 </li>";
  EXPECT_EQ(All(text, "sound_ids", "</li>"), (Pieces{"1 \x81</li> 2"}));
  EXPECT_EQ(All(kZhong + kWen + "<" + kWen + ">", "\xD0\xCE", ">"), Pieces{});
}

TEST(ReplaceMany, Cases) {
  struct Case {
    const char* name;
    std::string text;
    ReplaceOptions options;
    Replacement p1, p2, p3, p4, p5;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"all occurrences", "a-b-c", {}, {"-", "+"}, {}, {}, {}, {}, "a+b+c"},
      {"count", "a-b-c", {.count = 1}, {"-", "+"}, {}, {}, {}, {}, "a+b-c"},
      {"count zero", "a-b-c", {.count = 0}, {"-", "+"}, {}, {}, {}, {}, "a-b-c"},
      {"start position", "a-b-c", {.startPosition = 3}, {"-", "+"}, {}, {}, {}, {}, "a-b+c"},
      {"start position below 1", "-a", {.startPosition = -3}, {"-", "+"}, {}, {}, {}, {}, "+a"},
      {"letter case ignored", "<SPAN>x</Span>", {}, {"<span>", ""}, {"</span>", ""}, {}, {}, {}, "x"},
      {"letter case kept", "<SPAN>x", {.matchCase = true}, {"<span>", ""}, {}, {}, {}, {}, "<SPAN>x"},
      {"inserted text not searched again", "aa", {}, {"a", "aa"}, {}, {}, {}, {}, "aaaa"},
      {"pairs in order", "abc", {}, {"a", "b"}, {"b", "c"}, {"c", "d"}, {"dd", "e"}, {"d", "f"}, "ef"},
      {"empty find changes nothing", "abc", {}, {"", "x"}, {}, {}, {}, {}, "abc"},
      {"no trail-byte match", kTrailA + "/a", {}, {"a", "b"}, {}, {}, {}, {}, kTrailA + "/b"},
      {"no match across characters", kZhong + kWen, {}, {"\xD0\xCE", "x"}, {}, {}, {}, {}, kZhong + kWen},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReplaceMany(c.text, c.options, c.p1, c.p2, c.p3, c.p4, c.p5), c.expected) << c.name;
  }
}

TEST(TrimBlanks, OnlyHalfWidthSpaces) {
  EXPECT_EQ(TrimBlanks("  a b  "), "a b");
  EXPECT_EQ(TrimBlanks("   "), "");
  EXPECT_EQ(TrimBlanks("\ta\n"), "\ta\n");
  EXPECT_EQ(TrimBlanks(kWideBlank + "a" + kWideBlank), kWideBlank + "a" + kWideBlank);
}

TEST(Utf8ToGbk, Conversions) {
  EXPECT_EQ(Utf8ToGbk("\xE4\xB8\xAD\xE6\x96\x87"), kZhong + kWen);  // 中文
  EXPECT_EQ(Utf8ToGbk("\xE2\x82\xAC"), "\x80");                      // euro sign
  EXPECT_EQ(Utf8ToGbk("a\xF0\x9F\x98\x80z"), "a?z");                 // an emoji GBK lacks
  EXPECT_EQ(Utf8ToGbk("a\xFFz"), "a?z");                             // invalid UTF-8
  EXPECT_EQ(Utf8ToGbk(std::string("ab\0cd", 5)), "ab");              // ends at the first zero
  EXPECT_EQ(Utf8ToGbk(""), "");
}

}  // namespace
}  // namespace orvane
