#include "common/Links.h"

#include <gtest/gtest.h>

#include <string>

namespace telvanta {
namespace {

TEST(UrlLabelAddressTest, PrefixesTheHintByLabelType) {
  EXPECT_EQ(UrlLabelAddress(TLabelType::hmHTTP, "host/page.htm"), "http://host/page.htm");
  EXPECT_EQ(UrlLabelAddress(TLabelType::hmMAIL, "help@host"), "mailto:help@host");
  EXPECT_EQ(UrlLabelAddress(TLabelType::hmFTP, "host/file"), "ftp://host/file");
}

// Longer than 79 characters: the address must reach the shell whole.
TEST(UrlLabelAddressTest, KeepsLongAddressesWhole) {
  const std::string hint = "host/" + std::string(120, 'a');
  EXPECT_EQ(UrlLabelAddress(TLabelType::hmHTTP, hint), "http://" + hint);
}

}  // namespace
}  // namespace telvanta

namespace telvanta {
namespace {

// The maker's pages carry the site's scheme; a label must not prefix another.
TEST(UrlLabelAddressTest, LeavesAnAddressWithItsOwnSchemeAlone) {
  const struct {
    TLabelType type;
    std::string hint;
    std::string address;
  } cases[] = {
      {TLabelType::hmHTTP, RealPlayerPage, RealPlayerPage},
      {TLabelType::hmHTTP, "https://host/a", "https://host/a"},
      {TLabelType::hmMAIL, "MAILTO:help@host", "MAILTO:help@host"},
      {TLabelType::hmHTTP, "host/a?u=http://b", "http://host/a?u=http://b"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(UrlLabelAddress(c.type, c.hint), c.address) << c.hint;
  }
  EXPECT_EQ(RealPlayerPage, std::string(MakerSite) + "/realplayer.htm");
  EXPECT_EQ(DownloadPage(), std::string(MakerSite) + "/download.htm");
  EXPECT_EQ(BadLinkPage().rfind("http://", 0), 0U);
}

}  // namespace
}  // namespace telvanta
