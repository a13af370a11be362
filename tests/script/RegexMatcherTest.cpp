#include "script/RegexMatcher.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvane {
namespace {

const char kCharsetPattern[] = "<meta.+?charset=[^\\w]?([-\\w]+)";
// GBK bytes used below.
const std::string kZhong = "\xD6\xD0";  // 中
const std::string kWen = "\xCE\xC4";    // 文
const std::string kQuoteMarker = "#\xD2\xFD\xBA\xC5";  // #引号

TEST(RegexMatcherSearch, CharsetDetection) {
  struct Case {
    const char* name;
    std::string subject;
    std::string charset;
  };
  const std::vector<Case> cases = {
      {"bare", "<meta charset=utf-8>", "utf-8"},
      {"double quote", "<meta charset=\"utf-8\">", "utf-8"},
      {"single quote", "<meta charset='utf-8'>", "utf-8"},
      {"content attribute", "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=big5\" />", "big5"},
      {"upper case tag, case kept in the capture", "<META CHARSET=UTF-8>", "UTF-8"},
      {"first of two", "<meta charset=gbk><meta charset=utf-8>", "gbk"},
      {"tag and charset on two lines", "<meta\ncharset=utf-8>", ""},
      {"tag and charset across CR", "<meta\rcharset=utf-8>", ""},
      {"no meta tag", "{\"title\":\"x\"}", ""},
      {"double-byte character as the non-word character", kZhong + "<meta charset=" + kWen + "utf-8>", "utf-8"},
  };
  for (const auto& c : cases) {
    RegexMatcher matcher;
    ASSERT_TRUE(matcher.Search(kCharsetPattern, c.subject)) << c.name;
    EXPECT_EQ(matcher.SubMatchText(1, 1), c.charset) << c.name;
  }
}

TEST(RegexMatcherSearch, NoMatchIsStillASuccessfulSearch) {
  RegexMatcher matcher;
  ASSERT_TRUE(matcher.Search(kCharsetPattern, "<html><body>nothing</body></html>"));
  EXPECT_EQ(matcher.MatchCount(), 0);
  EXPECT_EQ(matcher.SubMatchText(1, 1), "");
  EXPECT_EQ(matcher.MatchText(1), "");
  EXPECT_EQ(matcher.SubMatchCount(), 0);
  EXPECT_EQ(matcher.ReplaceMatches("x"), "<html><body>nothing</body></html>");
}

TEST(RegexMatcherSearch, Options) {
  struct Case {
    const char* name;
    std::string pattern, subject;
    bool caseSensitive, multiline, global, quoteMarker;
    int matches;
    std::string first;
  };
  const std::vector<Case> cases = {
      {"case ignored by default", "abc", "xABCx", false, true, true, false, 1, "ABC"},
      {"case sensitive", "abc", "xABCx", true, true, true, false, 0, ""},
      {"case sensitive same case", "abc", "xabcx", true, true, true, false, 1, "abc"},
      {"global finds all", "a\\d", "a1 a2 a3", false, true, true, false, 3, "a1"},
      {"not global finds the first", "a\\d", "a1 a2 a3", false, true, false, false, 1, "a1"},
      {"multiline anchors at lines", "^\\w+$", "one\ntwo\r\nthree", false, true, true, false, 3, "one"},
      {"single line anchors at the ends", "^\\w+$", "one\ntwo", false, false, true, false, 0, ""},
      {"no final-newline dollar without multiline", "two$", "one\ntwo\n", false, false, true, false, 0, ""},
      {"dot stops at LF", "a.b", "a\nb", false, true, true, false, 0, ""},
      {"dot stops at CR", "a.b", "a\rb", false, true, true, false, 0, ""},
      {"quote marker", "a" + kQuoteMarker + "b", "xa\"by", false, true, true, true, 1, "a\"b"},
      {"quote marker off stays literal", "a" + kQuoteMarker + "b", "xa\"by", false, true, true, false, 0, ""},
      {"quote marker off matches the marker", "a" + kQuoteMarker + "b", "a" + kQuoteMarker + "b", false, true,
       true, false, 1, "a" + kQuoteMarker + "b"},
      {"lazy quantifier", "<.+?>", "<a><b>", false, true, true, false, 2, "<a>"},
      {"greedy quantifier", "<.+>", "<a><b>", false, true, true, false, 1, "<a><b>"},
      {"class with dash and word", "[-\\w]+", "  utf-8 ", false, true, true, false, 1, "utf-8"},
      {"negated word class", "[^\\w]", "ab;c", false, true, true, false, 1, ";"},
      {"\\w is ASCII only", "\\w+", kZhong + "ab" + kWen, false, true, true, false, 1, "ab"},
      {"javascript \\u escape", "\\u4e2d", "x" + kZhong, false, true, true, false, 1, kZhong},
      {"javascript \\x escape", "\\x41", "zA", true, true, true, false, 1, "A"},
      {"empty matches step by character", "x*", kZhong + "x", false, true, true, false, 3, ""},
      {"empty subject", "a*", "", false, true, true, false, 1, ""},
  };
  for (const auto& c : cases) {
    RegexMatcher matcher;
    ASSERT_TRUE(matcher.Search(c.pattern, c.subject, c.caseSensitive, c.multiline, c.global, c.quoteMarker))
        << c.name;
    EXPECT_EQ(matcher.MatchCount(), c.matches) << c.name;
    EXPECT_EQ(matcher.MatchText(1), c.first) << c.name;
  }
}

TEST(RegexMatcherSearch, PatternIsKeptAfterQuoteMarkerReplacement) {
  RegexMatcher matcher;
  EXPECT_EQ(matcher.GetPattern(), "");
  matcher.Search("a" + kQuoteMarker + "b" + kQuoteMarker, "", false, true, true, true);
  EXPECT_EQ(matcher.GetPattern(), "a\"b\"");
  matcher.Search("(", "x");
  EXPECT_EQ(matcher.GetPattern(), "(");
}

TEST(RegexMatcherSearch, BadPatternsGiveEmptyResults) {
  for (const std::string pattern : {"(", "a)", "[a", "a{2,1}", "*a", "\\C", "(?<n>a)(?<n>b)", "\\"}) {
    RegexMatcher matcher;
    ASSERT_TRUE(matcher.Search("a", "a"));  // an earlier result must not survive
    EXPECT_FALSE(matcher.Search(pattern, "a(b)c")) << pattern;
    EXPECT_EQ(matcher.MatchCount(), 0) << pattern;
    EXPECT_EQ(matcher.MatchText(1), "") << pattern;
    EXPECT_EQ(matcher.SubMatchCount(), 0) << pattern;
    EXPECT_EQ(matcher.ReplaceMatches("x"), "") << pattern;
  }
}

TEST(RegexMatcherSearch, NothingBeforeTheFirstSearch) {
  const RegexMatcher matcher;
  long long position = 7;
  EXPECT_EQ(matcher.MatchCount(), 0);
  EXPECT_EQ(matcher.SubMatchCount(), 0);
  EXPECT_EQ(matcher.MatchText(1, &position), "");
  EXPECT_EQ(position, 0);
  EXPECT_EQ(matcher.SubMatchText(1, 1), "");
  EXPECT_EQ(matcher.ReplaceMatches("x"), "");
  EXPECT_EQ(matcher.GetPattern(), "");
}

TEST(RegexMatcherSearch, IndexesAreOneBasedAndBounded) {
  RegexMatcher matcher;
  ASSERT_TRUE(matcher.Search("(\\w)(\\d)?", "a1 b"));
  ASSERT_EQ(matcher.MatchCount(), 2);
  EXPECT_EQ(matcher.SubMatchCount(), 2);
  long long position = -1;
  EXPECT_EQ(matcher.MatchText(1, &position), "a1");
  EXPECT_EQ(position, 1);
  EXPECT_EQ(matcher.MatchText(2, &position), "b");
  EXPECT_EQ(position, 4);
  EXPECT_EQ(matcher.SubMatchText(1, 2, &position), "1");
  EXPECT_EQ(position, 2);
  EXPECT_EQ(matcher.SubMatchText(2, 1), "b");
  // A capture that took no part: empty, position 0.
  EXPECT_EQ(matcher.SubMatchText(2, 2, &position), "");
  EXPECT_EQ(position, 0);
  for (auto [match, sub] : std::vector<std::pair<int, int>>{{0, 1}, {3, 1}, {-1, 1}, {1, 0}, {1, 3}, {1, -1}}) {
    position = -1;
    EXPECT_EQ(matcher.SubMatchText(match, sub, &position), "") << match << "," << sub;
    EXPECT_EQ(position, 0);
  }
  EXPECT_EQ(matcher.MatchText(0), "");
  EXPECT_EQ(matcher.MatchText(3), "");
}

TEST(RegexMatcherSearch, DoubleByteSubject) {
  // 中文 then "x", "文" then "y": the pattern "文." must find both, and a pattern made of a trail byte
  // and the next lead byte (\xD0\xCE, itself a valid character) must find nothing.
  const std::string subject = kZhong + kWen + "x" + kWen + "y";
  RegexMatcher matcher;
  ASSERT_TRUE(matcher.Search(kWen + ".", subject));
  ASSERT_EQ(matcher.MatchCount(), 2);
  long long position = 0;
  EXPECT_EQ(matcher.MatchText(1, &position), kWen + "x");
  EXPECT_EQ(position, 3);  // 1-based byte position in the GBK subject
  EXPECT_EQ(matcher.MatchText(2, &position), kWen + "y");
  EXPECT_EQ(position, 6);
  ASSERT_TRUE(matcher.Search("\xD0\xCE", subject));
  EXPECT_EQ(matcher.MatchCount(), 0);
  // An ASCII-looking trail byte ("\x81\x61" is one character whose second byte is 'a').
  ASSERT_TRUE(matcher.Search("a", "\x81\x61" "a"));
  ASSERT_EQ(matcher.MatchCount(), 1);
  EXPECT_EQ(matcher.MatchText(1, &position), "a");
  EXPECT_EQ(position, 3);
  // A single character of two bytes is one "." and a class member.
  ASSERT_TRUE(matcher.Search("^.$", kZhong));
  EXPECT_EQ(matcher.MatchCount(), 1);
  ASSERT_TRUE(matcher.Search("[" + kWen + kZhong + "]+", "ab" + kZhong + kWen + "cd"));
  EXPECT_EQ(matcher.MatchText(1), kZhong + kWen);
  // A pair with an ASCII second byte among valid characters: its "0" is no match of its own.
  ASSERT_TRUE(matcher.Search("0|" + kWen, kZhong + "\x81\x30" + kWen + "0"));
  ASSERT_EQ(matcher.MatchCount(), 2);
  EXPECT_EQ(matcher.MatchText(1, &position), kWen);
  EXPECT_EQ(position, 5);
  EXPECT_EQ(matcher.MatchText(2, &position), "0");
  EXPECT_EQ(position, 7);
  // A lone lead byte at the end and an invalid pair stand for one character each.
  ASSERT_TRUE(matcher.Search("(.)(.)$", "a\xFF\xFF" "b\x81"));
  EXPECT_EQ(matcher.SubMatchText(1, 1), "b");
  EXPECT_EQ(matcher.SubMatchText(1, 2), "\x81");
}

TEST(RegexMatcherReplace, References) {
  struct Case {
    const char* name;
    std::string pattern, subject, replacement;
    bool global;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"delete by default", "\\d", "a1b2", "", true, "ab"},
      {"captures", "(\\w+)=(\\w+)", "a=1;b=2", "$2=$1", true, "1=a;2=b"},
      {"whole match", "\\d+", "x12y", "<$&>", true, "x<12>y"},
      {"dollar escape", "\\d", "a1", "$$", true, "a$"},
      {"before and after", "b", "abc", "[$`|$']", true, "a[a|c]c"},
      {"unknown group stays literal", "(a)", "a", "$2$0$x$", true, "$2$0$x$"},
      {"two-digit group", "(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)", "abcdefghij", "$10$1", true, "ja"},
      {"one digit when two name no group", "(a)", "a", "$10", true, "a0"},
      {"unset capture is empty", "(a)|(b)", "b", "[$1]", true, "[]"},
      {"first only when not global", "\\d", "1 2 3", "#", false, "# 2 3"},
      {"double-byte text kept", "x", kZhong + "x" + kWen, kWen, true, kZhong + kWen + kWen},
      {"empty matches", "x*", "ab", "-", true, "-a-b-"},
  };
  for (const auto& c : cases) {
    RegexMatcher matcher;
    ASSERT_TRUE(matcher.Search(c.pattern, c.subject, false, true, c.global)) << c.name;
    EXPECT_EQ(matcher.ReplaceMatches(c.replacement), c.expected) << c.name;
  }
}

TEST(RegexMatcherCopy, SharesMatchesAndKeepsItsOwnSubject) {
  RegexMatcher first;
  ASSERT_TRUE(first.Search("(\\d)", "a1b2"));
  const RegexMatcher copy = first;
  ASSERT_TRUE(first.Search("z", "zz"));
  EXPECT_EQ(copy.GetPattern(), "(\\d)");
  EXPECT_EQ(copy.MatchCount(), 2);
  EXPECT_EQ(copy.SubMatchText(2, 1), "2");
  EXPECT_EQ(copy.ReplaceMatches("<$1>"), "a<1>b<2>");
  EXPECT_EQ(first.MatchCount(), 2);
  EXPECT_EQ(first.MatchText(1), "z");
}

TEST(RegexMatcherLimits, CatastrophicPatternsEndWithoutAnswer) {
  // Each of these backtracks exponentially at every start position; none has a literal that
  // PCRE2 could look for first to rule the subject out. The search gives up and reports failure.
  const std::string as(5000, 'a');
  std::string words;
  for (int i = 0; i < 3000; ++i) words += "word ";
  words += "!";
  // Short blocks, each cheap on its own, add up across start positions and matches.
  std::string blocks;
  for (int i = 0; i < 4000; ++i) blocks += std::string(16, 'a') + ";";
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"(a+)+[bc]", as}, {"(a|aa)+[^a]", as}, {"(a*)*[^a]", as}, {"^(\\w+\\s?)+$", words}, {"(a+)+[bc]", blocks}};
  for (const auto& [pattern, subject] : cases) {
    RegexMatcher matcher;
    EXPECT_FALSE(matcher.Search(pattern, subject)) << pattern;
    EXPECT_EQ(matcher.MatchCount(), 0) << pattern;
    EXPECT_EQ(matcher.ReplaceMatches("x"), "") << pattern;
  }
}

TEST(RegexMatcherLimits, LongSubjectOfOrdinaryPatternCompletes) {
  std::string page;
  for (int i = 0; i < 20000; ++i) page += "<div class=\"item\">" + kZhong + kWen + " " + std::to_string(i) + "</div>\n";
  page += "<meta charset=\"utf-8\">";
  RegexMatcher matcher;
  ASSERT_TRUE(matcher.Search(kCharsetPattern, page));
  EXPECT_EQ(matcher.SubMatchText(1, 1), "utf-8");
  ASSERT_TRUE(matcher.Search("<div[^>]*>(.+?)</div>", page));
  EXPECT_EQ(matcher.MatchCount(), 20000);
  EXPECT_EQ(matcher.SubMatchText(20000, 1), kZhong + kWen + " 19999");
}

}  // namespace
}  // namespace orvane
