#include "album/TrackListWorker.h"

#include <set>

#include "platform/CodePage.h"
#include "platform/ServiceHosts.h"
#include "script/JsonDocument.h"
#include "text/NumberText.h"
#include "text/TextHelpers.h"
#include "web/RequestFailure.h"
#include "web/WebRequest.h"

namespace orvane {
namespace {

constexpr std::string_view kItemStart = "<li class=\"item-block\">\n";
constexpr std::string_view kItemEnd = "</li>";
constexpr std::string_view kTitleStart = "<h4 class=\"item-tit elli-s\">";
constexpr std::string_view kTitleEnd = "</h4>";
constexpr std::string_view kIdStart = "<a class=\"col col-r btn-player\" href=\"javascript:;\" sound_id=\"";
constexpr std::string_view kIdEnd = "\"";

std::string LoadingCaption(long long page) {
  return codepage::Utf8ToGbk("章节列表-正在加载，第") + std::to_string(page) + codepage::Utf8ToGbk("页内容");
}

}  // namespace

std::string AlbumIdFromAddress(const std::string& address) {
  std::string_view rest = address;
  if (!rest.empty() && rest.back() == '/') rest.remove_suffix(1);
  const std::size_t slash = rest.rfind('/');
  return std::string(slash == std::string_view::npos ? rest : rest.substr(slash + 1));
}

std::string TrackListUrl(const std::string& albumId, long long page) {
  return "http://" + MobileHost() + "/album/more_tracks?url=%2Falbum%2Fmore_tracks&aid=" + albumId +
         "&page=" + std::to_string(page);
}

std::vector<TrackRow> CutTrackRows(const std::string& html) {
  std::vector<std::string> items;
  TextBetweenAll(html, kItemStart, kItemEnd, items);
  std::vector<TrackRow> rows;
  rows.reserve(items.size());
  for (const std::string& item : items) {
    rows.push_back({TextBetween(item, kTitleStart, kTitleEnd), TextBetween(item, kIdStart, kIdEnd)});
  }
  return rows;
}

void TrackListWorker(TrackListView& view, const std::string& albumAddress, const std::stop_token& stop) {
  static const std::string finishedCaption = codepage::Utf8ToGbk("章节列表-已加载完成");
  static const std::string failedCaption = codepage::Utf8ToGbk("章节列表-加载失败");

  JsonDocument document;
  const std::string albumId = AlbumIdFromAddress(albumAddress);
  std::set<long long> requested;
  long long page = 1;
  while (true) {
    requested.insert(page);
    std::string status;
    const std::string answer = WebRequest(TrackListUrl(albumId, page), {.statusText = &status, .stop = stop});
    if (stop.stop_requested()) return;
    if (IsRequestFailure(status)) {
      view.SetCaption(failedCaption);
      return;
    }
    document.Parse(Utf8ToGbk(answer));
    const long long next = ReadWholeNumber(document.GetText("next_page"));
    const std::vector<TrackRow> rows = CutTrackRows(document.GetText("html"));
    if (!rows.empty() && !view.AppendTracks(rows)) return;
    // A page number already asked for would go round in circles; a negative one names no page.
    if (next <= 0 || requested.count(next) != 0 || requested.size() >= kMaxTrackListPages) {
      view.SetCaption(finishedCaption);
      return;
    }
    if (!view.SetCaption(LoadingCaption(next))) return;
    page = next;
  }
}

}  // namespace orvane
