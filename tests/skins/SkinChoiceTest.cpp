// The skin choice against a recording engine and a settings hive in a
// temporary folder: what reaches the engine and what ThemeFile holds.

#include "skins/DesktopTheme.h"
#include "skins/SkinChoice.h"

#include <gtest/gtest.h>

#include "common/ProgramPaths.h"
#include "settings/Settings.h"
#include "tests/support/TempFolder.h"

namespace telvanta::skins {
namespace {

using test::TempFolder;

// Reports the path it was given, as the real engine does, loaded or not.
class RecordingEngine : public SkinSwitcher {
 public:
  bool ApplySkinFile(const std::string& path) override {
    calls.push_back("apply " + path);
    file_ = path;
    return true;
  }
  std::string SkinFile() const override { return file_; }
  void SelectTheme(int index) override {
    calls.push_back("theme " + std::to_string(index));
    file_.clear();
  }
  std::vector<std::string> calls;

 private:
  std::string file_;
};

class SkinChoiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetRegistryHivePathForTesting(config_ / "settings.reg");
    SetProgramFolderForTesting(program_.Path());
  }
  void TearDown() override {
    SetProgramFolderForTesting({});
    SetRegistryHivePathForTesting({});
  }
  std::string Skins(const std::string& name) const { return (program_ / "Skins" / name).string(); }

  TempFolder config_{"telvanta-config"};
  TempFolder program_{"telvanta-program"};
  RecordingEngine engine_;
};

TEST_F(SkinChoiceTest, MenuSkinIsTakenFromTheSkinsFolderAndStoredWithItsFullPath) {
  ChangeSkin(engine_, "vista.theme");
  EXPECT_EQ(engine_.calls, std::vector<std::string>{"apply " + Skins("vista.theme")});
  EXPECT_EQ(ReadSetting("ThemeFile"), Skins("vista.theme"));
  // A missing file is stored all the same; the start-up then skips it.
  engine_.calls.clear();
  ApplyStoredSkin(engine_);
  EXPECT_TRUE(engine_.calls.empty());
}

TEST_F(SkinChoiceTest, ResetDeletesThemeFileAndSelectsThemeZero) {
  ApplyChosenSkin(engine_, "/elsewhere/mine.uskn");
  EXPECT_EQ(ReadSetting("ThemeFile"), "/elsewhere/mine.uskn");
  ResetToDefault(engine_);
  EXPECT_EQ(engine_.calls.back(), "theme 0");
  EXPECT_EQ(ReadSetting("ThemeFile"), "");
  EXPECT_EQ(test::ReadFile(config_ / "settings.reg").find("ThemeFile"), std::string::npos);
}

TEST_F(SkinChoiceTest, StartUpAppliesTheStoredFileOnlyWhenItExists) {
  struct Case {
    std::string stored;
    bool applied;
  };
  test::WriteFile(program_ / "outside.uskn", "label {}");
  const Case cases[] = {
      {"", false},
      {(program_ / "outside.uskn").string(), true},
      {(program_ / "deleted.uskn").string(), false},
  };
  for (const Case& c : cases) {
    engine_.calls.clear();
    WriteSetting("ThemeFile", c.stored);
    ApplyStoredSkin(engine_);
    EXPECT_EQ(engine_.calls.size(), c.applied ? 1U : 0U) << c.stored;
  }
}

// The desktop's theme as GTK picks it: GTK_THEME wins over the settings and
// their dark preference, and only GTK's own light theme is the plain one
// the built-in look is drawn over.
TEST(DesktopTheme, GtkThemeWinsAndOnlyLightAdwaitaIsPlain) {
  struct Case {
    const char* variable;
    std::string settingName;
    bool preferDark;
    std::string label;
    bool plain;
  };
  const Case cases[] = {
      {nullptr, "Adwaita", false, "Adwaita", true},
      {nullptr, "", false, "Adwaita", true},
      {"", "Adwaita", false, "Adwaita", true},
      {nullptr, "Adwaita", true, "Adwaita:dark", false},
      {"Adwaita:dark", "Adwaita", false, "Adwaita:dark", false},
      {"Adwaita", "Adwaita", true, "Adwaita", true},
      {nullptr, "Adwaita-dark", false, "Adwaita-dark", false},
      {"HighContrast", "Adwaita", false, "HighContrast", false},
  };
  for (const Case& c : cases) {
    const DesktopTheme theme = ResolveDesktopTheme(c.variable, c.settingName, c.preferDark);
    EXPECT_EQ(theme.Label(), c.label) << (c.variable ? c.variable : "unset") << c.settingName;
    EXPECT_EQ(theme.Plain(), c.plain) << theme.Label();
  }
}

}  // namespace
}  // namespace telvanta::skins
