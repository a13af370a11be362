#pragma once
// Cookies set by the redirect responses of one WebRequest call, sent on its following hops (as the
// platform's cookie handling does within one exchange) and forgotten when the call ends.
#include "platform/Url.h"

#include <string>
#include <string_view>
#include <vector>

namespace orvane {

class RedirectCookies {
 public:
  // Takes in the Set-Cookie lines of the raw headers that `from` answered with.
  void Absorb(std::string_view rawHeaders, const url::Address& from);

  // The cookie text for a request to `to`: the caller's items first, each with a newer value of
  // the same name where one was set, then the other cookies that apply to `to`.
  std::string CookieTextFor(const url::Address& to, std::string_view callerCookies) const;

 private:
  struct Cookie {
    std::string name;
    std::string value;
    std::string domain;
    bool hostOnly = true;
    std::string path;
    bool secure = false;
  };
  static bool Applies(const Cookie& cookie, const url::Address& to);

  std::vector<Cookie> cookies_;
};

}  // namespace orvane
