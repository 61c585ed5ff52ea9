// The start of a run in this process, over a temporary program folder and
// settings hive, under Xvfb: the splash, the windows in order, and the error
// display they rely on.

#include "app/startup/Startup.h"
#include "common/Error.h"
#include "settings/Settings.h"
#include "tests/support/WindowTestSupport.h"
#include "widgets/ErrorDisplay.h"
#include "widgets/SkinEngine.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <gdk/gdkx.h>
#undef None  // X's, not MessageIcon::None

#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <thread>

namespace telvanta {
namespace {

using test::AnswerDialogs;
using test::Find;

class StartupTest : public test::RealWindowsTest<TelvantaWindows, &CreateWindows> {};

TEST_F(StartupTest, StartsWithSplashThenMainThenListWindowAndDropsTheSplash) {
  bool splashShownAlone = false;
  windows_ = CreateWindows([&](std::string_view step) {
    steps_.emplace_back(step);
    if (step != "splash painted") return;
    for (Gtk::Window* window : Gtk::Window::list_toplevels()) {
      if (window->get_name() != "Splash") continue;
      int width = 0;
      int height = 0;
      window->get_size(width, height);
      splashShownAlone = window->get_visible() && !window->get_decorated() && width == 420 &&
                         height == 220 && window->get_mapped();
    }
  });
  EXPECT_TRUE(splashShownAlone);
  const std::vector<std::string> expected = {"splash painted", "title", "main window",
                                             "list window", "splash gone"};
  EXPECT_EQ(steps_, expected);
  EXPECT_EQ(Glib::get_application_name(), "Telvanta");
  for (Gtk::Window* window : Gtk::Window::list_toplevels()) {
    EXPECT_NE(window->get_name(), "Splash") << "the splash window is still there";
  }
  // The catalogue is in memory before the list is first shown.
  EXPECT_EQ(Find<StationListBox>(List(), "ListBox1").Count(), 4);
  EXPECT_FALSE(Main().get_visible());
  EXPECT_FALSE(List().get_visible());
}

// What a start reads on its worker before GTK is up is what the list window
// would read itself, so the window takes it, and shows the same either way.
TEST_F(StartupTest, ListsReadBeforeTheToolkitAreTheWindowsOwn) {
  struct Case {
    const char* page;
    const char* country;
    const char* type;
    const char* sort;
    const char* order;
  };
  for (const Case& c :
       {Case{"", "", "", "", ""}, Case{"", "canada", "NEWS", "channel name", "desc"},
        Case{"", "Nowhere", "Weather", "Bandwidth", "Asc"}, Case{"Radio", "", "", "", ""},
        Case{"Webcam", "", "", "", ""}, Case{"MyFav", "canada", "", "", ""}}) {
    SCOPED_TRACE(std::string(c.page) + "|" + c.country + "|" + c.type + "|" + c.sort);
    const std::pair<const char*, const char*> settings[] = {{"OnStartupDisplay", c.page},
                                                            {"FilterCountry", c.country},
                                                            {"FilterType", c.type},
                                                            {"SortBy", c.sort},
                                                            {"OrderBy", c.order}};
    for (const auto& [name, value] : settings) {
      *value ? WriteSetting(name, value) : DeleteSetting(name);
    }
    const std::optional<StartLists> read = PreloadStartLists().get();
    ASSERT_TRUE(read);

    windows_ = CreateWindows();
    const ListPage page = List().ActivePage();
    const TvFilter own = List().CurrentTvFilter();
    const auto ownCountries = List().CountryItems();
    const auto ownEntries = List().VisibleEntries(page);
    EXPECT_EQ(read->page, page);
    EXPECT_EQ(read->filter, own);
    if (read->loaded) {
      EXPECT_EQ(read->list.entries, ownEntries);
    }

    windows_ = CreateWindowsWith(PreloadStartLists());
    EXPECT_EQ(List().CurrentTvFilter(), own);
    EXPECT_EQ(List().CountryItems(), ownCountries);
    EXPECT_EQ(List().VisibleEntries(page), ownEntries);
    EXPECT_EQ(List().Urls(page).size(), ownEntries.size());
    // The box may take the countries after the window shows, but takes them.
    auto& countries = Find<Gtk::ComboBoxText>(List(), "TeComboBox4");
    List().show();
    EXPECT_TRUE(test::WaitUntil(
        [&] { return countries.get_model()->children().size() == ownCountries.size(); },
        std::chrono::seconds(5)));
    EXPECT_EQ(List().CurrentTvFilter(), own);
    List().hide();
    windows_ = {};
    test::Pump();
  }
}

TEST_F(StartupTest, MissingCatalogueIsShownAndTheWindowsStillCome) {
  std::filesystem::remove(program_.Path() / "listv2.dll");
  const auto dialogs = AnswerDialogs([&] { Start(); });
  ASSERT_EQ(dialogs.size(), 1U);
  EXPECT_EQ(dialogs[0].icon, MessageIcon::Error);
  EXPECT_EQ(steps_.back(), "splash gone");
  EXPECT_EQ(Find<StationListBox>(List(), "ListBox1").Count(), 0);
  EXPECT_EQ(List().ActivePage(), ListPage::TV);
}

TEST_F(StartupTest, ErrorEscapingAHandlerIsShownAndTheProgramGoesOn) {
  Start();
  const auto dialogs = AnswerDialogs([&] {
    Glib::signal_idle().connect_once([] { throw Error("Something failed"); });
    test::Pump(std::chrono::milliseconds(300));
  });
  ASSERT_EQ(dialogs.size(), 1U);
  EXPECT_EQ(dialogs[0].title, "Telvanta");
  EXPECT_EQ(dialogs[0].text, "Something failed.");
  EXPECT_EQ(dialogs[0].icon, MessageIcon::Error);
}

// Shift goes down or up on the X server, as the keyboard would have it.
void PressShift(bool down) {
  Display* display = gdk_x11_display_get_xdisplay(gdk_display_get_default());
  XTestFakeKeyEvent(display, XKeysymToKeycode(display, XK_Shift_L), down ? True : False,
                    CurrentTime);
  XSync(display, False);
}

// A skin that left the program unusable is left by starting with
// --reset-skin or with Shift held: the stored skin is forgotten and the
// built-in look used.
TEST_F(StartupTest, ResetSkinArgumentOrShiftHeldStartsWithTheBuiltInLook) {
  const auto skin = program_.Path() / "red.uskn";
  test::WriteFile(skin, "window { background-color: #ff0000; }");
  struct Case {
    bool asked;  // --reset-skin
    bool shift;
    bool kept;
  };
  for (const Case& c :
       {Case{false, false, true}, Case{true, false, false}, Case{false, true, false}}) {
    const std::string label =
        std::string(c.asked ? "--reset-skin" : "plain") + (c.shift ? " with Shift" : "");
    WriteSetting("ThemeFile", skin.string());
    if (c.shift) PressShift(true);
    ResetSkinWhenAsked(c.asked);
    if (c.shift) PressShift(false);
    Start();
    EXPECT_EQ(SkinEngine::Default().SkinFile(), c.kept ? skin.string() : "") << label;
    EXPECT_EQ(ReadSetting("ThemeFile"), c.kept ? skin.string() : "") << label;
    windows_ = {};
    SkinEngine::Default().SelectTheme(0);
  }
}

TEST_F(StartupTest, SettingsStoreWarningIsAPlainBoxOnceAlsoFromAWorker) {
  Start();
  const auto hive = config_.Path() / "telvanta" / "settings.reg";
  std::filesystem::create_directories(hive.parent_path());
  std::ofstream(hive) << "not a hive\n[[[\n";
  const std::string told = "Settings can't be read from line 1 of " + hive.string() +
                           ": not a registry file.\nThe file is left as it is, and changes to the "
                           "settings are not saved until that line is corrected or removed.";
  auto dialogs = AnswerDialogs([] {
    EXPECT_EQ(ReadSetting("TopMost"), "");
    WriteSetting("TopMost", "1");
  });
  ASSERT_EQ(dialogs.size(), 1U);
  EXPECT_EQ(dialogs[0].title, "Telvanta");
  EXPECT_EQ(dialogs[0].text, told);
  EXPECT_EQ(dialogs[0].icon, MessageIcon::None);
  // The update worker reads settings too; in a new session its box comes on
  // the UI thread.
  SetRegistryHivePathForTesting({});
  dialogs = AnswerDialogs([] {
    std::thread worker([] { ReadSetting("AutoUpdate"); });
    worker.join();
    test::Pump(std::chrono::milliseconds(300));
  });
  ASSERT_EQ(dialogs.size(), 1U);
  EXPECT_EQ(dialogs[0].text, told);
}

// What is there in place of the hive: its kind, and a file's bytes.
std::string HeldAt(const std::filesystem::path& hive) {
  const auto status = std::filesystem::symlink_status(hive);
  const std::string kind = std::to_string(static_cast<int>(status.type()));
  return status.type() == std::filesystem::file_type::regular ? kind + test::ReadFile(hive) : kind;
}

// Fault: the start read the settings before the error display was up, so a
// hive that could not be read was told to nobody, and never again that
// session, while every change went unsaved. Run in main's order: read, then
// the display, then the windows.
TEST_F(StartupTest, SettingsThatCannotBeReadAreToldOnceAtStart) {
  namespace fs = std::filesystem;
  const fs::path hive = config_.Path() / "telvanta" / "settings.reg";
  const std::string valid =
      "Windows Registry Editor Version 5.00\n\n"
      "[HKEY_CURRENT_USER\\Software\\Quillmoor\\Nivora]\n"
      "\"Stretch\"=\"1\"\n";
  std::string noise(20 << 20, '\0');
  std::mt19937 random(19);
  std::generate(noise.begin(), noise.end(), [&] { return static_cast<char>(random()); });
  noise[0] = 'x';  // no byte order mark
  std::string utf16be = "\xFE\xFF";
  for (const char c : valid) {
    utf16be += {'\0', c};
  }
  const std::string lineHeld =
      ".\nThe file is left as it is, and changes to the settings are not saved until that line "
      "is corrected or removed.";
  const std::string fileHeld =
      ".\nThe file is left as it is, and changes to the settings are not saved until it can be "
      "read.";
  const auto inLine = [&](int line, const std::string& reason) {
    return "Settings can't be read from line " + std::to_string(line) + " of " + hive.string() +
           ": " + reason + lineHeld;
  };
  const auto whole = [&](const std::string& reason) {
    return "Settings can't be read from " + hive.string() + ": " + reason + fileHeld;
  };
  struct Case {
    const char* what;
    std::function<void()> make;
    std::string told;
  };
  const Case cases[] = {
      {"20 MB of random bytes", [&] { test::WriteFile(hive, noise); },
       inLine(1, "not a registry file")},
      {"a valid line, then garbage", [&] { test::WriteFile(hive, valid + "\x01\xFFgarbage\n"); },
       inLine(5, "unexpected text")},
      {"UTF-16 BE", [&] { test::WriteFile(hive, utf16be); }, inLine(1, "not a registry file")},
      {"a symbolic link loop", [&] { fs::create_symlink(hive.filename(), hive); },
       whole("Too many levels of symbolic links")},
      {"mode 000",
       [&] {
         test::WriteFile(hive, valid);
         fs::permissions(hive, fs::perms::none);
       },
       whole("Permission denied")},
      {"a folder", [&] { fs::create_directories(hive); }, whole("Is a directory")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (std::string_view(c.what) == "mode 000" && ::geteuid() == 0) {
      continue;  // root reads whatever the modes say
    }
    fs::remove_all(hive);
    c.make();
    const std::string before = HeldAt(hive);
    SetRegistryWarningHandler(nullptr);
    SetRegistryHivePathForTesting({});  // a new session
    auto lists = PreloadStartLists();
    const auto dialogs = AnswerDialogs([&] {
      InstallErrorDisplay();
      windows_ = CreateWindowsWith(std::move(lists));
      List().LoadPendingLists();
      WriteSetting("Stretch", "0");
    });
    ASSERT_EQ(dialogs.size(), 1U);
    EXPECT_EQ(dialogs[0].text, c.told);
    EXPECT_EQ(dialogs[0].icon, MessageIcon::None);
    EXPECT_EQ(HeldAt(hive), before) << "held back, nothing written over it";
    windows_ = {};
    test::Pump();
  }
  fs::remove_all(hive);
}

}  // namespace
}  // namespace telvanta

int main(int argc, char** argv) {
  return telvanta::test::RunWindowTests(argc, argv, "org.telvanta.StartupTest");
}
