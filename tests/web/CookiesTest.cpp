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

TEST(CookiesTest, StripCookieBlanksStepsByCharacters) {
  struct Case {
    std::string in;
    std::string out;
  };
  const std::vector<Case> cases = {
      {"  a=1  ", "a=1"},
      {"\xA1\xA1 a=1 \xA1\xA1", "a=1"},
      {"   ", ""},
      {"\xA1\xA1\xA1\xA1", ""},
      {"", ""},
      {"a= 1", "a= 1"},
      {"a=1\t ", "a=1\t"},
      {"a=\xB0 ", "a=\xB0 "},                  // B0 20 is one character, no blank at the end
      {"a=\xC1\xA1\xA1 ", "a=\xC1\xA1\xA1 "},  // C1 A1 then A1 20: no full-width blank there
      {"a=\xC1\xA1\xA1\xA1", "a=\xC1\xA1"},    // C1 A1 then a full-width blank
      {"a=1\xA1", "a=1\xA1"},                  // a lone lead byte at the end is kept
      {"\xA1 a", "\xA1 a"},                    // A1 20 is one character
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StripCookieBlanks(c.in), c.out) << c.in;
  }
}

// Sizes a server or a caller can reach: trimming is one scan and merging one pass per list.
TEST(CookiesTest, LongTextsAndManyItems) {
  EXPECT_EQ(StripCookieBlanks(std::string(200000, ' ') + "a=1" + std::string(200000, ' ')), "a=1");
  std::string wide;
  for (int i = 0; i < 100000; ++i) wide += "\xA1\xA1";
  EXPECT_EQ(StripCookieBlanks("a=1" + wide), "a=1");

  // Received n0..n39999, sent n20000..n59999 with new values and each twice: the merge keeps the
  // received items, then the sent names not received, each once, in their order.
  constexpr int kCount = 40000;
  std::string received;
  std::string sent;
  std::string expected;
  for (int i = 0; i < kCount; ++i) {
    received += (i ? "; n" : "n") + std::to_string(i) + "=r";
    expected += (i ? "; n" : "n") + std::to_string(i) + "=r";
  }
  for (int i = kCount / 2; i < kCount * 3 / 2; ++i) {
    const std::string item = "n" + std::to_string(i) + "=s";
    sent += (sent.empty() ? "" : "; ") + item + "; " + item;
    if (i >= kCount) expected += "; " + item;
  }
  EXPECT_EQ(MergeCookies(sent, received), expected);

  std::string repeated;
  for (int i = 0; i < 2 * kCount; ++i) repeated += (i ? "; " : "") + std::to_string(i % kCount);
  std::string firsts;
  for (int i = 0; i < kCount; ++i) firsts += (i ? "; " : "") + std::to_string(i);
  EXPECT_EQ(RemoveDuplicateItems(repeated, "; "), firsts);
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

// A cookie line padded with blanks up to the largest header line libcurl takes.
TEST(CookiesTest, AReceivedCookieWithAHugeTailOfBlanks) {
  const std::string line = "Set-Cookie: a=1" + std::string(95000, ' ') + "\r\n";
  test::RawHttpServer server({test::Script().Send(test::Response("200 OK", "x", line))});
  std::string received;
  WebRequestOptions options;
  options.receivedCookies = &received;
  EXPECT_EQ(WebRequest(server.Url("/"), options), "x");
  EXPECT_EQ(received, "a=1");
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
