// Each format the stations use, played through a real page in a real
// browser window, from servers on 127.0.0.1.

#include <gtest/gtest.h>

#include "tests/plugin_host/support/GuiHarness.h"
#include "tests/plugin_host/support/LoopbackHttpServer.h"
#include "tests/plugin_host/support/TestMedia.h"

namespace telvanta::test {
namespace {

using namespace std::chrono_literals;
using platform::PlayerPhase;

class PlaybackTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { server_ = std::make_unique<LoopbackHttpServer>(Media().folder); }
  static void TearDownTestSuite() { server_.reset(); }
  void SetUp() override { pages_ = MakeTempFolder("telvanta-pages"); }

  std::filesystem::path Page(const std::string& html) {
    const auto file = pages_ / ("~tmp" + std::to_string(++pageNumber_) + ".htm");
    WriteTextFile(file, html);
    return file;
  }

  // Playing: time advances between two samples and frames keep coming.
  bool WaitUntilPlaying(BrowserWindow& window, bool video, std::chrono::milliseconds limit = 15s) {
    double firstTime = -1;
    std::uint64_t firstFrames = 0;
    return RunUntil(
        [&] {
          const auto info = window.Player();
          if (info.phase != PlayerPhase::Playing) {
            return false;
          }
          if (firstTime < 0) {
            firstTime = info.timePos;
            firstFrames = info.framesRendered;
            return false;
          }
          return info.timePos > firstTime + 0.5 &&
                 (!video || info.framesRendered > firstFrames + 5);
        },
        limit);
  }

  static std::unique_ptr<LoopbackHttpServer> server_;
  std::filesystem::path pages_;
  int pageNumber_ = 0;
};

std::unique_ptr<LoopbackHttpServer> PlaybackTest::server_;

TEST_F(PlaybackTest, HlsPlaysThroughAWindowsMediaPage) {
  BrowserWindow window;
  ASSERT_TRUE(window.Load(Page(WindowsMediaPage(server_->Url("/hls/index.m3u8"), true))));
  ASSERT_TRUE(window.WaitForPlayers(1));
  EXPECT_TRUE(WaitUntilPlaying(window, true)) << window.Player().statusText;
  const auto info = window.Player();
  EXPECT_EQ(info.video.width, TestMedia::kHlsWidth);
  EXPECT_EQ(info.video.height, TestMedia::kHlsHeight);
  EXPECT_EQ(info.box, (platform::PixelRect{0, 0, 800, 600}));
}

}  // namespace
}  // namespace telvanta::test
