#include "app/AppRules.h"

#include "common/Links.h"

namespace telvanta {

std::string AnnouncementAddress(std::string_view link) {
  return link.empty() ? std::string() : UrlLabelAddress(TLabelType::hmHTTP, link);
}

bool IsTopMost(std::string_view topMostSetting) { return topMostSetting == "1"; }

}  // namespace telvanta
