// The health core without a network: the store on a real file, the rules the
// list shows, a playlist's first entry and a play's own outcome.

#include <gtest/gtest.h>

#include "common/Error.h"
#include "health/HealthBook.h"
#include "health/HealthRules.h"
#include "health/HealthStore.h"
#include "health/PlayWatch.h"
#include "health/StreamProbe.h"
#include "tests/support/TempFolder.h"

namespace telvanta::health {
namespace {

constexpr std::int64_t kNow = 1'800'000'000;
constexpr std::int64_t kHour = 3600;

CheckEntry AliveAt(std::int64_t at) { return {at, true, ""}; }
CheckEntry FailedAt(std::int64_t at, std::string reason) { return {at, false, std::move(reason)}; }

TEST(HealthStoreTest, KeepsTheLastTwoChecksAcrossReopening) {
  test::TempFolder folder;
  const auto file = folder / "health.db";
  {
    HealthStore store(file);
    store.Record("http://a/", FailedAt(kNow - 3 * kHour, "Connection refused"));
    store.Record("http://a/", AliveAt(kNow - 2 * kHour));
    store.Record("http://a/", FailedAt(kNow - kHour, "404 Not Found"));
    store.Record("http://b/", FailedAt(kNow - kHour, "Empty reply"));
  }
  const HealthMap map = HealthStore(file).LoadAll();
  ASSERT_EQ(map.size(), 2U);
  EXPECT_EQ(map.at("http://a/"),
            (StationHealth{FailedAt(kNow - kHour, "404 Not Found"), AliveAt(kNow - 2 * kHour)}));
  EXPECT_EQ(map.at("http://b/"), (StationHealth{FailedAt(kNow - kHour, "Empty reply"), {}}));
}

// A file that is not a database costs the health marks, not the program, and
// is left as it was for the user to look at.
TEST(HealthStoreTest, ADamagedFileIsReportedAndLeftAlone) {
  test::TempFolder folder;
  const auto file = folder / "health.db";
  const std::string garbage(4096, '\x5a');
  test::WriteFile(file, garbage);
  EXPECT_THROW(HealthStore store(file), Error);
  HealthBook book(file);
  EXPECT_NE(book.Problem().find(file.string()), std::string::npos) << book.Problem();
  book.Record("http://a/", Failed("404 Not Found"), kNow);
  book.Record("http://a/", Failed("404 Not Found"), kNow);
  EXPECT_TRUE(FailedLastTwo(book.Health("http://a/")));
  EXPECT_EQ(test::ReadFile(file), garbage);
}

TEST(HealthBookTest, RecordsWriteThroughAndSkipUncheckedOutcomes) {
  test::TempFolder folder;
  const auto file = folder / "health.db";
  std::vector<std::string> changed;
  {
    HealthBook book(file);
    EXPECT_EQ(book.Problem(), "");
    book.OnChange([&](const std::string& url) { changed.push_back(url); });
    book.Record("http://a/", Failed("404 Not Found"), kNow - kHour);
    book.Record("rtmp://b/", {CheckVerdict::Unchecked, "rtmp:// is not checked"}, kNow);
    book.Record("http://a/", Failed("Connection refused"), kNow);
  }
  EXPECT_EQ(changed, (std::vector<std::string>{"http://a/", "http://a/"}));
  HealthBook reopened(file);
  EXPECT_TRUE(FailedLastTwo(reopened.Health("http://a/")));
  EXPECT_EQ(reopened.Health("rtmp://b/"), StationHealth{});
}

TEST(HealthRulesTest, StateLastTwoAndTip) {
  const struct {
    StationHealth health;
    HealthState state;
    bool failedTwice;
    std::string tip;
  } cases[] = {
      {{}, HealthState::Unknown, false, "Not checked yet"},
      {{AliveAt(kNow - 300), {}}, HealthState::Alive, false, "Alive, 5 minutes ago"},
      {{FailedAt(kNow - 2 * kHour, "404 Not Found"), AliveAt(kNow - 5 * kHour)},
       HealthState::FailedRecently,
       false,
       "404 Not Found, 2 hours ago"},
      {{FailedAt(kNow - 2 * kHour, "404 Not Found"), FailedAt(kNow - 30 * kHour, "Empty reply")},
       HealthState::FailedRecently,
       true,
       "404 Not Found, 2 hours ago\nFailed before too: Empty reply, 1 day ago"},
      {{AliveAt(kNow - 40 * 24 * kHour), FailedAt(kNow - 41 * 24 * kHour, "Empty reply")},
       HealthState::Unknown,
       false,
       "Alive, 5 weeks ago"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StateOf(c.health, kNow), c.state) << c.tip;
    EXPECT_EQ(FailedLastTwo(c.health), c.failedTwice) << c.tip;
    EXPECT_EQ(HealthTip(c.health, kNow), c.tip);
  }
}

TEST(HealthRulesTest, RelativeTime) {
  const std::pair<std::int64_t, const char*> cases[] = {
      {-30, "just now"},           {59, "just now"},
      {60, "1 minute ago"},        {3599, "59 minutes ago"},
      {3600, "1 hour ago"},        {86399, "23 hours ago"},
      {86400, "1 day ago"},        {13 * 86400, "13 days ago"},
      {14 * 86400, "2 weeks ago"},
  };
  for (const auto& [ago, text] : cases) {
    EXPECT_EQ(RelativeTime(kNow - ago, kNow), text) << ago;
  }
}

TEST(StreamProbeTest, PlaylistsAndTheirFirstEntry) {
  const std::string base = "http://radio.example/lists/";
  const struct {
    std::string address;
    std::string type;
    std::string body;
    BodyKind kind;
    std::optional<std::string> entry;
  } cases[] = {
      {base + "a.m3u8", "application/vnd.apple.mpegurl",
       "#EXTM3U\n#EXT-X-STREAM-INF:BANDWIDTH=1\nlow/index.m3u8\n", BodyKind::LineList,
       base + "low/index.m3u8"},
      {base + "a.pls", "audio/x-scpls", "[playlist]\r\nFile3=http://x/3\r\nFile1=http://x/1\r\n",
       BodyKind::KeyList, "http://x/1"},
      {base + "a.asx", "video/x-ms-asf", "[Reference]\r\nRef1=http://wm.example/s?MSWMExt=.asf\r\n",
       BodyKind::KeyList, "http://wm.example/s?MSWMExt=.asf"},
      {base + "a.asx", "video/x-ms-asf",
       "<ASX version=\"3.0\"><Entry><Ref href=\"mms://wm.example/live\"/></Entry></ASX>",
       BodyKind::XmlList, "mms://wm.example/live"},
      {base + "tune.php", "text/plain", "\xEF\xBB\xBF#EXTM3U\n\n/abs/stream\n", BodyKind::LineList,
       "http://radio.example/abs/stream"},
      {base + "empty.m3u", "audio/x-mpegurl", "#EXTM3U\n#EXTINF:-1,Nothing\n", BodyKind::LineList,
       std::nullopt},
      {base + "page", "text/html; charset=utf-8", "  <!doctype html><html>", BodyKind::WebPage,
       std::nullopt},
      {base + "odd.m3u", "audio/mpeg", std::string("ID3\x03\x00\x00", 6), BodyKind::Stream,
       std::nullopt},
  };
  for (const auto& c : cases) {
    const BodyKind kind = ClassifyBody(c.address, c.type, c.body);
    EXPECT_EQ(kind, c.kind) << c.address;
    EXPECT_EQ(FirstEntry(kind, c.body, c.address), c.entry) << c.address;
  }
  EXPECT_TRUE(MayBePlaylist("http://x/a.pls", "audio/mpeg"));
  EXPECT_TRUE(MayBePlaylist("http://x/tune", "text/plain"));
  EXPECT_FALSE(MayBePlaylist("http://x/tune", "audio/mpeg"));
}

TEST(PlayWatchTest, APlayCountsOnceAsACheck) {
  using platform::PlayerPhase;
  using Players = std::vector<PlayerState>;
  const Players connecting{{PlayerPhase::Connecting, ""}};
  const Players playing{{PlayerPhase::Failed, "x"}, {PlayerPhase::Playing, ""}};
  const Players failed{{PlayerPhase::Failed, "The server \"h\" refused the connection."}};
  PlayWatch watch;
  watch.Began("http://h/live");
  EXPECT_EQ(watch.Update(connecting), std::nullopt);
  EXPECT_EQ(watch.Update(failed),
            (std::pair<std::string, CheckOutcome>{
                "http://h/live", Failed("The server \"h\" refused the connection")}));
  EXPECT_EQ(watch.Update(playing), std::nullopt);  // decided for this play
  watch.Began("http://h/live");
  EXPECT_EQ(watch.Update(playing),
            (std::pair<std::string, CheckOutcome>{"http://h/live", Alive()}));
  watch.Began("/home/user/clip.wmv");  // not a station
  EXPECT_EQ(watch.Update(failed), std::nullopt);
}

}  // namespace
}  // namespace telvanta::health
