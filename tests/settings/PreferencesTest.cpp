#include "settings/Preferences.h"

#include "settings/PlayerVolume.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "settings/Settings.h"
#include "tests/support/TempFolder.h"

namespace telvanta {
namespace {

class PreferencesTest : public ::testing::Test {
 protected:
  void SetUp() override { SetRegistryHivePathForTesting(folder_ / "settings.reg"); }
  void TearDown() override { SetRegistryHivePathForTesting({}); }
  static void Store(const char* name, std::optional<std::string> value) {
    if (value) {
      WriteSetting(name, *value);
    } else {
      DeleteSetting(name);
    }
  }
  test::TempFolder folder_{"telvanta-prefs"};
};

TEST_F(PreferencesTest, StoredTextsPresetTheDialogOnlyWhenExact) {
  const struct {
    std::optional<std::string> startup, autoUpdate, topMost;
    PreferencesChoice shown;
  } cases[] = {
      {std::nullopt, std::nullopt, std::nullopt, {0, false, false}},  // first start
      {"Radio", "1", "1", {1, true, true}},
      {"Webcam", "0", "0", {2, false, false}},
      {"MyFav", "true", " 1", {3, false, false}},
      {"myfav", "", "", {0, false, false}},  // letter case counts
      {"Favorites", "1", "01", {0, true, false}},
  };
  for (const auto& c : cases) {
    Store("OnStartupDisplay", c.startup);
    Store("AutoUpdate", c.autoUpdate);
    Store("TopMost", c.topMost);
    const PreferencesChoice read = ReadPreferences();
    EXPECT_EQ(read.startupIndex, c.shown.startupIndex) << c.startup.value_or("(absent)");
    EXPECT_EQ(read.autoUpdate, c.shown.autoUpdate) << c.autoUpdate.value_or("(absent)");
    EXPECT_EQ(read.topMost, c.shown.topMost) << c.topMost.value_or("(absent)");
  }
}

TEST_F(PreferencesTest, OkStoresInOrderAndPlacesTheWindowBeforeTopMostIsWritten) {
  WriteSetting("AutoUpdate", "1");
  WriteSetting("OnStartupDisplay", "Radio");
  std::string startupWhenApplied;
  std::string topMostWhenApplied;
  std::optional<bool> applied;
  StorePreferences({3, false, false}, [&](bool topMost) {
    applied = topMost;
    startupWhenApplied = ReadSetting("OnStartupDisplay");
    topMostWhenApplied = ReadSetting("TopMost");
  });
  EXPECT_EQ(applied, false);
  EXPECT_EQ(startupWhenApplied, "MyFav");
  EXPECT_EQ(topMostWhenApplied, "");
  EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, SettingsKey, "AutoUpdate"), "");  // deleted
  EXPECT_EQ(ReadSetting("TopMost"), "0");

  StorePreferences({-1, true, true}, {});  // no item selected: the start page stays
  EXPECT_EQ(ReadSetting("OnStartupDisplay"), "MyFav");
  EXPECT_EQ(ReadSetting("AutoUpdate"), "1");
  EXPECT_EQ(ReadSetting("TopMost"), "1");
}

// A hand-edited or damaged Volume never silences the player nor blows past
// full volume.
TEST_F(PreferencesTest, StoredVolumeReadsBackWithinRange) {
  const struct {
    std::optional<std::string> stored;
    int volume;
  } cases[] = {
      {std::nullopt, 100},
      {"35", 35},
      {"0", 0},
      {"100", 100},
      {"250", 100},
      {"-4", 0},
      {"", 100},
      {"loud", 100},
      {"40%", 100},
      {" 40", 100},
      {"99999999999999999999", 100},
      {"-99999999999999999999", 0},
  };
  for (const auto& c : cases) {
    Store("Volume", c.stored);
    EXPECT_EQ(ReadVolume(), c.volume) << c.stored.value_or("(absent)");
  }
  WriteVolume(130);
  EXPECT_EQ(ReadSetting("Volume"), "100");
  WriteVolume(45);
  EXPECT_EQ(ReadVolume(), 45);
}

}  // namespace
}  // namespace telvanta
