#pragma once
// A loopback stand-in for the online service: search pages, track lists, track records, covers and
// audio, answered in the service's own formats, with faults and exact answers a test can set.
// All texts are UTF-8. Setters are thread-safe and take effect for the next request.
#include <chrono>
#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace orvane::sample {

struct Track {
  std::string id, title;
  std::optional<std::string> albumTitle;  // the record's "album_title"; the album's title when unset
  bool hasHighQuality = true;             // "play_path_64" present
  bool hasNormalQuality = true;           // "play_path_32" present
  std::size_t audioSize = 4096;           // size of the generated audio of each quality
  std::string audioFile;                  // when set, both qualities stream this file instead
};

struct Album {
  std::string id, title, intro;
  std::string plays;       // empty: the search entry has no play-count element
  std::string trackCount;  // empty: the number of tracks
  std::vector<Track> tracks;
  std::map<int, int> nextPages;  // track-list page -> "next_page" answered in place of the usual one
};

struct Catalogue {
  std::vector<Album> albums;
  int albumsPerPage = 10;
  int tracksPerPage = 20;
};

struct RawResponse {
  int status = 200;
  std::string contentType = "text/html; charset=utf-8";
  std::string body;
};

struct Fault {
  enum class Kind {
    Status,    // `status` with an HTML error page
    NotJson,   // 200 with an HTML page where JSON belongs
    CutShort,  // the full Content-Length, half of the body, then the connection closes
    Stall,     // headers and half of the body, silence for `delay`, then the connection closes
    Slow,      // `delay`, then the usual answer
  };
  Kind kind = Kind::Status;
  int status = 500;
  std::chrono::milliseconds delay{1000};
  int times = -1;  // number of requests it applies to; below 0: every one; 0 in SetFault removes it
};

enum class Quality { High, Normal };  // "play_path_64" / "play_path_32"

class SampleService {
 public:
  // Listens on 127.0.0.1:port (0: any free port). Throws std::runtime_error when it cannot listen.
  explicit SampleService(Catalogue catalogue = {}, int port = 0);
  // Stops listening, wakes stalled and slow answers and joins every thread.
  ~SampleService();
  SampleService(const SampleService&) = delete;
  SampleService& operator=(const SampleService&) = delete;

  std::string Host() const;  // "127.0.0.1:PORT"
  int Port() const;

  void SetCatalogue(Catalogue catalogue);
  // The exact answer for one exact request target (path and query as sent).
  void SetRaw(std::string target, RawResponse response);
  void ClearRaw();
  // A fault for every target that starts with targetPrefix; the longest matching prefix wins.
  void SetFault(std::string targetPrefix, Fault fault);
  void ClearFaults();

  // Request targets (path and query as sent) in arrival order.
  std::vector<std::string> Requests() const;
  void ClearRequests();

  // Addresses as the answers give them.
  std::string CoverUrl(const std::string& albumId) const;
  std::string AudioUrl(const std::string& trackId, Quality quality) const;

  // The generated audio of a track: a short 8-bit mono WAV, distinct per track id and quality.
  static std::string AudioBytes(const std::string& trackId, Quality quality, std::size_t size);
  // Bytes [offset, offset + n) of the same content, for checking large files piece by piece.
  static void FillAudio(const std::string& trackId, Quality quality, std::size_t size, std::size_t offset,
                        char* out, std::size_t n);

  static Catalogue Demo();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace orvane::sample
