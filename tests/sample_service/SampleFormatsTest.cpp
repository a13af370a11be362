// The answers of the sample service, cut with the program's own text helpers and markers.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <QByteArray>
#include <QImage>

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "Fetch.h"
#include "SampleService.h"
#include "text/TextHelpers.h"

namespace orvane::sample {
namespace {

using testing::Fetch;
using Json = nlohmann::json;

// Markers of the search page (escaped text: \" and \n are two bytes each).
const std::string kNextStart = "rel='nex";
const std::string kListStart = "<ul class=\\\"search-album-lists cl\\\">";
const std::string kEntryStart = "sound_ids";
const std::string kLinkStart = "<a href=\\\"";
const std::string kCoverStart = "<img class=\\\"search-album-pic\\\" src='";
const std::string kTitleStart = "class=\\\"search-album-tit elli-multi link4\\\"  >\\n";
const std::string kPlaysStart = "<i class=\\\"iconfont icon-playlight\\\">";
const std::string kTracksStart = "<i class=\\\"iconfont icon-soundslight\\\">";
const std::string kIntroStart = "<p class=\\\"elli c02\\\">";

// Markers of the track-list html (decoded: plain quotes and a line feed).
const std::string kItemStart = "<li class=\"item-block\">\n";
const std::string kItemTitleStart = "<h4 class=\"item-tit elli-s\">";
const std::string kItemIdStart = "<a class=\"col col-r btn-player\" href=\"javascript:;\" sound_id=\"";

struct Entry {
  std::string link, cover, rawTitle, title, plays, tracks, intro;
};

// The title and introduction cleaning of the search worker.
std::string Clean(const std::string& text) {
  return TrimBlanks(ReplaceMany(text, {}, {"<span class=\\\"c09\\\">", ""}, {"</span>", ""}, {"\\n", ""}));
}

struct SearchPage {
  std::string gbk, next;
  std::vector<Entry> entries;
};

SearchPage LoadSearchPage(const SampleService& service, const std::string& encodedKeyword, int page) {
  const auto fetched =
      Fetch("http://" + service.Host() + "/search/album/kw/" + encodedKeyword + "/page/" + std::to_string(page) +
            "/sc/true.ajax");
  EXPECT_EQ(fetched.status, 200);
  EXPECT_FALSE(Json::parse(fetched.body, nullptr, false).is_discarded()) << "the page is JSON as well";
  SearchPage result;
  result.gbk = Utf8ToGbk(fetched.body);
  result.next = TextBetween(result.gbk, kNextStart, "'");
  std::vector<std::string> pieces;
  TextBetweenAll(TextBetween(result.gbk, kListStart, "</ul>"), kEntryStart, "</li>", pieces);
  for (const std::string& piece : pieces) {
    Entry entry;
    entry.link = TextBetween(piece, kLinkStart, "\\\"");
    entry.cover = TextBetween(piece, kCoverStart, "' alt");
    entry.rawTitle = TextBetween(piece, kTitleStart, "</a>");
    entry.title = Clean(entry.rawTitle);
    entry.plays = TextBetween(piece, kPlaysStart, "</i>");
    entry.tracks = TextBetween(piece, kTracksStart, "</i>");
    entry.intro = Clean(TextBetween(piece, kIntroStart, "</p>"));
    result.entries.push_back(entry);
  }
  return result;
}

Track MakeTrack(std::string id, std::string title, std::optional<std::string> albumTitle = {},
                bool high = true, bool normal = true, std::size_t audioSize = 4096) {
  Track track;
  track.id = std::move(id);
  track.title = std::move(title);
  track.albumTitle = std::move(albumTitle);
  track.hasHighQuality = high;
  track.hasNormalQuality = normal;
  track.audioSize = audioSize;
  return track;
}

Album MakeAlbum(std::string id, std::string title, std::string intro, int trackCount) {
  Album album{std::move(id), std::move(title), std::move(intro), "1.2万", "", {}, {}};
  for (int n = 1; n <= trackCount; ++n) {
    album.tracks.push_back(MakeTrack(album.id + std::to_string(100 + n), "第" + std::to_string(n) + "集", {}));
  }
  return album;
}

TEST(SampleSearch, EveryValueIsCutOutExactly) {
  Catalogue catalogue;
  catalogue.albums = {
      MakeAlbum("101", "夜读诗词 Night Poems", "每晚一首, poems at night.", 3),
      MakeAlbum("102", "No keyword here", "An intro that mentions POEMS in capitals.", 0),
      MakeAlbum("103", "Unrelated", "Nothing to see.", 1),
      MakeAlbum("104", "poems poems", "", 2),
  };
  catalogue.albums[1].plays = "";           // no play-count element
  catalogue.albums[3].trackCount = "88";    // shown as given, not counted
  SampleService service(catalogue);

  const SearchPage page = LoadSearchPage(service, "poems", 1);
  EXPECT_EQ(page.next, "");
  ASSERT_EQ(page.entries.size(), 3u);
  const struct {
    const Album& album;
    std::string plays, tracks;
  } expected[] = {{catalogue.albums[0], "1.2\xCD\xF2", "3"},  // 1.2万
                  {catalogue.albums[1], "", "0"},
                  {catalogue.albums[3], "1.2\xCD\xF2", "88"}};
  for (std::size_t i = 0; i < 3; ++i) {
    const Entry& entry = page.entries[i];
    const Album& album = expected[i].album;
    EXPECT_EQ(entry.link, "/album/" + album.id) << i;
    EXPECT_EQ(entry.cover, service.CoverUrl(album.id)) << i;
    EXPECT_EQ(entry.title, Utf8ToGbk(album.title)) << i;
    EXPECT_EQ(entry.intro, Utf8ToGbk(album.intro)) << i;
    EXPECT_EQ(entry.plays, expected[i].plays) << i;
    EXPECT_EQ(entry.tracks, expected[i].tracks) << i;
  }
  // The keyword is highlighted in its own letter case wherever it stands.
  EXPECT_EQ(page.entries[0].rawTitle, Utf8ToGbk("夜读诗词 Night <span class=\\\"c09\\\">Poems</span>"));
  EXPECT_EQ(page.entries[2].rawTitle,
            "<span class=\\\"c09\\\">poems</span> <span class=\\\"c09\\\">poems</span>");
}

TEST(SampleSearch, PagesFollowTheCatalogueAndLinkOnlyWhileMoreFollow) {
  Catalogue catalogue;
  catalogue.albumsPerPage = 10;
  for (int i = 0; i < 23; ++i) catalogue.albums.push_back(MakeAlbum(std::to_string(500 + i), "有声书 " + std::to_string(i), "", 1));
  catalogue.albums.insert(catalogue.albums.begin() + 5, MakeAlbum("999", "Other", "", 1));
  SampleService service(catalogue);
  const std::string keyword = "%E6%9C%89%E5%A3%B0%E4%B9%A6";  // 有声书

  std::vector<std::string> links;
  const std::size_t expectedSizes[] = {10, 10, 3, 0};
  for (int page = 1; page <= 4; ++page) {
    const SearchPage loaded = LoadSearchPage(service, keyword, page);
    EXPECT_EQ(loaded.entries.size(), expectedSizes[page - 1]) << page;
    EXPECT_EQ(loaded.next.empty(), page >= 3) << page;
    for (const Entry& entry : loaded.entries) links.push_back(entry.link);
  }
  ASSERT_EQ(links.size(), 23u);
  for (int i = 0; i < 23; ++i) EXPECT_EQ(links[static_cast<std::size_t>(i)], "/album/" + std::to_string(500 + i));

  const SearchPage none = LoadSearchPage(service, "nothing-matches", 1);
  EXPECT_TRUE(none.entries.empty());
  EXPECT_EQ(none.next, "");
  EXPECT_NE(none.gbk.find(kListStart), std::string::npos) << "an empty result still has its list";
}

TEST(SampleSearch, KeywordsArePercentDecodedAndMayHoldSlashes) {
  Catalogue catalogue;
  catalogue.albums = {MakeAlbum("1", "AC/DC live", "", 1), MakeAlbum("2", "C# in depth", "", 1),
                      MakeAlbum("3", "相声 大全", "", 1), MakeAlbum("4", "a/b/page/7/sc/true.ajax", "", 1)};
  SampleService service(catalogue);
  const struct {
    std::string encoded;
    std::string link;
  } cases[] = {
      {"AC/DC", "/album/1"},
      {"ac%2Fdc", "/album/1"},
      {"C%23", "/album/2"},
      {"%E7%9B%B8%E5%A3%B0%20%E5%A4%A7", "/album/3"},  // 相声 大
      {"b/page/7", "/album/4"},                          // only the final /page/N/sc/true.ajax counts
  };
  for (const auto& c : cases) {
    const SearchPage page = LoadSearchPage(service, c.encoded, 1);
    ASSERT_EQ(page.entries.size(), 1u) << c.encoded;
    EXPECT_EQ(page.entries[0].link, c.link) << c.encoded;
  }
}

struct TrackListPage {
  long long next = -1;
  std::vector<std::pair<std::string, std::string>> tracks;  // title, id (GBK)
};

TrackListPage LoadTrackList(const SampleService& service, const std::string& albumId, int page) {
  const auto fetched = Fetch("http://" + service.Host() + "/album/more_tracks?url=%2Falbum%2Fmore_tracks&aid=" +
                             albumId + "&page=" + std::to_string(page));
  EXPECT_EQ(fetched.status, 200);
  const Json answer = Json::parse(fetched.body, nullptr, false);
  TrackListPage result;
  if (answer.is_discarded() || !answer["next_page"].is_number_integer() || !answer["html"].is_string()) {
    ADD_FAILURE() << fetched.body;
    return result;
  }
  result.next = answer["next_page"].get<long long>();
  std::vector<std::string> items;
  TextBetweenAll(Utf8ToGbk(answer["html"].get<std::string>()), kItemStart, "</li>", items);
  for (const std::string& item : items) {
    result.tracks.emplace_back(TextBetween(item, kItemTitleStart, "</h4>"), TextBetween(item, kItemIdStart, "\""));
  }
  return result;
}

TEST(SampleTrackList, PagesCarryTitlesAndIdsAndCountOn) {
  Catalogue catalogue;
  catalogue.tracksPerPage = 20;
  catalogue.albums = {MakeAlbum("77", "Album", "", 45)};
  catalogue.albums[0].tracks[44].title = "最后一集 <End>";
  SampleService service(catalogue);

  std::vector<std::pair<std::string, std::string>> all;
  const long long expectedNext[] = {2, 3, 0};
  const std::size_t expectedSize[] = {20, 20, 5};
  for (int page = 1; page <= 3; ++page) {
    const TrackListPage loaded = LoadTrackList(service, "77", page);
    EXPECT_EQ(loaded.next, expectedNext[page - 1]);
    EXPECT_EQ(loaded.tracks.size(), expectedSize[page - 1]);
    all.insert(all.end(), loaded.tracks.begin(), loaded.tracks.end());
  }
  ASSERT_EQ(all.size(), 45u);
  for (std::size_t i = 0; i < all.size(); ++i) {
    EXPECT_EQ(all[i].first, Utf8ToGbk(catalogue.albums[0].tracks[i].title)) << i;
    EXPECT_EQ(all[i].second, catalogue.albums[0].tracks[i].id) << i;
  }
  EXPECT_EQ(LoadTrackList(service, "77", 4).tracks.size(), 0u);
  EXPECT_EQ(LoadTrackList(service, "77", 4).next, 0);
  EXPECT_EQ(LoadTrackList(service, "no-such-album", 1).next, 0);
}

TEST(SampleTrackList, NextPageCanJumpOrRepeat) {
  Catalogue catalogue;
  catalogue.tracksPerPage = 2;
  catalogue.albums = {MakeAlbum("5", "Album", "", 9)};
  catalogue.albums[0].nextPages = {{1, 3}, {3, 3}, {5, 0}};
  SampleService service(catalogue);

  EXPECT_EQ(LoadTrackList(service, "5", 1).next, 3);
  const TrackListPage third = LoadTrackList(service, "5", 3);
  EXPECT_EQ(third.next, 3);
  ASSERT_EQ(third.tracks.size(), 2u);
  EXPECT_EQ(third.tracks[0].second, catalogue.albums[0].tracks[4].id);
  EXPECT_EQ(LoadTrackList(service, "5", 4).next, 5) << "pages without an entry keep counting";
  EXPECT_EQ(LoadTrackList(service, "5", 5).next, 0) << "the last page can be cut early";
}

TEST(SampleTrackRecord, FieldsAndPlayPathsAsSet) {
  Catalogue catalogue;
  Album album = MakeAlbum("8", "正常专辑", "", 0);
  const std::string nine = "a\\b/c:d*e?f|g<h>i\"j";
  const struct {
    Track track;
    std::string albumTitle;
  } cases[] = {
      {MakeTrack("801", nine, {}), "正常专辑"},
      {MakeTrack("802", "同名", std::string("../x")), "../x"},
      {MakeTrack("803", "同名", std::string("..")), ".."},
      {MakeTrack("804", "第三集", std::string("a/../../b")), "a/../../b"},
      {MakeTrack("805", "第四集", std::string("/etc/orvane")), "/etc/orvane"},
      {MakeTrack("806", "Paid", {}, false, true), "正常专辑"},
      {MakeTrack("807", "Half", {}, true, false), "正常专辑"},
      {MakeTrack("808", "None", {}, false, false), "正常专辑"},
      {MakeTrack("x-9", "Text id", {}), "正常专辑"},
  };
  for (const auto& c : cases) album.tracks.push_back(c.track);
  catalogue.albums = {album};
  SampleService service(catalogue);

  for (const auto& c : cases) {
    const auto fetched = Fetch("http://" + service.Host() + "/tracks/" + c.track.id + ".json");
    ASSERT_EQ(fetched.status, 200) << c.track.id;
    const Json record = Json::parse(fetched.body, nullptr, false);
    ASSERT_FALSE(record.is_discarded()) << fetched.body;
    EXPECT_EQ(record["id"].is_number() ? std::to_string(record["id"].get<long long>()) : record["id"].get<std::string>(),
              c.track.id);
    EXPECT_EQ(record["title"], c.track.title);
    EXPECT_EQ(record["album_title"], c.albumTitle);
    EXPECT_EQ(record.contains("play_path_64"), c.track.hasHighQuality) << c.track.id;
    EXPECT_EQ(record.contains("play_path_32"), c.track.hasNormalQuality) << c.track.id;
    if (c.track.hasHighQuality) {
      EXPECT_EQ(record["play_path_64"], service.AudioUrl(c.track.id, Quality::High));
    }
    if (c.track.hasNormalQuality) {
      EXPECT_EQ(record["play_path_32"], service.AudioUrl(c.track.id, Quality::Normal));
    }
  }
  EXPECT_EQ(Fetch("http://" + service.Host() + "/tracks/404.json").status, 404);
}

TEST(SampleAudio, BytesMatchTheGeneratorAndDifferPerTrackAndQuality) {
  Catalogue catalogue;
  Album album = MakeAlbum("9", "A", "", 0);
  album.tracks = {MakeTrack("901", "a", {}, true, true, 5000), MakeTrack("902", "b", {}, true, false, 5000),
                  MakeTrack("903", "c", {}, true, true, 10)};
  catalogue.albums = {album};
  SampleService service(catalogue);

  std::set<std::string> seen;
  const struct {
    std::string id;
    Quality quality;
    std::size_t size;
  } served[] = {{"901", Quality::High, 5000}, {"901", Quality::Normal, 5000}, {"902", Quality::High, 5000},
                {"903", Quality::High, 10}};
  for (const auto& s : served) {
    const auto fetched = Fetch(service.AudioUrl(s.id, s.quality));
    EXPECT_EQ(fetched.status, 200);
    EXPECT_EQ(fetched.body, SampleService::AudioBytes(s.id, s.quality, s.size)) << s.id;
    EXPECT_EQ(fetched.body.size(), s.size);
    seen.insert(fetched.body);
  }
  EXPECT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen.begin()->substr(0, 4), "RIFF");
  EXPECT_EQ(Fetch(service.AudioUrl("902", Quality::Normal)).status, 404) << "no normal quality for 902";
}

TEST(SampleAudio, FiftyMegabytesStreamWithoutCopies) {
  constexpr std::size_t kSize = 50u * 1024 * 1024;
  Catalogue catalogue;
  catalogue.albums = {MakeAlbum("10", "Big", "", 0)};
  catalogue.albums[0].tracks = {MakeTrack("1001", "big", {}, true, true, kSize)};
  SampleService service(catalogue);

  std::size_t offset = 0, mismatches = 0;
  std::string expected;
  const auto fetched = Fetch(service.AudioUrl("1001", Quality::High), [&](const char* data, std::size_t n) {
    expected.resize(n);
    SampleService::FillAudio("1001", Quality::High, kSize, offset, expected.data(), n);
    if (expected.compare(0, n, data, n) != 0) ++mismatches;
    offset += n;
  });
  EXPECT_EQ(fetched.code, CURLE_OK);
  EXPECT_EQ(fetched.received, kSize);
  EXPECT_EQ(fetched.contentLength, static_cast<long long>(kSize));
  EXPECT_EQ(mismatches, 0u);
}

TEST(SampleAudio, FileIsStreamedAsItIs) {
  const std::string path = ::testing::TempDir() + "sample_audio_file.bin";
  std::string bytes;
  for (int i = 0; i < 300000; ++i) bytes += static_cast<char>((i * 7) % 251);
  {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
    std::fclose(file);
  }
  Catalogue catalogue;
  catalogue.albums = {MakeAlbum("11", "File", "", 0)};
  Track track = MakeTrack("1101", "file");
  track.audioFile = path;
  catalogue.albums[0].tracks = {track};
  SampleService service(catalogue);
  EXPECT_EQ(Fetch(service.AudioUrl("1101", Quality::High)).body, bytes);
  EXPECT_EQ(Fetch(service.AudioUrl("1101", Quality::Normal)).body, bytes);
  std::remove(path.c_str());
}

TEST(SampleCover, IsARealPngPerAlbum) {
  Catalogue catalogue;
  catalogue.albums = {MakeAlbum("12", "A", "", 0), MakeAlbum("13", "B", "", 0)};
  SampleService service(catalogue);
  const auto first = Fetch(service.CoverUrl("12"));
  const auto second = Fetch(service.CoverUrl("13"));
  EXPECT_EQ(first.contentType, "image/png");
  const QImage image = QImage::fromData(QByteArray(first.body.data(), static_cast<qsizetype>(first.body.size())));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.width(), 140);
  EXPECT_EQ(image.height(), 140);
  EXPECT_NE(first.body, second.body);
  EXPECT_EQ(Fetch(service.CoverUrl("14")).status, 404);
}

TEST(SampleDemo, CatalogueCoversWhatTheDemoShows) {
  const Catalogue demo = SampleService::Demo();
  EXPECT_EQ(demo.albums.size(), 25u);
  std::set<std::string> ids;
  bool longTitle = false, longIntro = false, paid = false, threePages = false;
  for (const Album& album : demo.albums) {
    longTitle = longTitle || Utf8ToGbk(album.title).size() > 30;
    longIntro = longIntro || Utf8ToGbk(album.intro).size() >= 1540;
    threePages = threePages || album.tracks.size() > 40;
    EXPECT_FALSE(album.tracks.empty());
    for (const Track& track : album.tracks) {
      EXPECT_TRUE(ids.insert(track.id).second) << "duplicate id " << track.id;
      paid = paid || !track.hasHighQuality;
      EXPECT_LE(track.audioSize, 1100000u);
    }
  }
  EXPECT_TRUE(longTitle && longIntro && paid && threePages);

  SampleService service(demo);
  const std::string keyword = "%E4%B8%93%E8%BE%91";  // 专辑
  EXPECT_FALSE(LoadSearchPage(service, keyword, 1).next.empty());
  EXPECT_FALSE(LoadSearchPage(service, keyword, 2).next.empty());
  const SearchPage last = LoadSearchPage(service, keyword, 3);
  EXPECT_TRUE(last.next.empty());
  EXPECT_FALSE(last.entries.empty());
}

}  // namespace
}  // namespace orvane::sample
