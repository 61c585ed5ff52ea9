// The engine a browser keeps from one play to the next: each load must start
// clean of the one it replaced.

#include "platform/browser/MpvEngine.h"

#include <gtest/gtest.h>

#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/MainLoop.h"
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

}  // namespace
}  // namespace telvanta::test
