// Which addresses the help window takes over from the desktop, and where in
// the help file they point.

#include <gtest/gtest.h>

#include "platform/chm/HelpAddress.h"

namespace telvanta::platform {
namespace {

struct HelpCase {
  const char* address;
  const char* file;  // null: not help
  const char* topic;
  const char* anchor;
};

TEST(HelpAddressTest, RecognisesTheHelpFormsAndLeavesTheRestToTheDesktop) {
  const HelpCase cases[] = {
      // What the Help menu opens, with a Linux program folder.
      {"mk:@MSITStore:/opt/tuner/Help.chm::/faq.htm", "/opt/tuner/Help.chm", "faq.htm", ""},
      {"/opt/tuner/Help.chm", "/opt/tuner/Help.chm", "", ""},
      // The prefix in any case, and its two short forms.
      {"MK:@msitstore:/a/Help.chm::/faq.htm", "/a/Help.chm", "faq.htm", ""},
      {"ms-its:/a/Help.chm::/sub/page.htm", "/a/Help.chm", "sub/page.htm", ""},
      {"ITS:/a/Help.chm::/faq.htm", "/a/Help.chm", "faq.htm", ""},
      // Anchors, backslashes and extra slashes in the topic.
      {"mk:@MSITStore:/a/Help.chm::/faq.htm#colours", "/a/Help.chm", "faq.htm", "colours"},
      {"mk:@MSITStore:/a/Help.chm::\\sub\\page.htm", "/a/Help.chm", "sub/page.htm", ""},
      {"mk:@MSITStore:/a/Help.chm:://faq.htm", "/a/Help.chm", "faq.htm", ""},
      {"mk:@MSITStore:/a/Help.chm::/", "/a/Help.chm", "", ""},
      {"mk:@MSITStore:/a/Help.chm", "/a/Help.chm", "", ""},
      // A Windows path is still a help address; it just names no file here.
      {"mk:@MSITStore:C:\\Tuner\\Help.chm::/faq.htm", "C:\\Tuner\\Help.chm", "faq.htm", ""},
      // Blanks in the folder; a file:// URI in or instead of the store prefix.
      {"mk:@MSITStore:/home/a b/Help.chm::/faq.htm", "/home/a b/Help.chm", "faq.htm", ""},
      {"file:///home/a%20b/HELP.CHM", "/home/a b/HELP.CHM", "", ""},
      {"file:///a/Help.chm::/faq.htm", "/a/Help.chm", "faq.htm", ""},
      {"mk:@MSITStore:file:///a/Help.chm::/faq.htm", "/a/Help.chm", "faq.htm", ""},
      {"  /a/Help.Chm  ", "/a/Help.Chm", "", ""},
      {"/a/Help.chm::/faq.htm#q2", "/a/Help.chm", "faq.htm", "q2"},
      // Not help: web addresses, other files, relative and Windows paths.
      {"http://x/y.chm", nullptr, "", ""},
      {"https://telvanta.example.org/Help.chm::/faq.htm", nullptr, "", ""},
      {"/a/Help.chm.txt", nullptr, "", ""},
      {"/a/chm", nullptr, "", ""},
      {"Help.chm", nullptr, "", ""},
      {"C:\\Tuner\\Help.chm", nullptr, "", ""},
      {"file://otherhost/a/Help.chm", nullptr, "", ""},
      {"mailto:help@example.org?subject=Help.chm", nullptr, "", ""},
      {"mk:@MSITStore:", nullptr, "", ""},
      {"mk:@MSITStore:::/faq.htm", nullptr, "", ""},
      {"mk:", nullptr, "", ""},
      {"", nullptr, "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.address);
    const auto help = ParseHelpAddress(c.address);
    if (c.file == nullptr) {
      EXPECT_FALSE(help.has_value()) << help->file;
      continue;
    }
    ASSERT_TRUE(help.has_value());
    EXPECT_EQ(help->file, c.file);
    EXPECT_EQ(help->topic, c.topic);
    EXPECT_EQ(help->anchor, c.anchor);
  }
}

TEST(HelpAddressTest, LinksInsideHelpStayInHelpOrGoToTheDefaultHandler) {
  const std::pair<const char*, HelpLink> cases[] = {
      {"telvanta-help://help/faq.htm", HelpLink::Page},
      {"TELVANTA-HELP://help/img/logo.png", HelpLink::Page},
      {"about:blank", HelpLink::Page},
      {"ms-its:/a/Other.chm::/index.htm", HelpLink::OtherHelp},
      {"mk:@MSITStore:/a/Help.chm::/faq.htm", HelpLink::OtherHelp},
      {"https://telvanta.example.org/", HelpLink::Outside},
      {"http://x/y.chm", HelpLink::Outside},
      {"mailto:support@example.org", HelpLink::Outside},
      // A help page must not open local files or run programs through the desktop.
      {"file:///etc/passwd", HelpLink::Refused},
      {"file:///a/Help.chm", HelpLink::Refused},
      {"javascript:alert(1)", HelpLink::Refused},
      {"x-telvanta-test:run", HelpLink::Refused},
      {"faq.htm", HelpLink::Refused},
  };
  for (const auto& [uri, expected] : cases) {
    EXPECT_EQ(ClassifyHelpLink(uri), expected) << uri;
  }
}

TEST(HelpAddressTest, ServesObjectsWithTheTypeOfTheirExtension) {
  const std::pair<const char*, const char*> cases[] = {
      {"/faq.htm", "text/html"},
      {"/INDEX.HTML", "text/html"},
      {"/help.css", "text/css"},
      {"/img/logo.PNG", "image/png"},
      {"/a.jpeg", "image/jpeg"},
      {"/x.js", "text/javascript"},
      {"/Telvanta.hhc", "application/octet-stream"},
      {"/noext", "application/octet-stream"},
  };
  for (const auto& [path, type] : cases) {
    EXPECT_EQ(HelpMimeType(path), type) << path;
  }
}

}  // namespace
}  // namespace telvanta::platform
