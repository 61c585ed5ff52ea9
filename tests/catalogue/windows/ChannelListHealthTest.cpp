// Station health in the list window, through the real windows under Xvfb:
// the marks and tool tips read from health.db, a check of the favourites
// against a loopback server, and a play's outcome counting as a check.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/startup/Startup.h"
#include "catalogue/windows/ChannelListWindow.h"
#include "favourites/Favourites.h"
#include "health/HealthStore.h"
#include "settings/Settings.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/WindowTestSupport.h"

namespace telvanta {
namespace {

using health::HealthState;
using test::Find;
using test::WaitUntil;

class ChannelListHealthTest : public test::RealWindowsTest<TelvantaWindows, &CreateWindows> {
 protected:
  StationListBox& Stations(const char* component) {
    return Find<StationListBox>(List(), component);
  }
  int RowOf(ListPage page, const std::string& url) {
    const auto& urls = List().Urls(page);
    return static_cast<int>(std::find(urls.begin(), urls.end(), url) - urls.begin());
  }
  std::filesystem::path UserData() const { return data_.Path() / "telvanta"; }
};

TEST_F(ChannelListHealthTest, RowsShowHealthAndACheckMarksThem) {
  const std::string eins = "http://127.0.0.1/eins.pls";
  const std::int64_t now = health::UnixNow();
  {
    health::HealthStore store(UserData() / "health.db");
    store.Record(eins, {now - 7200, false, "404 Not Found"});
    store.Record(eins, {now - 3600, false, "Connection refused"});
  }
  test::LoopbackHttpServer server(data_.Path());
  server.AddRoute("/live", test::LoopbackHttpServer::Endless());
  test::WriteFile(UserData() / "Fav.dat", FavouriteLine("Live", server.Url("/live")) + "\r\n" +
                                              FavouriteLine("Gone", server.Url("/gone.mp3")) +
                                              "\r\n");
  Start();

  StationListBox& radio = Stations("ListBox5");
  const int einsRow = RowOf(ListPage::Radio, eins);
  const int welleRow = RowOf(ListPage::Radio, "mms://127.0.0.1/welle");
  EXPECT_EQ(radio.HealthAt(einsRow).state, HealthState::FailedRecently);
  EXPECT_EQ(radio.HealthAt(einsRow).tip,
            "Connection refused, 1 hour ago\nFailed before too: 404 Not Found, 2 hours ago");
  EXPECT_EQ(radio.HealthAt(welleRow).state, HealthState::Unknown);
  EXPECT_EQ(radio.HealthAt(welleRow).tip, "");

  // A play's own outcome is a check too.
  List().RecordCheck("mms://127.0.0.1/welle", health::Alive());
  EXPECT_EQ(radio.HealthAt(welleRow).state, HealthState::Alive);
  EXPECT_EQ(radio.HealthAt(welleRow).tip, "Alive, just now");

  // Hiding the stations that failed twice keeps the list and its twin in step.
  auto& hide = Find<Gtk::CheckButton>(List(), "HideFailedBox");
  EXPECT_FALSE(hide.get_active());
  EXPECT_EQ(test::AccessibleName(hide), "Hide stations that failed their last two checks");
  hide.set_active(true);
  EXPECT_EQ(radio.Count(), 1);
  EXPECT_EQ(List().Urls(ListPage::Radio), std::vector<std::string>{"mms://127.0.0.1/welle"});
  EXPECT_EQ(radio.Entry(0), "Austria - Welle");
  EXPECT_EQ(ReadSetting("HideFailedStations"), "1");
  hide.set_active(false);
  EXPECT_EQ(radio.Count(), 2);
  EXPECT_EQ(ReadSetting("HideFailedStations"), "0");

  auto& progress = Find<Gtk::ProgressBar>(List(), "CheckProgress");
  EXPECT_FALSE(progress.get_visible());
  List().CheckStations(ListPage::Favorites);
  EXPECT_TRUE(progress.get_visible());
  EXPECT_TRUE(Find<Gtk::Button>(List(), "CheckCancelButton").get_visible());
  auto& checkItem = Find<Gtk::MenuItem>(List(), "FavouriteCheckStationsItem");
  EXPECT_FALSE(checkItem.get_sensitive());
  ASSERT_TRUE(WaitUntil([&] { return !List().CheckingStations(); }, std::chrono::seconds(20)));
  EXPECT_FALSE(progress.get_visible());
  EXPECT_TRUE(checkItem.get_sensitive());
  StationListBox& favourites = Stations("ListBox3");
  EXPECT_EQ(favourites.HealthAt(0).state, HealthState::Alive);
  EXPECT_EQ(favourites.HealthAt(1).state, HealthState::FailedRecently);
  EXPECT_EQ(favourites.HealthAt(1).tip, "404 Not Found, just now");
}

// The check box keeps its state like the other list options.
TEST_F(ChannelListHealthTest, StoredHideSettingHidesAtStart) {
  const std::string eins = "http://127.0.0.1/eins.pls";
  {
    health::HealthStore store(UserData() / "health.db");
    store.Record(eins, {health::UnixNow() - 60, false, "404 Not Found"});
    store.Record(eins, {health::UnixNow(), false, "404 Not Found"});
  }
  WriteSetting("HideFailedStations", "1");
  Start();
  EXPECT_TRUE(Find<Gtk::CheckButton>(List(), "HideFailedBox").get_active());
  EXPECT_EQ(List().Urls(ListPage::Radio), std::vector<std::string>{"mms://127.0.0.1/welle"});
}

}  // namespace
}  // namespace telvanta

int main(int argc, char** argv) {
  return telvanta::test::RunWindowTests(argc, argv, "org.telvanta.ChannelListHealthTest");
}
