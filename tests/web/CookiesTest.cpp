#include "web/Cookies.h"

#include "support/RawHttpServer.h"
#include "web/WebRequest.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(CookiesTest, MergeCookies) {
  struct Case {
    std::string sent;
    std::string received;
    std::string merged;
    std::string receivedAfter;  // the received text left without blanks
  };
  const std::vector<Case> cases = {
      {"a=1; b=2", "b=3; c=4", "b=3; c=4; a=1", "b=3;c=4"},
      {"a=1", "a=deleted", "", "a=deleted"},
      {"a=Deleted", "", "a=Deleted", ""},
      {"x=hello world", "", "x=helloworld", ""},
      {"a=1; a=2", "", "a=1", ""},
      {"A=1", "a=2", "a=2; A=1", "a=2"},
      {"", "", "", ""},
      {"", "s=1; t=2", "s=1; t=2", "s=1;t=2"},
      {"a=1;", "", "a=1", ""},
      {"a=1", "b=2; b=2", "b=2; a=1", "b=2;b=2"},
      {"a=1", "b=2; b=3", "b=2; b=3; a=1", "b=2;b=3"},
      {"x=\xA1\xA1y", "", "x=y", ""},                              // full-width blank
      {"x=\ty", "", "x=\ty", ""},                                  // a tab is no blank
      {"k=\xC1\xA1\xA1\xC2", "", "k=\xC1\xA1\xA1\xC2", ""},        // A1 A1 across two characters
      {"k=\xB0\xA1\xA1\xA1v", "", "k=\xB0\xA1v", ""},              // 啊 then a full-width blank
      {"a=1; ; b=2", "", "a=1; ; b=2", ""},                        // an empty item is all name ""
      {"a=1", "z=deleted; y=2", "y=2; a=1", "z=deleted;y=2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sent + " | " + c.received);
    std::string sent = c.sent;
    std::string received = c.received;
    EXPECT_EQ(MergeCookies(sent, received), c.merged);
    EXPECT_EQ(sent, c.merged);
    EXPECT_EQ(received, c.receivedAfter);
  }
}

TEST(CookiesTest, ItemHelpers) {
  EXPECT_EQ(CookieName(" a =1"), "a");
  EXPECT_EQ(CookieName("flag"), "flag");
  EXPECT_EQ(CookieName("\xA1\xA1n\xA1\xA1=1=2"), "n");
  EXPECT_EQ(CookieName("=v"), "");
  EXPECT_TRUE(HasCookieName({"a=1", "b=2"}, "b"));
  EXPECT_FALSE(HasCookieName({"a=1", "b=2"}, "B"));
  EXPECT_FALSE(HasCookieName({}, ""));
  EXPECT_EQ(RemoveDuplicateItems("a; b; a; c; b", "; "), "a; b; c");
  EXPECT_EQ(RemoveDuplicateItems("a,,b,,", ","), "a,,b");
  EXPECT_EQ(RemoveDuplicateItems("", "; "), "");
  EXPECT_EQ(RemoveDuplicateItems("a; ", "; "), "a");
  EXPECT_EQ(FindItem({"a", "b", "b"}, "b"), 2);
  EXPECT_EQ(FindItem({"a"}, "c"), -1);
}

// A caller that keeps one cookie text across requests sends what the server set, replaced and
// deleted, request after request.
TEST(CookiesTest, CookiesCarriedAcrossRequests) {
  using test::Response;
  using test::Script;
  test::RawHttpServer server({
      Script().Send(Response("200 OK", "in", "Set-Cookie: sid=1; Path=/; HttpOnly\r\nSet-Cookie: theme=dark\r\n")),
      Script().Send(Response("200 OK", "page", "set-cookie: sid=2; path=/\r\n")),
      Script().Send(Response("200 OK", "out", "Set-Cookie: theme=deleted; expires=Thu, 01 Jan 1970 00:00:00 GMT\r\n")),
      Script().Send(Response("200 OK", "check")),
  });
  struct Step {
    std::string path;
    std::string cookieLineSent;
    std::string after;
  };
  const std::vector<Step> steps = {
      {"/login", "Cookie: lang=zh\r\n", "sid=1; theme=dark; lang=zh"},
      {"/page", "Cookie: sid=1; theme=dark; lang=zh\r\n", "sid=2; theme=dark; lang=zh"},
      {"/logout", "Cookie: sid=2; theme=dark; lang=zh\r\n", "sid=2; lang=zh"},
      {"/check", "Cookie: sid=2; lang=zh\r\n", "sid=2; lang=zh"},
  };
  std::string cookies = "lang=zh";
  for (std::size_t i = 0; i < steps.size(); ++i) {
    SCOPED_TRACE(steps[i].path);
    std::string received;
    WebRequestOptions options;
    options.sendCookies = &cookies;
    options.receivedCookies = &received;
    WebRequest(server.Url(steps[i].path), options);
    EXPECT_EQ(cookies, steps[i].after);
    EXPECT_EQ(received, steps[i].after);
    ASSERT_EQ(server.Requests().size(), i + 1);
    const std::string request = server.Requests()[i];
    EXPECT_NE(request.find("\r\n" + steps[i].cookieLineSent), std::string::npos) << request;
  }
}

TEST(CookiesTest, MergeOffLeavesTheSentTextAlone) {
  test::RawHttpServer server({test::Script().Send(test::Response("200 OK", "", "Set-Cookie: b=2\r\n"))});
  std::string cookies = "a=1";
  std::string received;
  WebRequestOptions options;
  options.sendCookies = &cookies;
  options.receivedCookies = &received;
  options.mergeCookies = false;
  WebRequest(server.Url("/"), options);
  EXPECT_EQ(cookies, "a=1");
  EXPECT_EQ(received, "b=2");
}

}  // namespace
}  // namespace orvane
