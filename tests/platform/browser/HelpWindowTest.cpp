// The Help menu's addresses open the program's help window at the asked-for
// topic; links inside it stay in it or go to the default handler.

#include <gtest/gtest.h>
#include <gtkmm.h>
// After gtkmm, which brings the GTK declarations WebKit's headers still name.
#include <webkit2/webkit2.h>

#include <fstream>

#include "common/ProgramPaths.h"
#include "platform/browser/HelpWindow.h"
#include "platform/desktop/ShellOpen.h"
#include "tests/support/GuiHarness.h"
#include "tests/support/TestMedia.h"
#include "tests/support/TestUrlHandler.h"
#include "tests/support/WindowTestSupport.h"

namespace telvanta::test {
namespace {

using namespace std::chrono_literals;
using platform::HelpWindow;
using platform::ShellOpen;
using platform::ShowMode;

class HelpWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    SetProgramFolderForTesting(TELVANTA_BUILD_PROGRAM_DIR);
    // Mail links reach a test handler found through a temporary home.
    home_ = MakeTempFolder("telvanta-help-xdg");
    marker_ = home_ / "opened.txt";
    InstallTestUrlHandler(home_, {"mailto"}, marker_, true);
  }
  static void TearDownTestSuite() { SetProgramFolderForTesting({}); }

  void SetUp() override { CloseHelp(); }
  void TearDown() override { CloseHelp(); }

  static void CloseHelp() {
    if (HelpWindow* window = HelpWindow::Current()) {
      window->close();
      ASSERT_TRUE(WaitUntil([] { return HelpWindow::Current() == nullptr; }, 5s));
    }
  }
  static bool ShowsPage(const std::string& title, const std::string& topic) {
    return WaitUntil(
        [&] {
          HelpWindow* window = HelpWindow::Current();
          return window != nullptr && window->get_title() == title &&
                 window->Uri().ends_with("/" + topic);
        },
        20s);
  }
  // Runs a script in the page, as a click of the user would.
  static void RunInPage(const std::string& script) {
    WebKitWebView* view = nullptr;
    auto* layout = dynamic_cast<Gtk::Container*>(HelpWindow::Current()->get_child());
    for (Gtk::Widget* child : layout->get_children()) {
      if (WEBKIT_IS_WEB_VIEW(child->gobj())) {
        view = WEBKIT_WEB_VIEW(child->gobj());
      }
    }
    ASSERT_NE(view, nullptr);
    webkit_web_view_evaluate_javascript(view, script.c_str(), -1, nullptr, nullptr, nullptr,
                                        nullptr, nullptr);
  }
  static void Press(const std::string& name) {
    auto* button = dynamic_cast<Gtk::Button*>(FindByName(*HelpWindow::Current(), name));
    ASSERT_NE(button, nullptr) << name;
    ASSERT_TRUE(WaitUntil([button] { return button->get_sensitive(); }, 5s)) << name;
    button->clicked();
  }
  static std::string Opened() {
    std::ifstream in(marker_);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  static std::string HelpFile() { return ProgramFolder() + "Help.chm"; }

  static std::filesystem::path home_;
  static std::filesystem::path marker_;
};

std::filesystem::path HelpWindowTest::home_;
std::filesystem::path HelpWindowTest::marker_;

TEST_F(HelpWindowTest, MoreOpensTheFaqTopicAndHelpContentsTheContentsInTheSameWindow) {
  ShellOpen("mk:@MSITStore:" + HelpFile() + "::/faq.htm", ShowMode::Maximized);
  ASSERT_TRUE(ShowsPage("Frequently asked questions", "faq.htm"));
  HelpWindow* first = HelpWindow::Current();
  EXPECT_EQ(first->File(), HelpFile());
  EXPECT_TRUE(first->get_visible());

  ShellOpen(HelpFile(), ShowMode::Maximized);
  ASSERT_TRUE(ShowsPage("Welcome to Telvanta", "index.htm"));
  EXPECT_EQ(HelpWindow::Current(), first);
}

TEST_F(HelpWindowTest, LinksBetweenPagesStayInTheHelpWindow) {
  ShellOpen(HelpFile());
  ASSERT_TRUE(ShowsPage("Welcome to Telvanta", "index.htm"));
  RunInPage("document.querySelector('a[href=\"preferences.htm\"]').click()");
  EXPECT_TRUE(ShowsPage("Preferences", "preferences.htm"));
  // A link that asks for a new window opens in this one as well.
  RunInPage(
      "var a = document.querySelector('a[href=\"update.htm#check\"]');"
      "a.target = '_blank'; a.click()");
  EXPECT_TRUE(ShowsPage("Updates", "update.htm#check"));

  Press("HelpBack");
  EXPECT_TRUE(ShowsPage("Preferences", "preferences.htm"));
  Press("HelpForward");
  EXPECT_TRUE(ShowsPage("Updates", "update.htm#check"));
  Press("HelpContents");
  EXPECT_TRUE(ShowsPage("Welcome to Telvanta", "index.htm"));
}

TEST_F(HelpWindowTest, MailLinksInsideHelpGoToTheDefaultHandler) {
  std::filesystem::remove(marker_);
  ShellOpen("ms-its:" + HelpFile() + "::/about.htm");
  ASSERT_TRUE(ShowsPage("About Telvanta", "about.htm"));
  RunInPage("location.href = 'mailto:support@example.org'");
  EXPECT_TRUE(WaitUntil([] { return Opened() == "mailto:support@example.org"; }, 10s)) << Opened();
  EXPECT_TRUE(ShowsPage("About Telvanta", "about.htm"));
}

TEST_F(HelpWindowTest, AMissingHelpFileShowsNothingAndAMissingTopicNoDialog) {
  ShellOpen("mk:@MSITStore:/nonexistent/Help.chm::/faq.htm", ShowMode::Maximized);
  ShellOpen("/nonexistent/Help.chm");
  Pump(300ms);
  EXPECT_EQ(HelpWindow::Current(), nullptr);

  ShellOpen("mk:@MSITStore:" + HelpFile() + "::/missing.htm");
  ASSERT_TRUE(WaitUntil([] { return HelpWindow::Current() != nullptr; }, 5s));
  Pump(1s);
  for (Gtk::Window* window : Gtk::Window::list_toplevels()) {
    EXPECT_EQ(dynamic_cast<Gtk::Dialog*>(window), nullptr) << window->get_title();
  }
  // The help is still usable from there.
  ShellOpen("mk:@MSITStore:" + HelpFile() + "::/faq.htm");
  EXPECT_TRUE(ShowsPage("Frequently asked questions", "faq.htm"));
}

}  // namespace
}  // namespace telvanta::test
