#include "platform/HttpFetch.h"

#include "platform/CurlTransfer.h"
#include "support/RawHttpServer.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <thread>

namespace orvane {
namespace {

using namespace std::literals;
using test::RawHttpServer;
using test::Response;
using test::Answer;
using test::Script;


FetchOptions ShortIdle() {
  FetchOptions options;
  options.idleTimeout = 300ms;
  return options;
}

struct Limits {
  std::chrono::milliseconds idle = 30s;
  std::size_t maxBytes = 0;
};
constexpr Limits kShortIdle{300ms, 0};
constexpr Limits kCapped{30s, 4};

struct FetchCase {
  std::string name;
  std::vector<Script> scripts;
  Limits limits;
  std::optional<std::string> expected;

  FetchOptions options() const {
    FetchOptions options;
    options.idleTimeout = limits.idle;
    options.maxBytes = limits.maxBytes;
    return options;
  }
};

std::vector<FetchCase> FetchCases() {
  std::string big(300 * 1024, 'b');
  big[12345] = '\0';
  return {
      {"success", {Answer("200 OK", "bytes\0here"s)}, {}, "bytes\0here"s},
      {"large body", {Answer("200 OK", big)}, {}, big},
      {"empty body", {Answer("204 No Content", "")}, {}, ""},
      {"redirect followed", {Answer("302 Found", "page", "Location: /real\r\n"), Answer("200 OK", "real")}, {}, "real"},
      // A redirect's own page is never read: one that never ends does no harm.
      {"redirect whose page never ends",
       {Script().Send("HTTP/1.1 302 Found\r\nLocation: /real\r\nContent-Length: 1000000000\r\n\r\npage").Delay(10s),
        Answer("200 OK", "real")},
       kShortIdle, "real"},
      {"chunked", {Script().Send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n2\r\nde\r\n0\r\n\r\n")},
       {}, "abcde"},
      {"404", {Answer("404 Not Found", "not here")}, {}, std::nullopt},
      {"500", {Answer("500 Internal Server Error", "oops")}, {}, std::nullopt},
      {"redirect without target", {Answer("302 Found", "page")}, {}, std::nullopt},
      {"redirect to another scheme", {Answer("302 Found", "", "Location: ftp://x/\r\n")}, {}, std::nullopt},
      {"endless redirects", {Answer("302 Found", "", "Location: /again\r\n")}, {}, std::nullopt},
      {"cut short", {Script().Send("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\npartial").Close()}, {}, std::nullopt},
      {"closed without an answer", {Script().Close()}, {}, std::nullopt},
      {"stall in the body", {Script().Send("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\npartial").Delay(10s)},
       kShortIdle, std::nullopt},
      {"stall before the answer", {Script().Delay(10s)}, kShortIdle, std::nullopt},
      {"at the cap", {Answer("200 OK", "1234")}, kCapped, "1234"},
      {"over the cap", {Answer("200 OK", "12345")}, kCapped, std::nullopt},
  };
}

TEST(HttpFetchTest, FetchBytesAnswersTheBodyOrNothing) {
  for (const FetchCase& c : FetchCases()) {
    SCOPED_TRACE(c.name);
    RawHttpServer server(c.scripts);
    EXPECT_EQ(FetchBytes(server.Url("/f"), c.options()), c.expected);
  }
}

TEST(HttpFetchTest, AStallTheTransferSurvivesWhenEachPieceComesInTime) {
  Script trickle;
  trickle.Send("HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\n");
  for (const char c : "slow"s) trickle.Delay(120ms).Send(std::string(1, c));
  RawHttpServer server({trickle});
  EXPECT_EQ(FetchBytes(server.Url("/"), ShortIdle()), "slow");
}

TEST(HttpFetchTest, RefusedAndMalformedAddresses) {
  EXPECT_EQ(FetchBytes("http://127.0.0.1:" + std::to_string(test::UnusedPort()) + "/"), std::nullopt);
  EXPECT_EQ(FetchBytes(""), std::nullopt);
  EXPECT_EQ(FetchBytes("file:///etc/passwd"), std::nullopt);
}

TEST(HttpFetchTest, RequestIsAPlainGetOfThePreparedAddress) {
  RawHttpServer server({Answer("200 OK", "x")});
  ASSERT_TRUE(FetchBytes(server.Url("/a b/\xD6\xD0.m4a")).has_value());  // 中 in GBK
  ASSERT_EQ(server.Requests().size(), 1u);
  EXPECT_EQ(server.Requests()[0], "GET /a%20b/%E4%B8%AD.m4a HTTP/1.1\r\nHost: " + server.HostPort() + "\r\nAccept: */*\r\n\r\n");
}

// Every handle the transfers share keeps a proxy's answer to CONNECT away from the sinks: taken
// for the response, its "200" and blank line would pass any status for the real answer.
TEST(HttpFetchTest, ATunnellingProxysAnswerNeverReachesTheSink) {
  RawHttpServer proxy([](const std::string& request, std::size_t) {
    return request.starts_with("CONNECT ") ? Script().Send("HTTP/1.1 200 Connection established\r\n\r\n")
                                           : Answer("404 Not Found", "tunnelled");
  });
  struct Recorder final : http::TransferSink {
    bool OnHeaderLine(std::string_view line) override {
      headers.append(line);
      return true;
    }
    bool OnBody(std::string_view bytes) override {
      body.append(bytes);
      return true;
    }
    std::string headers;
    std::string body;
  } sink;
  http::EasyHandle easy = http::NewEasyHandle(5s);
  ASSERT_TRUE(easy);
  const std::string proxyUrl = proxy.Url("");
  // Tunnelling plain http through CONNECT takes the same path as any https address through a proxy.
  curl_easy_setopt(easy.get(), CURLOPT_PROXY, proxyUrl.c_str());
  curl_easy_setopt(easy.get(), CURLOPT_HTTPPROXYTUNNEL, 1L);
  curl_easy_setopt(easy.get(), CURLOPT_URL, "http://orvane.invalid/x");
  http::TransferDriver driver;
  const http::TransferOutcome outcome = driver.Run(easy.get(), sink, {5s, {}});
  EXPECT_EQ(outcome.end, http::TransferEnd::Completed);
  EXPECT_EQ(outcome.code, CURLE_OK);
  EXPECT_EQ(sink.headers, "HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n\r\n");
  EXPECT_EQ(sink.body, "tunnelled");
  const std::vector<std::string> requests = proxy.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_TRUE(requests[0].starts_with("CONNECT orvane.invalid:80 HTTP/1.1\r\n")) << requests[0];
  EXPECT_TRUE(requests[1].starts_with("GET /x HTTP/1.1\r\n")) << requests[1];
}

class FetchToFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("orvane-fetch-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  static std::string Read(const std::filesystem::path& path) {
    std::string bytes(std::filesystem::file_size(path), '\0');
    std::ifstream in(path, std::ios::binary);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bytes;
  }
  // The names in the folder: the target only, never a temporary left over.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder_)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }

  std::filesystem::path folder_;
};

TEST_F(FetchToFileTest, SavesOnlyACompleteFetchAndKeepsTheOldFileOtherwise) {
  const std::filesystem::path target = folder_ / "track.m4a";
  {
    std::ofstream(target, std::ios::binary) << "old audio";
  }
  for (const FetchCase& c : FetchCases()) {
    SCOPED_TRACE(c.name);
    RawHttpServer server(c.scripts);
    const SaveResult result = FetchToFile(server.Url("/f"), target, c.options());
    // An empty answer is no file: it never replaces one either.
    const bool saved = c.expected.has_value() && !c.expected->empty();
    EXPECT_EQ(result, saved ? SaveResult::Saved : SaveResult::FetchFailed);
    const std::string now = Read(target);
    EXPECT_EQ(now, saved ? *c.expected : std::string("old audio"));
    EXPECT_EQ(Names(), std::vector<std::string>{"track.m4a"});
    std::ofstream(target, std::ios::binary | std::ios::trunc) << "old audio";
  }
}

TEST_F(FetchToFileTest, CreatesANewFileWithOrdinaryPermissions) {
  RawHttpServer server({Answer("200 OK", "fresh")});
  const std::filesystem::path target = folder_ / "new.mp3";
  EXPECT_EQ(FetchToFile(server.Url("/"), target), SaveResult::Saved);
  EXPECT_EQ(Read(target), "fresh");
  const auto permissions = std::filesystem::status(target).permissions();
  EXPECT_NE(permissions & std::filesystem::perms::owner_read, std::filesystem::perms::none);
  EXPECT_NE(permissions & std::filesystem::perms::others_read, std::filesystem::perms::none);  // umask 022 or laxer
}

TEST_F(FetchToFileTest, CancelLeavesTheOldFileAndNoTemporary) {
  const std::filesystem::path target = folder_ / "track.m4a";
  std::ofstream(target, std::ios::binary) << "old audio";
  RawHttpServer server({Script().Send("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\nsome").Delay(20s)});
  std::stop_source stop;
  FetchOptions options;
  options.stop = stop.get_token();
  std::thread stopper([&] {
    server.WaitForRequests(1);
    stop.request_stop();
  });
  EXPECT_EQ(FetchToFile(server.Url("/"), target, options), SaveResult::Cancelled);
  stopper.join();
  EXPECT_EQ(Read(target), "old audio");
  EXPECT_EQ(Names(), std::vector<std::string>{"track.m4a"});
}

TEST_F(FetchToFileTest, AFolderThatDoesNotExistIsAWriteFailure) {
  RawHttpServer server({Answer("200 OK", "x")});
  EXPECT_EQ(FetchToFile(server.Url("/"), folder_ / "missing" / "t.m4a"), SaveResult::WriteFailed);
  EXPECT_TRUE(server.Requests().empty());
}

TEST_F(FetchToFileTest, ATargetThatCannotBeReplacedIsAWriteFailure) {
  const std::filesystem::path target = folder_ / "taken";
  std::filesystem::create_directories(target / "inside");
  RawHttpServer server({Answer("200 OK", "x")});
  EXPECT_EQ(FetchToFile(server.Url("/"), target), SaveResult::WriteFailed);
  EXPECT_EQ(Names(), std::vector<std::string>{"taken"});
}

// A write that fails halfway (the file-size limit stands in for a full disk) keeps the old file.
TEST_F(FetchToFileTest, AFailedWriteKeepsTheOldFile) {
  const std::filesystem::path target = folder_ / "track.m4a";
  std::ofstream(target, std::ios::binary) << "old audio";
  RawHttpServer server({Answer("200 OK", std::string(512 * 1024, 'a'))});
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit small = saved;
  small.rlim_cur = 64 * 1024;
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const SaveResult result = FetchToFile(server.Url("/"), target);
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);
  EXPECT_EQ(result, SaveResult::WriteFailed);
  EXPECT_EQ(Read(target), "old audio");
  EXPECT_EQ(Names(), std::vector<std::string>{"track.m4a"});
}

}  // namespace
}  // namespace orvane
