#include "platform/HttpFetch.h"

#include "platform/CurlTransfer.h"
#include "platform/Url.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <random>

namespace orvane {
namespace {

constexpr int kMaxRedirects = 10;

class BodyWriter {
 public:
  virtual ~BodyWriter() = default;
  virtual bool Write(std::string_view bytes) = 0;
};

enum class FetchEnd { Done, Failed, WriteFailed, Cancelled };

// Passes the body of a 2xx answer to the writer; any other answer ends the transfer as soon as
// its header is complete, so a redirect's own page is never read, however large.
class FetchSink final : public http::TransferSink {
 public:
  FetchSink(BodyWriter& writer, std::size_t maxBytes) : writer_(writer), maxBytes_(maxBytes) {}

  bool OnHeaderLine(std::string_view line) override {
    if (complete_) return true;  // trailers
    if (line.starts_with("HTTP/")) {
      const std::size_t blank = line.find(' ');
      status_ = blank == std::string_view::npos ? 0 : std::atoi(std::string(line.substr(blank + 1, 3)).c_str());
      return true;
    }
    if (line == "\r\n" || line == "\n") {
      if (status_ >= 100 && status_ < 200) return true;
      complete_ = true;
      redirect_ = url::IsFollowedRedirect(status_);
      return status_ >= 200 && status_ < 300;
    }
    return true;
  }

  bool OnBody(std::string_view bytes) override {
    received_ += bytes.size();
    if (maxBytes_ != 0 && received_ > maxBytes_) return false;
    if (!writer_.Write(bytes)) {
      writeFailed_ = true;
      return false;
    }
    return true;
  }

  int status() const { return status_; }
  // The whole header of a redirect arrived (and the transfer was ended there).
  bool redirect() const { return redirect_; }
  bool writeFailed() const { return writeFailed_; }

 private:
  BodyWriter& writer_;
  std::size_t maxBytes_;
  int status_ = 0;
  bool complete_ = false;
  bool redirect_ = false;
  bool writeFailed_ = false;
  std::size_t received_ = 0;
};

std::string HeaderValue(CURL* easy, const char* name) {
  curl_header* header = nullptr;
  if (curl_easy_header(easy, name, 0, CURLH_HEADER, -1, &header) != CURLHE_OK || header == nullptr) return {};
  return header->value;
}

FetchEnd Fetch(std::string_view gbkUrl, const FetchOptions& options, BodyWriter& writer) {
  std::optional<url::Address> address = url::PrepareAddress(gbkUrl);
  if (!address) return FetchEnd::Failed;
  http::EasyHandle easy = http::NewEasyHandle(options.connectTimeout);
  http::TransferDriver driver;
  if (!easy || !driver.Valid()) return FetchEnd::Failed;
  curl_easy_setopt(easy.get(), CURLOPT_HTTPGET, 1L);

  for (int redirects = 0;; ++redirects) {
    if (curl_easy_setopt(easy.get(), CURLOPT_URL, address->url.c_str()) != CURLE_OK) return FetchEnd::Failed;
    FetchSink sink(writer, options.maxBytes);
    const http::TransferOutcome outcome = driver.Run(easy.get(), sink, {options.idleTimeout, options.stop});
    if (outcome.end == http::TransferEnd::Cancelled) return FetchEnd::Cancelled;
    if (sink.writeFailed()) return FetchEnd::WriteFailed;
    if (outcome.end != http::TransferEnd::Completed) return FetchEnd::Failed;
    if (!sink.redirect()) {
      const bool success = outcome.code == CURLE_OK && sink.status() >= 200 && sink.status() < 300;
      return success ? FetchEnd::Done : FetchEnd::Failed;
    }
    if (redirects == kMaxRedirects) return FetchEnd::Failed;
    // The header store still holds the redirect's header after the transfer was ended there.
    const url::Redirect redirect = url::ResolveRedirect(*address, HeaderValue(easy.get(), "Location"));
    if (redirect.verdict != url::RedirectVerdict::Follow) return FetchEnd::Failed;
    address = redirect.next;
  }
}

class StringWriter final : public BodyWriter {
 public:
  bool Write(std::string_view bytes) override {
    bytes_.append(bytes);
    return true;
  }
  std::string& bytes() { return bytes_; }

 private:
  std::string bytes_;
};

class FileWriter final : public BodyWriter {
 public:
  explicit FileWriter(int fd) : fd_(fd) {}
  bool Write(std::string_view bytes) override {
    while (!bytes.empty()) {
      const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) return false;
      bytes.remove_prefix(static_cast<std::size_t>(written));
      written_ += static_cast<std::size_t>(written);
    }
    return true;
  }
  std::size_t written() const { return written_; }

 private:
  int fd_;
  std::size_t written_ = 0;
};

// A new file beside the target, created exclusively (mode 0666 less the umask, as the target
// would get). -1 when the folder does not take one.
int CreateTemporary(const std::filesystem::path& folder, std::filesystem::path& created) {
  static std::atomic<unsigned> counter{0};
  std::random_device entropy;
  for (int attempt = 0; attempt < 16; ++attempt) {
    char name[64];
    std::snprintf(name, sizeof(name), ".orvane-%d-%u-%08x.part", static_cast<int>(::getpid()), counter++, entropy());
    created = folder / name;
    const int fd = ::open(created.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) return fd;
    if (errno != EEXIST) return -1;
  }
  return -1;
}

}  // namespace

std::optional<std::string> FetchBytes(std::string_view url, const FetchOptions& options) {
  StringWriter writer;
  if (Fetch(url, options, writer) != FetchEnd::Done) return std::nullopt;
  return std::move(writer.bytes());
}

SaveResult FetchToFile(std::string_view url, const std::filesystem::path& target, const FetchOptions& options) {
  const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
  std::filesystem::path temporary;
  const int fd = CreateTemporary(folder, temporary);
  if (fd < 0) return SaveResult::WriteFailed;

  FileWriter writer(fd);
  FetchEnd end = Fetch(url, options, writer);
  // An empty answer is no audio file: it never replaces one.
  if (end == FetchEnd::Done && writer.written() == 0) end = FetchEnd::Failed;
  // No fdatasync before the rename: it would hold every download to the disk's write-back speed.
  // The rename still happens only after a complete fetch, every write and the close succeeded.
  const bool stored = end == FetchEnd::Done;
  const bool closed = ::close(fd) == 0;
  if (stored && closed && ::rename(temporary.c_str(), target.c_str()) == 0) return SaveResult::Saved;
  ::unlink(temporary.c_str());
  switch (end) {
    case FetchEnd::Done:
    case FetchEnd::WriteFailed: return SaveResult::WriteFailed;
    case FetchEnd::Cancelled: return SaveResult::Cancelled;
    case FetchEnd::Failed: break;
  }
  return SaveResult::FetchFailed;
}

}  // namespace orvane
