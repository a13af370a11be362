#pragma once
// One libcurl transfer driven by our own loop, so that an idle deadline (reset at every byte) and
// a stop request bound every wait. Shared by WebRequest and the simple fetch.
#include <curl/curl.h>

#include <chrono>
#include <memory>
#include <stop_token>
#include <string_view>

namespace orvane::http {

struct EasyDeleter {
  void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;

struct HeaderListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using HeaderList = std::unique_ptr<curl_slist, HeaderListDeleter>;

// Appends one entry; false when libcurl could not allocate it.
bool AppendHeader(HeaderList& list, const char* line);

inline constexpr long kTransferBufferSize = 256 * 1024;

// A new easy handle with the settings every transfer of this program shares: HTTP/1.1, http and
// https only, no redirects followed by libcurl (callers follow them by hand), no proxy from the
// environment, no signals, the path sent as it is, a proxy's CONNECT answer kept from the header
// callback, a large receive buffer. nullptr when libcurl cannot make one.
EasyHandle NewEasyHandle(std::chrono::milliseconds connectTimeout);

// Receives what one transfer brings in. Returning false aborts the transfer.
class TransferSink {
 public:
  virtual ~TransferSink() = default;
  // One response header line as received, line break included (every response of the
  // transfer: 1xx answers and trailers too).
  virtual bool OnHeaderLine(std::string_view line) = 0;
  virtual bool OnBody(std::string_view bytes) = 0;
};

struct TransferLimits {
  std::chrono::milliseconds idleTimeout{30000};  // no byte in either direction for this long ends it
  std::stop_token stop = {};
};

enum class TransferEnd {
  Completed,    // libcurl finished; `code` tells how
  Cancelled,    // stop was requested
  IdleTimeout,  // nothing moved for idleTimeout
};

struct TransferOutcome {
  TransferEnd end = TransferEnd::Completed;
  CURLcode code = CURLE_OK;
  bool connected = false;  // a connection to the server (or proxy) was made
  curl_off_t uploaded = 0;  // request body bytes sent
};

// Drives easy handles one at a time; one per call or worker, never shared between threads.
class TransferDriver {
 public:
  TransferDriver();
  ~TransferDriver();
  TransferDriver(const TransferDriver&) = delete;
  TransferDriver& operator=(const TransferDriver&) = delete;

  bool Valid() const { return multi_ != nullptr; }

  // Runs the transfer configured on `easy` to its end. Installs its own header, write and
  // connection callbacks on `easy`, which forward to `sink`.
  TransferOutcome Run(CURL* easy, TransferSink& sink, const TransferLimits& limits);

 private:
  CURLM* multi_ = nullptr;
};

}  // namespace orvane::http
