// Downloads one address into one file through FetchToFile; the benchmark script times it.
#include "platform/HttpFetch.h"

#include <curl/curl.h>

#include <csignal>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s URL TARGET\n", argv[0]);
    return 2;
  }
  std::signal(SIGPIPE, SIG_IGN);
  curl_global_init(CURL_GLOBAL_DEFAULT);
  const orvane::SaveResult result = orvane::FetchToFile(argv[1], argv[2]);
  curl_global_cleanup();
  if (result != orvane::SaveResult::Saved) {
    std::fprintf(stderr, "fetch failed (%d)\n", static_cast<int>(result));
    return 1;
  }
  return 0;
}
