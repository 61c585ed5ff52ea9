// Each kind of stream the stations use, played through a real page in a real
// browser window from servers on 127.0.0.1: the plug-in must really play,
// and say clearly why when it cannot.

#include <glib.h>
#include <gtest/gtest.h>

#include "tests/support/GuiHarness.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/Ports.h"
#include "tests/support/RtspTestServer.h"
#include "tests/support/StreamRoutes.h"
#include "tests/support/TestMedia.h"

namespace telvanta::test {
namespace {

using namespace std::chrono_literals;
using platform::PixelRect;
using platform::PlayerInfo;
using platform::PlayerPhase;

constexpr const char* kIcyStation = "Loopback FM";
constexpr const char* kIcyTitle = "Test Artist - Test Song";

class PlaybackTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    server_ = std::make_unique<LoopbackHttpServer>(Media().folder);
    server_->AddRoute("/icy",
                      IcyMp3Route(Media().folder / TestMedia::kMp3, 8000, kIcyStation, kIcyTitle));
    server_->AddRoute("/silent.mp3", SilentRoute());
    rtsp_ = std::make_unique<RtspTestServer>();
  }
  static void TearDownTestSuite() {
    rtsp_.reset();
    server_.reset();
  }
  void SetUp() override { pages_ = MakeTempFolder("telvanta-pages"); }

  std::filesystem::path Page(const std::string& html) {
    const auto file = pages_ / ("~tmp" + std::to_string(++pageNumber_) + ".htm");
    WriteTextFile(file, html);
    return file;
  }
  std::string ListFile(const std::string& name, const std::string& text) {
    WriteTextFile(Media().folder / "lists" / name, text);
    return server_->Url("/lists/" + name);
  }

  // Playing: the phase says so, time advances between two samples and, for
  // video, the player's own frames keep coming.
  static bool WaitUntilPlaying(BrowserWindow& window, bool video,
                               std::chrono::milliseconds limit = 20s) {
    double firstTime = -1;
    std::uint64_t firstFrames = 0;
    return WaitUntil(
        [&] {
          const PlayerInfo info = window.Player();
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
  static bool WaitUntilFailed(BrowserWindow& window, std::chrono::milliseconds limit = 20s) {
    return WaitUntil([&] { return window.Player().phase == PlayerPhase::Failed; }, limit);
  }

  static std::string Describe(const PlayerInfo& info) {
    return std::string(platform::PhaseName(info.phase)) + " '" + info.statusText + "' at " +
           info.currentAddress;
  }

  static std::unique_ptr<LoopbackHttpServer> server_;
  static std::unique_ptr<RtspTestServer> rtsp_;
  std::filesystem::path pages_;
  int pageNumber_ = 0;
};

std::unique_ptr<LoopbackHttpServer> PlaybackTest::server_;
std::unique_ptr<RtspTestServer> PlaybackTest::rtsp_;

TEST_F(PlaybackTest, HlsPlaysFittedToAWindowsMediaElementOfFullSize) {
  BrowserWindow window(pages_);
  ASSERT_TRUE(window.Load(Page(WindowsMediaPage(server_->Url("/hls/index.m3u8"), true))));
  ASSERT_TRUE(window.WaitForPlayers(1));
  EXPECT_TRUE(WaitUntilPlaying(window, true)) << Describe(window.Player());
  const PlayerInfo info = window.Player();
  EXPECT_EQ(info.video.width, TestMedia::kHlsWidth);
  EXPECT_EQ(info.video.height, TestMedia::kHlsHeight);
  EXPECT_EQ(info.box, (PixelRect{0, 0, 800, 600}));
  EXPECT_EQ(info.picture, (PixelRect{0, 0, 800, 600}));
  EXPECT_EQ(info.widgetName, platform::kWindowsMediaWidgetName);
  EXPECT_TRUE(info.errorText.empty());
}

TEST_F(PlaybackTest, WithoutSizeAttributesThePlayerAndItsElementTakeTheVideosSize) {
  BrowserWindow window(pages_);
  ASSERT_TRUE(window.Load(Page(WindowsMediaPage(server_->Url("/hls/index.m3u8"), false))));
  ASSERT_TRUE(window.WaitForPlayers(1));
  ASSERT_TRUE(WaitUntilPlaying(window, true)) << Describe(window.Player());
  EXPECT_TRUE(WaitUntil(
      [&] {
        return window.Player().box == PixelRect{0, 0, TestMedia::kHlsWidth, TestMedia::kHlsHeight};
      },
      5s));
  // The page made room for it, so it flows as it would around the plug-in.
  EXPECT_EQ(window.Evaluate("document.getElementById('player').getBoundingClientRect().width"),
            std::to_string(TestMedia::kHlsWidth));
  // A station shows early where the last one stood, here a radio's control
  // bar; its own page makes room for its picture, not the page it replaces.
  for (const std::string& next : {server_->Url("/tone.mp3"), server_->Url("/hls/index.m3u8?2")}) {
    window.Browser().StartPlayer(next);
    window.Browser().Navigate(Page(WindowsMediaPage(next, false)).string());
    ASSERT_TRUE(WaitUntil(
        [&] { return window.Browser().GetReadyState() == platform::ReadyState::Complete; }, 10s));
    ASSERT_TRUE(WaitUntilPlaying(window, next.ends_with("2"))) << Describe(window.Player());
  }
  EXPECT_TRUE(WaitUntil(
      [&] {
        return window.Evaluate("document.getElementById('player').getBoundingClientRect().width") ==
               std::to_string(TestMedia::kHlsWidth);
      },
      5s));
}

TEST_F(PlaybackTest, AsfWmvOverHttpPlaysAtItsOwnSize) {
  BrowserWindow window(pages_);
  ASSERT_TRUE(window.Load(Page(WindowsMediaPage(server_->Url("/clip.wmv"), false))));
  ASSERT_TRUE(window.WaitForPlayers(1));
  EXPECT_TRUE(WaitUntilPlaying(window, true)) << Describe(window.Player());
  const PlayerInfo info = window.Player();
  EXPECT_EQ(info.video.width, TestMedia::kWmvWidth);
  EXPECT_EQ(info.video.height, TestMedia::kWmvHeight);
}

// Every player page is titled with the program's name, so the page's title
// never names the station (it used to head every player as "Telvanta").
TEST_F(PlaybackTest, Mp3OverHttpPlaysAsAudioNamedByTheListEntryOrItsAddress) {
  BrowserWindow window(pages_);
  const std::string address = server_->Url("/tone.mp3");
  ASSERT_TRUE(window.Load(Page(WindowsMediaPage(address, true))));
  ASSERT_TRUE(window.WaitForPlayers(1));
  EXPECT_TRUE(WaitUntilPlaying(window, false)) << Describe(window.Player());
  const PlayerInfo info = window.Player();
  EXPECT_TRUE(info.audioOnly);
  EXPECT_EQ(info.stationName, address);
  EXPECT_EQ(info.statusText, "Playing");
  window.Browser().SetStationName("Canada - Tone(64k)");
  ASSERT_TRUE(window.Load(Page(WindowsMediaPage(address + "?again", true))));
  ASSERT_TRUE(WaitUntil([&] { return window.Player().stationName == "Canada - Tone(64k)"; }, 10s))
      << window.Player().stationName;
}

TEST_F(PlaybackTest, ALocalFileNamedByItsPathPlays) {
  BrowserWindow window(pages_);
  ASSERT_TRUE(
      window.Load(Page(WindowsMediaPage((Media().folder / TestMedia::kWmv).string(), true))));
  ASSERT_TRUE(window.WaitForPlayers(1));
  EXPECT_TRUE(WaitUntilPlaying(window, true)) << Describe(window.Player());
  EXPECT_EQ(window.Player().video.width, TestMedia::kWmvWidth);
}

TEST_F(PlaybackTest, AnIcyStreamShowsItsNowPlayingTitleAndItsOwnName) {
  BrowserWindow window(pages_);
  // No page title: the stream's own name is the station's.
  ASSERT_TRUE(window.Load(Page("<html><body><object type=\"application/x-ms-wmp\" data=\"" +
                               server_->Url("/icy") + "\"></object></body></html>")));
  ASSERT_TRUE(window.WaitForPlayers(1));
  EXPECT_TRUE(WaitUntilPlaying(window, false)) << Describe(window.Player());
  EXPECT_TRUE(WaitUntil([&] { return window.Player().nowPlaying == kIcyTitle; }, 10s))
      << window.Player().nowPlaying;
  EXPECT_EQ(window.Player().stationName, kIcyStation);
}

TEST_F(PlaybackTest, RtspPlaysInARealPlayerNamedAsTheHookExpects) {
  BrowserWindow window(pages_);
  ASSERT_TRUE(
      window.Load(Page(RealPlayerPage(rtsp_->Url(), true, "width=\"640\" height=\"480\""))));
  ASSERT_TRUE(window.WaitForPlayers(1));
  EXPECT_TRUE(WaitUntilPlaying(window, true)) << Describe(window.Player());
  const PlayerInfo info = window.Player();
  EXPECT_EQ(info.widgetName, "PNGUIClass");
  EXPECT_EQ(info.kind, platform::PlayerKind::RealPlayer);
  EXPECT_EQ(info.video.width, RtspTestServer::kWidth);
  EXPECT_EQ(info.video.height, RtspTestServer::kHeight);
  // centre="1": the picture keeps its own size in the middle of the element.
  EXPECT_EQ(info.box, (PixelRect{0, 0, 640, 480}));
  EXPECT_EQ(info.picture, (PixelRect{160, 120, 320, 240}));
}

TEST_F(PlaybackTest, ARealPlayerThatDoesNotCentreFitsThePicture) {
  BrowserWindow window(pages_);
  ASSERT_TRUE(window.Load(Page(
      RealPlayerPage(server_->Url("/hls/index.m3u8"), false, "width=\"640\" height=\"480\""))));
  ASSERT_TRUE(window.WaitForPlayers(1));
  ASSERT_TRUE(WaitUntilPlaying(window, true)) << Describe(window.Player());
  EXPECT_EQ(window.Player().picture, (PixelRect{0, 0, 640, 480}));
}

TEST_F(PlaybackTest, PlsIsFollowedToItsStream) {
  const std::string list =
      ListFile("radio.pls", "[playlist]\nNumberOfEntries=1\nFile1=" + server_->Url("/tone.mp3") +
                                "\nTitle1=Tone\nLength1=-1\nVersion=2\n");
  BrowserWindow window(pages_);
  ASSERT_TRUE(window.Load(Page(WindowsMediaPage(list, true))));
  ASSERT_TRUE(window.WaitForPlayers(1));
  EXPECT_TRUE(WaitUntilPlaying(window, false)) << Describe(window.Player());
}

TEST_F(PlaybackTest, M3uIsFollowedAndAnUpperCaseSchemeStillPlays) {
  std::string address = server_->Url("/tone.mp3");
  address.replace(0, 4, "HTTP");
  const std::string list = ListFile("radio.m3u", "#EXTM3U\n#EXTINF:-1,Tone\n" + address + "\n");
  BrowserWindow window(pages_);
  ASSERT_TRUE(window.Load(Page(WindowsMediaPage(list, true))));
  ASSERT_TRUE(window.WaitForPlayers(1));
  EXPECT_TRUE(WaitUntilPlaying(window, false)) << Describe(window.Player());
}

TEST_F(PlaybackTest, AListTheEngineReadsCannotOpenDevices) {
  const std::string list = ListFile("devices.m3u", "#EXTM3U\nav://lavfi:testsrc\n");
  BrowserWindow window(pages_);
  ASSERT_TRUE(window.Load(Page(WindowsMediaPage(list, true))));
  ASSERT_TRUE(window.WaitForPlayers(1));
  EXPECT_TRUE(WaitUntilFailed(window, 10s)) << Describe(window.Player());
  EXPECT_EQ(window.Player().errorText, "The address's protocol is not supported.");
  EXPECT_EQ(window.Player().framesRendered, 0u);
}

TEST_F(PlaybackTest, AsxIsFollowedPastADeadEntryToAPlayableOne) {
  const std::string list = ListFile("tv.asx",
                                    "<asx version=\"3.0\"><title>Loopback TV</title>"
                                    "<entry><ref href=\"http://127.0.0.1:" +
                                        std::to_string(ClosedPort()) +
                                        "/dead.wmv\"/></entry>"
                                        "<entry><ref href=\"" +
                                        server_->Url("/clip.wmv") + "\"/></entry></asx>");
  BrowserWindow window(pages_);
  ASSERT_TRUE(window.Load(Page(WindowsMediaPage(list, true))));
  ASSERT_TRUE(window.WaitForPlayers(1));
  EXPECT_TRUE(WaitUntilPlaying(window, true)) << Describe(window.Player());
  const PlayerInfo info = window.Player();
  EXPECT_EQ(info.currentAddress, server_->Url("/clip.wmv"));
  EXPECT_EQ(info.video.width, TestMedia::kWmvWidth);
}

TEST_F(PlaybackTest, RamIsFollowedToItsRtspStream) {
  const std::string list = ListFile("live.ram", rtsp_->Url() + "\r\n");
  BrowserWindow window(pages_);
  ASSERT_TRUE(window.Load(Page(RealPlayerPage(list, true))));
  ASSERT_TRUE(window.WaitForPlayers(1));
  EXPECT_TRUE(WaitUntilPlaying(window, true)) << Describe(window.Player());
  EXPECT_EQ(window.Player().currentAddress, rtsp_->Url());
}

TEST_F(PlaybackTest, DeadAddressesSayWhy) {
  struct Case {
    std::string address;
    std::string message;
  };
  const std::string closed = "127.0.0.1:" + std::to_string(ClosedPort());
  const Case cases[] = {
      {"http://" + closed + "/live.mp3", "The server \"127.0.0.1\" refused the connection."},
      {server_->Url("/missing.mp3"), "The stream was not found on the server (error 404)."},
      {server_->Url("/notmedia.mp3"), "The stream's format is not supported."},
      {server_->Url("/lists/missing.asx"), "The stream was not found on the server (error 404)."},
      {"rtsp://" + closed + "/live", "The server \"127.0.0.1\" refused the connection."},
      // A page must not open capture devices through the engine.
      {"av://lavfi:testsrc", "The address's protocol is not supported."},
      {(Media().folder / "no-such-file.mp3").string(), "The file was not found."},
  };
  BrowserWindow window(pages_);
  for (const auto& c : cases) {
    ASSERT_TRUE(window.Load(Page(WindowsMediaPage(c.address, true))));
    ASSERT_TRUE(window.WaitForPlayers(1));
    EXPECT_TRUE(WaitUntilFailed(window, 10s)) << c.address << ": " << Describe(window.Player());
    EXPECT_EQ(window.Player().errorText, c.message) << c.address;
    EXPECT_EQ(window.Player().statusText, c.message) << c.address;
  }
}

TEST_F(PlaybackTest, TwoPlayersFailingTogetherEachSayWhy) {
  // ffmpeg logs for both through one engine; each must still get its own cause.
  const std::string refused = "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/a.mp3";
  BrowserWindow window(pages_);
  ASSERT_TRUE(
      window.Load(Page("<html><body><object type=\"application/x-ms-wmp\" data=\"" + refused +
                       "\"></object><object type=\"application/x-ms-wmp\" data=\"" +
                       server_->Url("/missing.mp3") + "\"></object></body></html>")));
  ASSERT_TRUE(window.WaitForPlayers(2));
  EXPECT_TRUE(WaitUntil(
      [&] {
        return window.Player(0).phase == PlayerPhase::Failed &&
               window.Player(1).phase == PlayerPhase::Failed;
      },
      10s));
  EXPECT_EQ(window.Player(0).errorText, "The server \"127.0.0.1\" refused the connection.");
  EXPECT_EQ(window.Player(1).errorText, "The stream was not found on the server (error 404).");
}

TEST_F(PlaybackTest, AFiniteStreamThatEndsSaysSo) {
  const std::string list = ListFile("short.m3u", "#EXTM3U\n" + server_->Url("/short.mp3") + "\n");
  const std::string addresses[] = {server_->Url("/short.mp3"), server_->Url("/short.wmv"),
                                   (Media().folder / TestMedia::kShortMp3).string(), list};
  BrowserWindow window(pages_);
  for (const auto& address : addresses) {
    ASSERT_TRUE(window.Load(Page(WindowsMediaPage(address, true))));
    ASSERT_TRUE(window.WaitForPlayers(1));
    EXPECT_TRUE(WaitUntil([&] { return window.Player().phase == PlayerPhase::Ended; }, 10s))
        << address << ": " << Describe(window.Player());
    EXPECT_EQ(window.Player().statusText, "The stream has ended.") << address;
  }
}

TEST_F(PlaybackTest, WithoutASoundDeviceRadioSaysSoAndTelevisionPlaysOn) {
  // No sound server answers there, wherever the tests run.
  g_setenv("PULSE_SERVER", "unix:/nonexistent/telvanta-test", TRUE);
  BrowserWindow window(pages_);
  auto settings = TestPlayerSettings();
  settings.audioOutput = "pulse";
  window.Browser().SetPlayerSettings(settings);
  ASSERT_TRUE(window.Load(Page(WindowsMediaPage(server_->Url("/icy"), true))));
  ASSERT_TRUE(window.WaitForPlayers(1));
  EXPECT_TRUE(WaitUntilFailed(window, 10s)) << Describe(window.Player());
  EXPECT_EQ(window.Player().errorText, "No audio output could be opened.");

  ASSERT_TRUE(window.Load(Page(WindowsMediaPage(server_->Url("/hls/index.m3u8"), true))));
  ASSERT_TRUE(window.WaitForPlayers(1));
  EXPECT_TRUE(WaitUntilPlaying(window, true)) << Describe(window.Player());
  ASSERT_TRUE(window.Load(Page(WindowsMediaPage(server_->Url("/short.wmv"), true))));
  ASSERT_TRUE(window.WaitForPlayers(1));
  EXPECT_TRUE(WaitUntil([&] { return window.Player().phase == PlayerPhase::Ended; }, 10s))
      << Describe(window.Player());
  g_unsetenv("PULSE_SERVER");
}

TEST_F(PlaybackTest, AListOfDeadEntriesStopsAfterAFewWithTheLastOnesReason) {
  // The first entry's refusal is not the last entry's reason.
  std::string text = "#EXTM3U\nhttp://127.0.0.1:" + std::to_string(ClosedPort()) + "/gone.mp3\n";
  for (int entry = 0; entry < 10000; ++entry) {
    text += server_->Url("/dead.mp3") + "\n";
  }
  const std::string list = ListFile("dead.m3u", text);
  BrowserWindow window(pages_);
  ASSERT_TRUE(window.Load(Page(WindowsMediaPage(list, true))));
  ASSERT_TRUE(window.WaitForPlayers(1));
  EXPECT_TRUE(WaitUntilFailed(window, 10s)) << Describe(window.Player());
  EXPECT_EQ(window.Player().errorText, "The stream was not found on the server (error 404).");
  Pump(500ms);
  EXPECT_LE(server_->Hits("/dead.mp3"), platform::PlayQueue::kMaxAttempts);
}

TEST_F(PlaybackTest, AServerThatNeverAnswersTimesOutInsteadOfSpinning) {
  BrowserWindow window(pages_);
  ASSERT_TRUE(window.Load(Page(WindowsMediaPage(server_->Url("/silent.mp3"), true))));
  ASSERT_TRUE(window.WaitForPlayers(1));
  // While it waits the user sees it is connecting.
  EXPECT_TRUE(WaitUntil(
      [&] { return window.Player().statusText.starts_with("Connecting to 127.0.0.1..."); }, 3s));
  const auto limit = TestPlayerSettings().connectTimeout + 4s;
  EXPECT_TRUE(WaitUntilFailed(window, limit)) << Describe(window.Player());
  EXPECT_EQ(window.Player().errorText, "The server \"127.0.0.1\" did not answer in time.");
}

TEST_F(PlaybackTest, MmsIsTriedOverHttpAndThenOverTcp) {
  const std::string address = "mms://127.0.0.1:" + std::to_string(ClosedPort()) + "/live";
  BrowserWindow window(pages_);
  ASSERT_TRUE(window.Load(Page(WindowsMediaPage(address, true))));
  ASSERT_TRUE(window.WaitForPlayers(1));
  EXPECT_TRUE(WaitUntilFailed(window, 15s)) << Describe(window.Player());
  const PlayerInfo info = window.Player();
  EXPECT_TRUE(info.currentAddress.starts_with("mmst://")) << info.currentAddress;
  EXPECT_EQ(info.errorText, "The server \"127.0.0.1\" refused the connection.");
}

TEST_F(PlaybackTest, AWebcamPageShowsItsPictureAndHostsNoPlayer) {
  BrowserWindow window(pages_);
  ASSERT_TRUE(window.Load(Page(WebcamPage(server_->Url("/still.jpg")))));
  EXPECT_TRUE(WaitUntil(
      [&] { return window.Evaluate("document.getElementById('cam').naturalWidth") == "320"; }, 5s));
  Pump(300ms);
  EXPECT_TRUE(window.Browser().Players().empty());
}

TEST_F(PlaybackTest, StopEndsPlaybackAndRemovesThePlayers) {
  BrowserWindow window(pages_);
  ASSERT_TRUE(window.Load(Page(WindowsMediaPage(server_->Url("/hls/index.m3u8"), true))));
  ASSERT_TRUE(window.WaitForPlayers(1));
  ASSERT_TRUE(WaitUntilPlaying(window, true)) << Describe(window.Player());
  window.Browser().Stop();
  EXPECT_TRUE(window.Browser().Players().empty());
  // Scrolling or resizing the stopped page brings nothing back.
  window.Window().resize(700, 500);
  Pump(500ms);
  EXPECT_TRUE(window.Browser().Players().empty());
}

TEST_F(PlaybackTest, TheWindowsMediaMenuMutesAndGoesFullScreen) {
  BrowserWindow window(pages_);
  ASSERT_TRUE(window.Load(Page(WindowsMediaPage(server_->Url("/hls/index.m3u8"), true))));
  ASSERT_TRUE(window.WaitForPlayers(1));
  ASSERT_TRUE(WaitUntilPlaying(window, true)) << Describe(window.Player());
  auto* player = dynamic_cast<platform::PlayerWidget*>(window.Player().widget);
  ASSERT_NE(player, nullptr);
  ASSERT_NE(player->ContextMenu(), nullptr);
  const auto activate = [&](const std::string& label) {
    for (Gtk::Widget* child : player->ContextMenu()->get_children()) {
      auto* item = dynamic_cast<Gtk::MenuItem*>(child);
      if (item != nullptr && item->get_label() == label) {
        item->activate();
        return true;
      }
    }
    return false;
  };
  ASSERT_TRUE(activate("Mute"));
  EXPECT_TRUE(WaitUntil([&] { return window.Player().muted; }, 3s));
  ASSERT_TRUE(activate("Full Screen"));
  EXPECT_TRUE(player->IsFullScreen());
  // The picture goes on in the full-screen window.
  EXPECT_TRUE(WaitUntilPlaying(window, true)) << Describe(window.Player());
  ASSERT_TRUE(activate("Full Screen"));
  EXPECT_FALSE(player->IsFullScreen());
  EXPECT_TRUE(WaitUntilPlaying(window, true)) << Describe(window.Player());
  ASSERT_TRUE(activate("Stop"));
  EXPECT_EQ(window.Player().phase, PlayerPhase::Stopped);
  ASSERT_TRUE(activate("Play"));
  EXPECT_TRUE(WaitUntilPlaying(window, true)) << Describe(window.Player());
}

TEST_F(PlaybackTest, QuickSuccessivePlaysEndWithTheLastOnePlaying) {
  // A user zapping through stations: each page replaces the last while its
  // player is still connecting or just playing.
  const std::string addresses[] = {server_->Url("/hls/index.m3u8"), server_->Url("/clip.wmv"),
                                   server_->Url("/icy"), rtsp_->Url(), server_->Url("/tone.mp3")};
  BrowserWindow window(pages_);
  for (int round = 0; round < 12; ++round) {
    const std::string& address = addresses[round % std::size(addresses)];
    window.Browser().Navigate(Page(WindowsMediaPage(address, true)).string());
    Pump(std::chrono::milliseconds(40 + 60 * (round % 4)));
  }
  ASSERT_TRUE(window.Load(Page(WindowsMediaPage(server_->Url("/hls/index.m3u8"), true))));
  ASSERT_TRUE(window.WaitForPlayers(1));
  EXPECT_TRUE(WaitUntilPlaying(window, true)) << Describe(window.Player());
  EXPECT_EQ(window.Browser().Players().size(), 1u);
}

TEST_F(PlaybackTest, AutostartOffWaitsForPlay) {
  BrowserWindow window(pages_);
  ASSERT_TRUE(window.Load(
      Page("<html><body><object type=\"application/x-ms-wmp\" data=\"" + server_->Url("/tone.mp3") +
           "\" width=\"320\" height=\"240\"><param name=\"autostart\" value=\"false\"></object>"
           "</body></html>")));
  ASSERT_TRUE(window.WaitForPlayers(1));
  Pump(500ms);
  EXPECT_EQ(window.Player().phase, PlayerPhase::Ready);
  auto* player = dynamic_cast<platform::PlayerWidget*>(window.Player().widget);
  ASSERT_NE(player, nullptr);
  player->Controller().Play();
  EXPECT_TRUE(WaitUntilPlaying(window, false)) << Describe(window.Player());
  player->Controller().Pause();
  EXPECT_TRUE(WaitUntil([&] { return window.Player().phase == PlayerPhase::Paused; }, 3s));
  player->Controller().Stop();
  EXPECT_EQ(window.Player().statusText, "Stopped");
}

}  // namespace
}  // namespace telvanta::test
