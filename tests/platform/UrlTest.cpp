#include "platform/Url.h"

#include <gtest/gtest.h>

namespace orvane::url {
namespace {

TEST(UrlTest, PrepareAddressEncodesWhatCannotStandInARequestLine) {
  struct Case {
    std::string in;
    std::string url;
    std::string host;
    std::string port;
  };
  const std::vector<Case> cases = {
      {"http://h/p?q=1", "http://h/p?q=1", "h", "80"},
      {"HTTPS://Host:8443/x", "https://Host:8443/x", "host", "8443"},
      {"http://user:secret@h/x", "http://h/x", "h", "80"},
      {"http://h", "http://h/", "h", "80"},
      {"http://h?x=1", "http://h/", "h", "80"},
      {"http://h#frag", "http://h/", "h", "80"},
      {"http://h/a b#c?d e#f", "http://h/a%20b%23c?d%20e%23f", "h", "80"},
      {"http://h/kw/\xD6\xD0\xCE\xC4/p?k=\xD6\xD0", "http://h/kw/%E4%B8%AD%E6%96%87/p?k=%E4%B8%AD", "h", "80"},  // 中文
      {"http://h/a\tb\x7F", "http://h/a%09b%7F", "h", "80"},
      {"http://h/a/../%zz{}|", "http://h/a/../%zz{}|", "h", "80"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in);
    const std::optional<Address> address = PrepareAddress(c.in);
    ASSERT_TRUE(address.has_value());
    EXPECT_EQ(address->url, c.url);
    EXPECT_EQ(address->host, c.host);
    EXPECT_EQ(address->port, c.port);
  }
}

TEST(UrlTest, PrepareAddressRefusesWhatIsNoHttpAddress) {
  for (const char* in : {"", "http://", "http:///x", "ftp://h/x", "file:///etc/passwd", "h/x", "javascript:alert(1)",
                         "http://h:99999/", "http://a b/", " http://h/"}) {
    EXPECT_FALSE(PrepareAddress(in).has_value()) << in;
  }
}

TEST(UrlTest, RedirectTargetsAreResolvedAndJudged) {
  struct Case {
    std::string from;
    std::string location;
    RedirectVerdict verdict;
    std::string next;
  };
  const std::vector<Case> cases = {
      {"http://h/a/b", "/x", RedirectVerdict::Follow, "http://h/x"},
      {"http://h/a/b", "c?d=1", RedirectVerdict::Follow, "http://h/a/c?d=1"},
      {"http://h/a/b", "//o:81/p", RedirectVerdict::Follow, "http://o:81/p"},
      {"http://h/a/b", "https://s/", RedirectVerdict::Follow, "https://s/"},
      {"http://h/a/b", "/x y#frag", RedirectVerdict::Follow, "http://h/x%20y"},
      {"http://h/a/b", "/\xE4\xB8\xAD", RedirectVerdict::Follow, "http://h/%E4%B8%AD"},
      {"https://s/a", "/y", RedirectVerdict::Follow, "https://s/y"},
      {"https://s/a", "http://h/", RedirectVerdict::Refused, "http://h/"},
      {"http://h/a/b", "http://u:p@o/x", RedirectVerdict::Follow, "http://o/x"},  // no credentials taken from a target
      {"http://h/a/b", "//u@o/x", RedirectVerdict::Follow, "http://o/x"},
      {"http://h/a/b", "ftp://x/f", RedirectVerdict::BadAddress, ""},
      {"http://h/a/b", "file:///etc/passwd", RedirectVerdict::BadAddress, ""},
      {"http://h/a/b", "mailto:x@y", RedirectVerdict::BadAddress, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.from + " -> " + c.location);
    const Redirect redirect = ResolveRedirect(*PrepareAddress(c.from), c.location);
    EXPECT_EQ(redirect.verdict, c.verdict);
    if (c.verdict != RedirectVerdict::BadAddress) {
      EXPECT_EQ(redirect.next.url, c.next);
    }
  }
}

TEST(UrlTest, FollowedRedirectStatuses) {
  for (long status : {301L, 302L, 303L, 307L, 308L}) EXPECT_TRUE(IsFollowedRedirect(status)) << status;
  for (long status : {200L, 300L, 304L, 305L, 306L, 400L}) EXPECT_FALSE(IsFollowedRedirect(status)) << status;
}

}  // namespace
}  // namespace orvane::url
