#include "Fetch.h"

namespace orvane::sample::testing {
namespace {

struct Receiver {
  Fetched* fetched;
  const std::function<void(const char*, std::size_t)>* sink;
};

std::size_t Receive(char* data, std::size_t size, std::size_t count, void* user) {
  auto* receiver = static_cast<Receiver*>(user);
  const std::size_t n = size * count;
  receiver->fetched->received += n;
  if (*receiver->sink) {
    (*receiver->sink)(data, n);
  } else {
    receiver->fetched->body.append(data, n);
  }
  return n;
}

}  // namespace

Fetched Fetch(const std::string& url, const std::function<void(const char*, std::size_t)>& sink) {
  Fetched fetched;
  Receiver receiver{&fetched, &sink};
  CURL* curl = curl_easy_init();
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_PROXY, "");
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, 10000L);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, 300000L);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Receive);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &receiver);
  fetched.code = curl_easy_perform(curl);
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &fetched.status);
  char* type = nullptr;
  if (curl_easy_getinfo(curl, CURLINFO_CONTENT_TYPE, &type) == CURLE_OK && type != nullptr) {
    fetched.contentType = type;
  }
  curl_off_t length = -1;
  if (curl_easy_getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) == CURLE_OK) {
    fetched.contentLength = length;
  }
  curl_easy_cleanup(curl);
  return fetched;
}

}  // namespace orvane::sample::testing
