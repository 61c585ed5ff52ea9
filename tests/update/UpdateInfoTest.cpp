#include "update/UpdateInfo.h"

#include <gtest/gtest.h>

#include <string>

namespace telvanta {
namespace {

constexpr std::string_view kInfo =
    "[Current]\r\nVersion=7.3.0.0\r\n\r\n"
    "[7.1.0.0]\r\nAnnounce=Please update\r\nURL=http://h/old\r\n\r\n"
    "[7.2.0.0]\r\nAnnounce=New stations!\r\nURL=http://h/news\r\n";

TEST(UpdateInfoTest, AnnouncementIsTheOneForTheRunningVersion) {
  const std::string longText(2100, 'x');
  const struct {
    const char* what;
    std::string ini;
    std::string version;
    Announcement announcement;
  } cases[] = {
      {"our section", std::string(kInfo), "7.2.0.0", {"New stations!", "http://h/news"}},
      {"another release's section",
       std::string(kInfo),
       "7.1.0.0",
       {"Please update", "http://h/old"}},
      {"sections for other versions only clear the label", std::string(kInfo), "7.2.0.1", {}},
      {"no text without a link", "[7.2.0.0]\nAnnounce=Only text\n", "7.2.0.0", {"Only text", ""}},
      {"an announcement over 2047 characters is cut",
       "[7.2.0.0]\nAnnounce=" + longText + "\n",
       "7.2.0.0",
       {longText.substr(0, 2047), ""}},
      {"an empty file", "", "7.2.0.0", {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReadAnnouncement(c.ini, c.version), c.announcement) << c.what;
  }
}

TEST(UpdateInfoTest, ManualCheckComparesTheNewestVersionAsExactText) {
  const struct {
    const char* what;
    std::string ini;
    UpdateVerdict verdict;
    std::string message;
  } cases[] = {
      {"equal", "[Current]\nVersion=7.2.0.0\n", UpdateVerdict::UpToDate,
       "You already have the latest version of Telvanta."},
      {"an older release still counts as newer", "[Current]\nVersion=7.1.0.0\n",
       UpdateVerdict::NewerVersion,
       "A newer version 7.1.0.0 of Telvanta was found. Download it first?"},
      {"7.2 is not 7.2.0.0", "[Current]\nVersion=7.2\n", UpdateVerdict::NewerVersion,
       "A newer version 7.2 of Telvanta was found. Download it first?"},
      {"letter case counts", "[Current]\nVersion=7.2.0.0a\n", UpdateVerdict::NewerVersion,
       "A newer version 7.2.0.0a of Telvanta was found. Download it first?"},
      {"a missing key reads as 0", "[Current]\n", UpdateVerdict::NewerVersion,
       "A newer version 0 of Telvanta was found. Download it first?"},
      {"a missing section reads as 0", "[7.2.0.0]\nVersion=7.2.0.0\n", UpdateVerdict::NewerVersion,
       "A newer version 0 of Telvanta was found. Download it first?"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const UpdateCheck check = CompareVersions(NewestVersion(c.ini), "7.2.0.0");
    EXPECT_EQ(check.verdict, c.verdict);
    EXPECT_EQ(UpdateCheckMessage(check), c.message);
    EXPECT_EQ(OpensDownloadPage(check), c.verdict == UpdateVerdict::NewerVersion);
  }
  const UpdateCheck failed;
  EXPECT_EQ(UpdateCheckMessage(failed), "Can't get update information. Please try again later.");
  EXPECT_FALSE(OpensDownloadPage(failed));
}

}  // namespace
}  // namespace telvanta
