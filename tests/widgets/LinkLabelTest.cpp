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

TEST_F(LinkLabelTest, TabReachesALinkAndEnterOrSpaceActivatesIt) {
  button_.grab_focus();
  test::SendKey(window_, GDK_KEY_Tab);
  ASSERT_TRUE(link_.is_focus());
  std::filesystem::remove(Marker());
  test::SendKey(window_, GDK_KEY_Return);
  EXPECT_TRUE(test::WaitUntil([] { return test::ReadFile(Marker()) == "x-telvanta-test://about"; }))
      << test::ReadFile(Marker());
  for (const auto& [key, clicks] :
       {std::pair{GDK_KEY_KP_Enter, 1}, std::pair{GDK_KEY_space, 1}, std::pair{GDK_KEY_a, 0}}) {
    const int before = clicks_[0];
    test::SendKey(window_, key);
    EXPECT_EQ(clicks_[0] - before, clicks) << gdk_keyval_name(key);
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

TEST_F(LinkLabelTest, BlueAtRestRedWhilePressedUnlessASkinColoursLinks) {
  auto button = [&](GdkEventType type, unsigned number) {
    test::SendButton(link_, type, number, 2, 2);
    return link_.FontColour();
  };
  const Gdk::RGBA blue("#0000ff");
  EXPECT_EQ(link_.FontColour(), blue);
  EXPECT_EQ(button(GDK_BUTTON_PRESS, 3), blue) << "the right button";
  EXPECT_EQ(button(GDK_BUTTON_RELEASE, 3), blue);
  EXPECT_EQ(button(GDK_BUTTON_PRESS, 1), Gdk::RGBA("#ff0000"));
  EXPECT_EQ(button(GDK_BUTTON_RELEASE, 1), blue);

  test::TempFolder skins("telvanta-skins");
  test::WriteFile(skins / "dark.uskn",
                  "window { background-color: #1c1f24; }\n"
                  "label.link { color: #ffc862; }\nlabel.link:active { color: #ffe0a0; }\n");
  ASSERT_TRUE(SkinEngine::Default().ApplySkinFile((skins / "dark.uskn").string()));
  EXPECT_EQ(link_.FontColour(), Gdk::RGBA("#ffc862"));
  EXPECT_EQ(button(GDK_BUTTON_PRESS, 1), Gdk::RGBA("#ffe0a0"));
  EXPECT_EQ(button(GDK_BUTTON_RELEASE, 1), Gdk::RGBA("#ffc862"));
  SkinEngine::Default().SelectTheme(0);
  EXPECT_EQ(link_.FontColour(), blue);
}

}  // namespace
}  // namespace telvanta
