// The main window as a media player of the desktop, seen from outside over
// a session bus of the test's own: a radio station with ICY titles and a
// video from 127.0.0.1, steered through MPRIS like media keys and playerctl
// do, and through the player's own control bar and keys. Screenshots of the
// bar go to the build folder as controls-<case>.png.

#include "app/startup/Startup.h"
#include "common/ProgramPaths.h"
#include "platform/browser/PlayerWidget.h"
#include "platform/browser/VideoSurface.h"
#include "platform/browser/WebBrowser.h"
#include "platform/browser/WebModuleImpl.h"
#include "platform/desktop/MprisService.h"
#include "platform/glib/GObjectPtr.h"
#include "settings/PlayerVolume.h"
#include "settings/Settings.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/PlayFromList.h"
#include "tests/support/Ports.h"
#include "tests/support/StreamRoutes.h"
#include "tests/support/TestMedia.h"
#include "tests/support/WindowTestSupport.h"
#include "widgets/ErrorDisplay.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <clocale>
#include <iostream>
#include <map>
#include <optional>

namespace telvanta {
namespace {

using platform::GErrorPtr;
using platform::GObjectPtr;
using test::WaitUntil;
using namespace std::chrono_literals;

constexpr const char* kPlayer = "org.mpris.MediaPlayer2.Player";
constexpr const char* kPath = "/org/mpris/MediaPlayer2";
constexpr const char* kStationTitle = "Artist - Song";

struct VariantUnref {
  void operator()(GVariant* v) const { g_variant_unref(v); }
};
using Variant = std::unique_ptr<GVariant, VariantUnref>;

// Another program on the session bus: its own connection, calls answered
// while the window's main loop runs.
class BusClient {
 public:
  BusClient() {
    GError* error = nullptr;
    platform::GCharPtr address(
        g_dbus_address_get_for_bus_sync(G_BUS_TYPE_SESSION, nullptr, &error));
    GErrorPtr owned(error);
    if (!address) return;
    connection_.reset(g_dbus_connection_new_for_address_sync(
        address.get(),
        static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                          G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, nullptr, &error));
    owned.reset(error);
    if (!connection_) return;
    subscription_ = g_dbus_connection_signal_subscribe(
        connection_.get(), nullptr, "org.freedesktop.DBus.Properties", "PropertiesChanged", kPath,
        kPlayer, G_DBUS_SIGNAL_FLAGS_NONE, OnPropertiesChanged, this, nullptr);
  }
  ~BusClient() {
    if (connection_) {
      g_dbus_connection_signal_unsubscribe(connection_.get(), subscription_);
      g_dbus_connection_close_sync(connection_.get(), nullptr, nullptr);
    }
  }
  BusClient(const BusClient&) = delete;
  BusClient& operator=(const BusClient&) = delete;
  bool Connected() const { return connection_ != nullptr; }

  std::optional<Variant> Call(const std::string& name, const char* interface, const char* method,
                              GVariant* parameters = nullptr) {
    struct Reply {
      bool done = false;
      std::optional<Variant> value;
    } reply;
    g_dbus_connection_call(
        connection_.get(), name.c_str(), kPath, interface, method, parameters, nullptr,
        G_DBUS_CALL_FLAGS_NONE, 5000, nullptr,
        [](GObject* source, GAsyncResult* result, gpointer data) {
          auto& r = *static_cast<Reply*>(data);
          GError* error = nullptr;
          GVariant* value =
              g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, &error);
          GErrorPtr owned(error);
          if (value != nullptr) r.value = Variant(value);
          r.done = true;
        },
        &reply);
    WaitUntil([&] { return reply.done; }, 10s);
    return std::move(reply.value);
  }

  bool Set(const std::string& name, const char* property, GVariant* value) {
    return Call(name, "org.freedesktop.DBus.Properties", "Set",
                g_variant_new("(ssv)", kPlayer, property, value))
        .has_value();
  }

  std::optional<Variant> Get(const std::string& name, const char* property) {
    auto reply = Call(name, "org.freedesktop.DBus.Properties", "Get",
                      g_variant_new("(ss)", kPlayer, property));
    if (!reply) return std::nullopt;
    GVariant* inner = nullptr;
    g_variant_get(reply->get(), "(v)", &inner);
    return Variant(inner);
  }

  std::string Status(const std::string& name) {
    auto value = Get(name, "PlaybackStatus");
    return value ? g_variant_get_string(value->get(), nullptr) : "";
  }

  // Metadata, each value printed as GVariant text.
  std::map<std::string, std::string> Metadata(const std::string& name) {
    std::map<std::string, std::string> entries;
    auto value = Get(name, "Metadata");
    if (!value) return entries;
    GVariantIter iter;
    g_variant_iter_init(&iter, value->get());
    const gchar* key = nullptr;
    GVariant* entry = nullptr;
    while (g_variant_iter_next(&iter, "{&sv}", &key, &entry)) {
      platform::GCharPtr text(g_variant_print(entry, FALSE));
      entries[key] = text.get();
      g_variant_unref(entry);
    }
    return entries;
  }

  // The PlaybackStatus values that PropertiesChanged told, in order.
  const std::vector<std::string>& ToldStatuses() const { return told_; }

 private:
  static void OnPropertiesChanged(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                                  const gchar*, GVariant* parameters, gpointer self) {
    GVariant* changed = g_variant_get_child_value(parameters, 1);
    const gchar* status = nullptr;
    if (g_variant_lookup(changed, "PlaybackStatus", "&s", &status)) {
      static_cast<BusClient*>(self)->told_.emplace_back(status);
    }
    g_variant_unref(changed);
  }

  GObjectPtr<GDBusConnection> connection_;
  guint subscription_ = 0;
  std::vector<std::string> told_;
};

// Whether a label below root shows this text on screen.
bool ShowsText(Gtk::Widget& root, const std::string& text) {
  for (Gtk::Widget* widget : test::AllWidgets(root)) {
    auto* label = dynamic_cast<Gtk::Label*>(widget);
    if (label != nullptr && label->get_mapped() && label->get_text() == text) return true;
  }
  return false;
}

void SaveScreenshot(Gtk::Window& window, const std::string& name) {
  int x = 0;
  int y = 0;
  window.get_window()->get_origin(x, y);
  Gdk::Pixbuf::create(Gdk::Window::get_default_root_window(), x, y,
                      window.get_window()->get_width(), window.get_window()->get_height())
      ->save(std::string(TELVANTA_SCREENSHOT_DIR) + "/controls-" + name + ".png", "png");
}

// Runs a program to its end while the main loop goes on; its standard output.
std::string RunAlongside(const std::vector<const char*>& argv) {
  std::vector<const char*> args = argv;
  args.push_back(nullptr);
  GError* error = nullptr;
  GObjectPtr<GSubprocess> process(
      g_subprocess_newv(args.data(), G_SUBPROCESS_FLAGS_STDOUT_PIPE, &error));
  GErrorPtr owned(error);
  if (!process) return "";
  struct Result {
    bool done = false;
    std::string out;
  } result;
  g_subprocess_communicate_utf8_async(
      process.get(), nullptr, nullptr,
      [](GObject* source, GAsyncResult* res, gpointer data) {
        auto& r = *static_cast<Result*>(data);
        gchar* out = nullptr;
        g_subprocess_communicate_utf8_finish(G_SUBPROCESS(source), res, &out, nullptr, nullptr);
        r.out = out != nullptr ? out : "";
        g_free(out);
        r.done = true;
      },
      &result);
  WaitUntil([&] { return result.done; }, 15s);
  return result.out;
}

class DesktopPlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(bus_.Connected()) << "the test runs on a session bus of its own";
    setenv("XDG_CONFIG_HOME", config_.Path().c_str(), 1);
    setenv("XDG_DATA_HOME", data_.Path().c_str(), 1);
    setenv("XDG_RUNTIME_DIR", runtime_.Path().c_str(), 1);
    SetProgramFolderForTesting(program_.Path());
    server_.AddRoute("/radio", test::IcyMp3Route(test::Media().folder / test::TestMedia::kMp3, 8000,
                                                 "Loop FM", songTitle_));
    radio_ = server_.Url("/radio");
    video_ = server_.Url(std::string("/") + test::TestMedia::kHls);
    const std::string dead = "http://127.0.0.1:" + std::to_string(test::ClosedPort()) + "/dead";
    test::MakeProgramFolder(program_.Path(),
                            {test::Station("Canada", "Loop Radio", "64k", radio_, "Music"),
                             test::Station("Canada", "Mute Air", "", dead, "News"),
                             test::Station("Canada", "Nova Loop TV", "300k", video_, "News")});
    WriteSetting("FirstRun", "1");
    WriteSetting("Day", DateText());  // no update check: tests stay offline
    windows_ = CreateWindows();
    windows_.mainWindow->Browser();  // made early, so its players stay silent
    test::Find<platform::WebBrowser>(*windows_.mainWindow, "WebBrowser1")
        .SetPlayerSettings({.audioOutput = "null"});
  }

  void TearDown() override {
    windows_ = {};
    test::Pump();
    SetProgramFolderForTesting({});
  }

  void ShowAndPlayFirstStation() {
    test::PlayTvRowOnceShown(*windows_.channelList, 0);
    windows_.mainWindow->show();
  }

  platform::PlayerPhase Phase() {
    auto players = test::Find<platform::WebBrowser>(*windows_.mainWindow, "WebBrowser1").Players();
    return players.empty() ? platform::PlayerPhase::Ready : players.front().phase;
  }

  bool StatusBecomes(const std::string& status) {
    return WaitUntil([&] { return bus_.Status(name_) == status; }, 20s);
  }

  test::TempFolder config_{"telvanta-config"};
  test::TempFolder data_{"telvanta-data"};
  test::TempFolder runtime_{"telvanta-runtime"};
  test::TempFolder program_{"telvanta-program"};
  test::LoopbackHttpServer server_{test::Media().folder};
  std::shared_ptr<test::StreamTitle> songTitle_ =
      std::make_shared<test::StreamTitle>(kStationTitle);
  std::string radio_;
  std::string video_;
  TelvantaWindows windows_;
  BusClient bus_;
  const std::string name_ = platform::MprisService::kBusName;
};

TEST_F(DesktopPlayerTest, StationIsHeardAndSteeredFromTheDesktop) {
  ASSERT_TRUE(StatusBecomes("Stopped")) << "nothing on the bus before the first play";
  ShowAndPlayFirstStation();
  auto& main = *windows_.mainWindow;
  const std::string station = "Canada - Loop Radio(64k)";
  ASSERT_EQ(main.get_title(), "Telvanta - " + station);
  // What a screen reader hears follows the title.
  EXPECT_EQ(test::AccessibleName(main), "Telvanta - " + station);
  const std::string pid = std::to_string(getpid());
  const std::string spoken = RunAlongside({SPOKEN_NAMES_COMMAND, SPOKEN_NAMES_SCRIPT, pid.c_str()});
  EXPECT_EQ(spoken, "frame: Telvanta - " + station + "\n");

  ASSERT_TRUE(StatusBecomes("Playing"));
  ASSERT_TRUE(
      WaitUntil([&] { return bus_.Metadata(name_)["xesam:title"] == "'Artist - Song'"; }, 20s))
      << bus_.Metadata(name_)["xesam:title"];
  const auto metadata = bus_.Metadata(name_);
  EXPECT_EQ(metadata.at("xesam:album"), "'" + station + "'");
  EXPECT_EQ(metadata.at("xesam:artist"), "['" + station + "']");
  EXPECT_EQ(metadata.at("xesam:url"), "'" + radio_ + "'");
  EXPECT_EQ(metadata.at("mpris:trackid"), "'/org/telvanta/Telvanta/Play/1'");

  const std::string transcript = RunAlongside({"playerctl", "--player=telvanta", "metadata"});
  std::cout << "playerctl metadata:\n" << transcript;
  EXPECT_NE(transcript.find("telvanta xesam:title"), std::string::npos) << transcript;
  EXPECT_NE(transcript.find(kStationTitle), std::string::npos) << transcript;

  // Media keys: pause, play-pause, stop, play.
  ASSERT_TRUE(bus_.Call(name_, kPlayer, "Pause"));
  EXPECT_TRUE(StatusBecomes("Paused"));
  EXPECT_EQ(Phase(), platform::PlayerPhase::Paused);
  ASSERT_TRUE(bus_.Call(name_, kPlayer, "PlayPause"));
  EXPECT_TRUE(StatusBecomes("Playing"));
  ASSERT_TRUE(bus_.Call(name_, kPlayer, "Stop"));
  EXPECT_TRUE(StatusBecomes("Stopped"));
  EXPECT_EQ(Phase(), platform::PlayerPhase::Stopped);
  EXPECT_EQ(bus_.Metadata(name_)["xesam:title"], "'" + station + "'") << "the song went with it";
  ASSERT_TRUE(bus_.Call(name_, kPlayer, "Play"));
  EXPECT_TRUE(StatusBecomes("Playing"));
  EXPECT_TRUE(WaitUntil([&] { return Phase() == platform::PlayerPhase::Playing; }, 20s));
  test::Pump(200ms);
  const std::vector<std::string> told = bus_.ToldStatuses();
  const std::vector<std::string> expected = {"Playing", "Paused", "Playing", "Stopped", "Playing"};
  EXPECT_TRUE(std::search(told.begin(), told.end(), expected.begin(), expected.end()) != told.end())
      << testing::PrintToString(told);

  // Quit closes the main window, as its close button would.
  ASSERT_TRUE(bus_.Call(name_, "org.mpris.MediaPlayer2", "Quit"));
  EXPECT_TRUE(WaitUntil([&] { return !main.get_visible(); }, 5s));
  EXPECT_EQ(ReadSetting("FirstRun"), "1");
}

// The player's control bar, its keys and the desktop steer one play after
// another, with one volume kept for them all; a radio's title follows every
// change; and what the desktop and the player name is what plays. (Before,
// there was no volume anywhere, Space pressed the focused toolbar button,
// the first song title stayed for the whole play, and an address opened by
// hand was told and headed as the station before it, or as "Telvanta".)
TEST_F(DesktopPlayerTest, ControlBarKeysAndTheDesktopSteerThePlay) {
  WriteVolume(40);
  ASSERT_TRUE(StatusBecomes("Stopped"));
  // The pointer rests off the players, so the bar goes when nothing moves.
  auto* seat = gdk_display_get_default_seat(gdk_display_get_default());
  gdk_device_warp(gdk_seat_get_pointer(seat), gdk_screen_get_default(), 0, 0);
  ShowAndPlayFirstStation();
  auto& main = *windows_.mainWindow;
  auto& browser = test::Find<platform::WebBrowser>(main, "WebBrowser1");
  const auto player = [&] {
    const auto players = browser.Players();
    return players.empty() ? platform::PlayerInfo{} : players.front();
  };
  ASSERT_TRUE(StatusBecomes("Playing"));
  ASSERT_TRUE(WaitUntil([&] { return player().phase == platform::PlayerPhase::Playing; }, 20s));
  auto& box = test::Find<platform::PlayerWidget>(main, platform::kWindowsMediaWidgetName);
  auto& bar = test::Find<Gtk::Box>(box, "PlayerControls");
  auto& slider = test::Find<Gtk::Scale>(bar, "VolumeSlider");
  EXPECT_TRUE(WaitUntil([&] { return bar.get_mapped(); }, 5s)) << "an audio stream shows its bar";
  EXPECT_EQ(slider.get_value(), 40);
  EXPECT_FALSE(test::Find<Gtk::Button>(bar, "FullScreenButton").get_visible()) << "no picture";
  EXPECT_TRUE(WaitUntil([&] { return player().volume == 40; }, 10s)) << "the kept volume plays";
  EXPECT_EQ(g_variant_get_double(bus_.Get(name_, "Volume")->get()), 0.4);
  EXPECT_TRUE(g_variant_get_boolean(bus_.Get(name_, "CanControl")->get()));

  // Each title reaches the window and the desktop before the station sends the next.
  for (const char* song : {"Song number 1", "Song number 2", "Song number 3"}) {
    songTitle_->Set(song);
    EXPECT_TRUE(WaitUntil(
        [&] {
          return ShowsText(box, song) &&
                 bus_.Metadata(name_)["xesam:title"] == "'" + std::string(song) + "'";
        },
        15s))
        << song << ": " << bus_.Metadata(name_)["xesam:title"];
  }
  SaveScreenshot(main, "audio");

  // Keys go to the player, not to the toolbar button with the focus.
  test::Find<Gtk::Button>(main, "TeButton6").grab_focus();
  const struct {
    guint key;
    platform::PlayerPhase phase;
    bool muted;
    int volume;
  } keys[] = {
      {GDK_KEY_space, platform::PlayerPhase::Paused, false, 40},
      {GDK_KEY_space, platform::PlayerPhase::Playing, false, 40},
      {GDK_KEY_m, platform::PlayerPhase::Playing, true, 40},
      {GDK_KEY_M, platform::PlayerPhase::Playing, false, 40},
      {GDK_KEY_Up, platform::PlayerPhase::Playing, false, 45},
      {GDK_KEY_9, platform::PlayerPhase::Playing, false, 40},
      {GDK_KEY_9, platform::PlayerPhase::Playing, false, 35},
      {GDK_KEY_0, platform::PlayerPhase::Playing, false, 40},
      {GDK_KEY_Down, platform::PlayerPhase::Playing, false, 35},
  };
  for (const auto& k : keys) {
    test::SendKey(main, k.key);
    EXPECT_TRUE(WaitUntil(
        [&] {
          const auto p = player();
          return p.phase == k.phase && p.muted == k.muted && p.volume == k.volume;
        },
        10s))
        << gdk_keyval_name(k.key) << ": phase " << static_cast<int>(player().phase) << ", muted "
        << player().muted << ", volume " << player().volume;
  }
  EXPECT_FALSE(windows_.channelList->get_visible()) << "Space pressed Watch TV";
  EXPECT_EQ(ReadVolume(), 35);

  // The bar's buttons and slider, as a click and a drag would.
  test::Find<Gtk::Button>(bar, "PlayPauseButton").clicked();
  EXPECT_TRUE(StatusBecomes("Paused"));
  test::Find<Gtk::Button>(bar, "PlayPauseButton").clicked();
  EXPECT_TRUE(StatusBecomes("Playing"));
  test::Find<Gtk::Button>(bar, "MuteButton").clicked();
  EXPECT_TRUE(WaitUntil([&] { return player().muted; }, 10s));
  test::Find<Gtk::Button>(bar, "MuteButton").clicked();
  EXPECT_TRUE(WaitUntil([&] { return !player().muted; }, 10s));
  slider.set_value(70);
  EXPECT_TRUE(WaitUntil([&] { return player().volume == 70; }, 10s));
  EXPECT_EQ(ReadVolume(), 70);
  EXPECT_TRUE(WaitUntil(
      [&] { return g_variant_get_double(bus_.Get(name_, "Volume")->get()) == 0.7; }, 10s));

  // The desktop sets the volume as playerctl volume 0.25 does.
  ASSERT_TRUE(bus_.Set(name_, "Volume", g_variant_new_double(0.25)));
  EXPECT_TRUE(WaitUntil([&] { return player().volume == 25; }, 10s));
  EXPECT_EQ(slider.get_value(), 25);
  EXPECT_EQ(ReadVolume(), 25);

  // Next moves through the list as the search shows it: past the hidden row.
  test::Find<Gtk::SearchEntry>(*windows_.channelList, "SearchEdit").set_text("loop");
  EXPECT_FALSE(g_variant_get_boolean(bus_.Get(name_, "CanGoPrevious")->get()));
  ASSERT_TRUE(bus_.Call(name_, kPlayer, "Next"));
  const std::string tv = "Canada - Nova Loop TV(300k)";
  EXPECT_TRUE(WaitUntil([&] { return main.get_title() == "Telvanta - " + tv; }, 10s))
      << main.get_title();
  EXPECT_TRUE(
      WaitUntil([&] { return bus_.Metadata(name_)["xesam:url"] == "'" + video_ + "'"; }, 10s));
  EXPECT_EQ(bus_.Metadata(name_)["xesam:title"], "'" + tv + "'");
  ASSERT_TRUE(WaitUntil(
      [&] {
        const auto players = browser.Players();
        return !players.empty() && players.front().framesRendered > 0 &&
               players.front().phase == platform::PlayerPhase::Playing;
      },
      20s));
  EXPECT_EQ(player().volume, 25) << "the volume carries to the next play";
  EXPECT_TRUE(g_variant_get_boolean(bus_.Get(name_, "CanGoPrevious")->get()));
  EXPECT_FALSE(g_variant_get_boolean(bus_.Get(name_, "CanGoNext")->get()));

  // Over a picture the bar comes with the pointer and goes a while later.
  auto& video = test::Find<platform::PlayerWidget>(main, platform::kWindowsMediaWidgetName);
  auto& videoBar = test::Find<Gtk::Box>(video, "PlayerControls");
  EXPECT_TRUE(WaitUntil([&] { return !videoBar.get_mapped(); }, 10s));
  test::SendMotion(video, 20, 20);
  EXPECT_TRUE(WaitUntil([&] { return videoBar.get_mapped(); }, 5s));
  EXPECT_TRUE(test::Find<Gtk::Button>(videoBar, "FullScreenButton").get_mapped());
  test::Pump(300ms);
  SaveScreenshot(main, "video");
  EXPECT_TRUE(WaitUntil([&] { return !videoBar.get_mapped(); }, 10s)) << "the bar stayed";

  // Full screen: a double-click, F and Escape.
  test::SendButton(video, GDK_2BUTTON_PRESS, 1, 20, 20);
  EXPECT_TRUE(video.IsFullScreen());
  test::SendKey(main, GDK_KEY_Escape);
  EXPECT_TRUE(WaitUntil([&] { return !video.IsFullScreen(); }, 5s));
  test::SendKey(main, GDK_KEY_f);
  ASSERT_TRUE(video.IsFullScreen());
  // The bar goes with the picture and comes there with the pointer.
  auto* screen = dynamic_cast<Gtk::Window*>(videoBar.get_toplevel());
  ASSERT_TRUE(screen != nullptr && screen != &main);
  EXPECT_TRUE(WaitUntil([&] { return screen->get_mapped(); }, 5s));
  test::SendMotion(*screen, 20, 20);
  EXPECT_TRUE(WaitUntil([&] { return videoBar.get_mapped(); }, 5s));
  test::Pump(300ms);
  SaveScreenshot(*screen, "fullscreen");
  test::SendKey(main, GDK_KEY_F);
  EXPECT_TRUE(WaitUntil([&] { return !video.IsFullScreen(); }, 5s));

  // The next play, while full screen: the screen goes, and the player that
  // follows (the same widget, kept) carries nothing of this one.
  test::SendKey(main, GDK_KEY_f);
  ASSERT_TRUE(video.IsFullScreen());
  ASSERT_TRUE(bus_.Call(name_, kPlayer, "Previous"));
  EXPECT_TRUE(
      WaitUntil([&] { return main.get_title() == "Telvanta - Canada - Loop Radio(64k)"; }, 10s))
      << main.get_title();
  EXPECT_TRUE(WaitUntil(
      [&] {
        const auto players = browser.Players();
        return !players.empty() && players.front().audioOnly &&
               players.front().phase == platform::PlayerPhase::Playing;
      },
      10s));
  EXPECT_EQ(player().stationName, "Canada - Loop Radio(64k)");
  EXPECT_EQ(player().video, platform::VideoSize{});
  const auto toplevels = Gtk::Window::list_toplevels();
  EXPECT_TRUE(std::none_of(toplevels.begin(), toplevels.end(), [](Gtk::Window* window) {
    return dynamic_cast<platform::FullScreenWindow*>(window) != nullptr && window->get_mapped();
  })) << "a full screen outlived its play";
  auto& radioBar = test::Find<Gtk::Box>(main, "PlayerControls");
  EXPECT_TRUE(WaitUntil([&] { return radioBar.get_mapped(); }, 5s)) << "no picture, the bar stays";

  // An address opened by hand: the caption stays, what plays is told.
  main.PlayTV(video_);
  EXPECT_TRUE(WaitUntil(
      [&] {
        auto metadata = bus_.Metadata(name_);
        return metadata["xesam:url"] == "'" + video_ + "'" &&
               metadata["xesam:title"] == "'" + video_ + "'" && !metadata.contains("xesam:album");
      },
      10s))
      << bus_.Metadata(name_)["xesam:title"];
  // The heading names the address, never the page's title.
  EXPECT_EQ(player().stationName, video_);
  EXPECT_FALSE(g_variant_get_boolean(bus_.Get(name_, "CanGoNext")->get()));
}

TEST_F(DesktopPlayerTest, SecondPlayerTakesAnInstanceName) {
  ASSERT_TRUE(StatusBecomes("Stopped"));
  platform::MprisService second("Telvanta", "org.telvanta.Telvanta", {});
  const std::string instance = name_ + ".instance" + std::to_string(getpid());
  ASSERT_TRUE(WaitUntil([&] { return second.BusName() == instance; }, 10s)) << second.BusName();
  auto identity = bus_.Call(instance, "org.freedesktop.DBus.Properties", "Get",
                            g_variant_new("(ss)", "org.mpris.MediaPlayer2", "Identity"));
  ASSERT_TRUE(identity);
  platform::GCharPtr text(g_variant_print(identity->get(), FALSE));
  EXPECT_STREQ(text.get(), "(<'Telvanta'>,)");
}

}  // namespace
}  // namespace telvanta

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  auto app =
      Gtk::Application::create("org.telvanta.DesktopPlayerTest", Gio::APPLICATION_NON_UNIQUE);
  app->register_application();
  std::setlocale(LC_NUMERIC, "C");
  telvanta::InstallErrorDisplay();
  telvanta::platform::LinkWebModule();
  return RUN_ALL_TESTS();
}
