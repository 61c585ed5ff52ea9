#include "app/AppRules.h"

namespace telvanta {

bool IsTopMost(std::string_view topMostSetting) { return topMostSetting == "1"; }

}  // namespace telvanta
