#include "update/UpdateInfo.h"

#include "common/I18n.h"
#include "update/ProfileIni.h"

namespace telvanta {

Announcement ReadAnnouncement(std::string_view iniText, std::string_view version) {
  return {GetPrivateProfileString(iniText, version, "Announce", ""),
          GetPrivateProfileString(iniText, version, "URL", "")};
}

std::string NewestVersion(std::string_view iniText) {
  return GetPrivateProfileString(iniText, CurrentSection, "Version", UnknownVersion);
}

UpdateCheck CompareVersions(std::string_view newest, std::string_view running) {
  if (newest == running) {
    return {UpdateVerdict::UpToDate, std::string(newest)};
  }
  return {UpdateVerdict::NewerVersion, std::string(newest)};
}

std::string UpdateCheckMessage(const UpdateCheck& check) {
  switch (check.verdict) {
    case UpdateVerdict::NoInformation:
      break;
    case UpdateVerdict::NewerVersion:
      return Substitute(_("A newer version %1 of Telvanta was found. Download it first?"),
                        {check.newest});
    case UpdateVerdict::UpToDate:
      return _("You already have the latest version of Telvanta.");
  }
  return _("Can't get update information. Please try again later.");
}

bool OpensDownloadPage(const UpdateCheck& check) {
  return check.verdict == UpdateVerdict::NewerVersion;
}

}  // namespace telvanta
