#pragma once
// A plain libcurl GET for the sample service tests.
#include <curl/curl.h>

#include <cstddef>
#include <functional>
#include <string>

namespace orvane::sample::testing {

struct Fetched {
  CURLcode code = CURLE_OK;
  long status = 0;
  std::string contentType;
  long long contentLength = -1;  // as announced; -1 when none
  std::string body;
  std::size_t received = 0;
};

// With a sink, the body is handed over piece by piece instead of being collected.
Fetched Fetch(const std::string& url, const std::function<void(const char*, std::size_t)>& sink = {});

}  // namespace orvane::sample::testing
