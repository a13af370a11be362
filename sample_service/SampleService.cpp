#include "SampleService.h"

#include <httplib.h>
#include <sys/socket.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <fstream>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <utility>

#include "SampleMedia.h"
#include "SamplePages.h"

namespace orvane::sample {
namespace {

constexpr std::string_view kJsonType = "application/json; charset=utf-8";
constexpr std::string_view kHtmlType = "text/html; charset=utf-8";
constexpr std::size_t kChunkSize = 64 * 1024;
constexpr std::size_t kWorkerThreads = 16;

// One answer before faults: a body in memory, or `length` bytes streamed from `source`.
struct Reply {
  int status = 200;
  std::string contentType;
  std::string body;
  std::size_t length = 0;
  std::function<bool(std::size_t offset, char* out, std::size_t n)> source;
};

Reply TextReply(int status, std::string_view type, std::string body) {
  return Reply{status, std::string(type), std::move(body), 0, {}};
}

Reply NotFound() { return TextReply(404, kHtmlType, pages::ErrorPage(404)); }

std::string_view PathOf(std::string_view target) { return target.substr(0, target.find('?')); }

int ToPage(const std::string& text) {
  try {
    std::size_t used = 0;
    const int page = std::stoi(text, &used);
    return used == text.size() ? page : 0;
  } catch (const std::exception&) {
    return 0;
  }
}

std::string QualitySuffix(Quality quality) { return quality == Quality::High ? "-64" : "-32"; }

}  // namespace

struct SampleService::Impl {
  httplib::Server server;
  std::thread listener;
  std::atomic<bool> listenerDone = false;
  int port = 0;

  mutable std::mutex mutex;
  std::condition_variable wake;  // stalled and slow answers wait on it
  bool stopping = false;
  std::shared_ptr<const Catalogue> catalogue;
  std::map<std::string, RawResponse> raw;
  std::map<std::string, Fault> faults;
  std::vector<std::string> requests;

  std::string Host() const { return "127.0.0.1:" + std::to_string(port); }

  // Waits for `delay` or until the service stops; false when it stops.
  bool Pause(std::chrono::milliseconds delay) {
    std::unique_lock lock(mutex);
    return !wake.wait_for(lock, delay, [this] { return stopping; });
  }

  // The fault for target, counted as used; nullopt when none applies.
  std::optional<Fault> TakeFault(const std::string& target) {
    std::lock_guard lock(mutex);
    auto best = faults.end();
    for (auto it = faults.begin(); it != faults.end(); ++it) {
      if (target.starts_with(it->first) && (best == faults.end() || it->first.size() > best->first.size())) {
        best = it;
      }
    }
    if (best == faults.end()) return std::nullopt;
    const Fault fault = best->second;
    if (best->second.times > 0 && --best->second.times == 0) faults.erase(best);
    return fault;
  }

  Reply Answer(const std::string& target) {
    std::shared_ptr<const Catalogue> data;
    {
      std::lock_guard lock(mutex);
      if (const auto it = raw.find(target); it != raw.end()) {
        return TextReply(it->second.status, it->second.contentType, it->second.body);
      }
      data = catalogue;
    }
    const std::string_view path = PathOf(target);
    if (const auto search = pages::ParseSearchTarget(target)) {
      return TextReply(200, kJsonType, pages::SearchPage(*data, *search, Host()));
    }
    if (path == "/album/more_tracks") return TrackList(*data, target);
    if (path.starts_with("/tracks/") && path.ends_with(".json")) {
      const std::string id(path.substr(8, path.size() - 8 - 5));
      const auto [album, track] = FindTrack(*data, id);
      if (track == nullptr) return NotFound();
      return TextReply(200, kJsonType, pages::TrackRecord(*album, *track, Host()));
    }
    if (path.starts_with("/covers/") && path.ends_with(".png")) {
      const std::string id(path.substr(8, path.size() - 8 - 4));
      const bool known = std::any_of(data->albums.begin(), data->albums.end(),
                                     [&](const Album& album) { return album.id == id; });
      return known ? TextReply(200, "image/png", media::CoverPng(id)) : NotFound();
    }
    if (path.starts_with("/audio/") && path.ends_with(".m4a")) return Audio(*data, path.substr(7, path.size() - 11));
    return NotFound();
  }

  static std::pair<const Album*, const Track*> FindTrack(const Catalogue& data, const std::string& id) {
    for (const Album& album : data.albums) {
      for (const Track& track : album.tracks) {
        if (track.id == id) return {&album, &track};
      }
    }
    return {nullptr, nullptr};
  }

  static Reply TrackList(const Catalogue& data, const std::string& target) {
    httplib::Params params;
    const std::size_t question = target.find('?');
    if (question != std::string::npos) httplib::detail::parse_query_text(target.substr(question + 1), params);
    const auto value = [&](const char* key) {
      const auto it = params.find(key);
      return it == params.end() ? std::string() : it->second;
    };
    const std::string aid = value("aid");
    for (const Album& album : data.albums) {
      if (album.id == aid) {
        return TextReply(200, kJsonType, pages::TrackListPage(album, ToPage(value("page")), data.tracksPerPage));
      }
    }
    return TextReply(200, kJsonType, R"({"next_page":0,"html":""})");
  }

  // name is "ID-64" or "ID-32".
  static Reply Audio(const Catalogue& data, std::string_view name) {
    const std::size_t dash = name.rfind('-');
    if (dash == std::string_view::npos) return NotFound();
    const std::string_view suffix = name.substr(dash);
    if (suffix != "-64" && suffix != "-32") return NotFound();
    const Quality quality = suffix == "-64" ? Quality::High : Quality::Normal;
    const std::string id(name.substr(0, dash));
    const auto [album, track] = FindTrack(data, id);
    if (track == nullptr || !(quality == Quality::High ? track->hasHighQuality : track->hasNormalQuality)) {
      return NotFound();
    }
    Reply reply{200, "audio/mp4", {}, track->audioSize, {}};
    if (!track->audioFile.empty()) {
      auto file = std::make_shared<std::ifstream>(track->audioFile, std::ios::binary | std::ios::ate);
      if (!*file) return NotFound();
      reply.length = static_cast<std::size_t>(file->tellg());
      reply.source = [file](std::size_t offset, char* out, std::size_t n) {
        file->clear();
        file->seekg(static_cast<std::streamoff>(offset));
        return static_cast<bool>(file->read(out, static_cast<std::streamsize>(n)));
      };
    } else {
      const std::size_t size = track->audioSize;
      reply.source = [id, quality, size](std::size_t offset, char* out, std::size_t n) {
        SampleService::FillAudio(id, quality, size, offset, out, n);
        return true;
      };
    }
    return reply;
  }

  // Streams reply.source (or the body) up to `sent` bytes of `announced`; past that a short answer
  // ends: a stall first keeps silent for `stall`, then the connection closes.
  void Stream(httplib::Response& res, Reply reply, std::size_t announced, std::size_t sent,
              std::optional<std::chrono::milliseconds> stall) {
    if (!reply.source) {
      auto body = std::make_shared<std::string>(std::move(reply.body));
      reply.source = [body](std::size_t offset, char* out, std::size_t n) {
        if (offset + n > body->size()) return false;
        std::copy_n(body->data() + offset, n, out);
        return true;
      };
    }
    res.status = reply.status;
    auto source = std::move(reply.source);
    res.set_content_provider(
        announced, reply.contentType,
        [this, source, sent, stall](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
          if (offset >= sent) {
            if (stall) Pause(*stall);
            return false;  // the connection closes short of the announced length
          }
          std::vector<char> buffer(std::min({length, kChunkSize, sent - offset}));
          return source(offset, buffer.data(), buffer.size()) && sink.write(buffer.data(), buffer.size());
        });
  }

  void Handle(const httplib::Request& req, httplib::Response& res) {
    const std::string& target = req.target;
    {
      std::lock_guard lock(mutex);
      requests.push_back(target);
    }
    if (req.method != "GET" && req.method != "HEAD") {
      res.status = 405;
      res.set_content(pages::ErrorPage(405), std::string(kHtmlType));
      return;
    }
    const std::optional<Fault> fault = TakeFault(target);
    if (fault && fault->kind == Fault::Kind::Slow && !Pause(fault->delay)) {
      res.status = 503;
      return;
    }
    if (fault && fault->kind == Fault::Kind::Status) {
      res.status = fault->status;
      res.set_content(pages::ErrorPage(fault->status), std::string(kHtmlType));
      return;
    }
    if (fault && fault->kind == Fault::Kind::NotJson) {
      res.status = 200;
      res.set_content(pages::HtmlPage(), std::string(kHtmlType));
      return;
    }
    Reply reply = Answer(target);
    const std::size_t length = reply.source ? reply.length : reply.body.size();
    if (fault && (fault->kind == Fault::Kind::CutShort || fault->kind == Fault::Kind::Stall)) {
      // An empty body still announces one byte, so that the answer is short.
      Stream(res, std::move(reply), std::max<std::size_t>(length, 1), length / 2,
             fault->kind == Fault::Kind::Stall ? std::optional(fault->delay) : std::nullopt);
    } else if (reply.source) {
      Stream(res, std::move(reply), length, length, std::nullopt);
    } else {
      res.status = reply.status;
      res.set_content(reply.body, reply.contentType);
    }
  }
};

SampleService::SampleService(Catalogue catalogue, int port) : impl_(std::make_unique<Impl>()) {
  Impl& impl = *impl_;
  impl.catalogue = std::make_shared<const Catalogue>(std::move(catalogue));
  impl.server.new_task_queue = [] { return new httplib::ThreadPool(kWorkerThreads); };
  // One request per connection: no idle keep-alive connection can hold up the shutdown.
  impl.server.set_keep_alive_max_count(1);
  impl.server.set_keep_alive_timeout(2);
  impl.server.set_pre_routing_handler([&impl](const httplib::Request& req, httplib::Response& res) {
    impl.Handle(req, res);
    return httplib::Server::HandlerResponse::Handled;
  });
  // httplib listens with a backlog of 5; a burst of parallel requests would wait for SYN retries.
  int listening = -1;
  impl.server.set_socket_options([&listening](int sock) {
    httplib::default_socket_options(sock);
    listening = sock;
  });
  if (port == 0) {
    impl.port = impl.server.bind_to_any_port("127.0.0.1");
  } else {
    impl.port = impl.server.bind_to_port("127.0.0.1", port) ? port : -1;
  }
  if (impl.port <= 0) throw std::runtime_error("the sample service cannot listen on 127.0.0.1");
  if (listening >= 0) ::listen(listening, 128);
  impl.server.set_socket_options(httplib::default_socket_options);
  impl.listener = std::thread([&impl] {
    impl.server.listen_after_bind();
    impl.listenerDone = true;
  });
}

SampleService::~SampleService() {
  {
    std::lock_guard lock(impl_->mutex);
    impl_->stopping = true;
  }
  impl_->wake.notify_all();
  // stop() does nothing before the accept loop runs, and must be called only once.
  while (!impl_->server.is_running() && !impl_->listenerDone) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  impl_->server.stop();
  impl_->listener.join();
}

std::string SampleService::Host() const { return impl_->Host(); }
int SampleService::Port() const { return impl_->port; }

void SampleService::SetCatalogue(Catalogue catalogue) {
  auto data = std::make_shared<const Catalogue>(std::move(catalogue));
  std::lock_guard lock(impl_->mutex);
  impl_->catalogue = std::move(data);
}

void SampleService::SetRaw(std::string target, RawResponse response) {
  std::lock_guard lock(impl_->mutex);
  impl_->raw[std::move(target)] = std::move(response);
}

void SampleService::ClearRaw() {
  std::lock_guard lock(impl_->mutex);
  impl_->raw.clear();
}

void SampleService::SetFault(std::string targetPrefix, Fault fault) {
  std::lock_guard lock(impl_->mutex);
  if (fault.times == 0) {
    impl_->faults.erase(targetPrefix);
  } else {
    impl_->faults[std::move(targetPrefix)] = fault;
  }
}

void SampleService::ClearFaults() {
  std::lock_guard lock(impl_->mutex);
  impl_->faults.clear();
}

std::vector<std::string> SampleService::Requests() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->requests;
}

void SampleService::ClearRequests() {
  std::lock_guard lock(impl_->mutex);
  impl_->requests.clear();
}

std::string SampleService::CoverUrl(const std::string& albumId) const {
  return "http://" + Host() + "/covers/" + albumId + ".png";
}

std::string SampleService::AudioUrl(const std::string& trackId, Quality quality) const {
  return "http://" + Host() + "/audio/" + trackId + QualitySuffix(quality) + ".m4a";
}

std::string SampleService::AudioBytes(const std::string& trackId, Quality quality, std::size_t size) {
  std::string bytes(size, '\0');
  FillAudio(trackId, quality, size, 0, bytes.data(), size);
  return bytes;
}

void SampleService::FillAudio(const std::string& trackId, Quality quality, std::size_t size, std::size_t offset,
                              char* out, std::size_t n) {
  media::FillWav(trackId + QualitySuffix(quality), size, offset, out, n);
}

}  // namespace orvane::sample
