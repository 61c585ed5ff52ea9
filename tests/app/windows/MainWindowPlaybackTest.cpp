// Plays through the real windows: a station of the list window played from
// an ffmpeg-made HLS stream on 127.0.0.1, and the mouse hook over the
// RealPlayer plug-in. Under Xvfb, audio output off.

#include "app/startup/Startup.h"
#include "common/ProgramPaths.h"
#include "platform/browser/WebBrowser.h"
#include "settings/Settings.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/Ports.h"
#include "tests/support/TestMedia.h"
#include "tests/support/WindowTestSupport.h"
#include "widgets/ErrorDisplay.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <clocale>

namespace telvanta {
namespace {

using test::MakeProgramFolder;
using test::Station;
using test::TempFolder;
using test::WaitUntil;
using namespace std::chrono_literals;

class PlaybackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("XDG_CONFIG_HOME", config_.Path().c_str(), 1);
    setenv("XDG_RUNTIME_DIR", runtime_.Path().c_str(), 1);
    SetProgramFolderForTesting(program_.Path());
    hls_ = server_.Url(std::string("/") + test::TestMedia::kHls);
    rtsp_ = "rtsp://127.0.0.1:" + std::to_string(test::ClosedPort()) + "/live";
    MakeProgramFolder(program_.Path(), {
                                           Station("Canada", "Loopback TV", "300k", hls_, "News"),
                                           Station("Canada", "Real One", "", rtsp_, "News"),
                                       });
    WriteSetting("FirstRun", "1");
    WriteSetting("Day", DateText());  // no update check: tests stay offline
    windows_ = CreateWindows();
    Browser().SetPlayerSettings({.audioOutput = "null"});
  }

  void TearDown() override {
    windows_ = {};
    test::Pump();
    SetProgramFolderForTesting({});
  }

  // Shows the main window; the list window comes first and plays `row`.
  void ShowAndPlayRow(int row) {
    Glib::signal_timeout().connect_once(
        [this, row] {
          // What a double-click on the entry emits.
          auto& tv = test::Find<StationListBox>(*windows_.channelList, "ListBox1");
          tv.SetItemIndex(row);
          Gtk::TreeModel::Path path;
          path.push_back(row);
          tv.View().row_activated(path, *tv.View().get_column(0));
        },
        100);
    windows_.mainWindow->show();
  }

  platform::WebBrowser& Browser() {
    return test::Find<platform::WebBrowser>(*windows_.mainWindow, "WebBrowser1");
  }

  std::optional<platform::PlayerInfo> FirstPlayer() {
    auto players = Browser().Players();
    if (players.empty()) return std::nullopt;
    return players.front();
  }

  TempFolder config_{"telvanta-config"};
  TempFolder runtime_{"telvanta-runtime"};
  TempFolder program_{"telvanta-program"};
  test::LoopbackHttpServer server_{test::Media().folder};
  std::string hls_;
  std::string rtsp_;
  TelvantaWindows windows_;
};

TEST_F(PlaybackTest, StationOfTheListPlaysInTheMainWindow) {
  ShowAndPlayRow(0);
  auto& main = *windows_.mainWindow;
  EXPECT_TRUE(main.get_visible());
  EXPECT_FALSE(windows_.channelList->get_visible());
  EXPECT_EQ(main.get_title(), "Telvanta - Canada - Loopback TV(300k)");
  EXPECT_FALSE(test::Find<Gtk::EventBox>(main, "PanelWeb").get_visible());
  EXPECT_EQ(main.PlayerPage().PageFileName(), "~tmp1.htm");

  // Playing: the position grows, a picture of the stream's size is drawn.
  ASSERT_TRUE(WaitUntil(
      [&] {
        auto player = FirstPlayer();
        return player && player->phase == platform::PlayerPhase::Playing &&
               player->framesRendered > 5 && player->timePos > 0.5;
      },
      30s))
      << (FirstPlayer() ? FirstPlayer()->statusText + " " + FirstPlayer()->errorText : "none");
  const auto player = *FirstPlayer();
  EXPECT_EQ(player.currentAddress, hls_);
  EXPECT_EQ(player.video.width, test::TestMedia::kHlsWidth);
  EXPECT_EQ(player.widgetName, "WindowsMediaPlayer");

  // Once loaded, the page file goes.
  EXPECT_TRUE(WaitUntil(
      [&] { return !std::filesystem::exists(runtime_ / "telvanta" / "~tmp1.htm"); }, 10s));
  EXPECT_FALSE(main.PageCleanupTimerRunning());
}

TEST_F(PlaybackTest, RightButtonNeverReachesTheRealPlayerPlugIn) {
  ShowAndPlayRow(1);
  ASSERT_TRUE(WaitUntil([&] { return FirstPlayer().has_value(); }, 15s));
  test::Pump(500ms);
  auto player = *FirstPlayer();
  ASSERT_EQ(player.widgetName, "PNGUIClass");
  std::vector<unsigned> reached;
  player.widget->signal_button_press_event().connect(
      [&](GdkEventButton* event) {
        reached.push_back(event->button);
        return false;
      },
      false);
  int x = 0;
  int y = 0;
  player.widget->get_window()->get_origin(x, y);
  const auto alloc = player.widget->get_allocation();
  const std::string px = std::to_string(x + alloc.get_x() + alloc.get_width() / 2);
  const std::string py = std::to_string(y + alloc.get_y() + alloc.get_height() / 2);
  ASSERT_TRUE(test::RunProgram({"xdotool", "mousemove", px, py, "click", "3"}));
  test::Pump(300ms);
  ASSERT_TRUE(test::RunProgram({"xdotool", "mousemove", px, py, "click", "1"}));
  test::Pump(300ms);
  EXPECT_EQ(reached, (std::vector<unsigned>{1}));
}

}  // namespace
}  // namespace telvanta

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  auto app = Gtk::Application::create("org.telvanta.PlaybackTest", Gio::APPLICATION_NON_UNIQUE);
  app->register_application();
  std::setlocale(LC_NUMERIC, "C");
  telvanta::InstallErrorDisplay();
  return RUN_ALL_TESTS();
}
