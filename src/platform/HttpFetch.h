#pragma once
// The simple HTTP fetch: a GET of an address, answered with its body bytes or nothing.
#include <chrono>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>

namespace orvane {

struct FetchOptions {
  std::stop_token stop = {};
  std::size_t maxBytes = 0;  // 0: no cap
  std::chrono::milliseconds idleTimeout{30000};     // no data for this long ends the fetch
  std::chrono::milliseconds connectTimeout{30000};
};

// GET of a GBK address (prepared as WebRequest prepares it); http/https only; redirects followed
// (never https to http, at most 10). No cap on the whole transfer, only on idle time. A status
// other than 2xx, a broken transfer, a body shorter than its Content-Length, more than maxBytes,
// or a stop: nullopt.
std::optional<std::string> FetchBytes(std::string_view url, const FetchOptions& options = {});

enum class SaveResult { Saved, FetchFailed, WriteFailed, Cancelled };

// Streams the body into a new temporary file in target's folder (exclusive create) and renames it
// over `target` only after the fetch succeeded and every write and the close succeeded. An
// existing target is never replaced by an empty, partial or error-page file; no temporary file is
// left behind on any path.
SaveResult FetchToFile(std::string_view url, const std::filesystem::path& target, const FetchOptions& options = {});

}  // namespace orvane
