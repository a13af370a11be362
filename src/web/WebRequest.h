#pragma once
// The program's one HTTP request function: one complete exchange per call, failures reported as
// numbered messages (700 to 713, GBK) in statusText and an empty result.
#include <stop_token>
#include <string>
#include <string_view>

namespace orvane {

struct WebRequestOptions {  // every field optional
  int method = 0;           // 0 GET, 1 POST, 2 HEAD, 3 PUT, 4 OPTIONS, 5 DELETE, 6 TRACE, 7 CONNECT; else GET
  std::string_view postData = {};           // body bytes, sent with any method; empty sends none
  std::string* sendCookies = nullptr;       // nullptr means "omitted"; in/out
  std::string* receivedCookies = nullptr;   // out (appended to)
  std::string_view extraHeaders = {};       // lines separated by "\r\n", no trailing line break
  std::string* responseHeaders = nullptr;   // out
  bool noRedirect = false;
  std::string_view userName = {};
  std::string_view password = {};
  std::string_view proxyAddress = {};       // host:port; empty means no proxy
  std::string_view proxyUserName = {};
  std::string_view proxyPassword = {};
  int timeoutSeconds = 0;                   // 30 when 0 or less
  std::string* redirectLocation = nullptr;  // out
  std::string* statusText = nullptr;        // out
  std::string* responseBytes = nullptr;     // out: the body bytes
  bool mergeCookies = true;
  std::stop_token stop = {};                // a worker's stop: aborts the transfer within ~100 ms
};

// Returns the response text (GBK), empty on failure. Outputs are written only when their step is
// reached and never cleared first. A cancelled call returns an empty text and writes no message.
// A body longer than 256 MiB is not held: the call fails with 713.
// Any number of threads may call it at once.
std::string WebRequest(std::string_view url, const WebRequestOptions& options = {});

}  // namespace orvane
