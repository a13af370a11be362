#include "web/RedirectCookies.h"

#include <curl/curl.h>

#include <algorithm>
#include <ctime>

namespace orvane {
namespace {

std::string_view Trim(std::string_view text) {
  const std::size_t start = text.find_first_not_of(" \t");
  if (start == std::string_view::npos) return {};
  const std::size_t end = text.find_last_not_of(" \t\r\n");
  return text.substr(start, end - start + 1);
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
           return lower(x) == lower(y);
         });
}

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

bool DomainMatches(std::string_view host, std::string_view domain) {
  if (host == domain) return true;
  return host.size() > domain.size() && host.ends_with(domain) && host[host.size() - domain.size() - 1] == '.';
}

bool PathMatches(std::string_view requestPath, std::string_view cookiePath) {
  if (!requestPath.starts_with(cookiePath)) return false;
  return requestPath.size() == cookiePath.size() || cookiePath.ends_with('/') ||
         requestPath[cookiePath.size()] == '/';
}

std::string DefaultPath(std::string_view requestPath) {
  const std::size_t slash = requestPath.rfind('/');
  if (slash == std::string_view::npos || slash == 0) return "/";
  return std::string(requestPath.substr(0, slash));
}

std::vector<std::string_view> SplitAt(std::string_view text, char separator) {
  std::vector<std::string_view> pieces;
  while (true) {
    const std::size_t at = text.find(separator);
    pieces.push_back(text.substr(0, at));
    if (at == std::string_view::npos) return pieces;
    text.remove_prefix(at + 1);
  }
}

}  // namespace

void RedirectCookies::Absorb(std::string_view rawHeaders, const url::Address& from) {
  for (std::string_view line : SplitAt(rawHeaders, '\n')) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos || !EqualsIgnoringCase(Trim(line.substr(0, colon)), "Set-Cookie")) continue;
    const std::vector<std::string_view> parts = SplitAt(line.substr(colon + 1), ';');
    const std::string_view pair = parts.front();
    const std::size_t equals = pair.find('=');
    if (equals == std::string_view::npos) continue;
    Cookie cookie;
    cookie.name = std::string(Trim(pair.substr(0, equals)));
    cookie.value = std::string(Trim(pair.substr(equals + 1)));
    if (cookie.name.empty()) continue;
    cookie.domain = from.host;
    cookie.path = DefaultPath(from.path);
    bool expired = false;
    bool acceptable = true;
    for (std::size_t i = 1; i < parts.size(); ++i) {
      const std::size_t attributeEquals = parts[i].find('=');
      const std::string_view key = Trim(parts[i].substr(0, attributeEquals));
      const std::string_view value =
          attributeEquals == std::string_view::npos ? std::string_view() : Trim(parts[i].substr(attributeEquals + 1));
      if (EqualsIgnoringCase(key, "Domain") && !value.empty()) {
        std::string domain = Lower(value.starts_with('.') ? value.substr(1) : value);
        if (!DomainMatches(from.host, domain)) acceptable = false;  // a host may not set cookies for others
        cookie.domain = std::move(domain);
        cookie.hostOnly = false;
      } else if (EqualsIgnoringCase(key, "Path") && value.starts_with('/')) {
        cookie.path = std::string(value);
      } else if (EqualsIgnoringCase(key, "Secure")) {
        cookie.secure = true;
      } else if (EqualsIgnoringCase(key, "Max-Age")) {
        if (!value.empty() && (value.front() == '-' || value.find_first_not_of('0') == std::string_view::npos)) {
          expired = true;
        }
      } else if (EqualsIgnoringCase(key, "Expires")) {
        const std::string date(value);
        const time_t when = curl_getdate(date.c_str(), nullptr);
        if (when != -1 && when <= std::time(nullptr)) expired = true;
      }
    }
    if (!acceptable) continue;
    std::erase_if(cookies_, [&](const Cookie& old) {
      return old.name == cookie.name && old.domain == cookie.domain && old.path == cookie.path;
    });
    if (!expired) cookies_.push_back(std::move(cookie));
  }
}

bool RedirectCookies::Applies(const Cookie& cookie, const url::Address& to) {
  const bool hostOk = cookie.hostOnly ? to.host == cookie.domain : DomainMatches(to.host, cookie.domain);
  return hostOk && PathMatches(to.path, cookie.path) && (!cookie.secure || to.Secure());
}

std::string RedirectCookies::CookieTextFor(const url::Address& to, std::string_view callerCookies) const {
  std::vector<const Cookie*> pending;
  for (const Cookie& cookie : cookies_) {
    if (Applies(cookie, to)) pending.push_back(&cookie);
  }
  std::string text;
  auto add = [&text](std::string_view item) {
    if (!text.empty()) text += "; ";
    text += item;
  };
  if (!Trim(callerCookies).empty()) {
    for (std::string_view item : SplitAt(callerCookies, ';')) {
      item = Trim(item);
      if (item.empty()) continue;
      const std::string_view name = Trim(item.substr(0, item.find('=')));
      const auto newer = std::find_if(pending.begin(), pending.end(), [&](const Cookie* c) { return c->name == name; });
      if (newer == pending.end()) {
        add(item);
      } else {
        add((*newer)->name + "=" + (*newer)->value);
        pending.erase(newer);
      }
    }
  }
  for (const Cookie* cookie : pending) add(cookie->name + "=" + cookie->value);
  return text;
}

}  // namespace orvane
