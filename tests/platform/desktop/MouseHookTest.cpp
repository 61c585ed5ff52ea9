// Right clicks are held back from the RealPlayer style player, and from
// nothing else, through the process-wide hook. Clicks are real X events
// (xdotool under Xvfb).

#include <gtest/gtest.h>

#include "platform/desktop/MouseHook.h"
#include "tests/support/GuiHarness.h"
#include "tests/support/Ports.h"
#include "tests/support/TestMedia.h"

namespace telvanta::test {
namespace {

using namespace std::chrono_literals;
using platform::MouseHook;
using platform::WidgetOrAncestorNamed;

// What the main window installs: discard right-button presses and releases
// over widgets named "PNGUIClass".
struct RecordingHook {
  int calls = 0;
  int discarded = 0;
  MouseHook hook{[this](const GdkEventButton& event, GtkWidget* target) {
    ++calls;
    const bool right = event.button == 3;
    const bool discard = right && WidgetOrAncestorNamed(target, "PNGUIClass");
    discarded += discard ? 1 : 0;
    return discard;
  }};
};

class MouseHookTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = MakeTempFolder("telvanta-hook");
    const std::string dead = "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/x";
    WriteTextFile(folder_ / "page.htm",
                  "<html><body style=\"margin:0\">"
                  "<object type=\"application/x-ms-wmp\" data=\"" +
                      dead +
                      "\" width=\"300\" height=\"200\"></object>"
                      "<object type=\"audio/x-pn-realaudio-plugin\" data=\"" +
                      dead + "\" width=\"300\" height=\"200\"></object></body></html>");
    window_ = std::make_unique<BrowserWindow>(folder_);
    ASSERT_TRUE(window_->Load(folder_ / "page.htm"));
    ASSERT_TRUE(window_->WaitForPlayers(2));
    Pump(300ms);
    wmp_ = window_->Player(0).widget;
    rp_ = window_->Player(1).widget;
    ASSERT_EQ(rp_->get_name(), "PNGUIClass");
    rp_->signal_button_press_event().connect(
        [this](GdkEventButton* event) {
          reached_.push_back(event->button);
          return false;
        },
        false);
    rp_->signal_button_release_event().connect(
        [this](GdkEventButton* event) {
          reached_.push_back(event->button + 100);
          return false;
        },
        false);
  }
  void TearDown() override { window_.reset(); }

  // Clicks the middle of a widget with a real pointer.
  static void Click(Gtk::Widget* widget, int button) {
    int x = 0;
    int y = 0;
    widget->get_window()->get_origin(x, y);
    ASSERT_TRUE(RunProgram({"xdotool", "mousemove", std::to_string(x + 150),
                            std::to_string(y + 100), "click", std::to_string(button)}));
    Pump(300ms);
  }

  std::filesystem::path folder_;
  std::unique_ptr<BrowserWindow> window_;
  Gtk::Widget* wmp_ = nullptr;
  Gtk::Widget* rp_ = nullptr;
  std::vector<unsigned> reached_;
};

TEST_F(MouseHookTest, RightClicksNeverReachTheRealPlayer) {
  RecordingHook hook;
  Click(rp_, 3);
  EXPECT_EQ(hook.discarded, 2);  // press and release
  EXPECT_TRUE(reached_.empty());
}

TEST_F(MouseHookTest, LeftClicksStillReachTheRealPlayer) {
  RecordingHook hook;
  Click(rp_, 1);
  EXPECT_EQ(hook.discarded, 0);
  EXPECT_EQ(reached_, (std::vector<unsigned>{1, 101}));
}

TEST_F(MouseHookTest, TheWindowsMediaPlayerStillGetsItsMenu) {
  RecordingHook hook;
  auto* player = dynamic_cast<platform::PlayerWidget*>(wmp_);
  ASSERT_NE(player, nullptr);
  Click(wmp_, 3);
  EXPECT_GE(hook.calls, 1);
  EXPECT_EQ(hook.discarded, 0);
  ASSERT_NE(player->ContextMenu(), nullptr);
  EXPECT_TRUE(WaitUntil([&] { return player->ContextMenu()->get_visible(); }, 3s));
  std::vector<std::string> labels;
  for (Gtk::Widget* item : player->ContextMenu()->get_children()) {
    if (auto* menuItem = dynamic_cast<Gtk::MenuItem*>(item);
        menuItem && !menuItem->get_label().empty()) {
      labels.push_back(menuItem->get_label());
    }
  }
  EXPECT_EQ(labels, (std::vector<std::string>{"Play", "Pause", "Stop", "Mute", "Full Screen"}));
  player->ContextMenu()->popdown();
}

TEST_F(MouseHookTest, RemovingTheHookLetsRightClicksThroughAgain) {
  {
    RecordingHook hook;
    Click(rp_, 3);
  }
  EXPECT_TRUE(reached_.empty());
  Click(rp_, 3);
  EXPECT_EQ(reached_, (std::vector<unsigned>{3, 103}));
}

TEST_F(MouseHookTest, AFailingHookDoesNotEatClicks) {
  MouseHook hook([](const GdkEventButton&, GtkWidget*) -> bool { throw std::runtime_error("x"); });
  Click(rp_, 3);
  EXPECT_EQ(reached_, (std::vector<unsigned>{3, 103}));
}

TEST(WidgetOrAncestorNamed, MatchesTheWidgetAndItsAncestorsExactly) {
  Gtk::EventBox outer;
  Gtk::Box middle;
  Gtk::Label inner("x");
  outer.add(middle);
  middle.add(inner);
  outer.set_name("PNGUIClass");
  EXPECT_TRUE(WidgetOrAncestorNamed(GTK_WIDGET(inner.gobj()), "PNGUIClass"));
  EXPECT_TRUE(WidgetOrAncestorNamed(GTK_WIDGET(outer.gobj()), "PNGUIClass"));
  EXPECT_FALSE(WidgetOrAncestorNamed(GTK_WIDGET(inner.gobj()), "pnguiclass"));
  EXPECT_FALSE(WidgetOrAncestorNamed(GTK_WIDGET(inner.gobj()), "PNGUI"));
  EXPECT_FALSE(WidgetOrAncestorNamed(nullptr, "PNGUIClass"));
}

}  // namespace
}  // namespace telvanta::test
