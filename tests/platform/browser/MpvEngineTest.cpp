// The engine a browser keeps from one play to the next: each load must start
// clean of the one it replaced.

#include "platform/browser/MpvEngine.h"

#include <gtest/gtest.h>

#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/MainLoop.h"
#include "tests/support/StreamRoutes.h"
#include "tests/support/TestMedia.h"

namespace telvanta::test {
namespace {

using namespace std::chrono_literals;

// mpv shows the last file's picture again while the next one opens; a frame
// counted before the next file has even loaded is that old picture.
TEST(MpvEngineTest, NoFrameOfTheReplacedFileCountsForTheNext) {
  LoopbackHttpServer server(Media().folder);
  const std::string hls = server.Url(std::string("/") + TestMedia::kHls);
  const platform::EngineSettings settings{.audioOutput = "null"};
  platform::MpvEngine engine;
  for (const std::string& next : {hls, server.Url(std::string("/") + TestMedia::kWmv)}) {
    SCOPED_TRACE(next);
    engine.Load(hls, settings);
    ASSERT_TRUE(WaitUntil([&] { return engine.FramesRendered() > 3; }, 10s));
    std::optional<std::uint64_t> framesAtLoad;
    sigc::connection loaded =
        engine.signal_file_loaded().connect([&] { framesAtLoad = engine.FramesRendered(); });
    engine.Load(next, settings);
    EXPECT_TRUE(WaitUntil([&] { return framesAtLoad && engine.FramesRendered() > 3; }, 10s));
    loaded.disconnect();
    EXPECT_EQ(framesAtLoad, 0u);
  }
  engine.Stop();
}

// A radio station's song title changes while it streams: each new title
// must reach the engine's properties before the station changes it again.
// (The title of the first song used to stay for the whole play.)
TEST(MpvEngineTest, TheSongTitleFollowsEveryChange) {
  LoopbackHttpServer server(Media().folder);
  auto title = std::make_shared<StreamTitle>("Song number 0");
  server.AddRoute("/radio", IcyMp3Route(Media().folder / TestMedia::kMp3, 8000, "Loop FM", title));
  platform::MpvEngine engine;
  engine.Load(server.Url(std::string("/") + TestMedia::kHls), {.audioOutput = "null"});
  ASSERT_TRUE(WaitUntil([&] { return engine.FramesRendered() > 3; }, 10s));
  engine.Load(server.Url("/radio"), {.audioOutput = "null"});
  for (const char* song : {"Song number 0", "Song number 1", "Song number 2"}) {
    title->Set(song);
    EXPECT_TRUE(WaitUntil([&] { return engine.Properties().icyTitle == song; }, 20s))
        << "still " << engine.Properties().icyTitle;
  }
  EXPECT_EQ(engine.Properties().icyName, "Loop FM");
  engine.Stop();
}

}  // namespace
}  // namespace telvanta::test
