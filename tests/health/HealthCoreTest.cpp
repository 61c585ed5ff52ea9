// The health core without a network: the store on a real file, the rules the
// list shows, a playlist's first entry and a play's own outcome.

#include <glib.h>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <thread>

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

// Runs the default main loop, where the book tells its troubles, until
// `done` holds; false after a generous while.
bool Until(const std::function<bool()>& done) {
  for (int i = 0; i < 2000 && !done(); ++i) {
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return done();
}

std::string ModeOf(const std::filesystem::path& path) {
  struct stat st {};
  ::stat(path.c_str(), &st);
  char text[8];
  std::snprintf(text, sizeof text, "%04o", st.st_mode & 07777);
  return text;
}

// Fault: a damaged file was reported at every start and never set aside,
// so the marks were gone for good. It costs the earlier marks once.
TEST(HealthBookTest, ADamagedFileIsSetAsideOnceAndANewOneBegun) {
  struct Case {
    const char* what;
    std::function<void(const std::filesystem::path&)> damage;
    const char* reason;
  };
  const Case cases[] = {
      {"not a database",
       [](const std::filesystem::path& file) { test::WriteFile(file, std::string(4096, 'Z')); },
       "file is not a database"},
      {"a page zeroed",
       [](const std::filesystem::path& file) {
         {
           HealthStore store(file);
           std::vector<HealthResult> results;
           for (int i = 0; i < 500; ++i) {
             results.push_back({"http://station/" + std::to_string(i), AliveAt(kNow)});
           }
           store.Record(results);
         }
         std::string bytes = test::ReadFile(file);
         ASSERT_GT(bytes.size(), 4U * 4096);
         std::fill_n(bytes.begin() + 2 * 4096, 4096, '\0');
         test::WriteFile(file, bytes);
       },
       "database disk image is malformed"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    test::TempFolder folder;
    const auto file = folder / "health.db";
    c.damage(file);
    const std::string damaged = test::ReadFile(file);
    std::vector<std::string> told;
    {
      HealthBook book(file);
      book.OnTrouble([&](const std::string& text) { told.push_back(text); });
      EXPECT_EQ(book.Problem(), "");
      ASSERT_TRUE(Until([&] { return !told.empty(); }));
      EXPECT_EQ(told, std::vector<std::string>{"The station health file \"" + file.string() +
                                               "\" is damaged (" + c.reason +
                                               "). It was set aside as \"" + file.string() +
                                               ".damaged\" and a new one begun."});
      book.Record("http://a/", Failed("404 Not Found"), kNow);
    }
    EXPECT_EQ(test::ReadFile(folder / "health.db.damaged"), damaged);
    HealthBook reopened(file);
    reopened.OnTrouble([&](const std::string& text) { told.push_back(text); });
    EXPECT_EQ(reopened.Health("http://a/"), (StationHealth{FailedAt(kNow, "404 Not Found"), {}}));
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
    EXPECT_EQ(told.size(), 1U) << "said once";
  }
}

// Fault: a locked file held the UI thread for its busy time-out, then the
// store was dropped with the check's results, and the reason came only with
// the next check. The writer keeps them until the file takes them.
TEST(HealthBookTest, ChecksMetByALockedFileAreKeptUntilItIsFreeAndToldOnce) {
  test::TempFolder folder;
  const auto file = folder / "health.db";
  HealthStore(file).Record("http://old/", AliveAt(kNow - kHour));
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(file.c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
  std::vector<std::string> told;
  {
    HealthBook book(file);
    book.OnTrouble([&](const std::string& text) { told.push_back(text); });
    EXPECT_EQ(book.Health("http://old/"), (StationHealth{AliveAt(kNow - kHour), {}}));
    book.Record("http://a/", Failed("404 Not Found"), kNow);
    ASSERT_TRUE(Until([&] { return !told.empty(); }));
    book.Record("http://b/", Alive(), kNow);
    EXPECT_TRUE(book.Find("http://b/") != nullptr);
    ASSERT_EQ(sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
    book.Record("http://a/", Failed("Connection refused"), kNow + 1);
    ASSERT_TRUE(Until([&] { return HealthStore(file).LoadAll().size() == 3; }));
  }
  sqlite3_close(other);
  EXPECT_EQ(told, std::vector<std::string>{
                      "The station health file \"" + file.string() +
                      "\" can't be used: database is locked. The results of checks are kept in "
                      "this session and saved as soon as the file can take them."});
  const HealthMap map = HealthStore(file).LoadAll();
  EXPECT_EQ(map.at("http://a/"), (StationHealth{FailedAt(kNow + 1, "Connection refused"),
                                                FailedAt(kNow, "404 Not Found")}));
  EXPECT_EQ(map.at("http://b/"), (StationHealth{AliveAt(kNow), {}}));
}

// The stations a user checks are theirs: new files private, and those an
// earlier version left readable by all made private.
TEST(HealthStoreTest, TheFileAndItsFolderAreTheUsersAlone) {
  for (const bool earlier : {false, true}) {
    SCOPED_TRACE(earlier ? "left readable by an earlier version" : "new");
    test::TempFolder home;
    const auto folder = home / "telvanta";
    const auto file = folder / "health.db";
    if (earlier) {
      std::filesystem::create_directories(folder);
      ::chmod(folder.c_str(), 0755);
      {
        HealthStore store(file);
        store.Record("http://a/", AliveAt(kNow));
      }
      ::chmod(file.c_str(), 0644);
    }
    HealthStore store(file);
    store.Record("http://b/", AliveAt(kNow));
    EXPECT_EQ(ModeOf(folder), "0700");
    EXPECT_EQ(ModeOf(file), "0600");
    EXPECT_EQ(ModeOf(folder / "health.db-wal"), "0600");
    EXPECT_EQ(ModeOf(folder / "health.db-shm"), "0600");
  }
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
