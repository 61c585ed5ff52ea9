#include "settings/Preferences.h"

#include <string>

#include "settings/Settings.h"

namespace telvanta {

PreferencesChoice ReadPreferences() {
  PreferencesChoice choice;
  const std::string startup = ReadSetting("OnStartupDisplay");
  for (std::size_t i = 0; i < StartupDisplayTexts.size(); ++i) {
    if (startup == StartupDisplayTexts[i]) {
      choice.startupIndex = static_cast<int>(i);
    }
  }
  choice.autoUpdate = ReadSetting("AutoUpdate") == "1";
  choice.topMost = ReadSetting("TopMost") == "1";
  return choice;
}

void StorePreferences(const PreferencesChoice& choice,
                      const std::function<void(bool topMost)>& applyTopMost) {
  if (choice.autoUpdate) {
    WriteSetting("AutoUpdate", "1");
  } else {
    DeleteSetting("AutoUpdate");
  }
  if (choice.startupIndex >= 0 &&
      static_cast<std::size_t>(choice.startupIndex) < StartupDisplayTexts.size()) {
    WriteSetting("OnStartupDisplay",
                 StartupDisplayTexts[static_cast<std::size_t>(choice.startupIndex)]);
  }
  if (applyTopMost) {
    applyTopMost(choice.topMost);
  }
  WriteSetting("TopMost", choice.topMost ? "1" : "0");
}

}  // namespace telvanta
