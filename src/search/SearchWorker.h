#pragma once
// Loads the service's search result pages for a keyword, one after another, and lists the albums.
#include <stop_token>
#include <string>
#include <vector>

namespace orvane {

// One album of the results list, as its six columns hold it (GBK text).
struct AlbumRow {
  std::string title;   // column 0 "名称"
  std::string plays;   // column 1 "播放": "0" when the entry has none
  std::string tracks;  // column 2 "专辑"
  std::string intro;   // column 3 "简介"
  std::string link;    // column 4 "地址": "http://" + main host + the album's link
  std::string cover;   // column 5 "图片"
};

// What the worker reads and writes in its windows. Every call returns false when its window is gone
// or the search was stopped; the worker then ends at once, quietly.
class SearchView {
 public:
  virtual ~SearchView() = default;
  virtual bool ReadKeyword(std::string& keyword) = 0;
  virtual bool AppendRow(const AlbumRow& row) = 0;
  virtual bool SetCaption(const std::string& caption) = 0;
  virtual bool EnableSearchButton() = 0;
};

// A search never reads more pages than this, whatever the pages say.
inline constexpr int kMaxSearchPages = 1000;

// The search page address for a keyword (GBK, put in as typed) and a page number.
std::string SearchPageUrl(const std::string& keyword, int page);

// Cuts the album entries out of one search page (GBK text) in page order.
std::vector<AlbumRow> CutAlbumRows(const std::string& page);

void SearchWorker(SearchView& view, const std::stop_token& stop);

}  // namespace orvane
