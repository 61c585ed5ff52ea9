// The channel list window, made by the real start-up in this process over a
// temporary program folder and settings hive, under Xvfb. Its widgets are
// found by their component names, as skins and assistive tools find them.

#include "app/startup/Startup.h"
#include "catalogue/windows/ChannelListWindow.h"
#include "common/ProgramPaths.h"
#include "settings/Settings.h"
#include "tests/support/WindowTestSupport.h"
#include "widgets/ErrorDisplay.h"

#include <gtest/gtest.h>

namespace telvanta {
namespace {

using test::AnswerDialogs;
using test::Find;
using test::ReadFile;
using test::WaitUntil;

class ChannelListWindowTest : public test::RealWindowsTest<TelvantaWindows, &CreateWindows> {
 protected:
  StationListBox& Stations(const char* component) {
    return Find<StationListBox>(List(), component);
  }
  Gtk::ComboBoxText& Box(const char* component) {
    return Find<Gtk::ComboBoxText>(List(), component);
  }
  Gtk::Button& GoButton() { return Find<Gtk::Button>(List(), "TeButton1"); }
  Gtk::RadioButton& Radio(const char* component) {
    return Find<Gtk::RadioButton>(List(), component);
  }
  Gtk::Menu& Menu(const char* component) { return Find<Gtk::Menu>(List(), component); }
  bool WelcomePanelShown() { return Find<Gtk::EventBox>(Main(), "PanelWeb").get_visible(); }
};

std::vector<std::string> Entries(StationListBox& list) {
  std::vector<std::string> entries;
  for (int i = 0; i < list.Count(); ++i) entries.push_back(list.Entry(i));
  return entries;
}

// What a double-click on the entry emits.
void DoubleClick(StationListBox& list, int row) {
  list.SetItemIndex(row);
  Gtk::TreeView& view = list.View();
  Gtk::TreeModel::Path path;
  path.push_back(row);
  view.row_activated(path, *view.get_column(0));
}

TEST_F(ChannelListWindowTest, ListWindowFillsEveryListWithTwinUrlsAndClassIcons) {
  Start();
  auto& list = List();
  auto& tv = Stations("ListBox1");
  EXPECT_EQ(Entries(tv),
            (std::vector<std::string>{"Australia - Sky()", "Canada - Beta(56k)",
                                      "Canada - Channel One(300k)", "France - Gopher()"}));
  EXPECT_EQ(list.Urls(ListPage::TV),
            (std::vector<std::string>{"rtsp://127.0.0.1/sky", "http://127.0.0.1/beta.jpg",
                                      "mms://127.0.0.1/one", "gopher://127.0.0.1/x.mp3"}));
  EXPECT_EQ(tv.IconClass(0), "RTSP");
  EXPECT_EQ(tv.IconClass(1), "WEBCAM");
  EXPECT_EQ(tv.IconClass(2), "MMS");
  EXPECT_EQ(tv.IconClass(3), "");  // no class, no icon
  EXPECT_EQ(Entries(Stations("ListBox5")),
            (std::vector<std::string>{"Austria - Welle", "Germany - Radio Eins"}));
  EXPECT_EQ(list.Urls(ListPage::Radio).size(), 2U);
  EXPECT_EQ(Stations("ListBox5").IconClass(1), "RTSP");
  EXPECT_EQ(Entries(Stations("Listbox7")),
            (std::vector<std::string>{"Finland - Bridge(640x480)", "Finland - Road"}));
  EXPECT_EQ(list.Urls(ListPage::Webcam).size(), 2U);
  EXPECT_EQ(Stations("ListBox3").Count(), 0);
  EXPECT_TRUE(list.Urls(ListPage::Favorites).empty());
  // Fixed country items, then the database's, a duplicate included.
  ASSERT_EQ(list.CountryItems().size(), 16U);
  EXPECT_EQ(list.CountryItems()[12], "----------");
  EXPECT_EQ(list.CountryItems()[13], "Australia");
  EXPECT_EQ(list.CountryItems()[14], "Canada");
  EXPECT_EQ(list.CountryItems()[15], "France");
}

// At start-up only the start page's list is loaded; the others follow once
// the window is on screen, or as soon as their page is chosen.
TEST_F(ChannelListWindowTest, HiddenPagesLoadOnceShownOrWhenChosenFirst) {
  using namespace std::chrono_literals;
  windows_ = CreateWindows();
  EXPECT_EQ(Stations("ListBox1").Count(), 4);
  EXPECT_EQ(Stations("ListBox5").Count(), 0);
  List().SelectPage(ListPage::Radio);
  EXPECT_EQ(Stations("ListBox5").Count(), 2);
  EXPECT_EQ(Stations("Listbox7").Count(), 0);
  List().show();
  EXPECT_TRUE(WaitUntil([&] { return Stations("Listbox7").Count() == 2; }, 5s));
  List().hide();
}

TEST_F(ChannelListWindowTest, ListWindowShowsItsControlsUnderTheirCaptions) {
  Start();
  auto& list = List();
  EXPECT_EQ(list.get_title(), "Telvanta");
  auto& pages = Find<Gtk::Notebook>(list, "TePageControl1");
  EXPECT_EQ(pages.get_n_pages(), 4);
  const char* names[] = {"ListBox1", "ListBox5", "Listbox7", "ListBox3"};
  const char* captions[] = {"TV Stations", "Radio Stations", "Webcams", "My Favorites"};
  for (int i = 0; i < 4; ++i) {
    Gtk::Widget* page = pages.get_nth_page(i);
    EXPECT_EQ(page->get_name(), names[i]);
    EXPECT_EQ(test::AccessibleName(*page), captions[i]);
  }
  EXPECT_EQ(Find<Gtk::Frame>(list, "TeGroupBox1").get_label(), "Filter TV Stations");
  EXPECT_EQ(Box("TeComboBox4").get_active_text(), "All Countries");
  EXPECT_EQ(Box("TeComboBox1").get_active_text(), "All channels");
  EXPECT_EQ(Box("TeComboBox2").get_active_text(), "Country");
  EXPECT_EQ(Box("TeComboBox3").get_active_text(), "Asc");
  EXPECT_EQ(test::AccessibleName(GoButton()), "Go!");
  EXPECT_TRUE(Radio("RadioButton1").get_active());
  EXPECT_EQ(list.ActivePage(), ListPage::TV);
  EXPECT_EQ(test::AccessibleName(Find<ClickLabel>(list, "Label2")), ">About picture quality ");
}

TEST_F(ChannelListWindowTest, ListRowsAreSixteenPixelsHigh) {
  Start();
  List().show();
  Gtk::TreeView& view = Stations("ListBox1").View();
  ASSERT_TRUE(WaitUntil([&] { return view.get_realized(); }));
  test::Pump(std::chrono::milliseconds(200));
  Gdk::Rectangle area;
  Gtk::TreeModel::Path path;
  path.push_back(1);
  view.get_background_area(path, *view.get_column(0), area);
  EXPECT_EQ(area.get_height(), 16);
  List().hide();
}

// At 1920x1080 the list window showed 21 of some 25,000 radio rows: it could
// not be resized. It opens at 586x482 as the form has it; larger, the lists
// take the room while the filter column and the labels keep theirs; and it
// opens at its last size and place at the next start.
TEST_F(ChannelListWindowTest, ListWindowGrowsWithItsListsAndKeepsItsSizeAcrossStarts) {
  using namespace std::chrono_literals;
  Start();
  auto frame = [&](const char* component) {
    Gtk::Widget& widget = *test::FindByName(List(), component);
    int x = 0;
    int y = 0;
    widget.translate_coordinates(List(), 0, 0, x, y);
    return std::vector<int>{x, y, widget.get_allocated_width(), widget.get_allocated_height()};
  };
  const char* parts[] = {"Label1",       "TePageControl1", "ListBox1",   "TeGroupBox1",  "Label5",
                         "RadioButton2", "Label3",         "SearchEdit", "HideFailedBox"};
  // How each part follows the room added: {x, y, width, height} per pixel.
  const std::vector<int> follows[] = {{0, 0, 0, 0}, {0, 0, 1, 1}, {0, 0, 1, 1},
                                      {1, 0, 0, 0}, {1, 0, 0, 0}, {1, 0, 0, 0},
                                      {0, 1, 0, 0}, {0, 1, 0, 0}, {0, 1, 0, 0}};
  auto& list = List();
  list.show();
  ASSERT_TRUE(WaitUntil([&] { return list.get_mapped(); }));
  test::Pump(200ms);
  int width = 0;
  int height = 0;
  list.get_size(width, height);
  EXPECT_EQ(width, 586);
  EXPECT_EQ(height, 482);
  EXPECT_EQ(frame("TePageControl1"), (std::vector<int>{16, 56, 409, 369}));
  std::vector<std::vector<int>> opening;
  for (const char* part : parts) opening.push_back(frame(part));

  const int wider = 1200 - 586;
  const int taller = 900 - 482;
  list.resize(1200, 900);
  list.move(40, 30);
  ASSERT_TRUE(WaitUntil([&] { return frame("TePageControl1")[2] == 409 + wider; }, 5s));
  test::Pump(100ms);
  for (std::size_t i = 0; i < std::size(parts); ++i) {
    const std::vector<int> room = {wider, taller, wider, taller};
    std::vector<int> expected = opening[i];
    for (std::size_t k = 0; k < 4; ++k) expected[k] += follows[i][k] * room[k];
    EXPECT_EQ(frame(parts[i]), expected) << parts[i];
  }
  // Never smaller than it opens.
  list.resize(300, 200);
  test::Pump(200ms);
  list.get_size(width, height);
  EXPECT_EQ(width, 586);
  EXPECT_EQ(height, 482);
  list.resize(1200, 900);
  ASSERT_TRUE(WaitUntil([&] { return frame("TePageControl1")[2] == 409 + wider; }, 5s));
  list.hide();
  EXPECT_EQ(ReadSetting("ListWindowPlacement"), "40,30,1200,900");

  windows_ = {};
  test::Pump();
  Start();
  List().show();
  ASSERT_TRUE(WaitUntil([&] { return List().get_mapped(); }));
  ASSERT_TRUE(WaitUntil([&] { return frame("TePageControl1")[2] == 409 + wider; }, 5s));
  int x = 0;
  int y = 0;
  List().get_position(x, y);
  List().get_size(width, height);
  EXPECT_EQ((std::vector<int>{x, y, width, height}), (std::vector<int>{40, 30, 1200, 900}));
  EXPECT_EQ(frame("ListBox1"), (std::vector<int>{opening[2][0], opening[2][1],
                                                 opening[2][2] + wider, opening[2][3] + taller}));
  List().hide();
}

TEST_F(ChannelListWindowTest, RestoresStoredFiltersIgnoringLetterCase) {
  WriteSetting("FilterCountry", "canada");
  WriteSetting("FilterType", "NEWS");
  WriteSetting("SortBy", "channel name");
  WriteSetting("OrderBy", "desc");
  Start();
  EXPECT_EQ(Box("TeComboBox4").get_active_row_number(), 2);  // the fixed "Canada" comes first
  EXPECT_EQ(Box("TeComboBox1").get_active_text(), "News");
  EXPECT_EQ(Box("TeComboBox2").get_active_text(), "Channel name");
  EXPECT_EQ(Box("TeComboBox3").get_active_text(), "Desc");
  EXPECT_EQ(Entries(Stations("ListBox1")),
            (std::vector<std::string>{"Canada - Channel One(300k)"}));
}

TEST_F(ChannelListWindowTest, StaleStoredFilterLeavesItsBoxWithoutSelection) {
  WriteSetting("FilterCountry", "Atlantis");
  Start();
  EXPECT_EQ(Box("TeComboBox4").get_active_row_number(), -1);
  // Such a box is not at its first item: the list holds no station of "".
  EXPECT_EQ(Stations("ListBox1").Count(), 0);
}

TEST_F(ChannelListWindowTest, StartPageAndVideoSizeFollowTheirSettings) {
  WriteSetting("OnStartupDisplay", "Webcam");
  WriteSetting("Stretch", "1");
  Start();
  EXPECT_EQ(List().ActivePage(), ListPage::Webcam);
  EXPECT_TRUE(Radio("RadioButton2").get_active());
}

TEST_F(ChannelListWindowTest, StartPageSettingIsComparedExactly) {
  WriteSetting("OnStartupDisplay", "radio");
  WriteSetting("Stretch", "true");
  Start();
  EXPECT_EQ(List().ActivePage(), ListPage::TV);
  EXPECT_TRUE(Radio("RadioButton1").get_active());
}

TEST_F(ChannelListWindowTest, GoReloadsTheTvListAndStoresTheFilters) {
  Start();
  Box("TeComboBox4").set_active(2);  // Canada
  Box("TeComboBox2").set_active(2);  // Bandwidth
  Box("TeComboBox3").set_active(1);  // Desc
  GoButton().clicked();
  EXPECT_EQ(Entries(Stations("ListBox1")),
            (std::vector<std::string>{"Canada - Beta(56k)", "Canada - Channel One(300k)"}));
  EXPECT_EQ(List().Urls(ListPage::TV).front(), "http://127.0.0.1/beta.jpg");
  EXPECT_EQ(ReadSetting("FilterCountry"), "Canada");
  EXPECT_EQ(ReadSetting("FilterType"), "");
  EXPECT_EQ(ReadSetting("SortBy"), "Bandwidth");
  EXPECT_EQ(ReadSetting("OrderBy"), "Desc");
  EXPECT_TRUE(GoButton().get_sensitive());
}

TEST_F(ChannelListWindowTest, GoWithFirstItemsDeletesTheStoredFilters) {
  WriteSetting("FilterCountry", "Canada");
  WriteSetting("FilterType", "News");
  Start();
  Box("TeComboBox4").set_active(0);
  Box("TeComboBox1").set_active(0);
  GoButton().clicked();
  EXPECT_EQ(Stations("ListBox1").Count(), 4);
  const std::string hive = ReadFile(config_.Path() / "telvanta" / "settings.reg");
  EXPECT_EQ(hive.find("FilterCountry"), std::string::npos) << hive;
  EXPECT_EQ(hive.find("FilterType"), std::string::npos) << hive;
  EXPECT_EQ(ReadSetting("SortBy"), "Country");
  EXPECT_EQ(ReadSetting("OrderBy"), "Asc");
}

TEST_F(ChannelListWindowTest, FailedGoShowsTheEngineErrorAndStoresNothing) {
  Start();
  auto& list = List();
  // Connecting again drops the open connection; the next load opens the file.
  list.db_connect();
  std::filesystem::remove(program_.Path() / "listv2.dll");
  Box("TeComboBox4").set_active(2);
  list.show();
  const auto dialogs = AnswerDialogs([&] { GoButton().clicked(); });
  ASSERT_EQ(dialogs.size(), 1U);
  EXPECT_EQ(dialogs[0].title, "Telvanta");
  EXPECT_EQ(dialogs[0].icon, MessageIcon::Error);
  EXPECT_FALSE(dialogs[0].text.empty());
  EXPECT_EQ(dialogs[0].buttons, (std::vector<std::string>{"OK"}));
  EXPECT_TRUE(GoButton().get_sensitive());
  EXPECT_EQ(ReadSetting("FilterCountry"), "");
  EXPECT_EQ(ReadSetting("SortBy"), "");
  EXPECT_TRUE(list.get_visible());
  list.hide();
}

TEST_F(ChannelListWindowTest, PlayWithNothingSelectedShowsTheNoteThenTheIndexError) {
  Start();
  auto& list = List();
  list.show();
  auto& play = Find<Gtk::MenuItem>(list, "CustomItem27");
  const auto dialogs = AnswerDialogs([&] { play.activate(); });
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

TEST_F(ChannelListWindowTest, PlayClosesTheListSetsTheCaptionAndWritesThePage) {
  WriteSetting("FirstRun", "1");
  Start();
  auto& list = List();
  const auto dialogs = AnswerDialogs([&] { DoubleClick(Stations("Listbox7"), 1); });
  EXPECT_TRUE(dialogs.empty());
  EXPECT_FALSE(list.get_visible());
  EXPECT_EQ(Main().get_title(), "Telvanta - Finland - Road");
  EXPECT_FALSE(WelcomePanelShown());
  // A webcam page stays on disk while it is shown.
  const auto page = Pages() / "~tmp1.htm";
  ASSERT_TRUE(std::filesystem::exists(page));
  EXPECT_NE(ReadFile(page).find("http://127.0.0.1/road.jpg"), std::string::npos);
  EXPECT_EQ(StreamClassText(Main().PlayerPage().CurrentStreamClass()), "WEBCAM");
}

TEST_F(ChannelListWindowTest, PlayersNoteIsShownUntilFirstRunIsSet) {
  Start();
  auto& webcams = Stations("Listbox7");
  auto dialogs = AnswerDialogs([&] { DoubleClick(webcams, 0); });
  ASSERT_EQ(dialogs.size(), 1U);
  EXPECT_EQ(dialogs[0].text,
            "Please note: Telvanta cannot function without Windows Media Player and RealPlayer "
            "installed. Telvanta needs the system of decoding of both programs to present the "
            "radio and television signals. ");
  EXPECT_EQ(dialogs[0].buttons, (std::vector<std::string>{"OK"}));
  WriteSetting("FirstRun", "1");
  dialogs = AnswerDialogs([&] { DoubleClick(webcams, 0); });
  EXPECT_TRUE(dialogs.empty());
  EXPECT_EQ(Main().PlayerPage().PageCounter(), 2);
}

TEST_F(ChannelListWindowTest, AddressThePlayerRefusesIsToldAndNothingPlays) {
  WriteSetting("FirstRun", "1");
  Start();
  const auto dialogs = AnswerDialogs([&] { DoubleClick(Stations("ListBox1"), 3); });  // gopher://
  ASSERT_EQ(dialogs.size(), 1U);
  EXPECT_EQ(dialogs[0].title, "Telvanta");
  EXPECT_EQ(dialogs[0].icon, MessageIcon::None);
  EXPECT_NE(dialogs[0].text.find("not a known stream type"), std::string::npos);
  EXPECT_NE(dialogs[0].text.find("gopher://127.0.0.1/x.mp3"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(Pages() / "~tmp1.htm"));
}

TEST_F(ChannelListWindowTest, HelpLinksShowPlainNotes) {
  Start();
  const auto dialogs = AnswerDialogs([&] {
    Find<ClickLabel>(List(), "Label2").signal_clicked().emit();
    Find<ClickLabel>(List(), "Label3").signal_clicked().emit();
  });
  ASSERT_EQ(dialogs.size(), 2U);
  for (const auto& dialog : dialogs) {
    EXPECT_EQ(dialog.title, "Telvanta");
    EXPECT_EQ(dialog.icon, MessageIcon::None);
  }
  EXPECT_EQ(dialogs[0].text.rfind("The quality and continuity", 0), 0U);
  EXPECT_EQ(dialogs[1].text.rfind("There are over 1000 channels", 0), 0U);
}

TEST_F(ChannelListWindowTest, VideoSizeIsStoredOnMouseUpOverItsButton) {
  Start();
  auto& list = List();
  auto& original = Radio("RadioButton1");
  auto& fit = Radio("RadioButton2");
  list.show();
  ASSERT_TRUE(WaitUntil([&] { return fit.get_realized(); }));
  test::SendButton(fit, GDK_BUTTON_RELEASE, 1, 3, 3);
  EXPECT_EQ(ReadSetting("Stretch"), "1");
  test::SendButton(original, GDK_BUTTON_RELEASE, 1, 3, 3);
  EXPECT_EQ(ReadSetting("Stretch"), "0");
  // Released elsewhere: nothing is written.
  test::SendButton(fit, GDK_BUTTON_RELEASE, 1, -20, -20);
  EXPECT_EQ(ReadSetting("Stretch"), "0");
  list.hide();
}

TEST_F(ChannelListWindowTest, PopUpMenusListTheirItemsInOrder) {
  Start();
  auto names = [](Gtk::Menu& menu) {
    std::vector<std::string> out;
    for (Gtk::Widget* child : menu.get_children()) {
      out.push_back(dynamic_cast<Gtk::SeparatorMenuItem*>(child) ? "-"
                                                                 : test::AccessibleName(*child));
    }
    return out;
  };
  struct Case {
    const char* menu;
    std::vector<std::string> items;
  };
  const Case cases[] = {
      {"TePopupMenu1",
       {"Play", "-", "Add this channel to My Favorites", "Add your own channel to My Favorites",
        "-", "Properties...", "-", "Check stations"}},
      {"TePopupMenu3",
       {"Play", "-", "Add this channel to My Favorites", "Report a bad link",
        "Add your own channel to My Favorites", "-", "Check stations"}},
      {"TePopupMenu4",
       {"Play", "-", "Add this webcam to My Favorites", "Report a bad link", "-",
        "Check stations"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(names(Menu(c.menu)), c.items) << c.menu;
  }
}

TEST_F(ChannelListWindowTest, TabMnemonicsSwitchPages) {
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

TEST_F(ChannelListWindowTest, RightClickSelectsTheEntryAndItsMenuPlaysIt) {
  WriteSetting("FirstRun", "1");
  Start();
  auto& list = List();
  auto& webcams = Stations("Listbox7");
  auto& menu = Menu("TePopupMenu4");
  list.SelectPage(ListPage::Webcam);
  list.show();
  Gtk::TreeView& view = webcams.View();
  ASSERT_TRUE(WaitUntil([&] { return view.get_realized() && view.get_bin_window(); }));
  test::Pump(std::chrono::milliseconds(200));
  // The second row, 16 pixels down.
  test::SendButtonTo(view, view.get_bin_window(), GDK_BUTTON_PRESS, 3, 20, 16 + 8);
  EXPECT_EQ(webcams.ItemIndex(), 1);
  ASSERT_TRUE(WaitUntil([&] { return menu.get_visible(); }));
  auto* play = dynamic_cast<Gtk::MenuItem*>(menu.get_children().front());
  ASSERT_NE(play, nullptr);
  play->activate();
  ASSERT_TRUE(WaitUntil([&] { return !list.get_visible(); }));
  EXPECT_EQ(Main().get_title(), "Telvanta - Finland - Road");
  EXPECT_EQ(StreamClassText(Main().PlayerPage().CurrentStreamClass()), "WEBCAM");
}

// Lists where a search keeps some rows and hides others; the radio list is
// long enough to scroll.
class ChannelListSearchTest : public ChannelListWindowTest {
 protected:
  void SetUp() override {
    ChannelListWindowTest::SetUp();
    std::vector<CatalogueRow> radio = {
        test::Station("Germany", "Radio Eins", "", "http://127.0.0.1/eins.pls"),
        test::Station("Ireland", "BBC Ulster", "", "mms://127.0.0.1/ulster"),
        test::Station("UK", "BBC World", "", "mms://127.0.0.1/world")};
    for (int i = 10; i < 70; ++i) {
      radio.push_back(test::Station("Zambia", "Filler " + std::to_string(i), "",
                                    "http://127.0.0.1/" + std::to_string(i) + ".pls"));
    }
    test::MakeProgramFolder(program_.Path(),
                            {test::Station("France", "Télé Matin", "", "mms://127.0.0.1/tele"),
                             test::Station("UK", "BBC Two", "", "mms://127.0.0.1/two")},
                            radio,
                            {test::Station("Finland", "Road", "", "http://127.0.0.1/r.jpg")});
  }
  Gtk::SearchEntry& Search() { return Find<Gtk::SearchEntry>(List(), "SearchEdit"); }
  // A key press as the keyboard sends it, to the window's focus.
  void Press(guint keyval, guint state = 0) {
    GdkEvent* event = gdk_event_new(GDK_KEY_PRESS);
    event->key.window = GDK_WINDOW(g_object_ref(List().get_window()->gobj()));
    event->key.send_event = TRUE;
    event->key.time = GDK_CURRENT_TIME;
    event->key.state = state;
    event->key.keyval = keyval;
    GdkKeymapKey* keys = nullptr;
    gint count = 0;
    if (gdk_keymap_get_entries_for_keyval(gdk_keymap_get_for_display(gdk_display_get_default()),
                                          keyval, &keys, &count) &&
        count > 0) {
      event->key.hardware_keycode = static_cast<guint16>(keys[0].keycode);
      event->key.group = static_cast<guint8>(keys[0].group);
    }
    g_free(keys);
    gdk_event_set_device(
        event, gdk_seat_get_keyboard(gdk_display_get_default_seat(gdk_display_get_default())));
    gtk_main_do_event(event);
    gdk_event_free(event);
  }
  void Type(std::string_view text) {
    for (const char c : text) Press(gdk_unicode_to_keyval(static_cast<guint32>(c)));
  }
};

TEST_F(ChannelListSearchTest, SearchFiltersEachPageAndCommandsActOnTheFilteredRow) {
  WriteSetting("FirstRun", "1");
  Start();
  auto& list = List();
  auto& radio = Stations("ListBox5");
  list.SelectPage(ListPage::Radio);
  list.show();
  ASSERT_TRUE(WaitUntil([&] { return radio.View().get_realized(); }));
  EXPECT_EQ(test::AccessibleName(Search()), "Search");
  radio.SetItemIndex(0);
  Find<Gtk::MenuItem>(list, "TeItem2").activate();  // Germany - Radio Eins to the favourites
  radio.SetItemIndex(40);
  radio.get_vadjustment()->set_value(320.0);
  test::Pump();

  // Ctrl+F takes the keyboard to the search; each letter filters at once.
  Press(GDK_KEY_f, GDK_CONTROL_MASK);
  EXPECT_TRUE(Search().has_focus());
  Type("bbc");
  EXPECT_EQ(Search().get_text(), "bbc");
  EXPECT_EQ(Entries(radio), (std::vector<std::string>{"Ireland - BBC Ulster", "UK - BBC World"}));
  EXPECT_EQ(list.Urls(ListPage::Radio),
            (std::vector<std::string>{"mms://127.0.0.1/ulster", "mms://127.0.0.1/world"}));
  EXPECT_EQ(list.VisibleEntries(ListPage::Radio), Entries(radio));

  // Commands on a filtered row act on its station.
  radio.SetItemIndex(1);
  Find<Gtk::MenuItem>(list, "TeItem2").activate();  // Add this channel to My Favorites
  EXPECT_EQ(list.Urls(ListPage::Favorites),
            (std::vector<std::string>{"http://127.0.0.1/eins.pls", "mms://127.0.0.1/world"}));
  radio.SetItemIndex(0);
  auto seen = AnswerDialogs([&] { Find<Gtk::MenuItem>(list, "CustomItem10").activate(); },
                            Gtk::RESPONSE_NO);  // Report a bad link
  ASSERT_EQ(seen.size(), 1U);
  EXPECT_NE(seen[0].text.find("'Ireland - BBC Ulster'"), std::string::npos) << seen[0].text;

  // Each page keeps its own query; the entry shows the shown page's.
  list.SelectPage(ListPage::TV);
  EXPECT_EQ(Search().get_text(), "");
  Search().set_text("TELE");
  EXPECT_EQ(Entries(Stations("ListBox1")), (std::vector<std::string>{"France - Télé Matin()"}));
  list.SelectPage(ListPage::Radio);
  EXPECT_EQ(Search().get_text(), "bbc");
  EXPECT_EQ(radio.Count(), 2);
  list.SelectPage(ListPage::TV);
  EXPECT_EQ(Search().get_text(), "TELE");

  // Delete on the one favourite shown deletes that one, the second of Fav.dat.
  list.SelectPage(ListPage::Favorites);
  Search().set_text("world");
  ASSERT_EQ(Entries(Stations("ListBox3")), (std::vector<std::string>{"UK - BBC World"}));
  Stations("ListBox3").SetItemIndex(0);
  Find<Gtk::MenuItem>(list, "CustomItem30").activate();
  EXPECT_EQ(Stations("ListBox3").Count(), 0);
  Search().set_text("");
  EXPECT_EQ(list.Urls(ListPage::Favorites),
            (std::vector<std::string>{"http://127.0.0.1/eins.pls"}));

  // Escape clears the query: the list as it was, selection and scroll too.
  list.SelectPage(ListPage::Radio);
  radio.SetItemIndex(1);
  Search().grab_focus();
  Press(GDK_KEY_Escape);
  EXPECT_EQ(Search().get_text(), "");
  EXPECT_EQ(radio.Count(), 63);
  EXPECT_EQ(list.Urls(ListPage::Radio).size(), 63U);
  EXPECT_EQ(radio.ItemIndex(), 40);
  EXPECT_TRUE(WaitUntil([&] { return radio.ScrollOffset() == 320.0; })) << radio.ScrollOffset();

  // A reload applies the page's query again; a filtered row plays its station.
  Search().set_text("world");
  list.LoadRadio();
  ASSERT_EQ(Entries(radio), (std::vector<std::string>{"UK - BBC World"}));
  DoubleClick(radio, 0);
  EXPECT_FALSE(list.get_visible());
  EXPECT_EQ(Main().get_title(), "Telvanta - UK - BBC World");
  EXPECT_NE(ReadFile(Pages() / "~tmp1.htm").find("mms://127.0.0.1/world"), std::string::npos);
}

}  // namespace
}  // namespace telvanta

int main(int argc, char** argv) {
  return telvanta::test::RunWindowTests(argc, argv, "org.telvanta.ChannelListWindowTest");
}
