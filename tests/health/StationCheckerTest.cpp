// The checker against loopback servers: each kind of answer a station can
// give, and a large check that stays within its connection limit.

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <map>
#include <mutex>
#include <thread>

#include "health/StationChecker.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/Ports.h"
#include "tests/support/RtspTestServer.h"
#include "tests/support/StreamRoutes.h"
#include "tests/support/TestMedia.h"

namespace telvanta::health {
namespace {

using test::HttpConnection;
using test::HttpRequest;
using test::LoopbackHttpServer;

LoopbackHttpServer::Route Answer(std::string type, std::string body) {
  return [type, body](const HttpRequest&, HttpConnection& connection) {
    connection.Send("HTTP/1.0 200 OK\r\nContent-Type: " + type +
                    "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
  };
}

// A Windows Media server answers only a player's request.
LoopbackHttpServer::Route MmshServer() {
  return [](const HttpRequest& request, HttpConnection& connection) {
    if (!request.Header("user-agent").starts_with("NSPlayer/") ||
        request.Header("pragma").find("xClientGUID") == std::string::npos) {
      connection.Send("HTTP/1.0 403 Forbidden\r\nContent-Length: 0\r\n\r\n");
      return;
    }
    const std::string asfHeader(
        "\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C"
        "\x00\x00\x00\x00",
        20);
    connection.Send("HTTP/1.0 200 OK\r\nContent-Type: application/vnd.ms.wms-hdr.asfv1\r\n\r\n" +
                    asfHeader);
  };
}

// Answers like a radio station, then sends one byte every 100 ms: it answered,
// but no player could play from it.
LoopbackHttpServer::Route Trickle() {
  return [](const HttpRequest&, HttpConnection& connection) {
    if (!connection.Send("HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\n\r\n")) {
      return;
    }
    while (!connection.Stopping() && connection.Send(std::string(1, '\xFF'))) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
  };
}

struct Collected {
  std::map<std::size_t, CheckOutcome> outcomes;
  std::size_t lastDone = 0;
  std::size_t lastTotal = 0;
  int reports = 0;
};

Collected Check(const std::vector<std::string>& urls, const CheckLimits& limits) {
  Collected collected;
  std::atomic<bool> cancel{false};
  CheckCallbacks callbacks;
  callbacks.result = [&](std::size_t index, const CheckOutcome& outcome) {
    collected.outcomes[index] = outcome;
    ++collected.reports;
  };
  callbacks.progress = [&](std::size_t done, std::size_t total) {
    collected.lastDone = done;
    collected.lastTotal = total;
  };
  CheckStations(urls, limits, callbacks, cancel);
  return collected;
}

CheckLimits ShortLimits() {
  CheckLimits limits;
  limits.connectTimeout = std::chrono::seconds(1);
  limits.answerTimeout = std::chrono::seconds(2);
  return limits;
}

class StationCheckerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server_.AddRoute("/icy", test::IcyMp3Route(test::Media().folder / test::TestMedia::kMp3, 8000,
                                               "Loopback FM", "Tone"));
    server_.AddRoute("/silent", test::SilentRoute());
    server_.AddRoute("/trickle", Trickle());
    server_.AddRoute("/stream", LoopbackHttpServer::Endless());
    server_.AddRoute("/mmsh", MmshServer());
    server_.AddRoute("/station.m3u", Answer("audio/x-mpegurl", "#EXTM3U\n#EXTINF:-1,FM\nicy\n"));
    server_.AddRoute("/dead.pls", Answer("audio/x-scpls", "[playlist]\nFile2=" + Url("/icy") +
                                                              "\nFile1=" + Url("/gone.mp3") +
                                                              "\nNumberOfEntries=2\n"));
    server_.AddRoute("/listen.php", Answer("text/plain", "[playlist]\nFile1=/stream\n"));
    server_.AddRoute("/page", Answer("text/html", "<!DOCTYPE html><html><body>Radio</body>"));
  }

  std::string Url(const std::string& path) const { return server_.Url(path); }
  LoopbackHttpServer server_{test::Media().folder};
};

TEST_F(StationCheckerTest, EachKindOfAnswerHasItsOutcome) {
  test::RtspTestServer rtsp;
  const std::string refused = "http://127.0.0.1:" + std::to_string(test::ClosedPort()) + "/";
  const std::string mms = "mms://127.0.0.1:" + std::to_string(server_.Port()) + "/mmsh";
  const struct {
    std::string url;
    CheckOutcome expected;
  } cases[] = {
      {Url("/hls/index.m3u8"), Alive()},  // HLS: list, then its first segment
      {Url("/icy"), Alive()},
      {Url("/station.m3u"), Alive()},  // relative entry
      {Url("/listen.php"), Alive()},   // a playlist told by its text alone
      {mms, Alive()},
      {rtsp.Url(), Alive()},
      {Url("/missing.mp3"), Failed("404 Not Found")},
      {refused, Failed("Connection refused")},
      {"rtsp://127.0.0.1:" + std::to_string(test::ClosedPort()) + "/x",
       Failed("Connection refused")},
      {Url("/silent"), Failed("No answer within 2 s")},
      // Once taken as alive from its first 16 bytes.
      {Url("/trickle"), Failed("Too slow to play")},
      {Url("/dead.pls"), Failed("Playlist entry failed: 404 Not Found")},
      {Url("/page"), Failed("A web page, not a stream")},
      {"rtmp://127.0.0.1/live", {CheckVerdict::Unchecked, "rtmp:// is not checked"}},
  };
  std::vector<std::string> urls;
  for (const auto& c : cases) {
    urls.push_back(c.url);
  }
  const Collected collected = Check(urls, ShortLimits());
  ASSERT_EQ(collected.reports, static_cast<int>(urls.size()));
  EXPECT_EQ(collected.lastDone, urls.size());
  EXPECT_EQ(collected.lastTotal, urls.size());
  for (std::size_t i = 0; i < urls.size(); ++i) {
    EXPECT_EQ(collected.outcomes.at(i), cases[i].expected) << cases[i].url;
  }
}

// Two hundred stations, some of which never answer: all are reported once,
// within their time-outs, and the servers never see more than eight
// connections at once.
TEST_F(StationCheckerTest, ManyStationsKeepTheConnectionLimit) {
  const std::string refused = "http://127.0.0.1:" + std::to_string(test::ClosedPort()) + "/";
  std::vector<std::string> urls;
  for (int i = 0; i < 200; ++i) {
    const char* paths[] = {"/stream", "/missing", "/listen.php", "/stream", "/dead.pls"};
    urls.push_back(i % 10 == 9 ? Url("/silent") : i % 10 == 7 ? refused : Url(paths[i % 5]));
  }
  const auto start = std::chrono::steady_clock::now();
  const Collected collected = Check(urls, ShortLimits());
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(collected.reports, 200);
  EXPECT_EQ(collected.outcomes.size(), 200U);
  EXPECT_LE(server_.MostConnectionsAtOnce(), 8);
  EXPECT_GE(server_.MostConnectionsAtOnce(), 2);
  // 20 silent stations, 8 at a time, 2 s each: about 6 s; never one after another.
  EXPECT_LT(elapsed, std::chrono::seconds(30));
}

TEST_F(StationCheckerTest, CancelEndsTheCheckWithoutTheRest) {
  StationChecker checker(ShortLimits());
  std::vector<std::string> urls(40, Url("/silent"));
  urls.front() = Url("/missing");
  std::promise<bool> finished;
  std::atomic<int> reports{0};
  CheckCallbacks callbacks;
  callbacks.result = [&](std::size_t, const CheckOutcome&) { ++reports; };
  checker.Start(urls, callbacks, [&](bool cancelled) { finished.set_value(cancelled); });
  while (reports.load() == 0) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  checker.Cancel();
  auto done = finished.get_future();
  ASSERT_EQ(done.wait_for(std::chrono::seconds(2)), std::future_status::ready);
  EXPECT_TRUE(done.get());
  EXPECT_LT(reports.load(), 40);
}

}  // namespace
}  // namespace telvanta::health
