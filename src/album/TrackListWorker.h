#pragma once
// Loads an album's complete track list, page by page, from the service's mobile host.
#include <stop_token>
#include <string>
#include <vector>

namespace orvane {

struct TrackRow {
  std::string title;  // column 1 "名称"
  std::string id;     // column 2 "编号"
};

// What the loader writes into the details window. Every call returns false when the window is gone or
// the loader was stopped; the loader then ends at once, quietly.
class TrackListView {
 public:
  virtual ~TrackListView() = default;
  // Appends the rows (numbered on from the rows already there) and sets the range end to the row count.
  virtual bool AppendTracks(const std::vector<TrackRow>& tracks) = 0;
  virtual bool SetCaption(const std::string& caption) = 0;
};

// A loader never reads more pages than this, whatever the pages say.
inline constexpr std::size_t kMaxTrackListPages = 10000;

// The album id of an album address: what follows its last "/", after dropping one trailing "/".
std::string AlbumIdFromAddress(const std::string& address);

std::string TrackListUrl(const std::string& albumId, long long page);

// The tracks of one track-list page's "html" member (GBK), in page order.
std::vector<TrackRow> CutTrackRows(const std::string& html);

void TrackListWorker(TrackListView& view, const std::string& albumAddress, const std::stop_token& stop);

}  // namespace orvane
