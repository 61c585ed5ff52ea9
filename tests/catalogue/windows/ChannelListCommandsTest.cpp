// The list window's station commands through the real windows under Xvfb:
// favourites kept in Fav.dat, the add-own-channel dialog, Properties, the
// bad-link question, the list exports and the favourites' playlists.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "app/startup/Startup.h"
#include "catalogue/windows/ChannelListWindow.h"
#include "catalogue/windows/ListExportWindow.h"
#include "common/DesCipher.h"
#include "favourites/Favourites.h"
#include "health/CheckOutcome.h"
#include "settings/Settings.h"
#include "tests/support/CatalogueTestSupport.h"
#include "tests/support/MainLoop.h"
#include "tests/support/WindowTestSupport.h"
#include "widgets/ErrorDisplay.h"

namespace telvanta {
namespace {

using test::AnswerDialogs;
using test::Find;
using test::ReadFile;
using test::WaitUntil;

class ChannelListCommandsTest : public test::RealWindowsTest<TelvantaWindows, &CreateWindows> {
 protected:
  StationListBox& Stations(const char* component) {
    return Find<StationListBox>(List(), component);
  }
  // Selects the row and activates the pop-up menu item, as a right click and
  // a click on the item do.
  void Choose(const char* list, int row, const char* item) {
    Stations(list).SetItemIndex(row);
    Find<Gtk::MenuItem>(List(), item).activate();
  }
  std::filesystem::path Favourites() const { return data_.Path() / "telvanta" / "Fav.dat"; }
  std::vector<std::string> Entries(const char* component) {
    std::vector<std::string> entries;
    for (int i = 0; i < Stations(component).Count(); ++i) {
      entries.push_back(Stations(component).Entry(i));
    }
    return entries;
  }
};

std::string Line(const std::string& name, const std::string& url) {
  return name + "|" + DesEncryptHex(url, StationKey) + "\r\n";
}

Gtk::Window* Shown(const std::string& component) {
  for (Gtk::Window* window : Gtk::Window::list_toplevels()) {
    if (window->get_visible() && window->get_name() == component) {
      return window;
    }
  }
  return nullptr;
}

// Answers each message and input box the action shows, once `look` has seen
// it and says it is done: OK, with `typed` in an input box.
void AnswerBoxes(const std::function<void()>& action, const std::function<bool(Gtk::Dialog&)>& look,
                 const std::string& typed = "") {
  sigc::connection watch = Glib::signal_timeout().connect(
      [&] {
        for (Gtk::Window* window : Gtk::Window::list_toplevels()) {
          auto* box = dynamic_cast<Gtk::Dialog*>(window);
          const bool input = box != nullptr && box->get_name() == "InputBox";
          if (box == nullptr || !box->get_visible() ||
              (!input && dynamic_cast<MessageBox*>(box) == nullptr) || !look(*box)) {
            continue;
          }
          if (input) Find<Gtk::Entry>(*box, "Edit").set_text(typed);
          box->response(Gtk::RESPONSE_OK);
        }
        return true;
      },
      20);
  action();
  watch.disconnect();
}

// A check that ends, or a play's outcome, re-filters the lists; with a box
// open, the command used to read the URL at the shown index afterwards and
// act on another station (a rename saved a neighbour's URL). The station is
// taken as chosen, before the box.
TEST_F(ChannelListCommandsTest, CommandsActOnTheChosenStationWhateverRefiltersTheListUnderABox) {
  const auto url = [](const std::string& name) { return "http://127.0.0.1/" + name; };
  const std::vector<std::string> names = {"Dead1", "Slow", "Target", "Alive", "Other"};
  std::string favourites;
  for (const std::string& name : names) favourites += Line(name, url(name));
  test::WriteFile(Favourites(), favourites);
  WriteSetting("HideFailedStations", "1");
  Start();
  const struct {
    const char* what;
    const char* list;
    int row;
    const char* item;
    std::string hiddenMeanwhile;
    std::function<void()> expect;
  } cases[] = {
      {"rename", "ListBox3", 2, "CustomItem3", url("Dead1"),
       [&] {
         EXPECT_EQ(ReadFile(Favourites()), Line("Dead1", url("Dead1")) + Line("Slow", url("Slow")) +
                                               Line("Renamed", url("Target")) +
                                               Line("Alive", url("Alive")) +
                                               Line("Other", url("Other")));
       }},
      // The players note is up while the chosen station itself is hidden.
      {"play", "ListBox5", 0, "TeItem1", "mms://127.0.0.1/welle",
       [&] { EXPECT_EQ(Main().get_title(), "Telvanta - Austria - Welle"); }},
  };
  for (const auto& c : cases) {
    bool refiltered = false;
    AnswerBoxes([&] { Choose(c.list, c.row, c.item); },
                [&](Gtk::Dialog&) {
                  if (!refiltered) {
                    // Two failed checks hide the station, as a finished check does.
                    List().RecordCheck(c.hiddenMeanwhile, health::Failed("404 Not Found"));
                    List().RecordCheck(c.hiddenMeanwhile, health::Failed("404 Not Found"));
                    refiltered = true;
                  }
                  return true;
                },
                "Renamed");
    EXPECT_TRUE(refiltered) << c.what;
    c.expect();
  }
}

// Names from the catalogue are not typed by the user: a "|" in one is kept
// as a broken bar instead of refusing the station.
TEST_F(ChannelListCommandsTest, CatalogueNameWithABarIsAddedWithABrokenBar) {
  test::MakeProgramFolder(
      program_.Path(), {},
      {test::Station("Germany", "90|00 - NEUNZIG NULL NULL", "", "http://127.0.0.1/neunzig")});
  Start();
  Choose("ListBox5", 0, "TeItem2");
  EXPECT_EQ(ReadFile(Favourites()),
            Line("Germany - 90\u00a600 - NEUNZIG NULL NULL", "http://127.0.0.1/neunzig"));
}

// A bad catalogue row stops its own list, not the favourites. A favourite
// line that does not decipher is told once, naming the file and the line,
// and it and the text after a NUL stay in the file through every change.
TEST_F(ChannelListCommandsTest, DamagedCatalogueRowsAndFavouriteLinesCostNothingElse) {
  test::ExecSql(program_.Path() / "listv2.dll", "UPDATE tv SET url = 'not hex' WHERE name = 'Sky'");
  const std::string unread = "Broken|not hex\r\n" + std::string("\0", 1) + Line("Gone", "mms://g");
  test::WriteFile(Favourites(), Line("One", "mms://1") + Line("Two", "mms://2") +
                                    Line("Three", "mms://3") + unread);
  auto seen = AnswerDialogs([&] { Start(); });
  ASSERT_EQ(seen.size(), 2U);
  EXPECT_EQ(seen[0].text, "Error: not a Hex String.");
  EXPECT_EQ(seen[1].text, DamagedFavouritesText(Favourites(), 4));
  EXPECT_NE(seen[1].text.find(Favourites().string()), std::string::npos);
  EXPECT_EQ(Entries("ListBox3"), (std::vector<std::string>{"One", "Two", "Three"}));

  seen = AnswerDialogs([&] {
    Choose("ListBox5", 0, "TeItem2");       // Austria - Welle
    Choose("ListBox3", 0, "CustomItem30");  // One
  });
  EXPECT_TRUE(seen.empty());
  EXPECT_EQ(Entries("ListBox3"), (std::vector<std::string>{"Two", "Three", "Austria - Welle"}));
  EXPECT_EQ(ReadFile(Favourites()), Line("Two", "mms://2") + Line("Three", "mms://3") +
                                        Line("Austria - Welle", "mms://127.0.0.1/welle") + unread);
}

TEST_F(ChannelListCommandsTest, FavouritesAddRenameDeletePlayAndSurviveARestart) {
  Start();
  Choose("ListBox1", 2, "CustomItem28");  // Canada - Channel One(300k)
  Choose("ListBox5", 1, "TeItem2");       // Germany - Radio Eins
  Choose("Listbox7", 0, "TeItem5");       // Finland - Bridge(640x480)
  Choose("ListBox1", 2, "CustomItem28");  // the same again: kept twice
  EXPECT_EQ(ReadFile(Favourites()),
            Line("Canada - Channel One(300k)", "mms://127.0.0.1/one") +
                Line("Germany - Radio Eins", "http://127.0.0.1/eins.pls") +
                Line("Finland - Bridge(640x480)", "http://127.0.0.1/bridge.jpg") +
                Line("Canada - Channel One(300k)", "mms://127.0.0.1/one"));
  EXPECT_EQ(Stations("ListBox3").IconClass(1), "RTSP");
  EXPECT_EQ(Stations("ListBox3").ItemIndex(), 0);

  // Rename the second; an empty answer changes nothing, a "|" is refused.
  const std::string before = ReadFile(Favourites());
  Stations("ListBox3").SetItemIndex(1);
  auto seen = AnswerDialogs([&] { Find<Gtk::MenuItem>(List(), "CustomItem3").activate(); },
                            Gtk::RESPONSE_OK, "");
  ASSERT_EQ(seen.size(), 1U);
  EXPECT_EQ(seen[0].title, "Rename");
  EXPECT_EQ(seen[0].text, "Enter a new display name:");
  EXPECT_EQ(ReadFile(Favourites()), before);
  Stations("ListBox3").SetItemIndex(1);
  seen = AnswerDialogs([&] { Find<Gtk::MenuItem>(List(), "CustomItem3").activate(); },
                       Gtk::RESPONSE_OK, "My|Radio");
  ASSERT_EQ(seen.size(), 2U);
  EXPECT_EQ(seen[1].text, "A display name cannot contain \"|\".");
  EXPECT_EQ(ReadFile(Favourites()), before);
  Stations("ListBox3").SetItemIndex(1);
  AnswerDialogs([&] { Find<Gtk::MenuItem>(List(), "CustomItem3").activate(); }, Gtk::RESPONSE_OK,
                "My Radio");
  EXPECT_EQ(Entries("ListBox3")[1], "My Radio");
  EXPECT_EQ(List().Urls(ListPage::Favorites)[1], "http://127.0.0.1/eins.pls");

  // Delete takes the first after every rebuild.
  Find<Gtk::MenuItem>(List(), "CustomItem30").activate();
  Find<Gtk::MenuItem>(List(), "CustomItem30").activate();
  EXPECT_EQ(Entries("ListBox3"),
            (std::vector<std::string>{"Finland - Bridge(640x480)", "Canada - Channel One(300k)"}));

  // A restart reads the list back.
  windows_ = {};
  test::Pump();
  Start();
  EXPECT_EQ(Entries("ListBox3"),
            (std::vector<std::string>{"Finland - Bridge(640x480)", "Canada - Channel One(300k)"}));

  // Playing a favourite never shows the players note.
  Stations("ListBox3").SetItemIndex(1);
  seen = AnswerDialogs([&] { Find<Gtk::MenuItem>(List(), "CustomItem29").activate(); });
  EXPECT_TRUE(seen.empty());
  EXPECT_EQ(Main().get_title(), "Telvanta - Canada - Channel One(300k)");
  EXPECT_FALSE(List().get_visible());
}

TEST_F(ChannelListCommandsTest, OwnChannelIsAddedAsTypedAndABadNameKeepsTheDialogOpen) {
  Start();
  std::vector<std::pair<std::string, std::string>> typed = {{"Mine|", "rtsp://h/a"},
                                                            {"  ", " rtsp://h/a "}};
  std::vector<test::SeenDialog> seen;
  // Answers the dialog the first time with a bad name, then with a good one.
  sigc::connection typist = Glib::signal_timeout().connect(
      [&] {
        Gtk::Window* dialog = Shown("FrmAddUrl");
        if (dialog == nullptr || typed.empty()) return true;
        Find<Gtk::Entry>(*dialog, "Edit1").set_text(typed.front().first);
        Find<Gtk::Entry>(*dialog, "Edit2").set_text(typed.front().second);
        typed.erase(typed.begin());
        Find<Gtk::Button>(*dialog, "TeButton1").clicked();
        return true;
      },
      50);
  seen = AnswerDialogs([&] { Find<Gtk::MenuItem>(List(), "CustomItem6").activate(); });
  typist.disconnect();
  ASSERT_EQ(seen.size(), 2U);
  EXPECT_EQ(seen[0].text, "A display name cannot contain \"|\".");
  EXPECT_EQ(seen[1].title, "OK");
  EXPECT_EQ(seen[1].text, "The channel has been added successfully!");
  EXPECT_EQ(seen[1].icon, MessageIcon::Information);
  EXPECT_EQ(ReadFile(Favourites()), Line("  ", " rtsp://h/a "));
  EXPECT_EQ(List().ActivePage(), ListPage::Favorites);
  EXPECT_EQ(Stations("ListBox3").IconClass(0), "");  // the leading blank is kept: no class
}

// Answers the playlist file dialog once it shows: `choose` looks at it and
// picks the file, then it is accepted.
sigc::connection AnswerFileDialog(const std::string& component,
                                  std::function<void(Gtk::FileChooserDialog&)> choose) {
  return Glib::signal_timeout().connect(
      [component, choose] {
        auto* dialog = dynamic_cast<Gtk::FileChooserDialog*>(Shown(component));
        if (dialog == nullptr) return true;
        choose(*dialog);
        test::Pump(std::chrono::milliseconds(200));
        dialog->response(Gtk::RESPONSE_ACCEPT);
        return false;
      },
      50);
}

TEST_F(ChannelListCommandsTest, FavouritesGoToAPlaylistAndComeBackThroughTheMenu) {
  Start();
  Choose("ListBox1", 2, "CustomItem28");  // Canada - Channel One(300k)
  std::vector<std::string> items;
  for (Gtk::Widget* item : Find<Gtk::Menu>(List(), "TePopupMenu2").get_children()) {
    items.push_back(item->get_name());
  }
  EXPECT_EQ(std::vector<std::string>(items.end() - 6, items.end()),
            (std::vector<std::string>{"CustomItem4", "PlaylistSeparator", "ExportPlaylistItem",
                                      "ImportPlaylistItem", "FavouriteCheckSeparator",
                                      "FavouriteCheckStationsItem"}));

  std::string offered;
  std::string filter;
  AnswerFileDialog("SavePlaylistDialog", [&](Gtk::FileChooserDialog& dialog) {
    offered = dialog.get_current_name();
    filter = dialog.get_filter()->get_name();
    dialog.set_current_folder(data_.Path().string());
  });
  Find<Gtk::MenuItem>(List(), "ExportPlaylistItem").activate();
  EXPECT_EQ(offered, "Favorites.m3u");
  EXPECT_EQ(filter, "M3U playlist (*.m3u;*.m3u8)");
  EXPECT_EQ(ReadFile(data_.Path() / "Favorites.m3u"),
            "#EXTM3U\n#EXTINF:-1,Canada - Channel One(300k)\nmms://127.0.0.1/one\n");
  // The format picked is the one written: it used to be M3U whatever the name.
  AnswerFileDialog("SavePlaylistDialog", [&](Gtk::FileChooserDialog& dialog) {
    dialog.set_current_folder(data_.Path().string());
    dialog.set_filter(dialog.list_filters().at(1));
    offered = dialog.get_current_name();
  });
  Find<Gtk::MenuItem>(List(), "ExportPlaylistItem").activate();
  EXPECT_EQ(offered, "Favorites.pls");
  EXPECT_EQ(ReadFile(data_.Path() / "Favorites.pls"),
            "[playlist]\nFile1=mms://127.0.0.1/one\nTitle1=Canada - Channel One(300k)\n"
            "Length1=-1\nNumberOfEntries=1\nVersion=2\n");

  // Refusals by the score, long ones too: the box scrolls them and fits the screen.
  const auto playlist = data_.Path() / "in.pls";
  std::string text =
      "[playlist]\nFile1=mms://127.0.0.1/one\nTitle1=Again\n"
      "File2=http://127.0.0.1/new\nTitle2=New, one\n";
  for (int i = 3; i < 63; ++i) {
    text += "File" + std::to_string(i) + "=/music/" + std::string(150, 'x') + ".mp3\n";
  }
  test::WriteFile(playlist, text);
  AnswerFileDialog("OpenPlaylistDialog",
                   [&](Gtk::FileChooserDialog& dialog) { dialog.set_filename(playlist.string()); });
  std::vector<std::string> seen;
  int height = 0;
  AnswerBoxes([&] { Find<Gtk::MenuItem>(List(), "ImportPlaylistItem").activate(); },
              [&](Gtk::Dialog& box) {
                if (!box.get_mapped()) return false;
                test::Pump(std::chrono::milliseconds(100));
                seen.push_back(box.get_title() + ": " + dynamic_cast<MessageBox&>(box).Text());
                seen.push_back(Find<Gtk::Label>(box, "Refusals").get_text());
                height = box.get_allocated_height();
                return true;
              });
  ASSERT_EQ(seen.size(), 2U);
  EXPECT_EQ(seen[0],
            "Import Playlist to Favorites: 1 channel was added to My Favorites.\n\n"
            "Not added:");
  EXPECT_EQ(seen[1].rfind("\"Again\" (mms://127.0.0.1/one): already in My Favorites\n", 0), 0U);
  EXPECT_EQ(std::count(seen[1].begin(), seen[1].end(), '\n'), 60);
  Gdk::Rectangle screen;
  List().get_display()->get_monitor(0)->get_workarea(screen);
  EXPECT_GT(height, 0);
  EXPECT_LE(height, screen.get_height() * 2 / 3);
  EXPECT_EQ(Entries("ListBox3"),
            (std::vector<std::string>{"Canada - Channel One(300k)", "New, one"}));
}

TEST_F(ChannelListCommandsTest, PropertiesShowTheEntryPartsAndEachUseOpensAnother) {
  Start();
  Choose("ListBox1", 2, "CustomItem43");  // Canada - Channel One(300k), mms
  Choose("ListBox1", 0, "CustomItem43");  // Australia - Sky(), rtsp
  std::vector<Gtk::Window*> shown;
  for (Gtk::Window* window : Gtk::Window::list_toplevels()) {
    if (window->get_visible() && window->get_name() == "FrmProperties") shown.push_back(window);
  }
  ASSERT_EQ(shown.size(), 2U);
  auto text = [](Gtk::Window& w, const char* c) { return Find<Gtk::Label>(w, c).get_text(); };
  Gtk::Window& one = *(text(*shown[0], "Label4") == "Country : Canada" ? shown[0] : shown[1]);
  EXPECT_EQ(text(one, "Label1"), " Channel One");
  EXPECT_EQ(text(one, "Label3"), "Channel Name :  Channel One");
  EXPECT_EQ(text(one, "Label5"), "Speed : 300k");
  EXPECT_EQ(text(one, "Label2"), "Type : Windows Media");
  EXPECT_TRUE(Find<Gtk::Image>(one, "Image1").get_visible());
  EXPECT_FALSE(Find<Gtk::Image>(one, "Image2").get_visible());
  Find<Gtk::Button>(one, "TeButton1").clicked();
  EXPECT_FALSE(one.get_visible());
  EXPECT_NE(Shown("FrmProperties"), nullptr) << "OK closes only its own dialog";
}

// Play, Rename and Delete on an empty My Favorites said "List index out of
// bounds (-1)". A command with no station to act on is greyed in its menu,
// and comes back as soon as there is one.
TEST_F(ChannelListCommandsTest, CommandsWithNothingToActOnAreGreyed) {
  // Welle's URL does not decipher: its entry shows, naming no station.
  test::ExecSql(program_.Path() / "listv2.dll",
                "UPDATE radio SET url = 'not hex' WHERE name = 'Welle'");
  WriteSetting("OnStartupDisplay", "Radio");  // loaded first, its error shown
  AnswerDialogs([&] { Start(); });
  using Items = std::vector<const char*>;
  const struct {
    const char* what;
    std::function<void()> step;
    Items on;
    Items off;
  } cases[] = {
      {"no favourite",
       [] {},
       {"CustomItem4", "ExportPlaylistItem", "ImportPlaylistItem"},
       {"CustomItem29", "CustomItem3", "CustomItem30", "FavouriteCheckStationsItem"}},
      {"a favourite added",
       [&] { Choose("ListBox1", 1, "CustomItem28"); },
       {"CustomItem29", "CustomItem3", "CustomItem30", "FavouriteCheckStationsItem"},
       {}},
      {"the last favourite deleted",
       [&] { Find<Gtk::MenuItem>(List(), "CustomItem30").activate(); },
       {"CustomItem4"},
       {"CustomItem29", "CustomItem3", "CustomItem30", "FavouriteCheckStationsItem"}},
      {"no TV row selected",
       [&] { Stations("ListBox1").SetItemIndex(-1); },
       {"CustomItem6", "TvCheckStationsItem"},
       {"CustomItem27", "CustomItem28", "CustomItem43"}},
      {"a TV row selected",
       [&] { Stations("ListBox1").SetItemIndex(3); },
       {"CustomItem27", "CustomItem28", "CustomItem43"},
       {}},
      // The report names the entry alone; the others need a station.
      {"a radio entry without its URL",
       [&] { Stations("ListBox5").SetItemIndex(0); },
       {"CustomItem10", "CustomItem7"},
       {"TeItem1", "TeItem2", "RadioCheckStationsItem"}},
      {"no webcam selected", [] {}, {"WebcamCheckStationsItem"}, {"TeItem3", "TeItem5", "TeItem6"}},
  };
  for (const auto& c : cases) {
    c.step();
    for (const char* item : c.on) {
      EXPECT_TRUE(Find<Gtk::MenuItem>(List(), item).get_sensitive()) << c.what << ": " << item;
    }
    for (const char* item : c.off) {
      EXPECT_FALSE(Find<Gtk::MenuItem>(List(), item).get_sensitive()) << c.what << ": " << item;
    }
  }
}

TEST_F(ChannelListCommandsTest, BadLinkReportAsksFirstAndNothingSelectedIsAnError) {
  Start();
  Stations("ListBox5").SetItemIndex(0);
  auto seen = AnswerDialogs([&] { Find<Gtk::MenuItem>(List(), "CustomItem10").activate(); },
                            Gtk::RESPONSE_NO);
  ASSERT_EQ(seen.size(), 1U);
  EXPECT_EQ(seen[0].title, "Confirm");
  EXPECT_EQ(seen[0].icon, MessageIcon::Question);
  EXPECT_EQ(seen[0].buttons, (std::vector<std::string>{"Yes", "No", "Cancel"}));
  EXPECT_EQ(
      seen[0].text.rfind("Are you sure the channel 'Austria - Welle' is always offline?\r", 0), 0U);
  Stations("ListBox5").SetItemIndex(-1);
  seen = AnswerDialogs([&] { Find<Gtk::MenuItem>(List(), "CustomItem10").activate(); });
  ASSERT_EQ(seen.size(), 1U);
  EXPECT_EQ(seen[0].text, "List index out of bounds (-1)");
}

TEST_F(ChannelListCommandsTest, ExportsWriteTheListsAsShownToTheHomeFolder) {
  const std::string home = std::getenv("HOME");
  setenv("HOME", data_.Path().c_str(), 1);
  const mode_t umask = ::umask(022);
  Start();
  ListExportWindow tools(List(), List());
  Find<Gtk::Button>(tools, "Button2").clicked();
  EXPECT_EQ(ReadFile(data_.Path() / "radiolist.txt"),
            "Austria - Welle\r\nGermany - Radio Eins\r\n");
  const auto seen = AnswerDialogs([&] { Find<Gtk::Button>(tools, "Button4").clicked(); });
  ASSERT_EQ(seen.size(), 1U);
  EXPECT_EQ(seen[0].text, (data_.Path() / "old.txt").string() + " ok!");
  const std::string old = ReadFile(data_.Path() / "old.txt");
  EXPECT_NE(old.find("Australia|Sky||rtsp://127.0.0.1/sky\r\n"), std::string::npos) << old;
  ::umask(umask);
  // The lists are meant to be shared.
  for (const char* name : {"radiolist.txt", "old.txt"}) {
    EXPECT_EQ(std::filesystem::status(data_.Path() / name).permissions(),
              std::filesystem::perms(0644))
        << name;
  }
  setenv("HOME", home.c_str(), 1);
}

}  // namespace
}  // namespace telvanta

int main(int argc, char** argv) {
  return telvanta::test::RunWindowTests(argc, argv, "org.telvanta.ChannelListCommandsTest");
}
