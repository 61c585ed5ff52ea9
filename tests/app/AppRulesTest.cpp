#include "app/AppRules.h"

#include <gtest/gtest.h>

#include <string>

namespace telvanta {
namespace {

TEST(IsTopMostTest, OnlyExactlyOneIsOn) {
  EXPECT_TRUE(IsTopMost("1"));
  for (const char* off : {"", "0", "true", "TRUE", " 1", "1 ", "01", "yes"}) {
    EXPECT_FALSE(IsTopMost(off)) << off;
  }
}

}  // namespace
}  // namespace telvanta

namespace telvanta {
namespace {

TEST(AnnouncementAddressTest, ALinkWithoutSchemeOpensOverHttp) {
  const struct {
    const char* link;
    const char* address;
  } cases[] = {
      {"www.example.org/news", "http://www.example.org/news"},
      {"https://example.org/a", "https://example.org/a"},
      {"mailto:news@example.org", "mailto:news@example.org"},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(AnnouncementAddress(c.link), c.address) << c.link;
  }
}

}  // namespace
}  // namespace telvanta
