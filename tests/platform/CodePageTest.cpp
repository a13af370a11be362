#include "platform/CodePage.h"

#include <gtest/gtest.h>

namespace orvane::codepage {
namespace {

TEST(CodePage, RoundTripsThroughUtf16AndUtf8) {
  const std::string gbk = "a\xD6\xD0\xCE\xC4\x80";  // a中文€
  EXPECT_EQ(GbkToUtf16(gbk), u"a中文€");
  EXPECT_EQ(Utf16ToGbk(u"a中文€"), gbk);
  EXPECT_EQ(GbkToUtf8(gbk), "a中文€");
  EXPECT_EQ(Utf8ToGbk("a中文€"), gbk);
}

TEST(CodePage, SubstitutesWhatCannotBeConverted) {
  EXPECT_EQ(Utf16ToGbk(u"x😀y"), "x?y");
  EXPECT_EQ(Utf8ToGbk("x\xC3y"), "x?y");          // cut-off UTF-8 sequence
  EXPECT_EQ(Utf16ToGbk(u"\u00B2"), "2");           // best fit, as the Windows conversion gives
  EXPECT_EQ(Utf8ToUtf16("\xFF"), u"\uFFFD");
  EXPECT_EQ(GbkToUtf16(""), u"");
}

TEST(CodePage, CharsetToGbk) {
  EXPECT_EQ(CharsetToGbk("\xE4\xB8\xAD", "utf-8"), "\xD6\xD0");
  EXPECT_EQ(CharsetToGbk("\xE4\xB8\xAD", "UTF-8"), "\xD6\xD0");
  EXPECT_EQ(CharsetToGbk("caf\xE9", "iso-8859-1"), "caf\xA8\xA6");
  EXPECT_EQ(CharsetToGbk("\xF0\x9F\x98\x80", "utf-8"), "?");
  EXPECT_EQ(CharsetToGbk("\x81\x40", "GB2312"), "\x81\x40");  // read as code page 936, not EUC-CN
  EXPECT_EQ(CharsetToGbk("\x81\x40", "x-gbk"), "\x81\x40");
  EXPECT_EQ(CharsetToGbk("abc", "no-such-charset"), std::nullopt);
  EXPECT_EQ(CharsetToGbk("abc", ""), std::nullopt);
}

}  // namespace
}  // namespace orvane::codepage
