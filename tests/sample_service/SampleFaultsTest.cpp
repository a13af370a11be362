// Faults, raw answers, the request log and shutdown of the sample service.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <atomic>
#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "Fetch.h"
#include "SampleService.h"

namespace orvane::sample {
namespace {

using namespace std::chrono_literals;
using testing::Fetch;
using Json = nlohmann::json;

Catalogue OneAlbum() {
  Catalogue catalogue;
  Album album;
  album.id = "42";
  album.title = "Album";
  for (int n = 1; n <= 3; ++n) {
    Track track;
    track.id = "420" + std::to_string(n);
    track.title = "Track " + std::to_string(n);
    track.audioSize = 20000;
    album.tracks.push_back(track);
  }
  catalogue.albums = {album};
  return catalogue;
}

bool IsJson(const std::string& text) { return !Json::parse(text, nullptr, false).is_discarded(); }

// Polls the request log until it holds `count` targets, for at most ten seconds.
bool WaitForRequests(const SampleService& service, std::size_t count) {
  for (int i = 0; i < 1000; ++i) {
    if (service.Requests().size() >= count) return true;
    std::this_thread::sleep_for(10ms);
  }
  return false;
}

TEST(SampleFaults, EachKindAnswersAsDescribed) {
  SampleService service(OneAlbum());
  const std::string record = "http://" + service.Host() + "/tracks/4201.json";
  const std::string normal = Fetch(record).body;
  ASSERT_TRUE(IsJson(normal));

  Fault status500;
  Fault status404;
  status404.status = 404;
  Fault notJson;
  notJson.kind = Fault::Kind::NotJson;
  Fault cutShort;
  cutShort.kind = Fault::Kind::CutShort;
  Fault stall;
  stall.kind = Fault::Kind::Stall;
  stall.delay = 200ms;
  Fault slow;
  slow.kind = Fault::Kind::Slow;
  slow.delay = 100ms;

  const struct {
    const char* name;
    Fault fault;
    CURLcode code;
    long status;
    bool json;
    std::string body;  // empty: not compared
  } cases[] = {
      {"status 500", status500, CURLE_OK, 500, false, ""},
      {"status 404", status404, CURLE_OK, 404, false, ""},
      {"not JSON", notJson, CURLE_OK, 200, false, ""},
      {"cut short", cutShort, CURLE_PARTIAL_FILE, 200, false, normal.substr(0, normal.size() / 2)},
      {"stall", stall, CURLE_PARTIAL_FILE, 200, false, normal.substr(0, normal.size() / 2)},
      {"slow", slow, CURLE_OK, 200, true, normal},
  };
  for (const auto& c : cases) {
    service.SetFault("/tracks/", c.fault);
    const auto fetched = Fetch(record);
    EXPECT_EQ(fetched.code, c.code) << c.name;
    EXPECT_EQ(fetched.status, c.status) << c.name;
    EXPECT_EQ(IsJson(fetched.body), c.json) << c.name;
    if (!c.body.empty()) {
      EXPECT_EQ(fetched.body, c.body) << c.name;
    }
    if (c.code == CURLE_PARTIAL_FILE) {
      EXPECT_EQ(fetched.contentLength, static_cast<long long>(normal.size())) << c.name;
    }
    if (!c.json && c.code == CURLE_OK) {
      EXPECT_EQ(fetched.contentType.rfind("text/html", 0), 0u) << c.name;
      EXPECT_NE(fetched.body.find("<html>"), std::string::npos) << c.name;
    }
  }
}

TEST(SampleFaults, PrefixesTimesAndClearing) {
  SampleService service(OneAlbum());
  const std::string base = "http://" + service.Host();
  Fault broad;
  broad.status = 500;
  Fault narrow;
  narrow.status = 404;
  narrow.times = 2;
  service.SetFault("/tracks/", broad);
  service.SetFault("/tracks/4202", narrow);

  EXPECT_EQ(Fetch(base + "/tracks/4201.json").status, 500);
  EXPECT_EQ(Fetch(base + "/tracks/4202.json").status, 404) << "the longest prefix wins";
  EXPECT_EQ(Fetch(base + "/tracks/4202.json").status, 404);
  EXPECT_EQ(Fetch(base + "/tracks/4202.json").status, 500) << "used up after two requests";
  EXPECT_EQ(Fetch(base + "/album/more_tracks?url=%2Falbum%2Fmore_tracks&aid=42&page=1").status, 200);
  service.ClearFaults();
  EXPECT_EQ(Fetch(base + "/tracks/4201.json").status, 200);
}

TEST(SampleFaults, LargeAudioIsCutShortMidway) {
  Catalogue catalogue = OneAlbum();
  catalogue.albums[0].tracks[0].audioSize = 3'000'000;
  SampleService service(catalogue);
  Fault cut;
  cut.kind = Fault::Kind::CutShort;
  service.SetFault("/audio/", cut);
  const auto fetched = Fetch(service.AudioUrl("4201", Quality::High));
  EXPECT_EQ(fetched.code, CURLE_PARTIAL_FILE);
  EXPECT_EQ(fetched.contentLength, 3'000'000);
  EXPECT_EQ(fetched.body, SampleService::AudioBytes("4201", Quality::High, 3'000'000).substr(0, 1'500'000));
}

TEST(SampleFaults, DestructorEndsAStallAndASlowAnswerInProgress) {
  auto service = std::make_unique<SampleService>(OneAlbum());
  Fault stall;
  stall.kind = Fault::Kind::Stall;
  stall.delay = 600s;  // far beyond the test's time limit: only the shutdown can end it
  Fault slow;
  slow.kind = Fault::Kind::Slow;
  slow.delay = 600s;
  service->SetFault("/audio/", stall);
  service->SetFault("/tracks/", slow);
  std::atomic<std::size_t> arrived = 0;
  auto stalled = std::async(std::launch::async, [&arrived, url = service->AudioUrl("4201", Quality::High)] {
    return Fetch(url, [&arrived](const char*, std::size_t n) { arrived += n; });
  });
  auto waiting = std::async(std::launch::async, [url = "http://" + service->Host() + "/tracks/4201.json"] {
    return Fetch(url);
  });
  ASSERT_TRUE(WaitForRequests(*service, 2));
  for (int i = 0; i < 1000 && arrived < 10000; ++i) std::this_thread::sleep_for(10ms);
  ASSERT_EQ(arrived, 10000u) << "the first half arrives before the silence";
  service.reset();
  const auto stalledResult = stalled.get();
  EXPECT_EQ(stalledResult.code, CURLE_PARTIAL_FILE);
  EXPECT_EQ(stalledResult.received, 10000u);
  EXPECT_NE(waiting.get().status, 200);
}

TEST(SampleRaw, ExactTargetGetsExactAnswer) {
  SampleService service(OneAlbum());
  const std::string target = "/search/album/kw/x/page/1/sc/true.ajax";
  const std::string body = "{\"html\":\"<UL CLASS=\\\"odd\\\">\\n rel='nex'\"}";
  service.SetRaw(target, RawResponse{201, "text/plain; charset=gbk", body});

  const auto raw = Fetch("http://" + service.Host() + target);
  EXPECT_EQ(raw.status, 201);
  EXPECT_EQ(raw.contentType, "text/plain; charset=gbk");
  EXPECT_EQ(raw.body, body);
  const auto other = Fetch("http://" + service.Host() + "/search/album/kw/x/page/2/sc/true.ajax");
  EXPECT_EQ(other.status, 200);
  EXPECT_NE(other.body, body);

  Fault cut;
  cut.kind = Fault::Kind::CutShort;
  service.SetFault(target, cut);
  EXPECT_EQ(Fetch("http://" + service.Host() + target).body, body.substr(0, body.size() / 2))
      << "faults apply to raw answers too";
  service.ClearFaults();
  service.ClearRaw();
  EXPECT_NE(Fetch("http://" + service.Host() + target).body, body);
}

TEST(SampleLog, TargetsInArrivalOrderAsSent) {
  SampleService service(OneAlbum());
  const std::vector<std::string> targets = {
      "/search/album/kw/%E4%B8%AD%20x/page/1/sc/true.ajax",
      "/album/more_tracks?url=%2Falbum%2Fmore_tracks&aid=42&page=1",
      "/album/more_tracks?url=%2Falbum%2Fmore_tracks&aid=42&page=3",
      "/tracks/4201.json",
      "/no/such/thing",
      "/tracks/4201.json",
  };
  Fault broken;
  service.SetFault("/tracks/", broken);
  for (const std::string& target : targets) Fetch("http://" + service.Host() + target);
  EXPECT_EQ(service.Requests(), targets);
  service.ClearRequests();
  EXPECT_TRUE(service.Requests().empty());
}

TEST(SampleLog, ConcurrentRequestsAreAllLogged) {
  SampleService service(OneAlbum());
  std::vector<std::future<testing::Fetched>> fetches;
  for (int i = 0; i < 12; ++i) {
    fetches.push_back(std::async(std::launch::async, [&service, i] {
      return Fetch("http://" + service.Host() + "/tracks/420" + std::to_string(i % 3 + 1) + ".json");
    }));
  }
  for (auto& fetch : fetches) EXPECT_EQ(fetch.get().status, 200);
  EXPECT_EQ(service.Requests().size(), 12u);
}

}  // namespace
}  // namespace orvane::sample
