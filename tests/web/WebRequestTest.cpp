#include "web/WebRequest.h"

#include "platform/CodePage.h"
#include "support/RawHttpServer.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <thread>

namespace orvane {
namespace {

using namespace std::literals;
using test::RawHttpServer;
using test::Response;
using test::Answer;
using test::Script;

std::string Gbk(std::string_view utf8) { return codepage::Utf8ToGbk(utf8); }

const std::string kDefaultLines =
    "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)\r\n"
    "Accept: text/html, application/xhtml+xml, */*\r\n"
    "Accept-Encoding: gbk, GB2312\r\n"
    "Accept-Language: zh-cn\r\n";
const std::string kCacheLine = "Cache-Control: no-cache\r\n";
const std::string kDefaults = kDefaultLines + kCacheLine;

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}


// What one call wrote; each output starts as "untouched" so that a step that never ran shows.
struct Outputs {
  std::string text;
  std::string status = "untouched";
  std::string headers = "untouched";
  std::string received;
  std::string location = "untouched";
  std::string bytes = "untouched";
};

Outputs Call(std::string_view url, WebRequestOptions options) {
  Outputs out;
  options.statusText = &out.status;
  options.responseHeaders = &out.headers;
  options.receivedCookies = &out.received;
  options.redirectLocation = &out.location;
  options.responseBytes = &out.bytes;
  out.text = WebRequest(url, options);
  return out;
}

// One exchange against the scripted server: the exact request bytes that arrived ("{host}" stands
// for the server's host:port), the returned text and the status text.
struct WireCase {
  std::string name;
  std::vector<Script> scripts;
  std::string path;
  std::function<void(WebRequestOptions&)> configure;
  std::vector<std::string> requests;
  std::string text;
  std::string status;
};

TEST(WebRequestTest, SendsExactlyTheRequestAndReadsTheAnswer) {
  const std::string ok = Response("200 OK", "hello");
  const std::vector<WireCase> cases = {
      {"get", {Answer("200 OK", "hello")}, "/p?q=1", {},
       {"GET /p?q=1 HTTP/1.1\r\nHost: {host}\r\n" + kDefaults + "\r\n"}, "hello", "200 OK"},
      {"post with body",
       {Answer("200 OK", "posted")}, "/form",
       [](WebRequestOptions& o) {
         o.method = 1;
         o.postData = "a=1&b=2";
       },
       {"POST /form HTTP/1.1\r\nHost: {host}\r\n" + kDefaultLines +
        "Content-Type: application/x-www-form-urlencoded\r\n" + kCacheLine + "Content-Length: 7\r\n\r\na=1&b=2"},
       "posted", "200 OK"},
      {"post without body sends no length",
       {Answer("200 OK", "")}, "/", [](WebRequestOptions& o) { o.method = 1; },
       {"POST / HTTP/1.1\r\nHost: {host}\r\n" + kDefaultLines + "Content-Type: application/x-www-form-urlencoded\r\n" +
        kCacheLine + "\r\n"},
       "", "200 OK"},
      {"head waits for no body",
       {Script().Send("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\n")}, "/h", [](WebRequestOptions& o) { o.method = 2; },
       {"HEAD /h HTTP/1.1\r\nHost: {host}\r\n" + kDefaults + "\r\n"}, "", "200 OK"},
      {"put with body gets no content type",
       {Answer("201 Created", "made")}, "/r",
       [](WebRequestOptions& o) {
         o.method = 3;
         o.postData = "data";
       },
       {"PUT /r HTTP/1.1\r\nHost: {host}\r\n" + kDefaults + "Content-Length: 4\r\n\r\ndata"}, "made", "201 Created"},
      {"get with body", {Answer("200 OK", "x")}, "/g", [](WebRequestOptions& o) { o.postData = "abc"; },
       {"GET /g HTTP/1.1\r\nHost: {host}\r\n" + kDefaults + "Content-Length: 3\r\n\r\nabc"}, "x", "200 OK"},
      {"user-agent in any case suppresses the default",
       {Answer("200 OK", "x")}, "/", [](WebRequestOptions& o) { o.extraHeaders = "user-agent: x"; },
       {"GET / HTTP/1.1\r\nHost: {host}\r\nuser-agent: x\r\n"
        "Accept: text/html, application/xhtml+xml, */*\r\nAccept-Encoding: gbk, GB2312\r\n"
        "Accept-Language: zh-cn\r\n" + kCacheLine + "\r\n"},
       "x", "200 OK"},
      {"content-type is searched with its case",
       {Answer("200 OK", "x")}, "/",
       [](WebRequestOptions& o) {
         o.method = 1;
         o.extraHeaders = "content-type: text/plain";
         o.postData = "z";
       },
       {"POST / HTTP/1.1\r\nHost: {host}\r\ncontent-type: text/plain\r\n" + kDefaultLines +
        "Content-Type: application/x-www-form-urlencoded\r\n" + kCacheLine + "Content-Length: 1\r\n\r\nz"},
       "x", "200 OK"},
      {"own Content-Type replaces the default",
       {Answer("200 OK", "x")}, "/",
       [](WebRequestOptions& o) {
         o.method = 1;
         o.extraHeaders = "Content-Type: text/plain\r\nX-Empty:";
         o.postData = "z";
       },
       {"POST / HTTP/1.1\r\nHost: {host}\r\nContent-Type: text/plain\r\nX-Empty:\r\n" + kDefaults +
        "Content-Length: 1\r\n\r\nz"},
       "x", "200 OK"},
      {"server credentials with the first request",
       {Answer("200 OK", "x")}, "/a",
       [](WebRequestOptions& o) {
         o.userName = "user";
         o.password = "pass";
       },
       {"GET /a HTTP/1.1\r\nHost: {host}\r\nAuthorization: Basic dXNlcjpwYXNz\r\n" + kDefaults + "\r\n"}, "x",
       "200 OK"},
      {"a user name alone sends no credentials",
       {Answer("200 OK", "x")}, "/a", [](WebRequestOptions& o) { o.userName = "user"; },
       {"GET /a HTTP/1.1\r\nHost: {host}\r\n" + kDefaults + "\r\n"}, "x", "200 OK"},
      {"redirect followed",
       {Answer("302 Found", "moved", "Location: /b\r\n"), Answer("200 OK", "there")}, "/a", {},
       {"GET /a HTTP/1.1\r\nHost: {host}\r\n" + kDefaults + "\r\n",
        "GET /b HTTP/1.1\r\nHost: {host}\r\n" + kDefaults + "\r\n"},
       "there", "200 OK"},
      {"303 turns a POST into a GET without body",
       {Answer("303 See Other", "", "Location: /done\r\n"), Answer("200 OK", "done")}, "/f",
       [](WebRequestOptions& o) {
         o.method = 1;
         o.postData = "k=v";
       },
       {"POST /f HTTP/1.1\r\nHost: {host}\r\n" + kDefaultLines + "Content-Type: application/x-www-form-urlencoded\r\n" +
            kCacheLine + "Content-Length: 3\r\n\r\nk=v",
        "GET /done HTTP/1.1\r\nHost: {host}\r\n" + kDefaults + "\r\n"},
       "done", "200 OK"},
      {"no redirect returns the redirect itself",
       {Answer("302 Found", "moved", "Location: /x\r\n")}, "/a", [](WebRequestOptions& o) { o.noRedirect = true; },
       {"GET /a HTTP/1.1\r\nHost: {host}\r\n" + kDefaults + "\r\n"}, "moved", "302 Found"},
      {"404 returns its body",
       {Answer("404 Not Found", "nope")}, "/missing", {},
       {"GET /missing HTTP/1.1\r\nHost: {host}\r\n" + kDefaults + "\r\n"}, "nope", "404 Not Found"},
      {"blank, # and Chinese characters are encoded",
       {Answer("200 OK", "x")}, "/a b#c/\xD6\xD0\xCE\xC4/k?q=\xD6\xD0&r=1/2", {},  // 中文 in GBK
       {"GET /a%20b%23c/%E4%B8%AD%E6%96%87/k?q=%E4%B8%AD&r=1/2 HTTP/1.1\r\nHost: {host}\r\n" + kDefaults + "\r\n"},
       "x", "200 OK"},
      {"an empty path asks for / without the query",
       {Answer("200 OK", "root")}, "?q=1", {}, {"GET / HTTP/1.1\r\nHost: {host}\r\n" + kDefaults + "\r\n"}, "root",
       "200 OK"},
      {"dot segments and percent signs stay as written",
       {Answer("200 OK", "x")}, "/a/../b/%41%zz", {},
       {"GET /a/../b/%41%zz HTTP/1.1\r\nHost: {host}\r\n" + kDefaults + "\r\n"}, "x", "200 OK"},
      {"interim answers are not the response",
       {Script().Send("HTTP/1.1 100 Continue\r\nX-Early: 1\r\n\r\n" + Response("200 OK", "late"))}, "/", {},
       {"GET / HTTP/1.1\r\nHost: {host}\r\n" + kDefaults + "\r\n"}, "late", "200 OK"},
  };
  for (const WireCase& c : cases) {
    SCOPED_TRACE(c.name);
    RawHttpServer server(c.scripts);
    WebRequestOptions options;
    if (c.configure) c.configure(options);
    std::string url = server.Url("");
    url += c.path;
    const Outputs out = Call(url, options);
    EXPECT_EQ(out.text, c.text);
    EXPECT_EQ(out.status, c.status);
    std::vector<std::string> expected;
    for (const std::string& request : c.requests) expected.push_back(ReplaceAll(request, "{host}", server.HostPort()));
    EXPECT_EQ(server.Requests(), expected);
  }
}

TEST(WebRequestTest, MethodTableAndIndexesOutsideIt) {
  const std::vector<std::pair<int, std::string>> cases = {
      {0, "GET"},     {1, "POST"},  {2, "HEAD"},    {3, "PUT"}, {4, "OPTIONS"},
      {5, "DELETE"},  {6, "TRACE"}, {7, "CONNECT"}, {8, "GET"}, {-1, "GET"},
  };
  for (const auto& [index, name] : cases) {
    SCOPED_TRACE(index);
    RawHttpServer server({Answer("200 OK", "")});
    WebRequestOptions options;
    options.method = index;
    Call(server.Url("/m"), options);
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_TRUE(server.Requests()[0].starts_with(name + " /m HTTP/1.1\r\n")) << server.Requests()[0];
  }
}

TEST(WebRequestTest, OutputsOfTheFinalResponse) {
  RawHttpServer server({Script().Send(
      "HTTP/1.1 200 OK\r\nSet-Cookie: a=1; path=/\r\nset-cookie: b=2\r\nSET-COOKIE:  c=3 \r\nLocation: /next\r\n"
      "Content-Length: 5\r\n\r\nab\0cd"s)});
  const Outputs out = Call(server.Url("/"), {});
  EXPECT_EQ(out.text, "ab");
  EXPECT_EQ(out.bytes, "ab\0cd"s);
  EXPECT_EQ(out.status, "200 OK");
  EXPECT_EQ(out.headers,
            "HTTP/1.1 200 OK\r\nSet-Cookie: a=1; path=/\r\nSet-Cookie: b=2\r\nSet-Cookie:  c=3 \r\nLocation: /next\r\n"
            "Content-Length: 5\r\n\r\n");
  EXPECT_EQ(out.received, "a=1; b=2; c=3");
  EXPECT_EQ(out.location, "/next");
}

TEST(WebRequestTest, HeadersOfRedirectHopsAreNotReturned) {
  RawHttpServer server({Answer("301 Moved Permanently", "", "Set-Cookie: hop=1\r\nLocation: /b\r\n"),
                        Answer("200 OK", "end", "X-Final: yes\r\n")});
  const Outputs out = Call(server.Url("/a"), {});
  EXPECT_EQ(out.headers, "HTTP/1.1 200 OK\r\nX-Final: yes\r\nContent-Length: 3\r\n\r\n");
  EXPECT_EQ(out.received, "");
  EXPECT_EQ(out.location, "untouched");
}

// Cookies a redirect hop sets reach the next hop only when the caller supplied sendCookies, and
// nothing of them outlives the call.
TEST(WebRequestTest, CookiesAcrossARedirectDependOnSuppliedSendCookies) {
  struct Case {
    std::string name;
    std::optional<std::string> sendCookies;
    std::string firstCookieLine;
    std::string secondCookieLine;
  };
  const std::vector<Case> cases = {
      {"omitted", std::nullopt, "", ""},
      {"empty", "", "", "Cookie: s=1\r\n"},
      {"with items", "a=1; s=0", "Cookie: a=1; s=0\r\n", "Cookie: a=1; s=1\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RawHttpServer server({Answer("302 Found", "", "Set-Cookie: s=1; Path=/\r\nLocation: /next\r\n"),
                          Answer("200 OK", "in"), Answer("200 OK", "again")});
    std::optional<std::string> cookies = c.sendCookies;
    WebRequestOptions options;
    options.sendCookies = cookies ? &*cookies : nullptr;
    EXPECT_EQ(Call(server.Url("/start"), options).text, "in");
    // A second call starts from nothing: the hop's cookie is gone.
    std::optional<std::string> fresh = c.sendCookies;
    options.sendCookies = fresh ? &*fresh : nullptr;
    Call(server.Url("/later"), options);
    const std::vector<std::string> requests = server.Requests();
    ASSERT_EQ(requests.size(), 3u);
    const std::string host = "Host: " + server.HostPort() + "\r\n";
    EXPECT_EQ(requests[0], "GET /start HTTP/1.1\r\n" + host + kDefaults + c.firstCookieLine + "\r\n");
    EXPECT_EQ(requests[1], "GET /next HTTP/1.1\r\n" + host + kDefaults + c.secondCookieLine + "\r\n");
    EXPECT_EQ(requests[2], "GET /later HTTP/1.1\r\n" + host + kDefaults + c.firstCookieLine + "\r\n");
  }
}

TEST(WebRequestTest, CredentialsAndCookiesStayWithTheirOrigin) {
  RawHttpServer other({Answer("200 OK", "elsewhere")});
  RawHttpServer first({Answer("302 Found", "", "Location: " + other.Url("/x") + "\r\n")});
  std::string cookies = "sid=42";
  WebRequestOptions options;
  options.userName = "user";
  options.password = "pass";
  options.sendCookies = &cookies;
  options.extraHeaders = "Authorization: Bearer t\r\nX-Keep: 1";
  EXPECT_EQ(Call(first.Url("/"), options).text, "elsewhere");
  ASSERT_EQ(other.Requests().size(), 1u);
  EXPECT_EQ(other.Requests()[0], "GET /x HTTP/1.1\r\nHost: " + other.HostPort() + "\r\nX-Keep: 1\r\n" + kDefaults + "\r\n");
}

// Another origin gets none of the caller's cookies or credentials, but the cookies it set itself
// during the call go back to it.
TEST(WebRequestTest, AnotherOriginGetsBackTheCookiesItSet) {
  RawHttpServer other([](const std::string& request, std::size_t) {
    return request.starts_with("GET /one ") ? Answer("302 Found", "", "Set-Cookie: s=1; Path=/\r\nLocation: /two\r\n")
                                           : Answer("200 OK", "two");
  });
  RawHttpServer first({Answer("302 Found", "", "Location: " + other.Url("/one") + "\r\n")});
  const std::string lines = "Cookie: mine=1\r\nAuthorization: Bearer t\r\nX-Keep: 1";
  struct Case {
    std::string name;
    std::string extraHeaders;
    std::string keptLines;
  };
  const std::vector<Case> cases = {
      {"no lines of the caller", "", ""},
      {"caller's cookie and credential lines", lines, "X-Keep: 1\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::size_t seen = other.Requests().size();
    std::string cookies = "sid=42";
    WebRequestOptions options;
    options.sendCookies = &cookies;
    options.extraHeaders = c.extraHeaders;
    EXPECT_EQ(Call(first.Url("/"), options).text, "two");
    const std::vector<std::string> requests = other.Requests();
    ASSERT_EQ(requests.size(), seen + 2);
    const std::string host = "Host: " + other.HostPort() + "\r\n";
    EXPECT_EQ(requests[seen], "GET /one HTTP/1.1\r\n" + host + c.keptLines + kDefaults + "\r\n");
    EXPECT_EQ(requests[seen + 1], "GET /two HTTP/1.1\r\n" + host + c.keptLines + kDefaults + "Cookie: s=1\r\n\r\n");
  }
}

// Credentials come only from the caller's arguments, never from a Location the server sent.
TEST(WebRequestTest, ARedirectTargetsUserAndPasswordAreNotSent) {
  std::string target;
  RawHttpServer server([&target](const std::string& request, std::size_t) {
    return request.starts_with("GET /a ") ? Answer("302 Found", "", "Location: " + target + "\r\n") : Answer("200 OK", "b");
  });
  target = "http://someone:secret@" + server.HostPort() + "/b";
  EXPECT_EQ(Call(server.Url("/a"), {}).text, "b");
  const std::vector<std::string> requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[1], "GET /b HTTP/1.1\r\nHost: " + server.HostPort() + "\r\n" + kDefaults + "\r\n");
}

TEST(WebRequestTest, NamedProxyGetsTheAbsoluteAddress) {
  RawHttpServer proxy({Answer("200 OK", "via proxy")});
  WebRequestOptions options;
  const std::string proxyAddress = proxy.HostPort();
  options.proxyAddress = proxyAddress;
  options.proxyUserName = "pu";
  options.proxyPassword = "pp";
  const Outputs out = Call("http://orvane.invalid/x?y=1", options);
  EXPECT_EQ(out.text, "via proxy") << codepage::GbkToUtf8(out.status);
  ASSERT_EQ(proxy.Requests().size(), 1u);
  EXPECT_EQ(proxy.Requests()[0], "GET http://orvane.invalid/x?y=1 HTTP/1.1\r\nHost: orvane.invalid\r\n"
                                 "Proxy-Authorization: Basic cHU6cHA=\r\n" + kDefaults + "\r\n");
}

TEST(WebRequestTest, ProxyFromTheEnvironmentIsIgnored) {
  RawHttpServer server({Answer("200 OK", "direct")});
  RawHttpServer trap({Answer("200 OK", "proxied")});
  const std::string proxy = trap.Url("/");
  ::setenv("http_proxy", proxy.c_str(), 1);
  ::setenv("ALL_PROXY", proxy.c_str(), 1);
  const Outputs out = Call(server.Url("/"), {});
  ::unsetenv("http_proxy");
  ::unsetenv("ALL_PROXY");
  EXPECT_EQ(out.text, "direct");
  EXPECT_TRUE(trap.Requests().empty());
}

struct FailureCase {
  std::string name;
  std::vector<Script> scripts;  // empty: the address names no running server
  std::string url;              // "{server}" stands for the server's address
  std::function<void(WebRequestOptions&)> configure;
  std::string message;          // UTF-8 here
};

TEST(WebRequestTest, FailuresWriteTheirMessageAndReturnNothing) {
  const std::string refused = "http://127.0.0.1:" + std::to_string(test::UnusedPort()) + "/";
  const auto oneSecond = [](WebRequestOptions& o) { o.timeoutSeconds = 1; };
  const test::DeafListener deaf;
  const std::string bigBody(64 << 20, 'x');  // far more than the socket buffers hold
  const std::string hugeProxy = "127.0.0.1:1" + std::string(8 << 20, '0');  // longer than libcurl takes a text
  const auto stallingPost = [&bigBody](WebRequestOptions& o) {
    o.method = 1;
    o.postData = bigBody;
    o.timeoutSeconds = 1;
  };
  const std::vector<FailureCase> cases = {
      {"empty address", {}, "", {}, "701 解析URL地址失败!"},
      {"malformed address", {}, "http://", {}, "701 解析URL地址失败!"},
      {"no scheme", {}, "orvane.invalid/x", {}, "701 解析URL地址失败!"},
      {"another scheme", {}, "ftp://127.0.0.1/x", {}, "701 解析URL地址失败!"},
      {"bad port", {}, "http://127.0.0.1:99999/", {}, "701 解析URL地址失败!"},
      {"redirect to another scheme", {Answer("302 Found", "", "Location: file:///etc/passwd\r\n")}, "{server}/r", {},
       "701 解析URL地址失败!"},
      {"a proxy that cannot be set", {}, "http://orvane.invalid/",
       [&hugeProxy](WebRequestOptions& o) { o.proxyAddress = hugeProxy; }, "702 创建WinHttp会话失败!"},
      {"refused connection", {}, refused, {}, "703 创建WinHttp连接失败!"},
      {"header line without a name", {Answer("200 OK", "x")}, "{server}/",
       [](WebRequestOptions& o) { o.extraHeaders = "no colon here"; }, "710 设置协议头失败!"},
      {"header line with a bare line feed", {Answer("200 OK", "x")}, "{server}/",
       [](WebRequestOptions& o) { o.extraHeaders = "X-A: 1\nX-Injected: 2"; }, "710 设置协议头失败!"},
      {"a send that stalls", {}, deaf.Url("/upload"), stallingPost, "711 发送请求失败!"},
      {"closed without an answer", {Script().Close()}, "{server}/", {}, "712 服务器未响应!"},
      {"a whole body sent and no answer", {Script().Close()}, "{server}/",
       [](WebRequestOptions& o) {
         o.method = 1;
         o.postData = "a=1";
       },
       "712 服务器未响应!"},
      {"not HTTP at all", {Script().Send("garbage\r\n\r\n").Close()}, "{server}/", {}, "712 服务器未响应!"},
      {"silent server", {Script().Delay(10s)}, "{server}/", oneSecond, "712 服务器未响应!"},
      {"silent inside the header", {Script().Send("HTTP/1.1 200 OK\r\nX-A: 1\r\n").Delay(10s)}, "{server}/", oneSecond,
       "712 服务器未响应!"},
      {"endless redirects", {Answer("302 Found", "", "Location: /again\r\n")}, "{server}/", {}, "712 服务器未响应!"},
      // Past 256 MiB a body is refused rather than held (the service's pages are far smaller).
      {"a body over 256 MiB",
       {Script()
            .Send("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string((256u << 20) + 1) + "\r\n\r\n")
            .SendRepeated(std::string(1 << 20, 'b'), 256)
            .Send("b")},
       "{server}/", {}, "713 读取数据失败!"},
      {"connection lost inside the body",
       {Script().Send("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nonly a part").Close()}, "{server}/", {},
       "713 读取数据失败!"},
      {"silent inside the body",
       {Script().Send("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nonly a part").Delay(10s)}, "{server}/", oneSecond,
       "713 读取数据失败!"},
  };
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::optional<RawHttpServer> server;
    std::string url = c.url;
    if (!c.scripts.empty()) {
      server.emplace(c.scripts);
      url = ReplaceAll(url, "{server}", server->Url(""));
    }
    WebRequestOptions options;
    if (c.configure) c.configure(options);
    const Outputs out = Call(url, options);
    EXPECT_EQ(out.text, "");
    EXPECT_EQ(out.status, Gbk(c.message));
    EXPECT_EQ(out.headers, "untouched");
    EXPECT_EQ(out.bytes, "untouched");
    EXPECT_EQ(out.location, "untouched");
  }
}

TEST(WebRequestTest, EndlessRedirectsStopAfterTen) {
  RawHttpServer server({Answer("302 Found", "", "Location: /again\r\n")});
  Call(server.Url("/"), {});
  EXPECT_EQ(server.Requests().size(), 11u);
}

// The timeout bounds each wait for data, not the whole exchange.
TEST(WebRequestTest, ATrickleOutlastingTheTimeoutStillArrives) {
  Script trickle;
  trickle.Send("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\n");
  for (const char c : std::string("slow!")) trickle.Delay(350ms).Send(std::string(1, c));
  RawHttpServer server({trickle});
  WebRequestOptions options;
  options.timeoutSeconds = 1;
  const Outputs out = Call(server.Url("/"), options);
  EXPECT_EQ(out.text, "slow!");
  EXPECT_EQ(out.status, "200 OK");
}

TEST(WebRequestTest, StopEndsTheCallQuietly) {
  RawHttpServer server({Script().Delay(20s)});
  std::stop_source stop;
  WebRequestOptions options;
  options.stop = stop.get_token();
  std::thread stopper([&] {
    server.WaitForRequests(1);
    stop.request_stop();
  });
  const Outputs out = Call(server.Url("/"), options);
  stopper.join();
  EXPECT_EQ(out.text, "");
  EXPECT_EQ(out.status, "untouched");
}

TEST(WebRequestTest, CallsFromManyThreadsAtOnce) {
  RawHttpServer server([](const std::string& request, std::size_t) {
    const std::string path = request.substr(4, request.find(' ', 4) - 4);
    return Script().Send(Response("200 OK", path));
  });
  std::vector<std::string> results(8);
  std::vector<std::thread> threads;
  for (std::size_t i = 0; i < results.size(); ++i) {
    threads.emplace_back([&, i] { results[i] = WebRequest(server.Url("/t" + std::to_string(i))); });
  }
  for (std::thread& t : threads) t.join();
  for (std::size_t i = 0; i < results.size(); ++i) EXPECT_EQ(results[i], "/t" + std::to_string(i));
}

}  // namespace
}  // namespace orvane
