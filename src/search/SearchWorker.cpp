#include "search/SearchWorker.h"

#include "platform/CodePage.h"
#include "platform/ServiceHosts.h"
#include "text/TextHelpers.h"
#include "web/RequestFailure.h"
#include "web/WebRequest.h"

namespace orvane {
namespace {

// The page's HTML stands escaped in the answer: \" for a quote and \n for a line break, which the
// markers below keep as they are.
constexpr std::string_view kNextLink = "rel='nex";
constexpr std::string_view kAlbumList = R"(<ul class=\"search-album-lists cl\">)";
constexpr std::string_view kEntry = "sound_ids";

struct Field {
  std::string_view start;
  std::string_view end;
};
constexpr Field kLink = {R"(<a href=\")", R"(\")"};
constexpr Field kCover = {R"(<img class=\"search-album-pic\" src=')", "' alt"};
constexpr Field kTitle = {R"(class=\"search-album-tit elli-multi link4\"  >\n)", "</a>"};
constexpr Field kPlays = {R"(<i class=\"iconfont icon-playlight\">)", "</i>"};
constexpr Field kTracks = {R"(<i class=\"iconfont icon-soundslight\">)", "</i>"};
constexpr Field kIntro = {R"(<p class=\"elli c02\">)", "</p>"};

std::string Cut(const std::string& entry, const Field& field) { return TextBetween(entry, field.start, field.end); }

// Drops the keyword highlight and the escaped line breaks, then the outer blanks.
std::string CleanText(const std::string& text) {
  return TrimBlanks(ReplaceMany(text, {}, {R"(<span class=\"c09\">)", ""}, {"</span>", ""}, {R"(\n)", ""}));
}

std::string LoadingCaption(int page) {
  return codepage::Utf8ToGbk("搜索结果-正在加载，第") + std::to_string(page) + codepage::Utf8ToGbk("页内容");
}

}  // namespace

std::string SearchPageUrl(const std::string& keyword, int page) {
  return "http://" + MainHost() + "/search/album/kw/" + keyword + "/page/" + std::to_string(page) + "/sc/true.ajax";
}

std::vector<AlbumRow> CutAlbumRows(const std::string& page) {
  std::vector<std::string> entries;
  TextBetweenAll(TextBetween(page, kAlbumList, "</ul>"), kEntry, "</li>", entries);
  std::vector<AlbumRow> rows;
  rows.reserve(entries.size());
  const std::string hostPrefix = "http://" + MainHost();
  for (const std::string& entry : entries) {
    AlbumRow row;
    row.link = hostPrefix + Cut(entry, kLink);
    row.cover = Cut(entry, kCover);
    row.title = CleanText(Cut(entry, kTitle));
    row.plays = Cut(entry, kPlays);
    if (row.plays.empty()) row.plays = "0";
    row.tracks = Cut(entry, kTracks);
    row.intro = CleanText(Cut(entry, kIntro));
    rows.push_back(std::move(row));
  }
  return rows;
}

void SearchWorker(SearchView& view, const std::stop_token& stop) {
  std::string keyword;
  if (!view.ReadKeyword(keyword)) return;

  static const std::string finishedCaption = codepage::Utf8ToGbk("搜索结果-已加载完成");
  static const std::string failedCaption = codepage::Utf8ToGbk("搜索结果-加载失败");
  for (int page = 1;; ++page) {
    std::string status;
    const std::string answer = WebRequest(SearchPageUrl(keyword, page), {.statusText = &status, .stop = stop});
    if (stop.stop_requested()) return;
    if (IsRequestFailure(status)) {
      // Rows of earlier pages stay; the caption says the list is incomplete.
      if (view.SetCaption(failedCaption)) view.EnableSearchButton();
      return;
    }
    const std::string text = Utf8ToGbk(answer);
    for (const AlbumRow& row : CutAlbumRows(text)) {
      if (!view.AppendRow(row)) return;
    }
    const bool hasNext = !TextBetween(text, kNextLink, "'").empty();
    if (!hasNext || page >= kMaxSearchPages) {
      if (view.SetCaption(finishedCaption)) view.EnableSearchButton();
      return;
    }
    if (!view.SetCaption(LoadingCaption(page + 1))) return;
  }
}

}  // namespace orvane
