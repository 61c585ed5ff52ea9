// The main window as a media player of the desktop, seen from outside over
// a session bus of the test's own: a radio station with ICY titles from
// 127.0.0.1, steered through MPRIS like media keys and playerctl do.

#include "app/startup/Startup.h"
#include "common/ProgramPaths.h"
#include "platform/browser/WebBrowser.h"
#include "platform/browser/WebModuleImpl.h"
#include "platform/desktop/MprisService.h"
#include "platform/glib/GObjectPtr.h"
#include "settings/Settings.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/PlayFromList.h"
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
                                                 "Loop FM", kStationTitle));
    radio_ = server_.Url("/radio");
    test::MakeProgramFolder(program_.Path(),
                            {test::Station("Canada", "Loop Radio", "64k", radio_, "Music")});
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
  std::string radio_;
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
