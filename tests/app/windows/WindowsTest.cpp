// The real windows, created in this process over a temporary program folder
// and settings hive, under Xvfb.

#include "app/startup/Startup.h"
#include "app/windows/MainWindow.h"
#include "catalogue/windows/ChannelListWindow.h"
#include "common/Error.h"
#include "common/ProgramPaths.h"
#include "playback/windows/OpenUrlDialog.h"
#include "settings/Settings.h"
#include "tests/support/WindowTestSupport.h"
#include "widgets/ErrorDisplay.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <clocale>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace telvanta {
namespace {

using test::AnswerDialogs;
using test::MakeProgramFolder;
using test::SeenDialog;
using test::Station;
using test::TempFolder;
using test::WaitUntil;

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> Entries(StationListBox& list) {
  std::vector<std::string> entries;
  for (int i = 0; i < list.Count(); ++i) entries.push_back(list.Entry(i));
  return entries;
}

class WindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("XDG_CONFIG_HOME", config_.Path().c_str(), 1);
    SetProgramFolderForTesting(program_.Path());
    MakeProgramFolder(program_.Path(),
                      {
                          Station("Canada", "Channel One", "300k", "mms://127.0.0.1/one", "News"),
                          Station("Australia", "Sky", "", "rtsp://127.0.0.1/sky", "Sports"),
                          Station("Canada", "Beta", "56k", "http://127.0.0.1/beta.jpg", "Music"),
                          Station("France", "Ftp", "", "ftp://127.0.0.1/x.mp3", "News"),
                      },
                      {
                          Station("Germany", "Radio Eins", "", "http://127.0.0.1/eins.pls"),
                          Station("Austria", "Welle", "", "mms://127.0.0.1/welle"),
                      },
                      {
                          Station("Finland", "Road", "", "http://127.0.0.1/road.jpg"),
                          Station("Finland", "Bridge", "640x480", "http://127.0.0.1/bridge.jpg"),
                      });
  }

  void TearDown() override {
    windows_ = {};
    test::Pump();
    SetProgramFolderForTesting({});
  }

  void Start() {
    windows_ = CreateWindows([this](std::string_view step) { steps_.emplace_back(step); });
  }

  MainWindow& Main() { return *windows_.frmmain; }
  ChannelListWindow& List() { return *windows_.FrmList; }
  std::filesystem::path Data() const { return program_.Path() / "Data"; }

  TempFolder config_{"telvanta-config"};
  TempFolder program_{"telvanta-program"};
  TelvantaWindows windows_;
  std::vector<std::string> steps_;
};

TEST_F(WindowsTest, StartsWithSplashThenMainThenListWindowAndDropsTheSplash) {
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
  EXPECT_EQ(List().ListBox1.Count(), 4);
  EXPECT_FALSE(Main().get_visible());
  EXPECT_FALSE(List().get_visible());
}

TEST_F(WindowsTest, ShowingTheMainWindowShowsTheListModallyFirst) {
  Start();
  bool listFirst = false;
  Glib::signal_timeout().connect_once(
      [&] {
        listFirst = List().get_visible() && List().get_modal() && !Main().get_visible();
        List().close();
      },
      100);
  Main().show();
  EXPECT_TRUE(listFirst);
  EXPECT_TRUE(Main().get_visible());
  EXPECT_FALSE(List().get_visible());
  // Closed without a choice: the welcome panel covers the browser.
  EXPECT_TRUE(Main().PanelWeb.get_visible());
  EXPECT_EQ(Main().get_title(), "Telvanta");
}

TEST_F(WindowsTest, ListWindowFillsEveryListWithTwinUrlsAndClassIcons) {
  Start();
  auto& list = List();
  EXPECT_EQ(Entries(list.ListBox1),
            (std::vector<std::string>{"Australia - Sky()", "Canada - Beta(56k)",
                                      "Canada - Channel One(300k)", "France - Ftp()"}));
  EXPECT_EQ(list.ListBox2,
            (std::vector<std::string>{"rtsp://127.0.0.1/sky", "http://127.0.0.1/beta.jpg",
                                      "mms://127.0.0.1/one", "ftp://127.0.0.1/x.mp3"}));
  EXPECT_EQ(list.ListBox1.IconClass(0), "RTSP");
  EXPECT_EQ(list.ListBox1.IconClass(1), "WEBCAM");
  EXPECT_EQ(list.ListBox1.IconClass(2), "MMS");
  EXPECT_EQ(list.ListBox1.IconClass(3), "");  // no class, no icon
  EXPECT_EQ(Entries(list.ListBox5),
            (std::vector<std::string>{"Austria - Welle", "Germany - Radio Eins"}));
  EXPECT_EQ(list.ListBox6.size(), 2U);
  EXPECT_EQ(list.ListBox5.IconClass(1), "RTSP");
  EXPECT_EQ(Entries(list.Listbox7),
            (std::vector<std::string>{"Finland - Bridge(640x480)", "Finland - Road"}));
  EXPECT_EQ(list.ListBox8.size(), 2U);
  EXPECT_EQ(list.ListBox3.Count(), 0);
  // Fixed country items, then the database's, a duplicate included.
  ASSERT_EQ(list.CountryItems().size(), 16U);
  EXPECT_EQ(list.CountryItems()[12], "----------");
  EXPECT_EQ(list.CountryItems()[13], "Australia");
  EXPECT_EQ(list.CountryItems()[14], "Canada");
  EXPECT_EQ(list.CountryItems()[15], "France");
}

TEST_F(WindowsTest, ListWindowShowsItsControlsUnderTheirCaptions) {
  Start();
  auto& list = List();
  EXPECT_EQ(list.get_title(), "Telvanta");
  EXPECT_EQ(list.TePageControl1.get_n_pages(), 4);
  const char* pages[] = {"ListBox1", "ListBox5", "Listbox7", "ListBox3"};
  const char* captions[] = {"TV Stations", "Radio Stations", "Webcams", "My Favorites"};
  for (int i = 0; i < 4; ++i) {
    Gtk::Widget* page = list.TePageControl1.get_nth_page(i);
    EXPECT_EQ(page->get_name(), pages[i]);
    EXPECT_EQ(test::AccessibleName(*page), captions[i]);
  }
  EXPECT_EQ(list.TeGroupBox1.get_label(), "Filter TV Stations");
  EXPECT_EQ(list.TeComboBox4.get_active_text(), "All Countries");
  EXPECT_EQ(list.TeComboBox1.get_active_text(), "All channels");
  EXPECT_EQ(list.TeComboBox2.get_active_text(), "Country");
  EXPECT_EQ(list.TeComboBox3.get_active_text(), "Asc");
  EXPECT_EQ(test::AccessibleName(list.TeButton1), "Go!");
  EXPECT_TRUE(list.RadioButton1.get_active());
  EXPECT_EQ(list.ActivePage(), ListPage::TV);
  EXPECT_EQ(test::AccessibleName(list.Label2), ">About picture quality ");
}

TEST_F(WindowsTest, ListRowsAreSixteenPixelsHigh) {
  Start();
  List().show();
  ASSERT_TRUE(WaitUntil([&] { return List().ListBox1.View().get_realized(); }));
  test::Pump(std::chrono::milliseconds(200));
  Gdk::Rectangle area;
  Gtk::TreeModel::Path path;
  path.push_back(1);
  List().ListBox1.View().get_background_area(path, *List().ListBox1.View().get_column(0), area);
  EXPECT_EQ(area.get_height(), 16);
  List().hide();
}

TEST_F(WindowsTest, RestoresStoredFiltersIgnoringLetterCase) {
  WriteSetting("FilterCountry", "canada");
  WriteSetting("FilterType", "NEWS");
  WriteSetting("SortBy", "channel name");
  WriteSetting("OrderBy", "desc");
  Start();
  auto& list = List();
  EXPECT_EQ(list.TeComboBox4.get_active_row_number(), 2);  // the fixed "Canada" comes first
  EXPECT_EQ(list.TeComboBox1.get_active_text(), "News");
  EXPECT_EQ(list.TeComboBox2.get_active_text(), "Channel name");
  EXPECT_EQ(list.TeComboBox3.get_active_text(), "Desc");
  EXPECT_EQ(Entries(list.ListBox1), (std::vector<std::string>{"Canada - Channel One(300k)"}));
}

TEST_F(WindowsTest, StaleStoredFilterLeavesItsBoxWithoutSelection) {
  WriteSetting("FilterCountry", "Atlantis");
  Start();
  EXPECT_EQ(List().TeComboBox4.get_active_row_number(), -1);
  // Such a box is not at its first item: the list holds no station of "".
  EXPECT_EQ(List().ListBox1.Count(), 0);
}

TEST_F(WindowsTest, StartPageAndVideoSizeFollowTheirSettings) {
  WriteSetting("OnStartupDisplay", "Webcam");
  WriteSetting("Stretch", "1");
  Start();
  EXPECT_EQ(List().ActivePage(), ListPage::Webcam);
  EXPECT_TRUE(List().RadioButton2.get_active());
}

TEST_F(WindowsTest, StartPageSettingIsComparedExactly) {
  WriteSetting("OnStartupDisplay", "radio");
  WriteSetting("Stretch", "true");
  Start();
  EXPECT_EQ(List().ActivePage(), ListPage::TV);
  EXPECT_TRUE(List().RadioButton1.get_active());
}

TEST_F(WindowsTest, GoReloadsTheTvListAndStoresTheFilters) {
  Start();
  auto& list = List();
  list.TeComboBox4.set_active(2);  // Canada
  list.TeComboBox2.set_active(2);  // Bandwidth
  list.TeComboBox3.set_active(1);  // Desc
  list.TeButton1.clicked();
  EXPECT_EQ(Entries(list.ListBox1),
            (std::vector<std::string>{"Canada - Beta(56k)", "Canada - Channel One(300k)"}));
  EXPECT_EQ(list.ListBox2.front(), "http://127.0.0.1/beta.jpg");
  EXPECT_EQ(ReadSetting("FilterCountry"), "Canada");
  EXPECT_EQ(ReadSetting("FilterType"), "");
  EXPECT_EQ(ReadSetting("SortBy"), "Bandwidth");
  EXPECT_EQ(ReadSetting("OrderBy"), "Desc");
  EXPECT_TRUE(list.TeButton1.get_sensitive());
}

TEST_F(WindowsTest, GoWithFirstItemsDeletesTheStoredFilters) {
  WriteSetting("FilterCountry", "Canada");
  WriteSetting("FilterType", "News");
  Start();
  List().TeComboBox4.set_active(0);
  List().TeComboBox1.set_active(0);
  List().TeButton1.clicked();
  EXPECT_EQ(List().ListBox1.Count(), 4);
  const std::string hive = ReadFile(config_.Path() / "telvanta" / "settings.reg");
  EXPECT_EQ(hive.find("FilterCountry"), std::string::npos) << hive;
  EXPECT_EQ(hive.find("FilterType"), std::string::npos) << hive;
  EXPECT_EQ(ReadSetting("SortBy"), "Country");
  EXPECT_EQ(ReadSetting("OrderBy"), "Asc");
}

TEST_F(WindowsTest, FailedGoShowsTheEngineErrorAndStoresNothing) {
  Start();
  auto& list = List();
  list.ADOConnection1.Close();
  std::filesystem::remove(program_.Path() / "listv2.dll");
  list.TeComboBox4.set_active(2);
  list.show();
  const auto dialogs = AnswerDialogs([&] { list.TeButton1.clicked(); });
  ASSERT_EQ(dialogs.size(), 1U);
  EXPECT_EQ(dialogs[0].title, "Telvanta");
  EXPECT_EQ(dialogs[0].icon, MessageIcon::Error);
  EXPECT_FALSE(dialogs[0].text.empty());
  EXPECT_EQ(dialogs[0].buttons, (std::vector<std::string>{"OK"}));
  EXPECT_TRUE(list.TeButton1.get_sensitive());
  EXPECT_EQ(ReadSetting("FilterCountry"), "");
  EXPECT_EQ(ReadSetting("SortBy"), "");
  EXPECT_TRUE(list.get_visible());
  list.hide();
}

TEST_F(WindowsTest, MissingCatalogueIsShownAndTheWindowsStillCome) {
  std::filesystem::remove(program_.Path() / "listv2.dll");
  const auto dialogs = AnswerDialogs([&] { Start(); });
  ASSERT_EQ(dialogs.size(), 1U);
  EXPECT_EQ(dialogs[0].icon, MessageIcon::Error);
  EXPECT_EQ(steps_.back(), "splash gone");
  EXPECT_EQ(List().ListBox1.Count(), 0);
  EXPECT_EQ(List().ActivePage(), ListPage::TV);
}

TEST_F(WindowsTest, PlayWithNothingSelectedShowsTheNoteThenTheIndexError) {
  Start();
  auto& list = List();
  list.show();
  const auto dialogs = AnswerDialogs([&] { RunCommand([&] { list.ListBox1DblClick(); }); });
  ASSERT_EQ(dialogs.size(), 2U);
  EXPECT_EQ(dialogs[0].title, "The latest verion of Windows Media Player and Real Player Required");
  EXPECT_EQ(dialogs[0].icon, MessageIcon::Information);
  EXPECT_EQ(dialogs[1].title, "Telvanta");
  EXPECT_EQ(dialogs[1].icon, MessageIcon::Error);
  EXPECT_EQ(dialogs[1].text, "List index out of bounds (-1)");
  EXPECT_TRUE(list.get_visible());
  EXPECT_EQ(Main().PlayerPage().PageCounter(), 0);
  list.hide();
}

TEST_F(WindowsTest, PlayClosesTheListSetsTheCaptionAndWritesThePage) {
  WriteSetting("FirstRun", "1");
  Start();
  auto& list = List();
  list.Listbox7.SetItemIndex(1);
  const auto dialogs = AnswerDialogs([&] { list.Listbox7DblClick(); });
  EXPECT_TRUE(dialogs.empty());
  EXPECT_FALSE(list.get_visible());
  EXPECT_EQ(Main().get_title(), "Telvanta - Finland - Road");
  EXPECT_FALSE(Main().PanelWeb.get_visible());
  // A webcam page stays on disk while it is shown.
  const auto page = Data() / "~tmp1.htm";
  ASSERT_TRUE(std::filesystem::exists(page));
  EXPECT_NE(ReadFile(page).find("http://127.0.0.1/road.jpg"), std::string::npos);
  EXPECT_EQ(StreamClassText(Main().PlayerPage().CurrentStreamClass()), "WEBCAM");
}

TEST_F(WindowsTest, PlayersNoteIsShownUntilFirstRunIsSet) {
  Start();
  auto& list = List();
  list.Listbox7.SetItemIndex(0);
  auto dialogs = AnswerDialogs([&] { list.Listbox7DblClick(); });
  ASSERT_EQ(dialogs.size(), 1U);
  EXPECT_EQ(dialogs[0].text,
            "Please note: Telvanta cannot function without Windows Media Player and RealPlayer "
            "installed. Telvanta needs the system of decoding of both programs to present the "
            "radio and television signals. ");
  EXPECT_EQ(dialogs[0].buttons, (std::vector<std::string>{"OK"}));
  WriteSetting("FirstRun", "1");
  dialogs = AnswerDialogs([&] { list.Listbox7DblClick(); });
  EXPECT_TRUE(dialogs.empty());
  EXPECT_EQ(Main().PlayerPage().PageCounter(), 2);
}

TEST_F(WindowsTest, AddressOfNoStreamClassIsToldAndNothingPlays) {
  WriteSetting("FirstRun", "1");
  Start();
  List().ListBox1.SetItemIndex(3);  // ftp://.../x.mp3
  const auto dialogs = AnswerDialogs([&] { List().ListBox1DblClick(); });
  ASSERT_EQ(dialogs.size(), 1U);
  EXPECT_EQ(dialogs[0].title, "Telvanta");
  EXPECT_EQ(dialogs[0].icon, MessageIcon::None);
  EXPECT_NE(dialogs[0].text.find("not a known stream type"), std::string::npos);
  EXPECT_NE(dialogs[0].text.find("ftp://127.0.0.1/x.mp3"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(Data() / "~tmp1.htm"));
}

TEST_F(WindowsTest, MissingTemplateIsShownAsCannotOpenFile) {
  Start();
  std::filesystem::remove(Data() / "MP.dll");
  const auto dialogs =
      AnswerDialogs([&] { RunCommand([&] { Main().PlayTV("mms://127.0.0.1/live"); }); });
  ASSERT_EQ(dialogs.size(), 1U);
  EXPECT_EQ(dialogs[0].icon, MessageIcon::Error);
  const std::string expected = "Cannot open file \"" + (Data() / "MP.dll").string() + "\".";
  EXPECT_EQ(dialogs[0].text.rfind(expected, 0), 0U) << dialogs[0].text;
  EXPECT_EQ(dialogs[0].text.back(), '.');
  // The next play of another class works and numbers its page one higher.
  Main().PlayTV("http://127.0.0.1/cam.jpg");
  EXPECT_TRUE(std::filesystem::exists(Data() / "~tmp2.htm"));
}

TEST_F(WindowsTest, ErrorEscapingAHandlerIsShownAndTheProgramGoesOn) {
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

TEST_F(WindowsTest, HelpLinksShowPlainNotes) {
  Start();
  const auto dialogs = AnswerDialogs([&] {
    List().Label2Click();
    List().Label3Click();
  });
  ASSERT_EQ(dialogs.size(), 2U);
  for (const auto& dialog : dialogs) {
    EXPECT_EQ(dialog.title, "Telvanta");
    EXPECT_EQ(dialog.icon, MessageIcon::None);
  }
  EXPECT_EQ(dialogs[0].text.rfind("The quality and continuity", 0), 0U);
  EXPECT_EQ(dialogs[1].text.rfind("There are over 1000 channels", 0), 0U);
}

TEST_F(WindowsTest, VideoSizeIsStoredOnMouseUpOverItsButton) {
  Start();
  auto& list = List();
  list.show();
  ASSERT_TRUE(WaitUntil([&] { return list.RadioButton2.get_realized(); }));
  test::SendButton(list.RadioButton2, GDK_BUTTON_RELEASE, 1, 3, 3);
  EXPECT_EQ(ReadSetting("Stretch"), "1");
  test::SendButton(list.RadioButton1, GDK_BUTTON_RELEASE, 1, 3, 3);
  EXPECT_EQ(ReadSetting("Stretch"), "0");
  // Released elsewhere: nothing is written.
  test::SendButton(list.RadioButton2, GDK_BUTTON_RELEASE, 1, -20, -20);
  EXPECT_EQ(ReadSetting("Stretch"), "0");
  list.hide();
}

TEST_F(WindowsTest, ToolbarButtonsOpenTheListOnTheirOwnPage) {
  Start();
  struct Case {
    Gtk::Button* button;
    ListPage page;
  };
  for (const Case& c :
       {Case{&Main().TeButton3, ListPage::Radio}, Case{&Main().TeButton8, ListPage::Webcam},
        Case{&Main().TeButton5, ListPage::Favorites}, Case{&Main().TeButton6, ListPage::TV}}) {
    ListPage shown = ListPage::TV;
    bool modal = false;
    Glib::signal_timeout().connect_once(
        [&] {
          shown = List().ActivePage();
          modal = List().get_modal() && List().get_visible();
          List().SelectPage(ListPage::Radio);  // the user wanders off
          List().hide();
        },
        50);
    c.button->clicked();
    EXPECT_EQ(shown, c.page);
    EXPECT_TRUE(modal);
  }
}

TEST_F(WindowsTest, MainWindowHasTheToolbarWelcomePanelAndStatusBar) {
  WriteSetting("LastText", "New stations this week");
  WriteSetting("LastURL", "http://127.0.0.1/news");
  Start();
  auto& main = Main();
  EXPECT_EQ(main.get_title(), "Telvanta");
  std::vector<std::string> names;
  std::vector<std::string> spoken;
  for (Gtk::Widget* child : main.TePanel1.get_children()) {
    names.push_back(child->get_name());
    spoken.push_back(test::AccessibleName(*child));
  }
  EXPECT_EQ(names, (std::vector<std::string>{"TeButton6", "TeButton3", "TeButton8", "TeButton5",
                                             "TeButton1", "TeButton2", "TeButton7"}));
  EXPECT_EQ(spoken, (std::vector<std::string>{"Watch TV", "Listen Radio", "Webcams", "My Favorites",
                                              "Tools", "Help", "About"}));
  EXPECT_EQ(main.TeButton6.get_label(), "Watch _TV");
  EXPECT_TRUE(main.TeButton6.get_use_underline());
  EXPECT_EQ(main.TeButton6.get_image_position(), Gtk::POS_TOP);
  int width = 0;
  int height = 0;
  main.TeButton7.get_size_request(width, height);
  EXPECT_EQ(width, 96);
  EXPECT_EQ(height, 60);
  EXPECT_TRUE(main.PanelWeb.get_visible());
  EXPECT_EQ(main.URLLabel2.Caption(), "Click here to download the lastest version of Real Player");
  EXPECT_EQ(main.URLLabel1.Address(), "http://www.microsoft.com/windows/mediaplayer/download");
  EXPECT_EQ(main.Label1.label().get_text(), "New stations this week");
  EXPECT_EQ(main.AnnouncementLink(), "http://127.0.0.1/news");
  EXPECT_EQ(main.Label1.get_tooltip_text(), "http://127.0.0.1/news");
}

TEST_F(WindowsTest, ToolsAndHelpMenusListTheirItemsInOrder) {
  Start();
  auto names = [](Gtk::Menu& menu) {
    std::vector<std::string> out;
    for (Gtk::Widget* child : menu.get_children()) {
      out.push_back(dynamic_cast<Gtk::SeparatorMenuItem*>(child) ? "-"
                                                                 : test::AccessibleName(*child));
    }
    return out;
  };
  EXPECT_EQ(names(Main().TePopupMenu2),
            (std::vector<std::string>{"Open...", "Open URL...", "-", "Free software required", "-",
                                      "Check for update...", "Preferences...", "-", "Skins"}));
  EXPECT_EQ(names(Main().TePopupMenu3),
            (std::vector<std::string>{"Help Contents...", "F.A.Q", "-", "Homepage", "Email", "-",
                                      "About..."}));
  EXPECT_EQ(
      names(List().TePopupMenu1),
      (std::vector<std::string>{"Play", "-", "Add this channel to My Favorites",
                                "Add your own channel to My Favorites", "-", "Properties..."}));
  EXPECT_EQ(
      names(List().TePopupMenu3),
      (std::vector<std::string>{"Play", "-", "Add this channel to My Favorites",
                                "Report a bad link", "Add your own channel to My Favorites"}));
  EXPECT_EQ(names(List().TePopupMenu4),
            (std::vector<std::string>{"Play", "-", "Add this webcam to My Favorites",
                                      "Report a bad link"}));
}

TEST_F(WindowsTest, ClosingTheMainWindowStampsDayAndFirstRunAndDropsThePage) {
  WriteSetting("FirstRun", "1");
  Start();
  Main().PlayTV("http://127.0.0.1/cam.jpg");
  ASSERT_TRUE(std::filesystem::exists(Data() / "~tmp1.htm"));
  DeleteSetting("FirstRun");
  Main().FormClose();
  EXPECT_FALSE(std::filesystem::exists(Data() / "~tmp1.htm"));
  EXPECT_EQ(ReadSetting("Day"), DateText());
  EXPECT_EQ(ReadSetting("FirstRun"), "1");
}

TEST_F(WindowsTest, OpenUrlDialogsAreIndependentAndLeaveTheCaption) {
  Start();
  auto& main = Main();
  main.SetCaption("Telvanta - Canada - Beta(56k)");
  main.CustomItem62Click();
  main.CustomItem62Click();
  auto dialogs = main.OpenUrlDialogs();
  ASSERT_EQ(dialogs.size(), 2U);
  OpenUrlDialog& first = *dialogs[0];
  OpenUrlDialog& second = *dialogs[1];
  EXPECT_EQ(first.get_title(), "Open URL");
  EXPECT_FALSE(first.get_modal());
  EXPECT_EQ(first.TeEdit1.get_text(), "");
  EXPECT_EQ(first.Label2.get_text(), "Open:");
  EXPECT_EQ(first.TeButton1.get_label(), "OK");
  EXPECT_EQ(first.TeButton2.get_label(), "Cancel");
  EXPECT_EQ(first.Label1.get_text(),
            "Enter the URL or path to a multimedia file on the Internet, your computer or your "
            "network that you want to play: ");
  second.TeButton2.clicked();
  EXPECT_FALSE(second.get_visible());
  EXPECT_TRUE(first.get_visible());
  // Taken as typed, trailing space included.
  first.TeEdit1.set_text("http://127.0.0.1/cam.jpg ");
  first.TeButton1.clicked();
  EXPECT_FALSE(first.get_visible());
  EXPECT_EQ(StreamClassText(main.PlayerPage().CurrentStreamClass()), "MMS");
  EXPECT_NE(ReadFile(Data() / "~tmp1.htm").find("cam.jpg "), std::string::npos);
  EXPECT_EQ(main.get_title(), "Telvanta - Canada - Beta(56k)");
  EXPECT_FALSE(main.PanelWeb.get_visible());
  ASSERT_TRUE(WaitUntil([&] { return main.OpenUrlDialogs().empty(); }));
}

TEST_F(WindowsTest, OpenUrlErrorLeavesTheDialogOpen) {
  Start();
  std::filesystem::remove(Data() / "WB.dll");
  Main().CustomItem62Click();
  OpenUrlDialog& dialog = *Main().OpenUrlDialogs().front();
  dialog.TeEdit1.set_text("http://127.0.0.1/cam.jpg");
  const auto dialogs = AnswerDialogs([&] { dialog.TeButton1.clicked(); });
  ASSERT_EQ(dialogs.size(), 1U);
  EXPECT_EQ(dialogs[0].icon, MessageIcon::Error);
  EXPECT_TRUE(dialog.get_visible());
  dialog.TeButton2.clicked();
}

TEST_F(WindowsTest, MediaFileDialogOffersTheFiveFilterGroups) {
  Start();
  bool checked = false;
  std::vector<std::string> groups;
  std::string selected;
  Glib::signal_timeout().connect_once(
      [&] {
        Gtk::FileChooserDialog& dialog = *Main().OpenDialog1;
        for (const auto& filter : dialog.list_filters()) groups.push_back(filter->get_name());
        selected = dialog.get_filter()->get_name();
        checked = true;
        dialog.response(Gtk::RESPONSE_CANCEL);
      },
      300);
  Main().CustomItem61Click();
  ASSERT_TRUE(checked);
  EXPECT_EQ(groups, (std::vector<std::string>{
                        "Media files(all types)", "Windows Media file(*.asf;*.wmv;*.wma;*.asf)",
                        "RealMedia files(*.rm;*.ram;*.ra;*.smil;*.smi;*.avi)",
                        "Audio files(*.mp3;*.wav;*.mp2;*.mpa;*.wav)", "All files(*.*)"}));
  EXPECT_EQ(selected, "Media files(all types)");
  EXPECT_EQ(Main().PlayerPage().PageCounter(), 0);  // cancelled: nothing played
}

TEST_F(WindowsTest, MediaFileChosenInTheDialogIsPlayed) {
  Start();
  const auto clip = program_.Path() / "Clip.WMV";
  std::ofstream(clip) << "x";
  int ticks = 0;
  // The chooser selects the file once it has read the folder; give up after 10 s.
  sigc::connection choose = Glib::signal_timeout().connect(
      [&] {
        Gtk::FileChooserDialog* dialog = Main().OpenDialog1.get();
        if (dialog == nullptr || !dialog->get_visible()) return true;
        if (ticks++ == 0) dialog->set_filename(clip.string());
        if (dialog->get_filename() == clip.string()) {
          dialog->response(Gtk::RESPONSE_ACCEPT);
          return false;
        }
        if (ticks > 200) dialog->response(Gtk::RESPONSE_CANCEL);
        return ticks <= 200;
      },
      50);
  Main().CustomItem61Click();
  choose.disconnect();
  EXPECT_EQ(Main().PlayerPage().PageCounter(), 1);
  EXPECT_EQ(StreamClassText(Main().PlayerPage().CurrentStreamClass()), "MMS");
  EXPECT_FALSE(Main().PanelWeb.get_visible());
}

TEST_F(WindowsTest, TabMnemonicsSwitchPages) {
  Start();
  auto& list = List();
  list.show();
  ASSERT_TRUE(WaitUntil([&] { return list.get_realized(); }));
  struct Case {
    guint key;
    ListPage page;
  };
  for (const Case& c : {Case{GDK_KEY_r, ListPage::Radio}, Case{GDK_KEY_w, ListPage::Webcam},
                        Case{GDK_KEY_f, ListPage::Favorites}, Case{GDK_KEY_t, ListPage::TV}}) {
    EXPECT_TRUE(list.mnemonic_activate(c.key, Gdk::MOD1_MASK));
    test::Pump();
    EXPECT_EQ(list.ActivePage(), c.page) << c.key;
  }
  list.hide();
}

TEST_F(WindowsTest, RightClickSelectsTheEntryAndItsMenuPlaysIt) {
  WriteSetting("FirstRun", "1");
  Start();
  auto& list = List();
  list.SelectPage(ListPage::Webcam);
  list.show();
  Gtk::TreeView& view = list.Listbox7.View();
  ASSERT_TRUE(WaitUntil([&] { return view.get_realized() && view.get_bin_window(); }));
  test::Pump(std::chrono::milliseconds(200));
  // The second row, 16 pixels down.
  test::SendButtonTo(view, view.get_bin_window(), GDK_BUTTON_PRESS, 3, 20, 16 + 8);
  EXPECT_EQ(list.Listbox7.ItemIndex(), 1);
  ASSERT_TRUE(WaitUntil([&] { return list.TePopupMenu4.get_visible(); }));
  auto* play = dynamic_cast<Gtk::MenuItem*>(list.TePopupMenu4.get_children().front());
  ASSERT_NE(play, nullptr);
  play->activate();
  ASSERT_TRUE(WaitUntil([&] { return !list.get_visible(); }));
  EXPECT_EQ(Main().get_title(), "Telvanta - Finland - Road");
  EXPECT_EQ(StreamClassText(Main().PlayerPage().CurrentStreamClass()), "WEBCAM");
}

TEST_F(WindowsTest, SettingsStoreWarningIsAPlainBoxAlsoFromAWorker) {
  Start();
  std::filesystem::create_directories(config_.Path() / "telvanta");
  std::ofstream(config_.Path() / "telvanta" / "settings.reg") << "not a hive\n[[[\n";
  auto dialogs = AnswerDialogs([] { EXPECT_EQ(ReadSetting("TopMost"), ""); });
  ASSERT_EQ(dialogs.size(), 1U);
  EXPECT_EQ(dialogs[0].title, "Telvanta");
  EXPECT_EQ(dialogs[0].text, "wrong");
  EXPECT_EQ(dialogs[0].icon, MessageIcon::None);
  // The update worker reads settings too; its box comes on the UI thread.
  dialogs = AnswerDialogs([] {
    std::thread worker([] { ReadSetting("AutoUpdate"); });
    worker.join();
    test::Pump(std::chrono::milliseconds(300));
  });
  ASSERT_EQ(dialogs.size(), 1U);
  EXPECT_EQ(dialogs[0].text, "wrong");
}

TEST_F(WindowsTest, ToolsAndHelpButtonsPopUpTheirMenus) {
  Start();
  Glib::signal_timeout().connect_once([&] { List().hide(); }, 50);
  Main().show();
  ASSERT_TRUE(WaitUntil([&] { return Main().get_mapped(); }));
  Main().TeButton1.clicked();
  EXPECT_TRUE(WaitUntil([&] { return Main().TePopupMenu2.get_visible(); }));
  Main().TePopupMenu2.popdown();
  Main().TeButton2.clicked();
  EXPECT_TRUE(WaitUntil([&] { return Main().TePopupMenu3.get_visible(); }));
  Main().TePopupMenu3.popdown();

  // A real click: the menu opens where the pointer is.
  int x = 0;
  int y = 0;
  Main().TeButton1.get_window()->get_origin(x, y);
  const auto button = Main().TeButton1.get_allocation();
  const int px = x + button.get_x() + 30;
  const int py = y + button.get_y() + 20;
  const std::string click =
      "xdotool mousemove " + std::to_string(px) + " " + std::to_string(py) + " click 1";
  ASSERT_EQ(std::system(click.c_str()), 0);
  ASSERT_TRUE(WaitUntil([&] { return Main().TePopupMenu2.get_visible(); }));
  test::Pump(std::chrono::milliseconds(200));
  int mx = 0;
  int my = 0;
  Main().TePopupMenu2.get_toplevel()->get_window()->get_origin(mx, my);
  EXPECT_NEAR(mx, px, 30);
  EXPECT_NEAR(my, py, 30);
  Main().TePopupMenu2.popdown();
}

}  // namespace
}  // namespace telvanta

// From gdk/gdkx.h, whose X11 macros clash with the test framework's names.
extern "C" unsigned long gdk_x11_window_get_xid(GdkWindow* window);

namespace telvanta {
namespace {

// What the window asks of a window manager when it is mapped.
std::string WindowStateAtoms(Gtk::Window& window) {
  const auto xid = gdk_x11_window_get_xid(window.get_window()->gobj());
  const std::string command = "xprop -id " + std::to_string(xid) + " _NET_WM_STATE";
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[512];
    while (fgets(buffer, sizeof buffer, pipe) != nullptr) out += buffer;
    pclose(pipe);
  }
  return out;
}

class TopMostTest : public WindowsTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(TopMostTest, MainWindowStaysOnTopOnlyForExactlyOne) {
  WriteSetting("TopMost", GetParam());
  Start();
  Glib::signal_timeout().connect_once([&] { List().hide(); }, 50);
  Main().show();
  ASSERT_TRUE(WaitUntil([&] { return Main().get_mapped(); }));
  test::Pump(std::chrono::milliseconds(200));
  const bool above = WindowStateAtoms(Main()).find("_NET_WM_STATE_ABOVE") != std::string::npos;
  EXPECT_EQ(above, std::string(GetParam()) == "1") << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Values, TopMostTest, ::testing::Values("1", "0", "true", ""));

}  // namespace
}  // namespace telvanta

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  auto app = Gtk::Application::create("org.telvanta.WindowsTest", Gio::APPLICATION_NON_UNIQUE);
  app->register_application();
  std::setlocale(LC_NUMERIC, "C");
  telvanta::InstallErrorDisplay();
  return RUN_ALL_TESTS();
}
