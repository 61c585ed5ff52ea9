#include "update/DailyTrigger.h"

#include "settings/Settings.h"

namespace telvanta {

bool TakeDailyUpdateTurn(std::string_view todayText) {
  const bool newDay = ReadSetting("Day") != todayText;
  WriteSetting("Day", todayText);
  return newDay;
}

}  // namespace telvanta
