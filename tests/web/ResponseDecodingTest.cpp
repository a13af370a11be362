#include "web/ResponseDecoding.h"

#include "platform/CodePage.h"
#include "support/RawHttpServer.h"
#include "web/WebRequest.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

using namespace std::literals;

std::string Gbk(std::string_view utf8) { return codepage::Utf8ToGbk(utf8); }

// Each page is served as its raw bytes; WebRequest returns the decoded text.
TEST(ResponseDecodingTest, PagesDeclaringACharsetComeBackAsGbk) {
  const std::string padding(1100, ' ');
  const std::string gbkPage = "<html><meta charset=gbk><p>\xD6\xD0\xCE\xC4</p>";     // 中文
  const std::string gb2312Page = "<meta charset=\"gb2312\"><p>\xD6\xD0\xCE\xC4</p>";  // 中文
  struct Case {
    std::string name;
    std::string body;
    std::string text;
  };
  const std::vector<Case> cases = {
      {"utf-8", "<html><head><meta charset=utf-8></head><p>中文</p>", Gbk("<html><head><meta charset=utf-8></head><p>中文</p>")},
      {"quoted", "<meta charset=\"utf-8\"><p>中文</p>", Gbk("<meta charset=\"utf-8\"><p>中文</p>")},
      {"capitals", "<META CHARSET=UTF-8><p>中文</p>", Gbk("<META CHARSET=UTF-8><p>中文</p>")},
      {"http-equiv", "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\" />中文",
       Gbk("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\" />中文")},
      {"big5", "<meta charset=big5>\xA4\xA4\xA4\xE5", "<meta charset=big5>\xD6\xD0\xCE\xC4"},  // 中文
      {"gbk left alone", gbkPage, gbkPage},
      {"gb2312 left alone", gb2312Page, gb2312Page},
      // Pages naming GBK in any spelling are read as code page 936: 81 40 (丂) lies outside the
      // narrower EUC-CN table that ICU names "GB2312", and 80 is the euro sign.
      {"GBK in capitals converts to the same text", "<meta charset=GBK>\x81\x40\xD6\xD0\x80", "<meta charset=GBK>\x81\x40\xD6\xD0\x80"},
      {"GB2312 in capitals means code page 936", "<meta charset=GB2312>\x81\x40\xD6\xD0", "<meta charset=GB2312>\x81\x40\xD6\xD0"},
      {"cp936 means code page 936", "<meta charset=cp936>\x81\x40\xD6\xD0", "<meta charset=cp936>\x81\x40\xD6\xD0"},
      {"x-gbk means code page 936", "<meta charset=x-gbk>\x81\x40\xD6\xD0", "<meta charset=x-gbk>\x81\x40\xD6\xD0"},
      {"late meta tag ignored", padding + "<meta charset=utf-8>中文", padding + "<meta charset=utf-8>中文"},
      {"meta and charset on two lines", "<meta\ncharset=utf-8>中文", "<meta\ncharset=utf-8>中文"},
      {"json untouched", R"({"title":"中文","html":"<p>x</p>"})", R"({"title":"中文","html":"<p>x</p>"})"},
      {"unknown charset keeps the page", "<meta charset=x-no-such-set>中文", "<meta charset=x-no-such-set>中文"},
      {"text ends at a zero byte", "<meta charset=utf-8>中\0文"s, Gbk("<meta charset=utf-8>中")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::RawHttpServer server({test::Script().Send(test::Response("200 OK", c.body))});
    std::string bytes;
    WebRequestOptions options;
    options.responseBytes = &bytes;
    EXPECT_EQ(WebRequest(server.Url("/page"), options), c.text);
    EXPECT_EQ(bytes, c.body);
  }
}

TEST(ResponseDecodingTest, TheSearchSeesOnlyTheBodyText) {
  // The meta tag after a zero byte is not in the body text, so nothing is converted.
  const std::string bytes = "ab\0<meta charset=utf-8>"s;
  EXPECT_EQ(DecodeResponseText("ab", bytes), "ab");
}

}  // namespace
}  // namespace orvane
