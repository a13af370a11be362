#include "platform/Url.h"

#include "platform/CodePage.h"

#include <curl/curl.h>

#include <memory>

namespace orvane::url {
namespace {

struct UrlDeleter {
  void operator()(CURLU* handle) const { curl_url_cleanup(handle); }
};
using UrlHandle = std::unique_ptr<CURLU, UrlDeleter>;

std::string GetPart(CURLU* handle, CURLUPart part, unsigned flags = 0) {
  char* text = nullptr;
  if (curl_url_get(handle, part, &text, flags) != CURLUE_OK || text == nullptr) return {};
  std::string result(text);
  curl_free(text);
  return result;
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string Lower(std::string text) {
  for (char& c : text) c = AsciiLower(c);
  return text;
}

bool IsHttpScheme(std::string_view scheme) { return scheme == "http" || scheme == "https"; }

// Fills `address` from a parsed handle; false for another scheme or no host.
bool Describe(CURLU* handle, Address& address) {
  address.scheme = Lower(GetPart(handle, CURLUPART_SCHEME));
  address.host = Lower(GetPart(handle, CURLUPART_HOST));
  address.port = GetPart(handle, CURLUPART_PORT, CURLU_DEFAULT_PORT);
  address.path = GetPart(handle, CURLUPART_PATH);
  if (address.path.empty()) address.path = "/";
  return IsHttpScheme(address.scheme) && !address.host.empty();
}

// Percent-encodes what cannot stand in a request line. `keepHash` leaves "#" alone, for
// redirect targets where it starts a fragment.
std::string EncodeRequestTarget(std::string_view bytes, bool keepHash) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size());
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte >= 0x7F || (byte == '#' && !keepHash)) {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0x0F];
    } else {
      out += c;
    }
  }
  return out;
}

bool HasControlOrBlank(std::string_view text) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte == 0x7F) return true;
  }
  return false;
}

}  // namespace

std::optional<Address> PrepareAddress(std::string_view gbkUrl) {
  const std::string utf8 = codepage::GbkToUtf8(gbkUrl);
  const std::size_t schemeEnd = utf8.find("://");
  if (schemeEnd == std::string::npos) return std::nullopt;
  const std::string scheme = Lower(utf8.substr(0, schemeEnd));
  if (!IsHttpScheme(scheme)) return std::nullopt;

  const std::size_t authorityStart = schemeEnd + 3;
  std::size_t authorityEnd = utf8.find_first_of("/?#", authorityStart);
  if (authorityEnd == std::string::npos) authorityEnd = utf8.size();
  std::string_view authority(utf8.data() + authorityStart, authorityEnd - authorityStart);
  // Credentials inside the address are not used: only the caller's own arguments authenticate.
  if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) authority.remove_prefix(at + 1);
  if (authority.empty() || HasControlOrBlank(authority)) return std::nullopt;

  std::string target = "/";
  if (authorityEnd < utf8.size() && utf8[authorityEnd] == '/') {
    target = EncodeRequestTarget(std::string_view(utf8).substr(authorityEnd), false);
  }

  Address address;
  address.url = scheme + "://" + std::string(authority) + target;
  UrlHandle handle(curl_url());
  if (!handle || curl_url_set(handle.get(), CURLUPART_URL, address.url.c_str(), CURLU_PATH_AS_IS) != CURLUE_OK) {
    return std::nullopt;
  }
  if (!Describe(handle.get(), address)) return std::nullopt;
  return address;
}

bool IsFollowedRedirect(long status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

Redirect ResolveRedirect(const Address& from, std::string_view location) {
  Redirect redirect;
  UrlHandle handle(curl_url());
  if (!handle || curl_url_set(handle.get(), CURLUPART_URL, from.url.c_str(), CURLU_PATH_AS_IS) != CURLUE_OK) {
    return redirect;
  }
  const std::string target = EncodeRequestTarget(location, true);
  if (curl_url_set(handle.get(), CURLUPART_URL, target.c_str(), CURLU_PATH_AS_IS | CURLU_NON_SUPPORT_SCHEME) !=
      CURLUE_OK) {
    return redirect;
  }
  // The fragment never travels; drop it so the address stays what the request line carries.
  curl_url_set(handle.get(), CURLUPART_FRAGMENT, nullptr, 0);
  // Nor do credentials a server wrote into the target: libcurl would send them as Authorization.
  curl_url_set(handle.get(), CURLUPART_USER, nullptr, 0);
  curl_url_set(handle.get(), CURLUPART_PASSWORD, nullptr, 0);
  redirect.next.url = GetPart(handle.get(), CURLUPART_URL);
  if (redirect.next.url.empty() || !Describe(handle.get(), redirect.next)) return redirect;
  redirect.verdict =
      (from.Secure() && !redirect.next.Secure()) ? RedirectVerdict::Refused : RedirectVerdict::Follow;
  return redirect;
}

bool SameOrigin(const Address& a, const Address& b) {
  return a.scheme == b.scheme && a.host == b.host && a.port == b.port;
}

}  // namespace orvane::url
