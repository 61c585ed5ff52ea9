#include "catalogue/ListWindowRules.h"

#include "common/Error.h"

#include <gtest/gtest.h>

namespace telvanta {
namespace {

TEST(StartPageForTest, ChoosesPageByExactText) {
  EXPECT_EQ(StartPageFor("Radio"), ListPage::Radio);
  EXPECT_EQ(StartPageFor("MyFav"), ListPage::Favorites);
  EXPECT_EQ(StartPageFor("Webcam"), ListPage::Webcam);
  // Letter case counts, and anything else falls back to the TV page.
  for (const char* other : {"", "TV", "radio", "WEBCAM", "myfav", "Radio ", "Favorites"}) {
    EXPECT_EQ(StartPageFor(other), ListPage::TV) << other;
  }
}

TEST(FindItemIgnoringCaseTest, MatchesWholeItemsIgnoringCase) {
  const std::vector<std::string> items = {"All Countries", "Canada", "U.K", "canada"};
  EXPECT_EQ(FindItemIgnoringCase(items, "CANADA"), 1U);  // the first equal one
  EXPECT_EQ(FindItemIgnoringCase(items, "u.k"), 2U);
  EXPECT_EQ(FindItemIgnoringCase(items, "all countries"), 0U);
  // Part of an item, or an item with extra text, is no match.
  EXPECT_EQ(FindItemIgnoringCase(items, "Can"), std::nullopt);
  EXPECT_EQ(FindItemIgnoringCase(items, "Canada "), std::nullopt);
  EXPECT_EQ(FindItemIgnoringCase(items, ""), std::nullopt);
  EXPECT_EQ(FindItemIgnoringCase({}, "Canada"), std::nullopt);
}

TEST(FindItemIgnoringCaseTest, RestoresEveryStoredSortAndOrderText) {
  EXPECT_EQ(FindItemIgnoringCase(SortItems, "channel NAME"), 1U);
  EXPECT_EQ(FindItemIgnoringCase(OrderItems, "DESC"), 1U);
  EXPECT_EQ(FindItemIgnoringCase(TypeItems, "news"), 3U);
}

TEST(StretchIsFitTest, OnlyOneFits) {
  EXPECT_TRUE(StretchIsFit("1"));
  for (const char* other : {"", "0", "true", "11", " 1"}) EXPECT_FALSE(StretchIsFit(other));
}

TEST(FilterSettingsAfterGoTest, FirstItemsDeleteTheirFilters) {
  const auto changes =
      FilterSettingsAfterGo({0, "All Countries"}, {0, "All channels"}, {0, "Country"}, {0, "Asc"});
  const std::vector<SettingChange> expected = {
      {"FilterCountry", std::nullopt},
      {"FilterType", std::nullopt},
      {"SortBy", "Country"},
      {"OrderBy", "Asc"},
  };
  EXPECT_EQ(changes, expected);
}

TEST(FilterSettingsAfterGoTest, OtherItemsStoreTheirTexts) {
  const auto changes =
      FilterSettingsAfterGo({2, "Canada"}, {3, "News"}, {2, "Bandwidth"}, {1, "Desc"});
  const std::vector<SettingChange> expected = {
      {"FilterCountry", "Canada"},
      {"FilterType", "News"},
      {"SortBy", "Bandwidth"},
      {"OrderBy", "Desc"},
  };
  EXPECT_EQ(changes, expected);
}

// A box left without a selection by a stale stored value is not at its
// first item, so its (empty) text is stored rather than the value deleted.
TEST(FilterSettingsAfterGoTest, BoxWithoutSelectionStoresItsEmptyText) {
  const auto changes = FilterSettingsAfterGo({-1, ""}, {-1, ""}, {-1, ""}, {-1, ""});
  EXPECT_EQ(changes[0], (SettingChange{"FilterCountry", ""}));
  EXPECT_EQ(changes[1], (SettingChange{"FilterType", ""}));
  EXPECT_EQ(changes[2], (SettingChange{"SortBy", ""}));
}

TEST(PlayCaptionTest, PrefixesTheEntry) {
  EXPECT_EQ(PlayCaption("Canada - Channel One(300k)"), "Telvanta - Canada - Channel One(300k)");
  EXPECT_EQ(PlayCaption(""), "Telvanta - ");
}

TEST(NeedsPlayersNoteTest, UntilFirstRunIsExactlyOne) {
  EXPECT_FALSE(NeedsPlayersNote("1"));
  for (const char* other : {"", "0", "yes", "1 "}) EXPECT_TRUE(NeedsPlayersNote(other));
}

TEST(TwinLineTest, ReturnsTheLineAtTheIndex) {
  const std::vector<std::string> twin = {"mms://a", "rtsp://b"};
  EXPECT_EQ(TwinLine(twin, 0), "mms://a");
  EXPECT_EQ(TwinLine(twin, 1), "rtsp://b");
}

// No selection reads index -1, which must fail with the list's own text
// rather than play something.
TEST(TwinLineTest, NoSelectionFailsWithListIndexError) {
  const std::vector<std::string> twin = {"mms://a"};
  try {
    TwinLine(twin, -1);
    FAIL() << "no error";
  } catch (const Error& error) {
    EXPECT_STREQ(error.what(), "List index out of bounds (-1)");
  }
}

// A URL that failed to decrypt leaves its entry without a twin line.
TEST(TwinLineTest, EntryWithoutTwinLineFailsWithItsIndex) {
  const std::vector<std::string> twin = {"mms://a"};
  try {
    TwinLine(twin, 1);
    FAIL() << "no error";
  } catch (const Error& error) {
    EXPECT_STREQ(error.what(), "List index out of bounds (1)");
  }
}

TEST(HelpNotesTest, BreakLinesWhereTheNotesDo) {
  const std::string quality = PictureQualityNote();
  EXPECT_NE(quality.find("(>300k).\rYou must also"), std::string::npos);
  EXPECT_EQ(quality.find('\n'), std::string::npos);
  const std::string connection = ConnectionNote();
  EXPECT_NE(connection.find("broadcasting.Often, channels"), std::string::npos);
  EXPECT_NE(connection.find("the U.S.\r\nDon't forget"), std::string::npos);
  EXPECT_EQ(connection.back(), '.');
  EXPECT_EQ(PlayersNoteText.back(), ' ');
}

// The stored placement comes from a file the user may edit: anything but a
// whole one is ignored, and the window opens as at the first start.
TEST(PlacementTest, ReadsBackWhatItWritesAndNothingElse) {
  for (const WindowPlacement& placement :
       {WindowPlacement{40, 30, 1200, 900, false}, WindowPlacement{-1920, -8, 586, 482, true}}) {
    EXPECT_EQ(ParsePlacement(PlacementText(placement)), placement) << PlacementText(placement);
  }
  EXPECT_EQ(PlacementText({40, 30, 1200, 900, true}), "40,30,1200,900,max");
  for (const char* bad :
       {"", "40,30,1200", "40,30,1200,900,", "40,30,1200,900,1", "40,30,1200,900,max,",
        " 40,30,1200,900", "40,30,0,900", "40,30,1200,-900", "40,30,99999,900", "4e1,30,1200,900",
        "40;30;1200;900", "99999999999,30,1200,900"}) {
    EXPECT_EQ(ParsePlacement(bad), std::nullopt) << bad;
  }
}

// A window stored on a monitor since unplugged would open out of reach.
TEST(PlacementTest, ReachableOnlyWithItsTopEdgeOnAMonitor) {
  const std::vector<ScreenArea> monitors = {{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}};
  const struct {
    WindowPlacement placement;
    bool reachable;
  } cases[] = {
      {{40, 30, 1200, 900}, true},     {{2000, 100, 800, 600}, true},  // on the second monitor
      {{1880, 100, 800, 600}, true},                                   // across both
      {{3300, 100, 800, 600}, false},                                  // right of both
      {{-760, 100, 800, 600}, false},                                  // 40 pixels left on screen
      {{-700, 100, 800, 600}, true},                                   // 100
      {{100, -590, 800, 600}, false},                                  // top edge above the screen
      {{100, 1070, 800, 600}, false},                                  // below it
      {{2000, 1030, 800, 600}, false},                                 // below the smaller monitor
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PlacementReachable(c.placement, monitors), c.reachable) << PlacementText(c.placement);
  }
  EXPECT_FALSE(PlacementReachable({0, 0, 586, 482}, {}));
}

}  // namespace
}  // namespace telvanta
