#include "web/WebRequest.h"

#include "platform/CodePage.h"
#include "platform/CurlTransfer.h"
#include "platform/MessagePump.h"
#include "platform/Url.h"
#include "text/GbkSearch.h"
#include "text/TextHelpers.h"
#include "web/Cookies.h"
#include "web/RedirectCookies.h"
#include "web/ResponseDecoding.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace orvane {
namespace {

// How the outcome of a transfer maps to the numbered messages:
//   701  empty or malformed address, a scheme other than http/https (first address or redirect)
//   702  libcurl could not give us a handle, or it refused the proxy
//   703  name not resolved, connection refused or not made in time, TLS handshake failed
//   707  credentials could not be set
//   710  a header line that cannot be sent (no name, a bare line break or a zero byte inside)
//   711  sending the request failed: a send error, or the body not sent in full when the
//        transfer ended before the response header
//   712  no complete response header: nothing came back, the reply is not HTTP, a timeout before
//        the header's end, more than 10 redirects
//   713  the connection was lost or went silent inside the body, the body was short, or it
//        grew past kMaxBodyBytes
enum class Failure { Address, Session, Connect, Credentials, Headers, Send, NoResponse, Read };

std::string FailureMessage(Failure failure) {
  std::string_view utf8;
  switch (failure) {
    case Failure::Address: utf8 = "701 解析URL地址失败!"; break;
    case Failure::Session: utf8 = "702 创建WinHttp会话失败!"; break;
    case Failure::Connect: utf8 = "703 创建WinHttp连接失败!"; break;
    case Failure::Credentials: utf8 = "707 设置代理凭证失败!"; break;
    case Failure::Headers: utf8 = "710 设置协议头失败!"; break;
    case Failure::Send: utf8 = "711 发送请求失败!"; break;
    case Failure::NoResponse: utf8 = "712 服务器未响应!"; break;
    case Failure::Read: utf8 = "713 读取数据失败!"; break;
  }
  return codepage::Utf8ToGbk(utf8);
}

constexpr std::array<std::string_view, 8> kMethods = {"GET", "POST", "HEAD", "PUT", "OPTIONS", "DELETE", "TRACE", "CONNECT"};
constexpr int kMaxRedirects = 10;
// The whole body is held in memory: a bound keeps a runaway answer from taking it all. The
// service's pages and records are far smaller.
constexpr std::size_t kMaxBodyBytes = std::size_t{256} << 20;

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualFolded(text.data(), prefix.data(), prefix.size());
}

bool Contains(std::string_view text, std::string_view key, bool ignoreCase) {
  return GbkSearcher(text).Find(key, 0, ignoreCase) != kNotFound;
}

// Step 11: the caller's lines completed by the default lines whose key does not occur yet.
std::string BuildHeaderBlock(std::string_view extraHeaders, bool isPost, std::string_view cookies) {
  std::string block;
  if (!extraHeaders.empty()) {
    block.append(extraHeaders);
    block += "\r\n";
  }
  auto addUnless = [&block](std::string_view key, bool ignoreCase, std::string_view line) {
    if (!Contains(block, key, ignoreCase)) block.append(line);
  };
  addUnless("User-Agent: ", true,
            "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)\r\n");
  addUnless("Accept: ", true, "Accept: text/html, application/xhtml+xml, */*\r\n");
  addUnless("Accept-Encoding: ", true, "Accept-Encoding: gbk, GB2312\r\n");
  addUnless("Accept-Language: ", true, "Accept-Language: zh-cn\r\n");
  if (isPost) addUnless("Content-Type:", false, "Content-Type: application/x-www-form-urlencoded\r\n");
  addUnless("Cache-Control: ", true, "Cache-Control: no-cache\r\n");
  if (!cookies.empty() && !Contains(block, "Cookie: ", true)) {
    block += "Cookie: ";
    block.append(cookies);
    block += "\r\n";
  }
  return block;
}

std::string_view HeaderName(std::string_view line) { return line.substr(0, line.find(':')); }

bool NamedIgnoringCase(std::string_view line, std::string_view name) {
  const std::string_view lineName = HeaderName(line);
  return lineName.size() == name.size() && StartsWithIgnoringCase(lineName, name);
}

// The caller's lines without its Authorization and Cookie lines, for a hop to another origin.
std::string WithoutCredentialLines(std::string_view extraHeaders) {
  std::string kept;
  std::size_t from = 0;
  while (from <= extraHeaders.size()) {
    std::size_t end = extraHeaders.find("\r\n", from);
    if (end == std::string_view::npos) end = extraHeaders.size();
    const std::string_view line = extraHeaders.substr(from, end - from);
    from = end + 2;
    if (NamedIgnoringCase(line, "Authorization") || NamedIgnoringCase(line, "Cookie")) continue;
    if (!kept.empty()) kept += "\r\n";
    kept.append(line);
  }
  return kept;
}

// The block as libcurl's header list, followed by the entries that keep libcurl's own Accept,
// Expect and Content-Type lines off the wire. nullopt for a line that cannot be sent.
std::optional<http::HeaderList> ToHeaderList(std::string_view block) {
  http::HeaderList list;
  std::size_t from = 0;
  while (from < block.size()) {
    std::size_t end = block.find("\r\n", from);
    if (end == std::string_view::npos) end = block.size();
    const std::string_view line = block.substr(from, end - from);
    from = end + 2;
    if (line.empty()) continue;
    const std::size_t colon = line.find(':');
    if (colon == 0 || colon == std::string_view::npos || line.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) {
      return std::nullopt;
    }
    std::string entry(line);
    // libcurl drops "Name:" without a value; written "Name;" it sends "Name:".
    if (line.find_first_not_of(" \t", colon + 1) == std::string_view::npos) entry = std::string(line.substr(0, colon)) + ";";
    if (!http::AppendHeader(list, entry.c_str())) return std::nullopt;
  }
  for (const char* suppressed : {"Accept:", "Expect:", "Content-Type:"}) {
    if (!http::AppendHeader(list, suppressed)) return std::nullopt;
  }
  return list;
}

// Collects the final response of one hop: its raw header lines (1xx answers and trailers left
// out), its Location value and its body.
class ResponseCollector final : public http::TransferSink {
 public:
  bool OnHeaderLine(std::string_view line) override {
    if (complete_) return true;  // trailers
    if (line.starts_with("HTTP/")) {
      headers_.clear();
      location_.reset();
      const std::size_t blank = line.find(' ');
      status_ = blank == std::string_view::npos ? 0 : std::atoi(std::string(line.substr(blank + 1, 3)).c_str());
    }
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    headers_.append(line);
    headers_ += "\r\n";
    if (line.empty()) {
      complete_ = status_ >= 200 || status_ < 100;  // a 1xx answer is followed by the real one
    } else if (NamedIgnoringCase(line, "Location") && !location_) {
      std::string_view value = line.substr(line.find(':') + 1);
      const std::size_t start = value.find_first_not_of(" \t");
      value = start == std::string_view::npos ? std::string_view() : value.substr(start);
      while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.remove_suffix(1);
      location_ = std::string(value);
    }
    return true;
  }

  bool OnBody(std::string_view bytes) override {
    if (bytes.size() > kMaxBodyBytes - body_.size()) return false;
    body_.append(bytes);
    return true;
  }

  bool complete() const { return complete_; }
  int status() const { return status_; }
  const std::string& headers() const { return headers_; }
  const std::optional<std::string>& location() const { return location_; }
  std::string& body() { return body_; }

 private:
  bool complete_ = false;
  int status_ = 0;
  std::string headers_;
  std::optional<std::string> location_;
  std::string body_;
};

Failure MapTransferFailure(const http::TransferOutcome& outcome, bool headersComplete, std::size_t bodySize) {
  if (!outcome.connected) {
    switch (outcome.code) {
      case CURLE_UNSUPPORTED_PROTOCOL:
      case CURLE_URL_MALFORMAT: return Failure::Address;
      case CURLE_SEND_ERROR: return Failure::Send;
      default: return Failure::Connect;
    }
  }
  if (headersComplete) return Failure::Read;
  if (outcome.end == http::TransferEnd::Completed && outcome.code == CURLE_SEND_ERROR) return Failure::Send;
  // A server that stops reading the body stalls the send, not the answer.
  if (outcome.uploaded < static_cast<curl_off_t>(bodySize)) return Failure::Send;
  return Failure::NoResponse;
}

class Exchange {
 public:
  Exchange(std::string_view url, const WebRequestOptions& options) : url_(url), options_(options) {}

  // Runs the call; the returned text is empty on every failure.
  std::string Run() {
    std::string text;
    if (const std::optional<Failure> failure = Perform(text)) {
      if (!cancelled_ && options_.statusText != nullptr) *options_.statusText = FailureMessage(*failure);
      text.clear();
    }
    PumpPendingMessages();
    return text;
  }

 private:
  std::optional<Failure> Perform(std::string& text) {
    std::optional<url::Address> first = url::PrepareAddress(url_);
    if (!first) return Failure::Address;
    const long timeoutMs = options_.timeoutSeconds > 0 ? static_cast<long>(std::min(options_.timeoutSeconds, 2000000)) * 1000L : 30000L;
    http::EasyHandle easy = http::NewEasyHandle(std::chrono::milliseconds(timeoutMs));
    http::TransferDriver driver;
    if (!easy || !driver.Valid()) return Failure::Session;
    if (const std::optional<Failure> failure = ConfigureProxy(easy.get())) return failure;

    const int methodIndex = (options_.method >= 0 && options_.method < static_cast<int>(kMethods.size())) ? options_.method : 0;
    std::string_view method = kMethods[static_cast<std::size_t>(methodIndex)];
    std::string_view body = options_.postData;
    const bool keepCookies = options_.sendCookies != nullptr;
    RedirectCookies hopCookies;
    url::Address address = *first;
    ResponseCollector response;

    for (int redirects = 0;; ++redirects) {
      const bool firstHop = redirects == 0;
      const bool otherOrigin = !url::SameOrigin(address, *first);
      std::string cookies;
      if (keepCookies) {
        cookies = firstHop ? *options_.sendCookies : hopCookies.CookieTextFor(address, otherOrigin ? std::string_view() : *options_.sendCookies);
      }
      // On another origin the caller's own Authorization and Cookie lines stay behind; the cookies
      // that origin set during this call still go back to it.
      const std::string extraHeaders =
          otherOrigin ? WithoutCredentialLines(options_.extraHeaders) : std::string(options_.extraHeaders);
      const std::string block = BuildHeaderBlock(extraHeaders, method == "POST", cookies);
      std::optional<http::HeaderList> headerList = ToHeaderList(block);
      if (!headerList) return Failure::Headers;
      if (!ConfigureHop(easy.get(), address, method, body, *headerList, otherOrigin)) return Failure::Credentials;

      response = ResponseCollector();
      const http::TransferOutcome outcome = driver.Run(easy.get(), response, {std::chrono::milliseconds(timeoutMs), options_.stop});
      if (outcome.end == http::TransferEnd::Cancelled) {
        cancelled_ = true;
        return Failure::Read;
      }
      if (outcome.end != http::TransferEnd::Completed || outcome.code != CURLE_OK || !response.complete()) {
        return MapTransferFailure(outcome, response.complete(), method == "HEAD" ? 0 : body.size());
      }

      if (options_.noRedirect || !url::IsFollowedRedirect(response.status()) || !response.location() ||
          response.location()->empty()) {
        break;
      }
      const url::Redirect redirect = url::ResolveRedirect(address, *response.location());
      if (redirect.verdict == url::RedirectVerdict::BadAddress) return Failure::Address;
      if (redirect.verdict == url::RedirectVerdict::Refused) break;  // https never goes back to http
      if (redirects == kMaxRedirects) return Failure::NoResponse;
      if (keepCookies) hopCookies.Absorb(response.headers(), address);
      // A 303 asks for a GET; a POST answered by 301 or 302 becomes a GET, as browsers do.
      if ((response.status() == 303 && method != "HEAD") || (response.status() <= 302 && method == "POST")) {
        method = "GET";
        body = {};
      }
      address = redirect.next;
    }

    Finish(response, text);
    return std::nullopt;
  }

  // A proxy that cannot be set fails the session (702), its credentials 707.
  std::optional<Failure> ConfigureProxy(CURL* easy) {
    // The caller's lines go to the server only, and libcurl adds no Proxy-Connection line.
    if (!http::AppendHeader(proxyHeaders_, "Proxy-Connection:")) return Failure::Session;
    curl_easy_setopt(easy, CURLOPT_HEADEROPT, CURLHEADER_SEPARATE);
    curl_easy_setopt(easy, CURLOPT_PROXYHEADER, proxyHeaders_.get());
    if (options_.proxyAddress.empty()) return std::nullopt;
    proxy_ = codepage::GbkToUtf8(options_.proxyAddress);
    if (proxy_.find("://") == std::string::npos) proxy_ = "http://" + proxy_;
    if (curl_easy_setopt(easy, CURLOPT_PROXY, proxy_.c_str()) != CURLE_OK) return Failure::Session;
    if (options_.proxyUserName.empty() || options_.proxyPassword.empty()) return std::nullopt;
    proxyUser_ = codepage::GbkToUtf8(options_.proxyUserName);
    proxyPassword_ = codepage::GbkToUtf8(options_.proxyPassword);
    const bool set = curl_easy_setopt(easy, CURLOPT_PROXYUSERNAME, proxyUser_.c_str()) == CURLE_OK &&
                     curl_easy_setopt(easy, CURLOPT_PROXYPASSWORD, proxyPassword_.c_str()) == CURLE_OK &&
                     curl_easy_setopt(easy, CURLOPT_PROXYAUTH, CURLAUTH_BASIC) == CURLE_OK;
    return set ? std::nullopt : std::optional<Failure>(Failure::Credentials);
  }

  bool ConfigureHop(CURL* easy, const url::Address& address, std::string_view method, std::string_view body,
                    const http::HeaderList& headers, bool otherOrigin) {
    methodName_ = std::string(method);
    bool ok = curl_easy_setopt(easy, CURLOPT_URL, address.url.c_str()) == CURLE_OK &&
              curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers.get()) == CURLE_OK &&
              curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L) == CURLE_OK &&
              curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, methodName_.c_str()) == CURLE_OK;
    if (method == "HEAD") {
      ok = ok && curl_easy_setopt(easy, CURLOPT_NOBODY, 1L) == CURLE_OK;  // or libcurl waits for a body
    } else if (!body.empty()) {
      ok = ok && curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size())) == CURLE_OK &&
           curl_easy_setopt(easy, CURLOPT_POSTFIELDS, body.data()) == CURLE_OK;
    }
    // Server credentials go to the first address's origin only.
    if (!options_.userName.empty() && !options_.password.empty() && !otherOrigin) {
      user_ = codepage::GbkToUtf8(options_.userName);
      password_ = codepage::GbkToUtf8(options_.password);
      ok = ok && curl_easy_setopt(easy, CURLOPT_USERNAME, user_.c_str()) == CURLE_OK &&
           curl_easy_setopt(easy, CURLOPT_PASSWORD, password_.c_str()) == CURLE_OK &&
           curl_easy_setopt(easy, CURLOPT_HTTPAUTH, CURLAUTH_BASIC) == CURLE_OK;
    } else {
      curl_easy_setopt(easy, CURLOPT_USERNAME, nullptr);
      curl_easy_setopt(easy, CURLOPT_PASSWORD, nullptr);
    }
    return ok;
  }

  // Steps 17 to 21 on the final response.
  void Finish(ResponseCollector& response, std::string& text) {
    const std::string& raw = response.headers();
    if (options_.statusText != nullptr) {
      // From the 10th character of the status line: "HTTP/1.1 302 Found" gives "302 Found".
      const std::size_t lineEnd = raw.size() > 9 ? raw.find("\r\n", 9) : std::string::npos;
      *options_.statusText = lineEnd == std::string::npos ? std::string() : raw.substr(9, lineEnd - 9);
    }
    const std::string headers = ReplaceMany(raw, {}, {"Set-Cookie", "Set-Cookie"});
    if (options_.responseHeaders != nullptr) *options_.responseHeaders = headers;

    std::string received;
    std::size_t from = 0;
    while (from < headers.size()) {
      std::size_t end = headers.find("\r\n", from);
      if (end == std::string::npos) end = headers.size();
      const std::string_view line = std::string_view(headers).substr(from, end - from);
      from = end + 2;
      if (Contains(line, "Set-Cookie", false)) {
        const std::string cookie = line.find(';') != std::string_view::npos
                                       ? TextBetween(line, "Set-Cookie:", ";")
                                       : ReplaceMany(line, {}, {"Set-Cookie:", ""});
        received += StripCookieBlanks(cookie);
        received += "; ";
      }
      if (StartsWithIgnoringCase(line, "Location: ") && options_.redirectLocation != nullptr) {
        *options_.redirectLocation = std::string(line.substr(10));
      }
      PumpPendingMessages();
    }
    if (!received.empty()) received.resize(received.size() - 2);

    std::string* receivedOut = options_.receivedCookies;
    if (receivedOut != nullptr) receivedOut->append(received);
    if (options_.mergeCookies && options_.sendCookies != nullptr) {
      std::string& target = receivedOut != nullptr ? *receivedOut : received;
      target = MergeCookies(*options_.sendCookies, target);
    }

    std::string& body = response.body();
    if (options_.responseBytes != nullptr) *options_.responseBytes = body;
    const std::string_view bodyText(body.data(), std::min(body.size(), body.find('\0')));
    text = DecodeResponseText(bodyText, body);
  }

  std::string_view url_;
  const WebRequestOptions& options_;
  bool cancelled_ = false;
  // Strings handed to libcurl must outlive the transfer.
  std::string methodName_;
  std::string user_;
  std::string password_;
  std::string proxy_;
  std::string proxyUser_;
  std::string proxyPassword_;
  http::HeaderList proxyHeaders_;
};

}  // namespace

std::string WebRequest(std::string_view url, const WebRequestOptions& options) { return Exchange(url, options).Run(); }

}  // namespace orvane
