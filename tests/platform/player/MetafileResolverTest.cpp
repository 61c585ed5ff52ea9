// Metafiles are read from a real server on 127.0.0.1 and from local files.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/player/MetafileResolver.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/Ports.h"
#include "tests/support/StreamRoutes.h"
#include "tests/support/TestMedia.h"

namespace telvanta::platform {
namespace {

using test::LoopbackHttpServer;
using namespace std::chrono_literals;

class MetafileResolverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = test::MakeTempFolder("telvanta-lists");
    server_ = std::make_unique<LoopbackHttpServer>(folder_);
  }
  MetafileResult Resolve(const std::string& address, std::chrono::milliseconds timeout = 5s) {
    return ResolveMetafile(address, timeout, cancelled_);
  }
  std::filesystem::path folder_;
  std::unique_ptr<LoopbackHttpServer> server_;
  std::atomic<bool> cancelled_{false};
};

std::vector<std::string> Addresses(const MetafileResult& result) {
  std::vector<std::string> out;
  for (const auto& entry : result.entries) {
    out.push_back(entry.address);
  }
  return out;
}

TEST_F(MetafileResolverTest, ReadsEveryListKindTheEngineCannot) {
  struct Case {
    const char* file;
    const char* text;
    std::vector<std::string> entries;
  };
  const Case cases[] = {
      {"live.asx",
       "<asx version=\"3.0\"><title>Radio X</title><entry><ref href=\"mms://h/live\"/>"
       "<ref href=\"http://h/live.wmv\"/></entry><entry><ref href=\"http://h/second.wmv\"/>"
       "</entry></asx>",
       {"mms://h/live", "http://h/second.wmv"}},
      {"upper.asx",
       "<ASX VERSION=\"3.0\"><ENTRY><REF HREF=\"mms://h/upper\" /></ENTRY></ASX>",
       {"mms://h/upper"}},
      {"live.wvx",
       "<asx version=\"3.0\"><entry><ref href=\"http://h/v.wmv\"/></entry></asx>",
       {"http://h/v.wmv"}},
      {"live.ram",
       "rtsp://h/live.rm\r\nhttp://h/backup.rm\r\n",
       {"rtsp://h/live.rm", "http://h/backup.rm"}},
      {"live.smil", "<smil><body><audio src=\"rtsp://h/a.rm\"/></body></smil>", {"rtsp://h/a.rm"}},
      {"live.xspf",
       "<?xml version=\"1.0\"?><playlist version=\"1\" xmlns=\"http://xspf.org/ns/0/\">"
       "<trackList><track><location>http://h/t.mp3</location></track></trackList></playlist>",
       {"http://h/t.mp3"}},
  };
  for (const auto& c : cases) {
    test::WriteTextFile(folder_ / c.file, c.text);
    const MetafileResult result = Resolve(server_->Url(std::string("/") + c.file));
    EXPECT_EQ(result.failure.kind, FailureKind::None) << c.file;
    // The ASX's first entry has two refs; the parser reports the first.
    ASSERT_FALSE(result.entries.empty()) << c.file;
    EXPECT_EQ(result.entries.front().address, c.entries.front()) << c.file;
  }
}

TEST_F(MetafileResolverTest, RelativeEntriesAreResolvedAgainstTheListsAddress) {
  test::WriteTextFile(folder_ / "sub" / "rel.asx",
                      "<asx version=\"3.0\"><entry><ref href=\"clip.wmv\"/></entry></asx>");
  const MetafileResult result = Resolve(server_->Url("/sub/rel.asx"));
  EXPECT_EQ(Addresses(result), (std::vector<std::string>{server_->Url("/sub/clip.wmv")}));
}

TEST_F(MetafileResolverTest, FollowsRedirects) {
  test::WriteTextFile(folder_ / "target.asx",
                      "<asx version=\"3.0\"><entry><ref href=\"mms://h/x\"/></entry></asx>");
  server_->AddRoute("/moved.asx", [this](const test::HttpRequest&, test::HttpConnection& c) {
    c.Send("HTTP/1.0 302 Found\r\nLocation: " + server_->Url("/target.asx") + "\r\n\r\n");
  });
  EXPECT_EQ(Addresses(Resolve(server_->Url("/moved.asx"))),
            (std::vector<std::string>{"mms://h/x"}));
}

TEST_F(MetafileResolverTest, ReportsWhyAListCouldNotBeRead) {
  EXPECT_EQ(Resolve(server_->Url("/missing.asx")).failure,
            (Failure{FailureKind::NotFound, 404, "127.0.0.1"}));
  EXPECT_EQ(
      Resolve("http://127.0.0.1:" + std::to_string(test::ClosedPort()) + "/a.asx").failure.kind,
      FailureKind::ConnectionRefused);
  server_->AddRoute("/silent.asx", test::SilentRoute());
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Resolve(server_->Url("/silent.asx"), 700ms).failure.kind, FailureKind::TimedOut);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
}

TEST_F(MetafileResolverTest, AStreamBehindAListEndingIsNotSwallowedWhole) {
  server_->AddRoute("/endless.asx", test::IcyMp3Route(test::Media().folder / test::TestMedia::kMp3,
                                                      4'000'000, "Radio", "Song"));
  const MetafileResult result = Resolve(server_->Url("/endless.asx"));
  EXPECT_EQ(result.failure.kind, FailureKind::UnsupportedFormat);
  EXPECT_TRUE(result.entries.empty());
}

TEST_F(MetafileResolverTest, AListWithoutEntriesIsReportedEmpty) {
  test::WriteTextFile(folder_ / "empty.asx", "<asx version=\"3.0\"></asx>");
  EXPECT_EQ(Resolve(server_->Url("/empty.asx")).failure.kind, FailureKind::EmptyPlaylist);
}

TEST_F(MetafileResolverTest, ReadsLocalFilesByPathAndByFileAddress) {
  test::WriteTextFile(folder_ / "local.asx",
                      "<asx version=\"3.0\"><entry><ref href=\"http://h/l.wmv\"/></entry></asx>");
  const std::string path = (folder_ / "local.asx").string();
  EXPECT_EQ(Addresses(Resolve(path)), (std::vector<std::string>{"http://h/l.wmv"}));
  EXPECT_EQ(Addresses(Resolve("file://" + path)), (std::vector<std::string>{"http://h/l.wmv"}));
  EXPECT_EQ(Resolve((folder_ / "none.asx").string()).failure.kind, FailureKind::NotFound);
}

TEST_F(MetafileResolverTest, CancellingEndsAWaitingFetchSoon) {
  server_->AddRoute("/slow.asx", test::SilentRoute());
  std::thread canceller([this] {
    std::this_thread::sleep_for(200ms);
    cancelled_ = true;
  });
  const auto start = std::chrono::steady_clock::now();
  const MetafileResult result = Resolve(server_->Url("/slow.asx"), 30s);
  canceller.join();
  EXPECT_NE(result.failure.kind, FailureKind::None);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
}

}  // namespace
}  // namespace telvanta::platform
