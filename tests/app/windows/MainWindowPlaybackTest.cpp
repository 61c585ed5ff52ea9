// Plays through the real windows: a station of the list window played from
// an ffmpeg-made HLS stream on 127.0.0.1, the mouse hook over the RealPlayer
// plug-in, and where the picture lands on screen for each video size choice
// (screenshots go to the build folder as fit-<case>.png). Under Xvfb, audio
// output off.

#include "app/startup/Startup.h"
#include "common/ProgramPaths.h"
#include "platform/browser/WebBrowser.h"
#include "platform/browser/WebModuleImpl.h"
#include "settings/Settings.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/PlayFromList.h"
#include "tests/support/Ports.h"
#include "tests/support/TestMedia.h"
#include "tests/support/WindowTestSupport.h"
#include "widgets/ErrorDisplay.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <stdexcept>

namespace telvanta {
namespace {

using test::MakeProgramFolder;
using test::Station;
using test::TempFolder;
using test::WaitUntil;
using namespace std::chrono_literals;

struct PixelRectBox {
  int left = 0;
  int top = 0;
  int right = -1;
  int bottom = -1;
  bool Empty() const { return right < left; }
  int Width() const { return right - left + 1; }
  int Height() const { return bottom - top + 1; }
  void Add(int x, int y) {
    if (Empty()) {
      left = right = x;
      top = bottom = y;
      return;
    }
    left = std::min(left, x);
    right = std::max(right, x);
    top = std::min(top, y);
    bottom = std::max(bottom, y);
  }
};

// The main window over a program folder of the test's stations.
template <typename Base>
class MainWindowFixture : public Base {
 protected:
  void Start(std::vector<CatalogueRow> stations) {
    setenv("XDG_CONFIG_HOME", config_.Path().c_str(), 1);
    setenv("XDG_DATA_HOME", data_.Path().c_str(), 1);
    setenv("XDG_RUNTIME_DIR", runtime_.Path().c_str(), 1);
    SetProgramFolderForTesting(program_.Path());
    MakeProgramFolder(program_.Path(), std::move(stations));
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
    test::PlayTvRowOnceShown(*windows_.channelList, row);
    windows_.mainWindow->show();
  }

  // Made on first need, and found by its component name.
  platform::WebBrowser& Browser() {
    windows_.mainWindow->Browser();
    return test::Find<platform::WebBrowser>(*windows_.mainWindow, "WebBrowser1");
  }

  std::optional<platform::PlayerInfo> FirstPlayer() {
    auto players = Browser().Players();
    if (players.empty()) return std::nullopt;
    return players.front();
  }

  TempFolder config_{"telvanta-config"};
  TempFolder data_{"telvanta-data"};
  TempFolder runtime_{"telvanta-runtime"};
  TempFolder program_{"telvanta-program"};
  TelvantaWindows windows_;
};

class PlaybackTest : public MainWindowFixture<::testing::Test> {
 protected:
  void SetUp() override {
    hls_ = server_.Url(std::string("/") + test::TestMedia::kHls);
    rtsp_ = "rtsp://127.0.0.1:" + std::to_string(test::ClosedPort()) + "/live";
    Start({
        Station("Canada", "Loopback TV", "300k", hls_, "News"),
        Station("Canada", "Real One", "", rtsp_, "News"),
    });
  }

  test::LoopbackHttpServer server_{test::Media().folder};
  std::string hls_;
  std::string rtsp_;
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
  // The play counts as a check of the station.
  auto& tv = test::Find<StationListBox>(*windows_.channelList, "ListBox1");
  EXPECT_EQ(tv.HealthAt(0).state, health::HealthState::Alive);
  EXPECT_EQ(tv.HealthAt(0).tip, "Alive, just now");
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

// A bright, plain picture of one size, so that every lit pixel on screen is
// the picture's.
struct FitMedia {
  std::filesystem::path folder = test::MakeTempFolder("telvanta-fit");
  FitMedia() {
    for (const char* size : {"320x240", "1280x720"}) {
      const std::string out = (folder / (std::string(size) + ".ts")).string();
      if (!test::RunProgram(
              {"ffmpeg",    "-nostdin", "-y",
               "-loglevel", "error",    "-f",
               "lavfi",     "-i",       std::string("color=c=0xF0C040:rate=10:size=") + size,
               "-t",        "40",       "-c:v",
               "libx264",   "-preset",  "ultrafast",
               "-pix_fmt",  "yuv420p",  "-f",
               "mpegts",    out})) {
        throw std::runtime_error("ffmpeg failed making " + out);
      }
    }
  }
};

const FitMedia& Fit() {
  static const FitMedia media;
  return media;
}

struct FitCase {
  const char* name;
  const char* stretch;  // "0" Original Size, "1" Fit to window
  bool realPlayer;      // played through a .ram list, on the RealPlayer page
  int width;
  int height;
};

std::ostream& operator<<(std::ostream& out, const FitCase& c) { return out << c.name; }

std::string CaseName(const ::testing::TestParamInfo<FitCase>& info) {
  std::string name = info.param.name;
  std::replace(name.begin(), name.end(), '-', '_');
  return name;
}

// The box of lit pixels in a picture of the screen.
PixelRectBox LitBox(const Glib::RefPtr<Gdk::Pixbuf>& shot) {
  PixelRectBox box;
  const int channels = shot->get_n_channels();
  const guint8* pixels = shot->get_pixels();
  for (int y = 0; y < shot->get_height(); ++y) {
    const guint8* row = pixels + static_cast<std::ptrdiff_t>(y) * shot->get_rowstride();
    for (int x = 0; x < shot->get_width(); ++x) {
      const guint8* pixel = row + x * channels;
      // Scaled edges blend into the black; half-lit counts as lit.
      if (pixel[0] > 120 && pixel[1] > 90) {
        box.Add(x, y);
      }
    }
  }
  return box;
}

// Whole, centred, aspect kept; at its own size when it fits and Original
// Size is chosen, else as large as the area allows.
std::string CheckPicture(const PixelRectBox& box, int areaWidth, int areaHeight, const FitCase& c) {
  if (box.Empty()) {
    return "no picture";
  }
  const int w = box.Width();
  const int h = box.Height();
  const std::string seen = std::to_string(w) + "x" + std::to_string(h) + " at " +
                           std::to_string(box.left) + "," + std::to_string(box.top) + " in " +
                           std::to_string(areaWidth) + "x" + std::to_string(areaHeight);
  const bool natural =
      std::string(c.stretch) == "0" && c.width <= areaWidth && c.height <= areaHeight;
  if (natural && (std::abs(w - c.width) > 1 || std::abs(h - c.height) > 1)) {
    return "not at its own size: " + seen;
  }
  if (!natural && w < areaWidth - 1 && h < areaHeight - 1) {
    return "fills neither width nor height: " + seen;
  }
  const double aspect = static_cast<double>(c.width) / c.height;
  if (std::fabs(static_cast<double>(w) / h - aspect) > 0.02 * aspect) {
    return "aspect not kept: " + seen;
  }
  const int right = areaWidth - 1 - box.right;
  const int bottom = areaHeight - 1 - box.bottom;
  if (std::abs(box.left - right) > 2 || std::abs(box.top - bottom) > 2) {
    return "not centred: " + seen;
  }
  return {};
}

class PictureFitTest : public MainWindowFixture<::testing::TestWithParam<FitCase>> {
 protected:
  void SetUp() override {
    const FitCase& c = GetParam();
    const std::string stream =
        server_.Url("/" + std::to_string(c.width) + "x" + std::to_string(c.height) + ".ts");
    std::string url = stream;
    if (c.realPlayer) {
      server_.AddRoute("/live.ram", [stream](const test::HttpRequest&, test::HttpConnection& to) {
        to.Send("HTTP/1.0 200 OK\r\nContent-Type: audio/x-pn-realaudio\r\n\r\n" + stream + "\r\n");
      });
      url = server_.Url("/live.ram");
    }
    Start({Station("Canada", "Picture", "", url, "News")});
    WriteSetting("Stretch", c.stretch);
  }

  // The browser's area as the screen shows it, saved with the whole window.
  Glib::RefPtr<Gdk::Pixbuf> ShotOfTheBrowser(const std::string& saveAs) {
    auto& main = *windows_.mainWindow;
    auto& browser = Browser();
    int x = 0;
    int y = 0;
    browser.get_window()->get_origin(x, y);
    if (!browser.get_has_window()) {
      x += browser.get_allocation().get_x();
      y += browser.get_allocation().get_y();
    }
    auto root = Gdk::Window::get_default_root_window();
    if (!saveAs.empty()) {
      int wx = 0;
      int wy = 0;
      main.get_window()->get_origin(wx, wy);
      Gdk::Pixbuf::create(root, wx, wy, main.get_window()->get_width(),
                          main.get_window()->get_height())
          ->save(saveAs, "png");
    }
    return Gdk::Pixbuf::create(root, x, y, browser.get_allocated_width(),
                               browser.get_allocated_height());
  }

  void PlayUntilPicture() {
    ShowAndPlayRow(0);
    ASSERT_TRUE(WaitUntil(
        [&] {
          auto player = FirstPlayer();
          return player && player->phase == platform::PlayerPhase::Playing &&
                 player->framesRendered > 3;
        },
        30s))
        << (FirstPlayer() ? FirstPlayer()->statusText + " " + FirstPlayer()->errorText : "none");
  }

  // The page makes room for the player in a frame or two: look until the
  // picture settles. Empty when it is as it should be.
  std::string SettledProblem() {
    std::string problem;
    WaitUntil(
        [&] {
          test::Pump(200ms);
          auto shot = ShotOfTheBrowser({});
          problem = CheckPicture(LitBox(shot), shot->get_width(), shot->get_height(), GetParam());
          return problem.empty();
        },
        10s);
    return problem;
  }

  test::LoopbackHttpServer server_{Fit().folder};
};

TEST_P(PictureFitTest, ThePictureIsWholeCentredAndKeepsItsAspect) {
  const FitCase& c = GetParam();
  PlayUntilPicture();
  EXPECT_EQ(FirstPlayer()->widgetName, c.realPlayer ? "PNGUIClass" : "WindowsMediaPlayer");
  const std::string problem = SettledProblem();
  ShotOfTheBrowser(std::string(TELVANTA_SCREENSHOT_DIR) + "/fit-" + c.name + ".png");
  EXPECT_EQ(problem, "");
}

using PictureAfterResizeTest = PictureFitTest;

TEST_P(PictureAfterResizeTest, ThePictureFollowsTheWindowsSize) {
  const FitCase& c = GetParam();
  PlayUntilPicture();
  EXPECT_EQ(SettledProblem(), "");
  windows_.mainWindow->resize(900, 700);  // still wholly on the 1280x1024 screen
  ASSERT_TRUE(WaitUntil([&] { return Browser().get_allocated_width() > 800; }, 5s));
  const std::string problem = SettledProblem();
  ShotOfTheBrowser(std::string(TELVANTA_SCREENSHOT_DIR) + "/fit-resized-" + c.name + ".png");
  EXPECT_EQ(problem, "");
}

INSTANTIATE_TEST_SUITE_P(Cases, PictureFitTest,
                         ::testing::Values(FitCase{"original-320x240", "0", false, 320, 240},
                                           FitCase{"original-1280x720", "0", false, 1280, 720},
                                           FitCase{"fit-320x240", "1", false, 320, 240},
                                           FitCase{"fit-1280x720", "1", false, 1280, 720},
                                           FitCase{"real-original-320x240", "0", true, 320, 240},
                                           FitCase{"real-original-1280x720", "0", true, 1280, 720},
                                           FitCase{"real-fit-320x240", "1", true, 320, 240},
                                           FitCase{"real-fit-1280x720", "1", true, 1280, 720}),
                         CaseName);

INSTANTIATE_TEST_SUITE_P(Resized, PictureAfterResizeTest,
                         ::testing::Values(FitCase{"original-1280x720", "0", false, 1280, 720},
                                           FitCase{"real-fit-320x240", "1", true, 320, 240}),
                         CaseName);

}  // namespace
}  // namespace telvanta

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  auto app = Gtk::Application::create("org.telvanta.PlaybackTest", Gio::APPLICATION_NON_UNIQUE);
  app->register_application();
  std::setlocale(LC_NUMERIC, "C");
  telvanta::InstallErrorDisplay();
  telvanta::platform::LinkWebModule();
  return RUN_ALL_TESTS();
}
