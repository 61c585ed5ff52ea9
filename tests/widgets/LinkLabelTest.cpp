// Link labels in a real window under Xvfb: reached with Tab and activated
// with Enter or Space, seen by assistive technologies as links with a
// "click" action, and coloured blue (red while pressed) unless a skin
// colours "label.link" (the About box's links were blue on a dark skin).

#include "widgets/LinkLabel.h"

#include <gtest/gtest.h>

#include <atk/atk.h>

#include "tests/support/MainLoop.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestUrlHandler.h"
#include "tests/support/WindowTestSupport.h"
#include "widgets/SkinEngine.h"

namespace telvanta {
namespace {

using namespace std::chrono_literals;

class LinkLabelTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    home_ = std::make_unique<test::TempFolder>("telvanta-xdg");
    test::InstallTestUrlHandler(home_->Path(), {"x-telvanta-test"}, Marker(), false);
  }
  static void TearDownTestSuite() { home_.reset(); }
  static std::filesystem::path Marker() { return home_->Path() / "opened.txt"; }

  void SetUp() override {
    link_.SetHint("x-telvanta-test://about");
    box_.pack_start(button_);
    box_.pack_start(link_);
    box_.pack_start(clickLabel_);
    window_.add(box_);
    window_.show_all();
    // Keys move the focus only in the active window.
    window_.present();
    test::WaitUntil([&] { return window_.is_active(); });
    link_.signal_clicked().connect([this] { ++clicks_[0]; });
    clickLabel_.signal_clicked().connect([this] { ++clicks_[1]; });
  }
  void TearDown() override { SkinEngine::Default().SelectTheme(0); }

  static std::unique_ptr<test::TempFolder> home_;
  Gtk::Window window_;
  Gtk::Box box_{Gtk::ORIENTATION_VERTICAL};
  Gtk::Button button_{"Before"};
  LinkLabel link_{"Telvanta's home"};
  ClickLabel clickLabel_{">About connection"};
  int clicks_[2] = {0, 0};
};

std::unique_ptr<test::TempFolder> LinkLabelTest::home_;

TEST_F(LinkLabelTest, TabReachesTheLinksAndEnterOrSpaceActivatesThem) {
  button_.grab_focus();
  test::SendKey(window_, GDK_KEY_Tab);
  ASSERT_TRUE(link_.is_focus());
  std::filesystem::remove(Marker());
  test::SendKey(window_, GDK_KEY_Return);
  EXPECT_TRUE(test::WaitUntil([] { return test::ReadFile(Marker()) == "x-telvanta-test://about"; }))
      << test::ReadFile(Marker());
  test::SendKey(window_, GDK_KEY_Tab);
  ASSERT_TRUE(clickLabel_.is_focus());

  struct Case {
    ClickLabel& label;
    guint key;
    int clicks;
  };
  for (const Case& c : {Case{link_, GDK_KEY_KP_Enter, 1}, Case{link_, GDK_KEY_space, 1},
                        Case{link_, GDK_KEY_a, 0}, Case{clickLabel_, GDK_KEY_Return, 1},
                        Case{clickLabel_, GDK_KEY_KP_Space, 1}, Case{clickLabel_, GDK_KEY_b, 0}}) {
    const int index = &c.label == &link_ ? 0 : 1;
    c.label.grab_focus();
    const int before = clicks_[index];
    test::SendKey(window_, c.key);
    EXPECT_EQ(clicks_[index] - before, c.clicks) << gdk_keyval_name(c.key);
  }
}

TEST_F(LinkLabelTest, AssistiveTechnologiesSeeALinkWithAClickAction) {
  for (ClickLabel* label : {static_cast<ClickLabel*>(&link_), &clickLabel_}) {
    AtkObject* accessible = label->get_accessible()->gobj();
    EXPECT_EQ(atk_object_get_role(accessible), ATK_ROLE_LINK);
    ASSERT_TRUE(ATK_IS_ACTION(accessible));
    ASSERT_EQ(atk_action_get_n_actions(ATK_ACTION(accessible)), 1);
    EXPECT_STREQ(atk_action_get_name(ATK_ACTION(accessible), 0), "click");
    EXPECT_TRUE(atk_action_do_action(ATK_ACTION(accessible), 0));
  }
  EXPECT_TRUE(test::WaitUntil([&] { return clicks_[0] == 1 && clicks_[1] == 1; }));
}

TEST_F(LinkLabelTest, BlueAtRestRedWhilePressedAndASkinsColoursWin) {
  auto press = [&](GdkEventType type, guint button) {
    GdkEvent* event = gdk_event_new(type);
    event->button.window = GDK_WINDOW(g_object_ref(link_.get_window()->gobj()));
    event->button.send_event = TRUE;
    event->button.button = button;
    event->button.x = 2;
    event->button.y = 2;
    gdk_event_set_device(
        event, gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_display_get_default())));
    link_.event(event);
    gdk_event_free(event);
  };
  const Gdk::RGBA blue("#0000ff");
  const Gdk::RGBA red("#ff0000");
  EXPECT_EQ(link_.FontColour(), blue);
  press(GDK_BUTTON_PRESS, 3);
  EXPECT_EQ(link_.FontColour(), blue) << "the right button";
  press(GDK_BUTTON_RELEASE, 3);
  press(GDK_BUTTON_PRESS, 1);
  EXPECT_EQ(link_.FontColour(), red);
  link_.SetURLColPre(Gdk::RGBA("#00aa00"));
  EXPECT_EQ(link_.FontColour(), Gdk::RGBA("#00aa00"));
  press(GDK_BUTTON_RELEASE, 1);
  EXPECT_EQ(link_.FontColour(), blue);
  link_.SetURLColStd(Gdk::RGBA("#123456"));
  EXPECT_EQ(link_.FontColour(), Gdk::RGBA("#123456"));

  test::TempFolder skins("telvanta-skins");
  test::WriteFile(skins / "dark.uskn",
                  "window { background-color: #1c1f24; }\n"
                  "label.link { color: #ffc862; }\nlabel.link:active { color: #ffe0a0; }\n");
  ASSERT_TRUE(SkinEngine::Default().ApplySkinFile((skins / "dark.uskn").string()));
  EXPECT_EQ(link_.FontColour(), Gdk::RGBA("#ffc862"));
  press(GDK_BUTTON_PRESS, 1);
  EXPECT_EQ(link_.FontColour(), Gdk::RGBA("#ffe0a0"));
  press(GDK_BUTTON_RELEASE, 1);
  SkinEngine::Default().SelectTheme(0);
  EXPECT_EQ(link_.FontColour(), Gdk::RGBA("#123456"));
}

}  // namespace
}  // namespace telvanta
