// The main window, made by the real start-up in this process over a
// temporary program folder and settings hive, under Xvfb. Its widgets are
// found by their component names, as skins and assistive tools find them.

#include "app/AppRules.h"
#include "app/startup/Startup.h"
#include "app/windows/MainWindow.h"
#include "catalogue/windows/ChannelListWindow.h"
#include "common/DesCipher.h"
#include "common/Links.h"
#include "common/ProgramPaths.h"
#include "settings/Settings.h"
#include "tests/support/CatalogueTestSupport.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/WindowTestSupport.h"
#include "tests/support/ZipMaker.h"
#include "update/CheckNetVersion.h"
#include "widgets/ErrorDisplay.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
#include <fstream>

namespace telvanta {
namespace {

using test::AnswerDialogs;
using test::Find;
using test::ReadFile;
using test::WaitUntil;

class MainWindowTest : public test::RealWindowsTest<TelvantaWindows, &CreateWindows> {
 protected:
  Gtk::Button& Button(const char* component) { return Find<Gtk::Button>(Main(), component); }
  Gtk::Menu& Menu(const char* component) { return Find<Gtk::Menu>(Main(), component); }
  Gtk::MenuItem& Item(const char* component) { return Find<Gtk::MenuItem>(Main(), component); }
  bool WelcomePanelShown() { return Find<Gtk::EventBox>(Main(), "PanelWeb").get_visible(); }
};

// What a window manager sends when the user closes the window.
void SendDelete(Gtk::Window& window) {
  gtk_widget_realize(GTK_WIDGET(window.gobj()));
  GdkEvent* event = gdk_event_new(GDK_DELETE);
  event->any.window = static_cast<GdkWindow*>(g_object_ref(window.get_window()->gobj()));
  event->any.send_event = TRUE;
  window.event(event);
  gdk_event_free(event);
}

// The open file chooser of the Open... command, or nullptr.
Gtk::FileChooserDialog* MediaFileDialog() {
  return dynamic_cast<Gtk::FileChooserDialog*>(test::FindToplevel("OpenDialog1"));
}

TEST_F(MainWindowTest, ShowingTheMainWindowShowsTheListModallyFirst) {
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
  EXPECT_TRUE(WelcomePanelShown());
  EXPECT_EQ(Main().get_title(), "Telvanta");
}

// An address handed in from outside (the command line, a later launch)
// plays as Open URL does: handed before the first show, it plays in place of
// the list; handed while the list is up, the list steps aside as for a pick.
TEST_F(MainWindowTest, AddressHandedInPlaysInPlaceOfTheList) {
  Start();
  Main().PlayAddress("mms://127.0.0.1/start");
  bool listShown = false;
  sigc::connection guard = Glib::signal_timeout().connect(
      [&] {
        listShown = List().get_visible();
        List().hide();  // so that a failure ends
        return false;
      },
      3000);
  Main().show();
  guard.disconnect();
  EXPECT_FALSE(listShown);
  EXPECT_TRUE(Main().get_visible());
  EXPECT_FALSE(WelcomePanelShown());
  EXPECT_EQ(Main().PlayerPage().PageCounter(), 1);
  EXPECT_EQ(Main().get_title(), "Telvanta");

  Glib::signal_timeout().connect_once([&] { Main().PlayAddress("mms://127.0.0.1/later"); }, 50);
  Button("TeButton6").clicked();  // the list, shown modally until it goes
  EXPECT_FALSE(List().get_visible());
  EXPECT_EQ(Main().PlayerPage().PageCounter(), 2);
}

TEST_F(MainWindowTest, MissingTemplateIsShownAsCannotOpenFile) {
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
  EXPECT_TRUE(std::filesystem::exists(Pages() / "~tmp2.htm"));
}

TEST_F(MainWindowTest, ToolbarButtonsOpenTheListOnTheirOwnPage) {
  Start();
  struct Case {
    const char* button;
    ListPage page;
  };
  for (const Case& c : {Case{"TeButton3", ListPage::Radio}, Case{"TeButton8", ListPage::Webcam},
                        Case{"TeButton5", ListPage::Favorites}, Case{"TeButton6", ListPage::TV}}) {
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
    Button(c.button).clicked();
    EXPECT_EQ(shown, c.page) << c.button;
    EXPECT_TRUE(modal) << c.button;
  }
}

TEST_F(MainWindowTest, MainWindowHasTheToolbarWelcomePanelAndStatusBar) {
  WriteSetting("LastText", "New stations this week");
  WriteSetting("LastURL", "http://127.0.0.1/news");
  Start();
  auto& main = Main();
  EXPECT_EQ(main.get_title(), "Telvanta");
  std::vector<std::string> names;
  std::vector<std::string> spoken;
  for (Gtk::Widget* child : Find<Gtk::Box>(main, "TePanel1").get_children()) {
    names.push_back(child->get_name());
    spoken.push_back(test::AccessibleName(*child));
  }
  EXPECT_EQ(names, (std::vector<std::string>{"TeButton6", "TeButton3", "TeButton8", "TeButton5",
                                             "TeButton1", "TeButton2", "TeButton7"}));
  EXPECT_EQ(spoken, (std::vector<std::string>{"Watch TV", "Listen Radio", "Webcams", "My Favorites",
                                              "Tools", "Help", "About"}));
  auto& watchTv = Button("TeButton6");
  EXPECT_EQ(watchTv.get_label(), "Watch _TV");
  EXPECT_TRUE(watchTv.get_use_underline());
  EXPECT_EQ(watchTv.get_image_position(), Gtk::POS_TOP);
  int width = 0;
  int height = 0;
  Button("TeButton7").get_size_request(width, height);
  EXPECT_EQ(width, 96);
  EXPECT_EQ(height, 60);
  EXPECT_TRUE(WelcomePanelShown());
  EXPECT_EQ(Find<LinkLabel>(main, "URLLabel2").Caption(),
            "Click here to download the lastest version of Real Player");
  EXPECT_EQ(Find<LinkLabel>(main, "URLLabel1").Address(),
            "http://www.microsoft.com/windows/mediaplayer/download");
  auto& announcement = Find<ClickLabel>(main, "Label1");
  EXPECT_EQ(announcement.label().get_text(), "New stations this week");
  EXPECT_EQ(main.AnnouncementLink(), "http://127.0.0.1/news");
  EXPECT_EQ(announcement.get_tooltip_text(), "http://127.0.0.1/news");
}

TEST_F(MainWindowTest, ToolsAndHelpMenusListTheirItemsInOrder) {
  Start();
  auto names = [](Gtk::Menu& menu) {
    std::vector<std::string> out;
    for (Gtk::Widget* child : menu.get_children()) {
      out.push_back(dynamic_cast<Gtk::SeparatorMenuItem*>(child) ? "-"
                                                                 : test::AccessibleName(*child));
    }
    return out;
  };
  EXPECT_EQ(names(Menu("TePopupMenu2")),
            (std::vector<std::string>{"Open...", "Open URL...", "-", "Free software required", "-",
                                      "Check for update...", "Check stations", "Preferences...",
                                      "-", "Skins"}));
  EXPECT_EQ(names(Menu("TePopupMenu3")),
            (std::vector<std::string>{"Help Contents...", "F.A.Q", "-", "Homepage", "Email", "-",
                                      "About..."}));
}

// The three answers come in plain boxes titled with the program's name.
TEST_F(MainWindowTest, FaqAnswersAreShownInPlainBoxes) {
  Start();
  for (const char* item : {"CustomItem77", "CustomItem78", "CustomItem79"}) {
    const auto seen = AnswerDialogs([&] { Item(item).activate(); });
    ASSERT_EQ(seen.size(), 1U) << item;
    EXPECT_EQ(seen[0].title, "Telvanta");
    EXPECT_EQ(seen[0].icon, MessageIcon::None);
    EXPECT_EQ(seen[0].buttons, std::vector<std::string>{"OK"});
  }
  const auto second = AnswerDialogs([&] { Item("CustomItem78").activate(); });
  EXPECT_NE(second.at(0).text.find("(>300k).\rYou must also"), std::string::npos);
}

// Both the toolbar button and the menu item open a new About box, modal,
// with the running version and the maker's links.
TEST_F(MainWindowTest, AboutBoxShowsTheVersionAndTheMakersLinks) {
  Start();
  for (const std::function<void()>& open : std::vector<std::function<void()>>{
           [&] { Button("TeButton7").clicked(); }, [&] { Item("CustomItem76").activate(); }}) {
    std::string version;
    std::string home;
    std::string mail;
    bool modal = false;
    Glib::signal_timeout().connect_once(
        [&] {
          Gtk::Window* about = test::FindToplevel("FrmAbout");
          ASSERT_NE(about, nullptr);
          modal = about->get_modal() && about->get_title() == "About Telvanta";
          version = test::AccessibleName(Find<Gtk::Widget>(*about, "Label2"));
          home = Find<LinkLabel>(*about, "URLLabel1").Address();
          mail = Find<LinkLabel>(*about, "URLLabel2").Address();
          Find<Gtk::Button>(*about, "TeButton1").clicked();
        },
        100);
    open();
    EXPECT_TRUE(modal);
    EXPECT_EQ(version, "Version: 7.2.0.0");
    EXPECT_EQ(home, MakerSite);
    EXPECT_EQ(mail, "mailto:" + SupportAddress());
    EXPECT_EQ(test::FindToplevel("FrmAbout"), nullptr);
  }
}

TEST_F(MainWindowTest, ClosingTheMainWindowStampsDayAndFirstRunAndDropsThePage) {
  WriteSetting("FirstRun", "1");
  Start();
  Main().PlayTV("http://127.0.0.1/cam.jpg");
  ASSERT_TRUE(std::filesystem::exists(Pages() / "~tmp1.htm"));
  DeleteSetting("FirstRun");
  SendDelete(Main());
  EXPECT_FALSE(std::filesystem::exists(Pages() / "~tmp1.htm"));
  EXPECT_EQ(ReadSetting("Day"), DateText());
  EXPECT_EQ(ReadSetting("FirstRun"), "1");
}

// The first play of a day asks a loopback update server: its announcement
// reaches the status bar and its catalogue is what the lists show at once.
TEST_F(MainWindowTest, FirstPlayOfTheDayAnnouncesAndInstallsTheNewCatalogue) {
  using namespace std::chrono_literals;
  test::TempFolder site("telvanta-site");
  test::TempFolder downloads("telvanta-downloads");
  const auto fresh = site / "fresh.dll";
  test::MakeDatabase(fresh, {test::Row("Norway", "Fresh TV", "", "mms://127.0.0.1/fresh")},
                     {test::Row("Norway", "Fresh Radio", "", "http://127.0.0.1/fresh")},
                     {test::Row("Norway", "Fresh Cam", "", "http://127.0.0.1/fresh.jpg")});
  test::MakeZip(site / "listv2.zip", {test::ZipFile("listv2.dll", ReadFile(fresh))});
  test::WriteFile(site / "tvinfo.ini",
                  "[Current]\r\nVersion=7.2.0.0\r\n[7.2.0.0]\r\nAnnounce=Fresh stations "
                  "today\r\nURL=http://127.0.0.1/news\r\n");
  test::LoopbackHttpServer server(site.Path());
  UpdateContext context;
  context.infoEndpointHex = DesEncryptHex(server.Url("/tvinfo.ini"), UpdateKey);
  context.listEndpointHex = DesEncryptHex(server.Url("/listv2.zip"), UpdateKey);
  context.downloadFolder = downloads.Path();
  context.dataFolder = data_.Path() / "telvanta";
  context.version = "7.2.0.0";
  context.language = 1033;
  context.limits.connectTimeout = 2s;
  SetUpdateContextForTesting(context);
  DeleteSetting("Day");
  WriteSetting("AutoUpdate", "1");
  Start();
  const auto radio = List().VisibleEntries(ListPage::Radio);
  Main().PlayTV("http://127.0.0.1/cam.jpg");
  const bool reloaded = WaitUntil(
      [&] {
        return List().VisibleEntries(ListPage::Radio) != radio &&
               test::AccessibleName(Find<Gtk::Widget>(Main(), "Label1")) == "Fresh stations today";
      },
      20s);
  SetUpdateContextForTesting(std::nullopt);
  ASSERT_TRUE(reloaded) << test::AccessibleName(Find<Gtk::Widget>(Main(), "Label1"));
  EXPECT_EQ(List().VisibleEntries(ListPage::Radio),
            std::vector<std::string>{"Norway - Fresh Radio"});
  EXPECT_EQ(ReadSetting("LastText"), "Fresh stations today");
  EXPECT_EQ(ReadSetting("Day"), DateText());
  EXPECT_TRUE(std::filesystem::exists(data_.Path() / "telvanta" / "listv2.dll"));
  EXPECT_TRUE(std::filesystem::is_empty(downloads.Path()));
  // The second play of the day stays offline.
  Main().PlayTV("http://127.0.0.1/cam.jpg");
  test::Pump(300ms);
  EXPECT_EQ(server.Hits("/tvinfo.ini"), 1);
}

TEST_F(MainWindowTest, MediaFileDialogOffersTheFiveFilterGroups) {
  Start();
  bool checked = false;
  std::vector<std::string> groups;
  std::string selected;
  Glib::signal_timeout().connect_once(
      [&] {
        Gtk::FileChooserDialog* dialog = MediaFileDialog();
        if (dialog == nullptr) return;
        for (const auto& filter : dialog->list_filters()) groups.push_back(filter->get_name());
        selected = dialog->get_filter()->get_name();
        checked = true;
        dialog->response(Gtk::RESPONSE_CANCEL);
      },
      300);
  Item("CustomItem61").activate();
  ASSERT_TRUE(checked);
  EXPECT_EQ(groups, (std::vector<std::string>{
                        "Media files(all types)", "Windows Media file(*.asf;*.wmv;*.wma;*.asf)",
                        "RealMedia files(*.rm;*.ram;*.ra;*.smil;*.smi;*.avi)",
                        "Audio files(*.mp3;*.wav;*.mp2;*.mpa;*.wav)", "All files(*.*)"}));
  EXPECT_EQ(selected, "Media files(all types)");
  EXPECT_EQ(Main().PlayerPage().PageCounter(), 0);  // cancelled: nothing played
  // The user picks another group and cancels; the next Open starts on the first.
  Glib::signal_timeout().connect_once(
      [&] {
        Gtk::FileChooserDialog* dialog = MediaFileDialog();
        if (dialog == nullptr) return;
        dialog->set_filter(dialog->list_filters().back());
        dialog->response(Gtk::RESPONSE_CANCEL);
      },
      300);
  Item("CustomItem61").activate();
  selected.clear();
  Glib::signal_timeout().connect_once(
      [&] {
        Gtk::FileChooserDialog* dialog = MediaFileDialog();
        if (dialog == nullptr) return;
        selected = dialog->get_filter()->get_name();
        dialog->response(Gtk::RESPONSE_CANCEL);
      },
      300);
  Item("CustomItem61").activate();
  EXPECT_EQ(selected, "Media files(all types)");
}

TEST_F(MainWindowTest, MediaFileChosenInTheDialogIsPlayed) {
  Start();
  const auto clip = program_.Path() / "Clip.WMV";
  std::ofstream(clip) << "x";
  int ticks = 0;
  // The chooser selects the file once it has read the folder; give up after 10 s.
  sigc::connection choose = Glib::signal_timeout().connect(
      [&] {
        Gtk::FileChooserDialog* dialog = MediaFileDialog();
        if (dialog == nullptr) return true;
        if (ticks++ == 0) dialog->set_filename(clip.string());
        if (dialog->get_filename() == clip.string()) {
          dialog->response(Gtk::RESPONSE_ACCEPT);
          return false;
        }
        if (ticks > 200) dialog->response(Gtk::RESPONSE_CANCEL);
        return ticks <= 200;
      },
      50);
  Item("CustomItem61").activate();
  choose.disconnect();
  EXPECT_EQ(Main().PlayerPage().PageCounter(), 1);
  EXPECT_EQ(StreamClassText(Main().PlayerPage().CurrentStreamClass()), "MMS");
  EXPECT_FALSE(WelcomePanelShown());
}

TEST_F(MainWindowTest, ToolsAndHelpButtonsPopUpTheirMenus) {
  Start();
  auto& tools = Button("TeButton1");
  auto& toolsMenu = Menu("TePopupMenu2");
  auto& helpMenu = Menu("TePopupMenu3");
  Glib::signal_timeout().connect_once([&] { List().hide(); }, 50);
  Main().show();
  ASSERT_TRUE(WaitUntil([&] { return Main().get_mapped(); }));
  tools.clicked();
  EXPECT_TRUE(WaitUntil([&] { return toolsMenu.get_visible(); }));
  toolsMenu.popdown();
  Button("TeButton2").clicked();
  EXPECT_TRUE(WaitUntil([&] { return helpMenu.get_visible(); }));
  helpMenu.popdown();

  // A real click: the menu opens where the pointer is.
  int x = 0;
  int y = 0;
  tools.get_window()->get_origin(x, y);
  const auto button = tools.get_allocation();
  const int px = x + button.get_x() + 30;
  const int py = y + button.get_y() + 20;
  const std::string click =
      "xdotool mousemove " + std::to_string(px) + " " + std::to_string(py) + " click 1";
  ASSERT_EQ(std::system(click.c_str()), 0);
  ASSERT_TRUE(WaitUntil([&] { return toolsMenu.get_visible(); }));
  test::Pump(std::chrono::milliseconds(200));
  int mx = 0;
  int my = 0;
  toolsMenu.get_toplevel()->get_window()->get_origin(mx, my);
  EXPECT_NEAR(mx, px, 30);
  EXPECT_NEAR(my, py, 30);
  toolsMenu.popdown();
}

// Component names are ids for skins and tools; a reader says the caption.
TEST_F(MainWindowTest, ComponentNamesAreIdsAndNeverReadAloud) {
  Start();
  struct Window {
    const char* what;
    Gtk::Window* window;
    std::size_t atLeast;  // named widgets, so an empty walk cannot pass
  };
  const Window windows[] = {{"main window", &Main(), 30}, {"list window", &List(), 45}};
  for (const Window& w : windows) {
    std::size_t named = 0;
    for (Gtk::Widget* widget : test::AllWidgets(*w.window)) {
      const std::string id = test::AccessibleId(*widget);
      if (id.empty()) continue;
      ++named;
      EXPECT_EQ(id, widget->get_name()) << w.what;
      EXPECT_NE(test::AccessibleName(*widget), id) << w.what << ": " << id << " is read aloud";
    }
    EXPECT_GE(named, w.atLeast) << w.what;
  }

  struct Case {
    Gtk::Window* window;
    const char* component;
    std::string spoken;
  };
  const Case cases[] = {
      {&Main(), "frmmain", "Telvanta"},
      {&Main(), "TePanel1", ""},
      {&Main(), "PanelMain", ""},
      {&Main(), "TeButton6", "Watch TV"},
      {&Main(), "Label1", ""},  // no announcement stored
      {&Main(), "StatusPanel0", std::string(MakerLine)},
      {&Main(), "CustomItem62", "Open URL..."},
      {&List(), "TePageControl1", ""},
      {&List(), "ListBox1", "TV Stations"},
      {&List(), "ListBox1View", "TV Stations"},
      {&List(), "TeComboBox3", "Order:"},
      {&List(), "CustomItem44", ""},  // a separator
  };
  for (const Case& c : cases) {
    Gtk::Widget& widget = Find<Gtk::Widget>(*c.window, c.component);
    EXPECT_EQ(test::AccessibleId(widget), c.component);
    EXPECT_EQ(test::AccessibleName(widget), c.spoken) << c.component;
  }
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

class TopMostTest : public MainWindowTest, public ::testing::WithParamInterface<const char*> {};

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

// Each use opens its own dialog, preset from the store; OK stores and
// places the main window, Cancel stores nothing.
TEST_F(MainWindowTest, PreferencesStoreOnlyOnOk) {
  WriteSetting("OnStartupDisplay", "MyFav");
  WriteSetting("AutoUpdate", "1");
  Start();
  auto open = [&] {
    Item("CustomItem65").activate();
    for (Gtk::Window* window : Gtk::Window::list_toplevels()) {
      if (window->get_visible() && window->get_name() == "FrmSetting") return window;
    }
    return static_cast<Gtk::Window*>(nullptr);
  };
  Gtk::Window* dialog = open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(Find<Gtk::ComboBoxText>(*dialog, "TeComboBox1").get_active_text(), "My Favorites");
  EXPECT_TRUE(Find<Gtk::CheckButton>(*dialog, "TeCheckBox1").get_active());
  EXPECT_FALSE(Find<Gtk::CheckButton>(*dialog, "TeCheckBox2").get_active());
  EXPECT_TRUE(Find<Gtk::Button>(*dialog, "TeButton3").get_sensitive());
  Find<Gtk::CheckButton>(*dialog, "TeCheckBox1").set_active(false);
  Find<Gtk::Button>(*dialog, "TeButton2").clicked();  // Cancel
  EXPECT_FALSE(dialog->get_visible());
  EXPECT_EQ(ReadSetting("AutoUpdate"), "1");

  dialog = open();
  ASSERT_NE(dialog, nullptr);
  Find<Gtk::ComboBoxText>(*dialog, "TeComboBox1").set_active(1);
  Find<Gtk::CheckButton>(*dialog, "TeCheckBox1").set_active(false);
  Find<Gtk::CheckButton>(*dialog, "TeCheckBox2").set_active(true);
  Find<Gtk::Button>(*dialog, "TeButton1").clicked();  // OK
  EXPECT_FALSE(dialog->get_visible());
  EXPECT_EQ(ReadSetting("OnStartupDisplay"), "Radio");
  EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, SettingsKey, "AutoUpdate"), "");
  EXPECT_EQ(ReadSetting("TopMost"), "1");
}

}  // namespace
}  // namespace telvanta

int main(int argc, char** argv) {
  return telvanta::test::RunWindowTests(argc, argv, "org.telvanta.MainWindowTest");
}
