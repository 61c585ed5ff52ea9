#include "update/DailyTrigger.h"

#include <gtest/gtest.h>

#include "settings/Settings.h"
#include "tests/support/TempFolder.h"

namespace telvanta {
namespace {

TEST(DailyTriggerTest, OneWorkerPerDateText) {
  test::TempFolder folder;
  SetRegistryHivePathForTesting(folder / "settings.reg");
  const struct {
    const char* what;
    const char* today;
    bool starts;
  } plays[] = {
      {"first use, no Day yet", "12/09/2026", true},
      {"a second play that day", "12/09/2026", false},
      {"past midnight", "12/10/2026", true},
      {"the user changed the short date format", "2026-12-10", true},
      {"and plays again", "2026-12-10", false},
  };
  for (const auto& p : plays) {
    EXPECT_EQ(TakeDailyUpdateTurn(p.today), p.starts) << p.what;
    EXPECT_EQ(ReadSetting("Day"), p.today) << p.what;
  }
  // Closing the main window stamps Day, so a later run that day starts none.
  WriteSetting("Day", "12/11/2026");
  EXPECT_FALSE(TakeDailyUpdateTurn("12/11/2026"));
  SetRegistryHivePathForTesting({});
}

}  // namespace
}  // namespace telvanta
