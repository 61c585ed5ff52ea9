#pragma once
// What tvinfo.ini says: the announcement for the running version and the
// newest release, and the manual check's verdict. Pure; any thread.

#include <string>
#include <string_view>

namespace telvanta {

inline constexpr std::string_view UpdateInfoFileName = "tvinfo.ini";
inline constexpr std::string_view CatalogueArchiveFileName = "listv2.zip";
inline constexpr std::string_view CurrentSection = "Current";
// The newest version when "Current" or its "Version" is missing.
inline constexpr std::string_view UnknownVersion = "0";

// Key "Announce" and "URL" of the section named after the version; both
// empty when the file has no such section, which then clears the label.
struct Announcement {
  std::string text;
  std::string url;
  bool operator==(const Announcement&) const = default;
};
Announcement ReadAnnouncement(std::string_view iniText, std::string_view version);

// Key "Version" of section "Current", UnknownVersion when absent.
std::string NewestVersion(std::string_view iniText);

enum class UpdateVerdict {
  NoInformation,  // tvinfo.ini could not be fetched
  NewerVersion,   // "Version" differs from ours in any way, older included
  UpToDate,       // "Version" is our version string exactly
};

struct UpdateCheck {
  UpdateVerdict verdict = UpdateVerdict::NoInformation;
  std::string newest;  // the "Version" read, for NewerVersion
};

// Compares as exact text: "7.2" is not "7.2.0.0".
UpdateCheck CompareVersions(std::string_view newest, std::string_view running);
// The message box text for the verdict.
std::string UpdateCheckMessage(const UpdateCheck& check);
// Whether the download page opens once the message is dismissed.
bool OpensDownloadPage(const UpdateCheck& check);

}  // namespace telvanta
