#include "platform/CurlTransfer.h"

#include <algorithm>

namespace orvane::http {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kPollStep = std::chrono::milliseconds(100);

struct RunState {
  TransferSink* sink = nullptr;
  Clock::duration idle{};
  Clock::time_point deadline{};
  bool connected = false;

  void Touch() { deadline = Clock::now() + idle; }
};

std::size_t HeaderCallback(char* data, std::size_t size, std::size_t count, void* user) {
  auto* state = static_cast<RunState*>(user);
  const std::size_t length = size * count;
  state->Touch();
  return state->sink->OnHeaderLine(std::string_view(data, length)) ? length : 0;
}

std::size_t WriteCallback(char* data, std::size_t size, std::size_t count, void* user) {
  auto* state = static_cast<RunState*>(user);
  const std::size_t length = size * count;
  state->Touch();
  return state->sink->OnBody(std::string_view(data, length)) ? length : 0;
}

// A new socket gives the connection attempt a full window of its own.
int SocketCallback(void* user, curl_socket_t, curlsocktype) {
  static_cast<RunState*>(user)->Touch();
  return CURL_SOCKOPT_OK;
}

// Called once the connection stands, before the request goes out.
int ConnectedCallback(void* user, char*, char*, int, int) {
  auto* state = static_cast<RunState*>(user);
  state->connected = true;
  state->Touch();
  return CURL_PREREQFUNC_OK;
}

curl_off_t UploadedBytes(CURL* easy) {
  curl_off_t sent = 0;
  curl_easy_getinfo(easy, CURLINFO_SIZE_UPLOAD_T, &sent);
  return sent;
}

}  // namespace

bool AppendHeader(HeaderList& list, const char* line) {
  curl_slist* grown = curl_slist_append(list.get(), line);
  if (grown == nullptr) return false;
  list.release();
  list.reset(grown);
  return true;
}

EasyHandle NewEasyHandle(std::chrono::milliseconds connectTimeout) {
  EasyHandle easy(curl_easy_init());
  if (!easy) return easy;
  CURL* h = easy.get();
  const bool ok =
      curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L) == CURLE_OK &&
      curl_easy_setopt(h, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1)) == CURLE_OK &&
      curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK &&
      curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https") == CURLE_OK &&
      curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 0L) == CURLE_OK &&
      curl_easy_setopt(h, CURLOPT_PROXY, "") == CURLE_OK &&    // "": none from *_proxy variables
      curl_easy_setopt(h, CURLOPT_NOPROXY, "") == CURLE_OK &&  // "": no bypass from no_proxy either
      curl_easy_setopt(h, CURLOPT_PATH_AS_IS, 1L) == CURLE_OK &&
      // A proxy's answer to CONNECT is no response of ours: kept from the header callback, its
      // blank line cannot pass for the end of the real header.
      curl_easy_setopt(h, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L) == CURLE_OK &&
      curl_easy_setopt(h, CURLOPT_BUFFERSIZE, kTransferBufferSize) == CURLE_OK &&
      curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(connectTimeout.count())) == CURLE_OK;
  if (!ok) easy.reset();
  return easy;
}

TransferDriver::TransferDriver() : multi_(curl_multi_init()) {}

TransferDriver::~TransferDriver() {
  if (multi_ != nullptr) curl_multi_cleanup(multi_);
}

TransferOutcome TransferDriver::Run(CURL* easy, TransferSink& sink, const TransferLimits& limits) {
  TransferOutcome outcome;
  if (limits.stop.stop_requested()) {
    outcome.end = TransferEnd::Cancelled;
    return outcome;
  }
  RunState state;
  state.sink = &sink;
  state.idle = std::max<Clock::duration>(limits.idleTimeout, std::chrono::milliseconds(1));
  state.Touch();

  curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &HeaderCallback);
  curl_easy_setopt(easy, CURLOPT_HEADERDATA, &state);
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &WriteCallback);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, &state);
  curl_easy_setopt(easy, CURLOPT_SOCKOPTFUNCTION, &SocketCallback);
  curl_easy_setopt(easy, CURLOPT_SOCKOPTDATA, &state);
  curl_easy_setopt(easy, CURLOPT_PREREQFUNCTION, &ConnectedCallback);
  curl_easy_setopt(easy, CURLOPT_PREREQDATA, &state);

  if (curl_multi_add_handle(multi_, easy) != CURLM_OK) {
    outcome.code = CURLE_FAILED_INIT;
    return outcome;
  }
  {
    // A stop wakes the poll at once; the loop below sees it.
    std::stop_callback wake(limits.stop, [this] { curl_multi_wakeup(multi_); });
    curl_off_t uploaded = 0;
    int running = 1;
    while (true) {
      if (curl_multi_perform(multi_, &running) != CURLM_OK) {
        outcome.code = CURLE_FAILED_INIT;
        break;
      }
      if (running == 0) break;
      if (limits.stop.stop_requested()) {
        outcome.end = TransferEnd::Cancelled;
        break;
      }
      if (const curl_off_t now = UploadedBytes(easy); now != uploaded) {
        uploaded = now;
        state.Touch();
      }
      const auto left = state.deadline - Clock::now();
      if (left <= Clock::duration::zero()) {
        outcome.end = TransferEnd::IdleTimeout;
        break;
      }
      const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(std::min<Clock::duration>(left, kPollStep));
      curl_multi_poll(multi_, nullptr, 0, static_cast<int>(std::max<long long>(wait.count(), 1)), nullptr);
    }
  }
  if (outcome.end == TransferEnd::Completed) {
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(multi_, &queued)) {
      if (message->msg == CURLMSG_DONE && message->easy_handle == easy) outcome.code = message->data.result;
    }
  }
  outcome.uploaded = UploadedBytes(easy);
  curl_multi_remove_handle(multi_, easy);
  outcome.connected = state.connected;
  return outcome;
}

}  // namespace orvane::http
