// The manual update check against a loopback server, under Xvfb.

#include "update/windows/UpdateCheckDialog.h"

#include <gtest/gtest.h>

#include <chrono>

#include "common/DesCipher.h"
#include "common/Links.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestUrlHandler.h"
#include "tests/support/WindowTestSupport.h"
#include "widgets/ErrorDisplay.h"
#include "widgets/WidgetSupport.h"

namespace telvanta {
namespace {

using namespace std::chrono_literals;

class UpdateCheckDialogTest : public ::testing::Test {
 protected:
  // Web addresses go to a test handler that writes down what it was given.
  static void SetUpTestSuite() {
    home_ = std::make_unique<test::TempFolder>("telvanta-xdg");
    test::InstallTestUrlHandler(home_->Path(), {"http", "https"}, *home_ / "opened.txt", false);
  }
  static void TearDownTestSuite() { home_.reset(); }
  static std::string Opened() {
    return std::filesystem::exists(*home_ / "opened.txt") ? test::ReadFile(*home_ / "opened.txt")
                                                          : std::string();
  }
  static std::unique_ptr<test::TempFolder> home_;

  UpdateContext Context() const {
    UpdateContext context;
    context.infoEndpointHex = DesEncryptHex(server_.Url("/tvinfo.ini"), UpdateKey);
    context.downloadFolder = downloads_.Path();
    context.dataFolder = downloads_.Path();
    context.version = "7.2.0.0";
    context.limits.connectTimeout = 2s;
    return context;
  }
  // Shows the dialog modally, as the menu does, and records the boxes.
  std::vector<test::SeenDialog> Check(std::optional<UpdateContext> context) {
    Gtk::Window owner;
    return test::AnswerDialogs([&] {
      UpdateCheckDialog dialog(owner, std::move(context), 50ms);
      ShowModal(dialog);
    });
  }
  test::TempFolder root_{"telvanta-update-root"};
  test::TempFolder downloads_{"telvanta-update-downloads"};
  test::LoopbackHttpServer server_{root_.Path()};
};

std::unique_ptr<test::TempFolder> UpdateCheckDialogTest::home_;

// Only a newer version opens the download page, once its box is dismissed.
TEST_F(UpdateCheckDialogTest, TellsTheOutcomeAndCloses) {
  const struct {
    const char* ini;  // nullptr: no tvinfo.ini on the server
    const char* message;
    bool opensDownloadPage;
  } cases[] = {
      {"[Current]\r\nVersion=7.2.0.0\r\n", "You already have the latest version of Telvanta.",
       false},
      {nullptr, "Can't get update information. Please try again later.", false},
      {"[Current]\r\nVersion=7.3.0.0\r\n",
       "A newer version 7.3.0.0 of Telvanta was found. Download it first?", true},
  };
  for (const auto& c : cases) {
    std::filesystem::remove(*home_ / "opened.txt");
    std::filesystem::remove(root_ / "tvinfo.ini");
    if (c.ini != nullptr) {
      test::WriteFile(root_ / "tvinfo.ini", c.ini);
    }
    const auto seen = Check(Context());
    ASSERT_EQ(seen.size(), 1U) << c.message;
    EXPECT_EQ(seen[0].text, c.message);
    EXPECT_EQ(seen[0].icon, MessageIcon::None);
    EXPECT_FALSE(std::filesystem::exists(downloads_ / "tvinfo.ini"));
    if (c.opensDownloadPage) {
      EXPECT_TRUE(test::WaitUntil([] { return Opened() == DownloadPage(); }, 10s)) << Opened();
    } else {
      test::Pump(200ms);
      EXPECT_EQ(Opened(), "");
    }
  }
  const auto seen = Check(std::nullopt);  // nowhere to download to
  ASSERT_EQ(seen.size(), 1U);
  EXPECT_EQ(seen[0].text, "Can't get update information. Please try again later.");
}

// The fetch runs off the UI thread: the loop keeps turning while the server
// trickles, and closing the dialog cancels the check without a message.
TEST_F(UpdateCheckDialogTest, StaysResponsiveAndClosingCancels) {
  server_.AddRoute("/tvinfo.ini", test::LoopbackHttpServer::Trickle(200ms));
  Gtk::Window owner;
  int ticks = 0;
  sigc::connection tick = Glib::signal_timeout().connect([&] { return ++ticks, true; }, 20);
  const auto seen = test::AnswerDialogs([&] {
    UpdateCheckDialog dialog(owner, Context(), 10ms);
    Glib::signal_timeout().connect_once(
        [&] {
          GdkEvent* event = gdk_event_new(GDK_DELETE);
          event->any.window = GDK_WINDOW(g_object_ref(dialog.get_window()->gobj()));
          gtk_main_do_event(event);
          gdk_event_free(event);
        },
        600);
    ShowModal(dialog);
  });
  tick.disconnect();
  EXPECT_TRUE(seen.empty());
  EXPECT_GT(ticks, 15) << "the UI thread waited for the network";
  test::Pump(300ms);
}

}  // namespace
}  // namespace telvanta
