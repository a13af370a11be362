#pragma once
// Addresses for HTTP transfers: the one place where a GBK address becomes what goes on the wire,
// and where redirect targets are judged.
#include <optional>
#include <string>
#include <string_view>

namespace orvane::url {

// An address ready for libcurl: scheme "http" or "https", ASCII only.
struct Address {
  std::string url;     // what CURLOPT_URL gets
  std::string scheme;  // lower case
  std::string host;    // lower case
  std::string port;    // explicit or the scheme's default
  std::string path;    // path of the request target, "/" at least
  bool Secure() const { return scheme == "https"; }
};

// The GBK address made ready for the request line: converted to UTF-8, then blanks, control
// characters, "#" and every non-ASCII byte of path and query percent-encoded; every other
// character stays as it is (a "/" still separates path segments, "%" is not re-encoded).
// User name and password inside the address are dropped. An empty path requests "/" and then
// the query is not sent. nullopt for an empty or malformed address or another scheme than
// http and https.
std::optional<Address> PrepareAddress(std::string_view gbkUrl);

// True for the statuses that are followed as redirects: 301, 302, 303, 307, 308.
bool IsFollowedRedirect(long status);

enum class RedirectVerdict {
  Follow,      // `next` holds the target
  Refused,     // https to http: the redirect response is the answer
  BadAddress,  // malformed target or another scheme
};

struct Redirect {
  RedirectVerdict verdict = RedirectVerdict::BadAddress;
  Address next;
};

// Resolves a Location value (absolute or relative, raw bytes as the server sent them) against
// the address that answered with it. A user name and password in the target are dropped.
Redirect ResolveRedirect(const Address& from, std::string_view location);

// Same scheme, host and port.
bool SameOrigin(const Address& a, const Address& b);

}  // namespace orvane::url
