#include "update/SystemLanguage.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace telvanta {
namespace {

TEST(SystemLanguageTest, LocaleNamesGiveWindowsLanguageIdentifiers) {
  const struct {
    const char* locale;
    std::optional<LangId> id;
  } cases[] = {
      {"de_DE.UTF-8", 1031},
      {"en_US.UTF-8", 1033},
      {"zh_CN.GB18030", 2052},
      {"en_GB.UTF-8", 2057},
      {"de_AT.UTF-8", 3079},
      {"fr_FR.UTF-8@euro", 1036},
      {"de_DE@euro", 1031},
      {"en_us.utf8", 1033},
      {"C", 1033},
      {"C.UTF-8", 1033},
      {"POSIX", 1033},
      {"", 1033},
      {"de", std::nullopt},
      {"xx_YY.UTF-8", std::nullopt},
      {"en_GBR", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LanguageOfLocale(c.locale), c.id) << '"' << c.locale << '"';
  }
}

TEST(SystemLanguageTest, TheFirstSetVariableDecides) {
  EXPECT_EQ(SystemDefaultLangID("en_GB.UTF-8", "de_DE.UTF-8", "zh_CN.UTF-8"), 2057);
  EXPECT_EQ(SystemDefaultLangID("", "de_DE.UTF-8", "zh_CN.UTF-8"), 1031);
  EXPECT_EQ(SystemDefaultLangID(nullptr, nullptr, "zh_CN.UTF-8"), 2052);
  EXPECT_EQ(SystemDefaultLangID(nullptr, nullptr, nullptr), 1033);
  // An unknown locale fails the gate instead of falling through to LANG.
  EXPECT_EQ(SystemDefaultLangID("xx_YY", nullptr, "de_DE.UTF-8"), std::nullopt);
}

TEST(SystemLanguageTest, RefreshGates) {
  const struct {
    const char* what;
    std::optional<LangId> language;
    std::string autoUpdate;
    std::string firstRun;
    bool fetches;
  } cases[] = {
      {"English (UK) never fetches", 2057, "1", "", false},
      {"an unknown language never fetches", std::nullopt, "1", "", false},
      {"German with AutoUpdate", 1031, "1", "1", true},
      {"English (US) with AutoUpdate", 1033, "1", "1", true},
      {"Chinese with AutoUpdate", 2052, "1", "1", true},
      {"first run without AutoUpdate", 1033, "", "", true},
      {"after the first run without AutoUpdate", 1033, "", "1", false},
      {"AutoUpdate 0 counts as not set", 1033, "0", "1", false},
      {"AutoUpdate 0 in the first run", 1033, "0", "", true},
      {"FirstRun other than 1 is still the first run", 1033, "", "yes", true},
      {"AutoUpdate with a blank is not 1", 1033, "1 ", "1", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CatalogueRefreshAllowed(c.language, c.autoUpdate, c.firstRun), c.fetches) << c.what;
  }
}

}  // namespace
}  // namespace telvanta
