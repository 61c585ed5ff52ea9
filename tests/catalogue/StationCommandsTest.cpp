#include "catalogue/StationCommands.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "common/Files.h"
#include "common/Links.h"

namespace telvanta {
namespace {

TEST(StationCommands, EntryTextSplitsAsPropertiesShowsIt) {
  const struct {
    std::string entry;
    EntryParts parts;
  } cases[] = {
      {"Canada - Channel One(300k)", {"Canada", " Channel One", "300k"}},
      {"Canada - Channel (East)(300k)", {"Canada", " Channel ", "East"}},
      {"Canada - Channel One()", {"Canada", " Channel One", ""}},
      {"Canada - Radio One", {"Canada", " Radio One", ""}},
      {"Solo", {"Solo", "olo", ""}},
      {"Solo(5k)", {"Solo(5k)", "olo", "5k"}},
      {"A(b) - c", {"A(b)", "", "b"}},  // "(" before the name: no name
      {"X - Y(open", {"X", " Y", ""}},  // no ")": no speed
      {"", {"", "", ""}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SplitEntryText(c.entry), c.parts) << c.entry;
  }
  EXPECT_EQ(PlayerTypeText(StreamClass::Mms), "Windows Media");
  EXPECT_EQ(PlayerTypeText(StreamClass::Rtsp), "Real Media");
  EXPECT_EQ(PlayerTypeText(StreamClass::Webcam), "");
  EXPECT_EQ(PlayerTypeText(StreamClass::None), "");
}

// The entry went into the address as it was, so "&" or "#" cut the query.
TEST(StationCommands, ReportAddressCarriesTheWholeEntry) {
  const std::string page = BadLinkPage() + "?ChannelName=";
  const struct {
    std::string entry;
    std::string query;
  } cases[] = {
      {"France - Channel 2", "France%20-%20Channel%202"},
      {"A&B #1 100% (x)", "A%26B%20%231%20100%25%20%28x%29"},
      {"Caf\xC3\xA9+Radio=1?", "Caf%C3%A9%2BRadio%3D1%3F"},
      {"a-b.c_d~e", "a-b.c_d~e"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(BadLinkAddress(c.entry), page + c.query) << c.entry;
  }
  EXPECT_EQ(BadLinkPage().rfind("http://", 0), 0U);
  EXPECT_EQ(BadLinkQuestion("Spain - B"),
            "Are you sure the channel 'Spain - B' is always offline?\rDon't forget that the live "
            "television depends on the origin and not of the program that show them, some "
            "stations can be off line temporarily or with too many connections.");
}

TEST(StationCommands, ExportsEndEveryLineWithCrLfInTheHomeFolder) {
  EXPECT_EQ(JoinLinesCrLf({}), "");
  EXPECT_EQ(JoinLinesCrLf({"Canada - A(1k)", "", "x|y||u"}), "Canada - A(1k)\r\n\r\nx|y||u\r\n");
  const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
  ::setenv("HOME", "/home/me", 1);
  EXPECT_EQ(ExportPath("old.txt"), "/home/me/old.txt");
  ::setenv("HOME", home.c_str(), 1);
}

}  // namespace
}  // namespace telvanta
